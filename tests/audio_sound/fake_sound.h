// A sound that only records what is asked of it, for the logic of the wrapper sounds.
#pragma once

#include <cstdint>
#include <vector>

#include "game/audio/sound_base.h"

namespace audio_testing {

struct PlayCall {
    std::uint32_t flags;
    IUnknown* audioPath;
    IUnknown* from;
};

class FakeSound : public CSoundBase {
public:
    IDirectMusicSegmentState* play(std::uint32_t flags, IUnknown* audioPath,
                                   IUnknown* from) override {
        plays.push_back(PlayCall{flags, audioPath, from});
        return nullptr;
    }
    void stop() override { ++stops; }
    bool isPlaying() override { return playing; }
    void setPitch(float pitch) override { pitches.push_back(pitch); }
    void setVolume(float volume) override { volumes.push_back(volume); }
    void load() override { ++loads; }
    void unload() override { ++unloads; }

    std::vector<PlayCall> plays;
    std::vector<float> pitches;
    std::vector<float> volumes;
    int stops = 0;
    int loads = 0;
    int unloads = 0;
    bool playing = false;
};

}  // namespace audio_testing
