// One DirectMusic performance: its output, its master volume, the volume of its default
// audio path and its pitch. The sound bank makes two, one for the configured sounds and one
// for the background music.
#pragma once

#include <dmusici.h>

#include <cstdint>

#include "win32/com_ptr.h"

class CSoundBase;

class CPerformance {
public:
    // Creates and initialises the performance for the window (stereo default path, 6
    // channels, every audio feature) at full master and path volume. Throws
    // std::runtime_error when the performance object cannot be created at all.
    explicit CPerformance(HWND window);
    // Releases the performance; everything still playing on it stops.
    ~CPerformance();
    CPerformance(const CPerformance&) = delete;
    CPerformance& operator=(const CPerformance&) = delete;

    // Linear volumes 0..1 on the shared volume curve.
    void setMasterVolume(float volume);
    void setDefaultPathVolume(float volume);
    // -1..1, 0 leaves the pitch unchanged; bends everything on this performance.
    void setPitchBend(float pitch);
    // Stops every instance of the sound's segment; never throws (a failure is logged).
    void stopSound(CSoundBase* sound, std::uint32_t flags);

    IDirectMusicPerformance8* get() const { return performance.get(); }
    float getMasterVolume() const { return masterVolume; }
    float getPathVolume() const { return pathVolume; }

private:
    win32::ComPtr<IDirectMusicPerformance8> performance;
    float masterVolume;
    float pathVolume;
};

// The 14-bit MIDI pitch-bend value for a pitch of -1..1 (8192 is the centre; NaN counts as
// the centre).
int pitchBendValue(float pitch);
