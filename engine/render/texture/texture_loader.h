// The loader behind the texture cache. It never fails: a texture that cannot be loaded is
// logged and replaced by one shared 16 x 16 checkerboard, so that missing art shows on
// screen instead of stopping the game. It can force one file extension for every request.
// A file is loaded once however its names spell it: each name shares the one texture.
#pragma once

#include <d3d9.h>

#include <cstdint>
#include <map>
#include <string>

#include "engine/core/resource.h"
#include "engine/render/device/dx_device.h"
#include "win32/com_ptr.h"
#include "win32/file_paths.h"

namespace kesh {

class TextureLoader : public ResourceLoader<IDirect3DTexture9> {
public:
    TextureLoader(DxDevice* device, const std::string& directory);

    // Empty, or an extension with its dot (".dds", ".tga"): it replaces the extension of
    // the file name of every request, or is added to a file name that has none.
    void setExtension(const std::string& newExtension) { extension = newExtension; }

    // Never null. Throws only when the checkerboard itself cannot be made.
    IDirect3DTexture9* load(const ResourceId& name) override;
    // The checkerboard goes with the last of the loads that handed it out.
    void release(IDirect3DTexture9*& texture) override;

    // directory + name with the extension rule applied.
    std::string pathOf(const std::string& name) const;
    IDirect3DTexture9* fallbackTexture() const { return fallback.get(); }

private:
    win32::ComPtr<IDirect3DTexture9> makeCheckerboard();

    std::string directory;
    std::string extension;
    DxDevice* device;
    // One reference, however many loads handed the checkerboard out.
    win32::ComPtr<IDirect3DTexture9> fallback;
    std::uint32_t fallbackUses = 0;
    // The textures of files loaded and not yet released by every name, one reference per use.
    struct Shared {
        IDirect3DTexture9* texture = nullptr;
        std::uint32_t uses = 0;
    };
    std::map<win32::FileIdentity, Shared> byFile;
};

using TextureCache = ResourceCache<IDirect3DTexture9>;

// The process-wide texture cache, published by the game object; null outside its lifetime.
extern TextureCache* theTextureCache;

// CreateTexture with no shared handle; throws std::runtime_error on failure.
win32::ComPtr<IDirect3DTexture9> create_texture(IDirect3DDevice9* device, UINT width, UINT height,
                                                UINT levels, DWORD usage, D3DFORMAT format,
                                                D3DPOOL pool);

// A lock of a whole surface for the object's lifetime.
class surface_scoped_lock {
public:
    // Throws std::runtime_error when the surface cannot be locked.
    surface_scoped_lock(IDirect3DSurface9* surface, DWORD flags);
    ~surface_scoped_lock();
    surface_scoped_lock(const surface_scoped_lock&) = delete;
    surface_scoped_lock& operator=(const surface_scoped_lock&) = delete;

    INT pitch() const { return lockedRect.Pitch; }
    void* bits() const { return lockedRect.pBits; }

private:
    D3DLOCKED_RECT lockedRect{};
    IDirect3DSurface9* surface;
};

}  // namespace kesh
