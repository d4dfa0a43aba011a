// One of up to five alternatives, picked at random on every play, with a limit on how many
// of them may sound at once.
#pragma once

#include <cstdint>
#include <vector>

#include "game/audio/sound_base.h"

class CRandomSound : public CSoundBase {
public:
    CRandomSound();

    // Null without playing when there is no child or the limit is reached; else the state
    // of the child picked with rand().
    IDirectMusicSegmentState* play(std::uint32_t segmentFlags, IUnknown* audioPath,
                                   IUnknown* from) override;
    void stop() override;
    bool isPlaying() override;
    void setPitch(float) override {}
    void setVolume(float) override {}

    void addChild(SoundPtr child);
    // 0: no limit.
    void setMaxConcurrentSounds(std::int32_t count) { maxConcurrentSounds = count; }
    std::int32_t getMaxConcurrentSounds() const { return maxConcurrentSounds; }
    const std::vector<SoundPtr>& getChildren() const { return children; }

    // How many children play now.
    int countPlaying();

private:
    std::int32_t maxConcurrentSounds;
    std::vector<SoundPtr> children;
};
