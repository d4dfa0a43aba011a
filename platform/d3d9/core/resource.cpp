#include "core/resource.h"

namespace d3d9 {

ResourceBase::ResourceBase(std::shared_ptr<DeviceContext> context, D3DPOOL pool, DWORD usage)
    : context_(std::move(context)), pool_(pool), usage_(usage) {
    if (pool_ == D3DPOOL_DEFAULT) {
        ++context_->defaultPoolResources;
    }
}

ResourceBase::~ResourceBase() {
    if (pool_ == D3DPOOL_DEFAULT) {
        --context_->defaultPoolResources;
    }
    context_->backend->resourceDestroyed(*this);
}

HRESULT ResourceBase::deviceOf(IDirect3DDevice9** device) const {
    if (device == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *device = context_->device;
    if (*device == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    (*device)->AddRef();
    return D3D_OK;
}

BufferData::BufferData(UINT size) : storage_(size) {}

HRESULT BufferData::lock(UINT offset, UINT size, DWORD flags, bool dynamic, void** data) {
    if (data == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *data = nullptr;
    const UINT total = this->size();
    if (offset > total || (size != 0 && size > total - offset)) {
        return D3DERR_INVALIDCALL;
    }
    const bool discard = (flags & D3DLOCK_DISCARD) != 0;
    const bool noOverwrite = (flags & D3DLOCK_NOOVERWRITE) != 0;
    if ((discard || noOverwrite) && !dynamic) {
        return D3DERR_INVALIDCALL;
    }
    if (discard && (flags & D3DLOCK_READONLY)) {
        return D3DERR_INVALIDCALL;
    }
    if (discard) {
        if (locks_ > 0) {
            stillLocked_.push_back(std::move(storage_));
            storage_.assign(total, 0);
        } else {
            // Both blocks exist side by side, so the new address differs from the old and
            // nothing made from the old contents can see the new ones.
            spare_.assign(total, 0);
            storage_.swap(spare_);
        }
    }
    ++locks_;
    *data = storage_.data() + offset;
    return D3D_OK;
}

HRESULT BufferData::unlock() {
    if (locks_ == 0) {
        return D3DERR_INVALIDCALL;
    }
    --locks_;
    if (locks_ == 0) {
        stillLocked_.clear();
    }
    return D3D_OK;
}

}  // namespace d3d9
