// A sound made of an intro, a loop queued after it, and an outro, shared by several users:
// every play adds a user and plays the intro, every stop removes one and plays the outro;
// the loop runs while there are users.
#pragma once

#include <cstdint>

#include "game/audio/sound_base.h"
#include "win32/com_ptr.h"

class CCombinedSound : public CSoundBase {
public:
    // Any part may be empty. The loop's chain must have been built looping.
    CCombinedSound(SoundPtr intro, SoundPtr loop, SoundPtr outro);

    // Always null: the sound has no single state.
    IDirectMusicSegmentState* play(std::uint32_t segmentFlags, IUnknown* audioPath,
                                   IUnknown* from) override;
    // Does nothing when there is no user: the count never goes below 0 and no outro plays
    // for a sound that never started.
    void stop() override;
    // Whether the loop plays.
    bool isPlaying() override;
    void setPitch(float pitch) override;
    void setVolume(float volume) override;

    int getPlayCount() const { return playCount; }

private:
    SoundPtr intro;
    SoundPtr loop;
    SoundPtr outro;
    // Held with a reference of our own: the loop is queued after it, possibly long after
    // the performance would have let it go.
    win32::ComPtr<IDirectMusicSegmentState> introState;
    std::int32_t playCount;
};
