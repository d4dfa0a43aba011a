// Vertex and index buffers over CPU storage.
#pragma once

#include "core/com_object.h"
#include "core/resource.h"

namespace d3d9 {

class VertexBuffer : public ComObject<IDirect3DVertexBuffer9>, public ResourceBase {
public:
    VertexBuffer(std::shared_ptr<DeviceContext> context, UINT length, DWORD usage, DWORD fvf,
                 D3DPOOL pool);

    HRESULT GetDevice(IDirect3DDevice9** device) override { return deviceOf(device); }
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override;

    const BufferData& data() const { return data_; }

private:
    BufferData data_;
    DWORD fvf_;
};

class IndexBuffer : public ComObject<IDirect3DIndexBuffer9>, public ResourceBase {
public:
    IndexBuffer(std::shared_ptr<DeviceContext> context, UINT length, DWORD usage, D3DFORMAT format,
                D3DPOOL pool);

    HRESULT GetDevice(IDirect3DDevice9** device) override { return deviceOf(device); }
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) override;

    const BufferData& data() const { return data_; }
    D3DFORMAT format() const { return format_; }
    UINT indexSize() const { return format_ == D3DFMT_INDEX32 ? 4 : 2; }

private:
    BufferData data_;
    D3DFORMAT format_;
};

}  // namespace d3d9
