#include "core/buffers.h"

#include <utility>

namespace d3d9 {

VertexBuffer::VertexBuffer(std::shared_ptr<DeviceContext> context, UINT length, DWORD usage,
                           DWORD fvf, D3DPOOL pool)
    : ComObject(ObjectType::VertexBuffer),
      ResourceBase(std::move(context), pool, usage),
      data_(length),
      fvf_(fvf) {}

HRESULT VertexBuffer::Lock(UINT offset, UINT size, void** data, DWORD flags) {
    const HRESULT result = data_.lock(offset, size, flags, (usage() & D3DUSAGE_DYNAMIC) != 0, data);
    if (SUCCEEDED(result)) {
        backend().resourceLocked(*this, static_cast<IDirect3DVertexBuffer9*>(this),
                                 D3DRTYPE_VERTEXBUFFER, offset, size, flags);
    }
    return result;
}

HRESULT VertexBuffer::Unlock() {
    const HRESULT result = data_.unlock();
    if (SUCCEEDED(result)) {
        backend().resourceUpdated(*this);
    }
    return result;
}

HRESULT VertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* desc) {
    if (desc == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *desc = {D3DFMT_VERTEXDATA, D3DRTYPE_VERTEXBUFFER, usage(), pool(), data_.size(), fvf_};
    return D3D_OK;
}

IndexBuffer::IndexBuffer(std::shared_ptr<DeviceContext> context, UINT length, DWORD usage,
                         D3DFORMAT format, D3DPOOL pool)
    : ComObject(ObjectType::IndexBuffer),
      ResourceBase(std::move(context), pool, usage),
      data_(length),
      format_(format) {}

HRESULT IndexBuffer::Lock(UINT offset, UINT size, void** data, DWORD flags) {
    if (FAILED(context().nextIndexBufferLockFailure)) {
        return std::exchange(context().nextIndexBufferLockFailure, D3D_OK);
    }
    const HRESULT result = data_.lock(offset, size, flags, (usage() & D3DUSAGE_DYNAMIC) != 0, data);
    if (SUCCEEDED(result)) {
        backend().resourceLocked(*this, static_cast<IDirect3DIndexBuffer9*>(this),
                                 D3DRTYPE_INDEXBUFFER, offset, size, flags);
    }
    return result;
}

HRESULT IndexBuffer::Unlock() {
    const HRESULT result = data_.unlock();
    if (SUCCEEDED(result)) {
        backend().resourceUpdated(*this);
    }
    return result;
}

HRESULT IndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* desc) {
    if (desc == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *desc = {format_, D3DRTYPE_INDEXBUFFER, usage(), pool(), data_.size()};
    return D3D_OK;
}

}  // namespace d3d9
