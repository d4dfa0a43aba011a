#include "core/texture.h"

#include <algorithm>

#include "core/formats.h"

namespace d3d9 {

Surface::Surface(Texture& texture, UINT level) : texture_(texture), level_(level) {}

HRESULT Surface::QueryInterface(REFIID, void** object) {
    if (object != nullptr) {
        *object = nullptr;
    }
    return E_NOINTERFACE;
}

ULONG Surface::AddRef() {
    return texture_.AddRef();
}
ULONG Surface::Release() {
    return texture_.Release();
}
HRESULT Surface::GetDevice(IDirect3DDevice9** device) {
    return texture_.GetDevice(device);
}
HRESULT Surface::GetDesc(D3DSURFACE_DESC* desc) {
    return texture_.GetLevelDesc(level_, desc);
}

HRESULT Surface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
    return texture_.LockRect(level_, locked, rect, flags);
}

HRESULT Surface::UnlockRect() {
    return texture_.UnlockRect(level_);
}

UINT Texture::fullChainLength(UINT width, UINT height) {
    UINT levels = 1;
    while (width > 1 || height > 1) {
        width = std::max(1u, width / 2);
        height = std::max(1u, height / 2);
        ++levels;
    }
    return levels;
}

UINT Texture::pitchFor(D3DFORMAT format, UINT width) {
    if (isBlockCompressed(format)) {
        return std::max(1u, (width + 3) / 4) * formatBytes(format);
    }
    // Rows are padded as video memory pads them, so code that assumes width x bytes per
    // pixel instead of the pitch shows up in tests.
    const UINT packed = width * formatBytes(format);
    return (packed + 127u) / 128u * 128u;
}

std::uint64_t Texture::videoBytes(D3DFORMAT format, UINT width, UINT height, UINT levels) {
    std::uint64_t total = 0;
    for (UINT i = 0; i < levels; ++i) {
        total += isBlockCompressed(format)
                     ? std::uint64_t{std::max(1u, (width + 3) / 4)} *
                           std::max(1u, (height + 3) / 4) * formatBytes(format)
                     : std::uint64_t{width} * height * formatBytes(format);
        width = std::max(1u, width / 2);
        height = std::max(1u, height / 2);
    }
    return total;
}

Texture::Texture(std::shared_ptr<DeviceContext> context, UINT width, UINT height, UINT levels,
                 DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : ComObject(ObjectType::Texture),
      ResourceBase(std::move(context), pool, usage),
      format_(format) {
    if (levels == 0) {
        levels = fullChainLength(width, height);
    }
    if (pool == D3DPOOL_DEFAULT || pool == D3DPOOL_MANAGED) {
        videoBytes_ = videoBytes(format, width, height, levels);
    }
    for (UINT i = 0; i < levels; ++i) {
        Level level;
        level.width = width;
        level.height = height;
        level.pitch = pitchFor(format, width);
        level.rows = isBlockCompressed(format) ? std::max(1u, (height + 3) / 4) : height;
        level.bytes.assign(static_cast<size_t>(level.pitch) * level.rows, 0);
        levels_.push_back(std::move(level));
        surfaces_.push_back(std::make_unique<Surface>(*this, i));
        width = std::max(1u, width / 2);
        height = std::max(1u, height / 2);
    }
    this->context().textureBytes += videoBytes_;
}

Texture::~Texture() {
    context().textureBytes -= videoBytes_;
}

HRESULT Texture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
    if (desc == nullptr || level >= levels_.size()) {
        return D3DERR_INVALIDCALL;
    }
    *desc = {format_,
             D3DRTYPE_SURFACE,
             usage(),
             pool(),
             D3DMULTISAMPLE_NONE,
             0,
             levels_[level].width,
             levels_[level].height};
    return D3D_OK;
}

HRESULT Texture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) {
    if (surface == nullptr || level >= levels_.size()) {
        return D3DERR_INVALIDCALL;
    }
    *surface = surfaces_[level].get();
    AddRef();
    return D3D_OK;
}

HRESULT Texture::LockRect(UINT index, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
    if (locked == nullptr || index >= levels_.size()) {
        return D3DERR_INVALIDCALL;
    }
    Level& level = levels_[index];
    if (level.locks > 0) {
        return D3DERR_INVALIDCALL;
    }
    if (!level.held) {
        std::vector<BYTE> bytes(static_cast<size_t>(level.pitch) * level.rows);
        if (!backend().readTextureLevel(*this, index, bytes.data(), level.pitch)) {
            return D3DERR_INVALIDCALL;
        }
        level.bytes = std::move(bytes);
        level.held = true;
    }
    UINT x = 0;
    UINT y = 0;
    if (rect != nullptr) {
        if (rect->left < 0 || rect->top < 0 || rect->right <= rect->left ||
            rect->bottom <= rect->top || static_cast<UINT>(rect->right) > level.width ||
            static_cast<UINT>(rect->bottom) > level.height) {
            return D3DERR_INVALIDCALL;
        }
        x = static_cast<UINT>(rect->left);
        y = static_cast<UINT>(rect->top);
        if (isBlockCompressed(format_)) {
            if (x % 4 != 0 || y % 4 != 0) {
                return D3DERR_INVALIDCALL;
            }
            x /= 4;
            y /= 4;
        }
    }
    ++level.locks;
    locked->Pitch = static_cast<INT>(level.pitch);
    locked->pBits = level.bytes.data() + static_cast<size_t>(y) * level.pitch +
                    static_cast<size_t>(x) * formatBytes(format_);
    backend().resourceLocked(*this, static_cast<IDirect3DTexture9*>(this), D3DRTYPE_TEXTURE, index,
                             0, flags);
    return D3D_OK;
}

HRESULT Texture::UnlockRect(UINT index) {
    if (index >= levels_.size() || levels_[index].locks == 0) {
        return D3DERR_INVALIDCALL;
    }
    Level& level = levels_[index];
    --level.locks;
    backend().resourceUpdated(*this);
    // Direct3D keeps a managed texture's system copy to restore it after a device loss; the
    // backend's copy survives a reset here, so it is the only one.
    if (pool() == D3DPOOL_MANAGED && level.locks == 0 && backend().holdTextureLevel(*this, index)) {
        level.bytes = std::vector<BYTE>();
        level.held = false;
    }
    return D3D_OK;
}

}  // namespace d3d9
