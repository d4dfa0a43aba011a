// Creation of buffers, textures and declarations, with Direct3D 9's argument checks.
#include <algorithm>
#include <utility>

#include "core/buffers.h"
#include "core/declaration.h"
#include "core/device.h"
#include "core/formats.h"
#include "core/texture.h"

namespace d3d9 {

namespace {

bool validPoolAndUsage(D3DPOOL pool, DWORD usage) {
    if (pool > D3DPOOL_SCRATCH) {
        return false;
    }
    // Dynamic resources live where the driver can rename them: never in the managed pool.
    return !((usage & D3DUSAGE_DYNAMIC) && pool == D3DPOOL_MANAGED);
}

}  // namespace

HRESULT Device::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                   IDirect3DVertexBuffer9** buffer, HANDLE* shared) {
    if (buffer == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *buffer = nullptr;
    if (length == 0 || shared != nullptr || !validPoolAndUsage(pool, usage) ||
        (usage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL))) {
        return D3DERR_INVALIDCALL;
    }
    if (fvf != 0) {
        std::vector<D3DVERTEXELEMENT9> layout;
        UINT size = 0;
        if (!fvfLayout(fvf, layout, size) || length < size) {
            return D3DERR_INVALIDCALL;
        }
    }
    *buffer = new VertexBuffer(context_, length, usage, fvf, pool);
    return D3D_OK;
}

HRESULT Device::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  IDirect3DIndexBuffer9** buffer, HANDLE* shared) {
    if (buffer == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *buffer = nullptr;
    if ((format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32) || shared != nullptr ||
        length < formatBytes(format) || !validPoolAndUsage(pool, usage) ||
        (usage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL))) {
        return D3DERR_INVALIDCALL;
    }
    if (FAILED(context_->nextIndexBufferCreateFailure)) {
        return std::exchange(context_->nextIndexBufferCreateFailure, D3D_OK);
    }
    *buffer = new IndexBuffer(context_, length, usage, format, pool);
    return D3D_OK;
}

HRESULT Device::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                              D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* shared) {
    if (texture == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *texture = nullptr;
    if (width == 0 || height == 0 || shared != nullptr || !validPoolAndUsage(pool, usage) ||
        formatBytes(format) == 0 || isDepthFormat(format) || (usage & D3DUSAGE_DEPTHSTENCIL) ||
        ((usage & D3DUSAGE_RENDERTARGET) && pool != D3DPOOL_DEFAULT)) {
        return D3DERR_INVALIDCALL;
    }
    const auto& supported = context_->textureFormats;
    if (std::find(supported.begin(), supported.end(), format) == supported.end()) {
        return D3DERR_INVALIDCALL;
    }
    const D3DCAPS9& caps = context_->caps;
    if ((caps.MaxTextureWidth != 0 && width > caps.MaxTextureWidth) ||
        (caps.MaxTextureHeight != 0 && height > caps.MaxTextureHeight)) {
        return D3DERR_INVALIDCALL;
    }
    if (levels > Texture::fullChainLength(width, height)) {
        return D3DERR_INVALIDCALL;
    }
    *texture = new Texture(context_, width, height, levels, usage, format, pool);
    return D3D_OK;
}

HRESULT Device::CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                        IDirect3DVertexDeclaration9** declaration) {
    if (declaration == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *declaration = VertexDeclaration::create(context_, elements);
    return *declaration != nullptr ? D3D_OK : D3DERR_INVALIDCALL;
}

}  // namespace d3d9
