// Buffer and drawing helpers on a raw device that throw on failure.
#include "engine/core/errors.h"
#include "engine/render/device/dx_device.h"

namespace kesh {

lock_whole_ib::lock_whole_ib(IDirect3DIndexBuffer9* buffer, DWORD flags, const wchar_t* failure)
    : buffer_(buffer) {
    const HRESULT result = buffer_->Lock(0, 0, &data_, flags);
    if (FAILED(result)) {
        throwDxError(result, failure);
    }
}

lock_whole_ib::~lock_whole_ib() {
    buffer_->Unlock();
}

win32::ComPtr<IDirect3DVertexBuffer9> create_vertex_buffer(IDirect3DDevice9* device, UINT length,
                                                           DWORD usage, DWORD fvf, D3DPOOL pool) {
    win32::ComPtr<IDirect3DVertexBuffer9> buffer;
    const HRESULT result =
        device->CreateVertexBuffer(length, usage, fvf, pool, buffer.out(), nullptr);
    if (FAILED(result)) {
        throwDxError(result, L"create_vertex_buffer: cannot create buffer");
    }
    return buffer;
}

win32::ComPtr<IDirect3DIndexBuffer9> create_index_buffer(IDirect3DDevice9* device, UINT indexCount,
                                                         D3DFORMAT format, DWORD usage,
                                                         D3DPOOL pool, const wchar_t* failure) {
    const UINT length = indexCount * (format == D3DFMT_INDEX16 ? 2 : 4);
    win32::ComPtr<IDirect3DIndexBuffer9> buffer;
    const HRESULT result =
        device->CreateIndexBuffer(length, usage, format, pool, buffer.out(), nullptr);
    if (FAILED(result)) {
        throwDxError(result, failure);
    }
    return buffer;
}

namespace {

template <class Index>
void writeQuads(void* data, UINT quadCount) {
    auto* indices = static_cast<Index*>(data);
    for (UINT quad = 0; quad < quadCount; ++quad) {
        const auto first = static_cast<Index>(quad * 4);
        const Index pattern[6] = {
            first, static_cast<Index>(first + 1), static_cast<Index>(first + 2),
            first, static_cast<Index>(first + 2), static_cast<Index>(first + 3)};
        for (int i = 0; i < 6; ++i) {
            indices[quad * 6 + i] = pattern[i];
        }
    }
}

}  // namespace

void fillQuadIndices(IDirect3DIndexBuffer9* buffer, UINT quadCount, const wchar_t* lockFailure) {
    D3DINDEXBUFFER_DESC desc{};
    const bool wide = SUCCEEDED(buffer->GetDesc(&desc)) && desc.Format == D3DFMT_INDEX32;
    lock_whole_ib lock(buffer, 0, lockFailure);
    if (wide) {
        writeQuads<DWORD>(lock.data(), quadCount);
    } else {
        writeQuads<WORD>(lock.data(), quadCount);
    }
}

void drawIndexedTriangles(IDirect3DDevice9* device, IDirect3DVertexDeclaration9* declaration,
                          UINT stride, IDirect3DVertexBuffer9* vertices, UINT minIndex,
                          UINT vertexCount, IDirect3DIndexBuffer9* indices, UINT startIndex,
                          UINT triangleCount) {
    HRESULT result = device->SetIndices(indices);
    if (FAILED(result)) {
        throwDxError(result, L"Failed to set index buffer");
    }
    result = device->SetVertexDeclaration(declaration);
    if (FAILED(result)) {
        throwDxError(result, L"Failed to set vertex declaration");
    }
    result = device->SetStreamSource(0, vertices, 0, stride);
    if (FAILED(result)) {
        throwDxError(result, L"Failed to set stream source");
    }
    result = device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, minIndex, vertexCount, startIndex,
                                          triangleCount);
    if (FAILED(result)) {
        throwDxError(result, L"Failed to draw indexed primitive");
    }
    device->SetIndices(nullptr);
    device->SetStreamSource(0, nullptr, 0, 0);
}

}  // namespace kesh
