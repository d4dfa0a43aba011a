// A sound on an audio path of its own, so that its volume can be set apart from every
// other sound of the performance.
#pragma once

#include "game/audio/sound_base.h"
#include "win32/com_ptr.h"

class CPerformance;

class CSoundWithAudiopath : public CSoundBase {
public:
    // Creates the path (stereo, one channel, not yet active) at full volume.
    CSoundWithAudiopath(SoundPtr inner, CPerformance* performance);
    // Releases the path.
    ~CSoundWithAudiopath() override;

    // Always plays on this object's own path, whatever path the caller named.
    IDirectMusicSegmentState* play(std::uint32_t segmentFlags, IUnknown* audioPath,
                                   IUnknown* from) override;
    void stop() override;
    bool isPlaying() override;
    void setPitch(float pitch) override;
    void setVolume(float volume) override;
    // Activates the path, then loads the inner sound.
    void load() override;
    // Deactivates the path (which stops what plays on it), then unloads the inner sound.
    void unload() override;

private:
    SoundPtr inner;
    win32::ComPtr<IDirectMusicAudioPath8> audioPath;
    bool active;
};
