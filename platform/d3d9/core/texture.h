// 2D textures with their mip levels in CPU memory, and the surfaces of those levels. A
// managed texture's level that the backend holds a copy of keeps no bytes of its own until
// it is locked again.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/com_object.h"
#include "core/resource.h"

namespace d3d9 {

class Texture;

// A level of a texture. It has no count of its own: AddRef and Release act on the texture.
class Surface : public IDirect3DSurface9 {
public:
    Surface(Texture& texture, UINT level);
    ~Surface() override = default;

    HRESULT QueryInterface(REFIID, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetDevice(IDirect3DDevice9** device) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_SURFACE; }
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect() override;

private:
    Texture& texture_;
    UINT level_;
    LiveObject live_{ObjectType::Surface};
};

class Texture : public ComObject<IDirect3DTexture9>, public ResourceBase {
public:
    struct Level {
        UINT width;
        UINT height;
        UINT pitch;  // bytes from one row (of blocks, when compressed) to the next
        UINT rows;
        std::vector<BYTE> bytes;  // empty while only the backend holds the level
        int locks = 0;
        bool held = true;
    };

    // levels 0 makes the full chain. Sizes and format must have been checked.
    Texture(std::shared_ptr<DeviceContext> context, UINT width, UINT height, UINT levels,
            DWORD usage, D3DFORMAT format, D3DPOOL pool);
    ~Texture() override;

    static UINT fullChainLength(UINT width, UINT height);
    static UINT pitchFor(D3DFORMAT format, UINT width);
    // What the texture takes in video memory: its levels, unpadded.
    static std::uint64_t videoBytes(D3DFORMAT format, UINT width, UINT height, UINT levels);

    HRESULT GetDevice(IDirect3DDevice9** device) override { return deviceOf(device); }
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD GetLevelCount() override { return static_cast<DWORD>(levels_.size()); }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;

    D3DFORMAT format() const { return format_; }
    const Level& level(UINT index) const { return levels_[index]; }
    UINT levelCount() const { return static_cast<UINT>(levels_.size()); }

private:
    D3DFORMAT format_;
    std::uint64_t videoBytes_ = 0;  // counted in the context while the texture lives
    std::vector<Level> levels_;
    std::vector<std::unique_ptr<Surface>> surfaces_;
};

}  // namespace d3d9
