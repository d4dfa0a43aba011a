#include "segment_state.h"

namespace dmusic {

SegmentStateImpl::SegmentStateImpl(std::shared_ptr<StateCore> core, const void* performance)
    : core_(std::move(core)), performance_(performance) {}

HRESULT SegmentStateImpl::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IDirectMusicSegmentState ||
        iid == IID_IDirectMusicSegmentState8) {
        AddRef();
        *object = static_cast<IDirectMusicSegmentState*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG SegmentStateImpl::Release() {
    if (owned_ && refs_ == 1) {
        return 1;
    }
    return ComObject::Release();
}

void SegmentStateImpl::disown() {
    owned_ = false;
    ComObject::Release();
}

SegmentStateImpl* asSegmentState(const void* object) {
    if (!isLive(object, Kind::SegmentState)) {
        return nullptr;
    }
    return static_cast<SegmentStateImpl*>(
        static_cast<IDirectMusicSegmentState*>(static_cast<IUnknown*>(const_cast<void*>(object))));
}

}  // namespace dmusic
