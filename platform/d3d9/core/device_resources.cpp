// Creation of buffers, textures and declarations, with Direct3D 9's argument checks.
#include <algorithm>
#include <atomic>
#include <utility>

#include "core/buffers.h"
#include "core/declaration.h"
#include "core/device.h"
#include "core/formats.h"
#include "core/texture.h"
#include "d3d9/seams.h"

namespace d3d9 {

namespace {

// The video memory of the device, for textures. The game's own art takes a few tens of
// megabytes; a card of the game's day had 128 to 512 MB. Here the memory is the process's
// own (the GL driver keeps textures in main memory), so the budget is what a player's
// machine can spare for a folder of untrusted art without the kernel ending the game.
constexpr unsigned long long kTextureMemory = 1ull << 30;
// What a large texture must leave free, so that the small textures standing in for refused
// ones (a loader's checkerboard) can still be made.
constexpr unsigned long long kSmallTexture = 64ull << 10;
constexpr unsigned long long kSmallTextureReserve = 1ull << 20;
std::atomic<unsigned long long> chosenTextureMemory{0};

unsigned long long textureMemory() {
    const unsigned long long chosen = chosenTextureMemory.load(std::memory_order_relaxed);
    return chosen != 0 ? chosen : kTextureMemory;
}

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
    if (pool == D3DPOOL_DEFAULT || pool == D3DPOOL_MANAGED) {
        const std::uint64_t bytes = Texture::videoBytes(
            format, width, height, levels == 0 ? Texture::fullChainLength(width, height) : levels);
        unsigned long long budget = textureMemory();
        if (bytes > kSmallTexture) {
            budget -= std::min(budget, kSmallTextureReserve);
        }
        if (bytes > budget || context_->textureBytes > budget - bytes) {
            return D3DERR_OUTOFVIDEOMEMORY;
        }
    }
    *texture = new Texture(context_, width, height, levels, usage, format, pool);
    return D3D_OK;
}

UINT Device::GetAvailableTextureMem() {
    const unsigned long long budget = textureMemory();
    const unsigned long long left =
        budget - std::min<unsigned long long>(budget, context_->textureBytes);
    return static_cast<UINT>(std::min<unsigned long long>(left, 0xFFFFFFFFu));
}

HRESULT Device::CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                        IDirect3DVertexDeclaration9** declaration) {
    if (declaration == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *declaration = VertexDeclaration::create(context_, elements);
    return *declaration != nullptr ? D3D_OK : D3DERR_INVALIDCALL;
}

void setTextureMemory(unsigned long long bytes) {
    chosenTextureMemory.store(bytes, std::memory_order_relaxed);
}

}  // namespace d3d9
