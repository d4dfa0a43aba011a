// An audio path: a volume stage of its own on one performance.
#pragma once

#include "openal/mixer.h"
#include "registry.h"

#include <dmusici.h>

#include <memory>

namespace dmusic {

class AudioPathImpl : public ComObject<IDirectMusicAudioPath, Kind::AudioPath> {
public:
    AudioPathImpl(std::weak_ptr<Mixer> mixer, const void* performance, bool active);
    // What still plays on the path stops with it.
    ~AudioPathImpl() override;

    HRESULT QueryInterface(REFIID iid, void** object) override;
    HRESULT Activate(BOOL active) override;
    HRESULT SetVolume(LONG millibels, DWORD duration) override;

    const std::shared_ptr<PathState>& state() const { return state_; }
    const void* performance() const { return performance_; }
    std::shared_ptr<Mixer> mixer() const { return mixer_.lock(); }

private:
    std::weak_ptr<Mixer> mixer_;
    const void* performance_;
    std::shared_ptr<PathState> state_;
};

// The live audio path behind `object`, or null.
AudioPathImpl* asAudioPath(const void* object);

}  // namespace dmusic
