#include "audio_path.h"

#include "seam_state.h"

#include <algorithm>

namespace dmusic {

AudioPathImpl::AudioPathImpl(std::weak_ptr<Mixer> mixer, const void* performance, bool active)
    : mixer_(std::move(mixer)), performance_(performance), state_(std::make_shared<PathState>()) {
    state_->active = active;
}

AudioPathImpl::~AudioPathImpl() {
    if (auto mixer = mixer_.lock()) {
        mixer->stopPath(state_.get());
    }
}

HRESULT AudioPathImpl::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IDirectMusicAudioPath ||
        iid == IID_IDirectMusicAudioPath8) {
        AddRef();
        *object = static_cast<IDirectMusicAudioPath*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT AudioPathImpl::Activate(BOOL active) {
    state_->active = active != FALSE;
    if (!state_->active) {
        if (auto mixer = mixer_.lock()) {
            mixer->stopPath(state_.get());
        }
    }
    dmusic_test::Event event{dmusic_test::Call::ActivatePath};
    event.performance = performance_;
    event.object = this;
    event.value = static_cast<DWORD>(active);
    record(event);
    return S_OK;
}

HRESULT AudioPathImpl::SetVolume(LONG millibels, DWORD /*duration*/) {
    // The fade time is not used: the game only sets volumes at once.
    const LONG clamped = std::clamp<LONG>(millibels, DMUS_VOLUME_MIN, DMUS_VOLUME_MAX);
    // The car sets its engine volumes on every physics step, mostly to what they already are;
    // the voices of the path only need telling when the level moves.
    if (clamped != state_->millibels) {
        state_->millibels = clamped;
        if (auto mixer = mixer_.lock()) {
            mixer->pathVolumeChanged(state_.get());
        }
    }
    dmusic_test::Event event{dmusic_test::Call::SetPathVolume};
    event.performance = performance_;
    event.object = this;
    event.millibels = millibels;
    record(event);
    return S_OK;
}

AudioPathImpl* asAudioPath(const void* object) {
    if (!isLive(object, Kind::AudioPath)) {
        return nullptr;
    }
    return static_cast<AudioPathImpl*>(
        static_cast<IDirectMusicAudioPath*>(static_cast<IUnknown*>(const_cast<void*>(object))));
}

}  // namespace dmusic
