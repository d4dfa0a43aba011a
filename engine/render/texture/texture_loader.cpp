#include "engine/render/texture/texture_loader.h"

#include <d3dx9tex.h>

#include <cstring>

#include "engine/core/errors.h"
#include "engine/render/log_lines.h"

namespace kesh {

TextureCache* theTextureCache = nullptr;

namespace {

constexpr D3DCOLOR kCheckerLight = 0xFFFF8080;
constexpr D3DCOLOR kCheckerDark = 0xFF000000;

}  // namespace

TextureLoader::TextureLoader(DxDevice* dxDevice, const std::string& folder)
    : directory(folder), device(dxDevice) {}

std::string TextureLoader::pathOf(const std::string& name) const {
    std::string path = directory + name;
    if (extension.empty()) {
        return path;
    }
    // Only the file name: a dot in a folder name is no extension.
    const std::size_t slash = path.find_last_of("/\\");
    const std::size_t fileStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = path.find_last_of('.');
    if (dot != std::string::npos && dot >= fileStart) {
        path.erase(dot);
    }
    return path + extension;
}

IDirect3DTexture9* TextureLoader::load(const ResourceId& name) {
    const std::string path = pathOf(name.id);
    const std::optional<win32::FileIdentity> identity = win32::identifyFile(path);
    if (identity) {
        const auto known = byFile.find(*identity);
        if (known != byFile.end()) {
            ++known->second.uses;
            known->second.texture->AddRef();
            return known->second.texture;
        }
    }
    win32::ComPtr<IDirect3DTexture9> texture;
    const HRESULT hr =
        D3DXCreateTextureFromFileExA(device->getDevice(), path.c_str(), D3DX_DEFAULT, D3DX_DEFAULT,
                                     D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT,
                                     D3DX_DEFAULT, 0, nullptr, nullptr, texture.out());
    if (SUCCEEDED(hr) && texture) {
        if (identity) {
            byFile[*identity] = {texture.get(), 1};
        }
        return texture.release();
    }
    writeLine(boost::log::logResource(), "Cannot load resource ", path);
    if (fallbackUses == 0 || !fallback) {
        fallback = makeCheckerboard();
        fallbackUses = 1;
    } else {
        ++fallbackUses;
    }
    return fallback.get();
}

void TextureLoader::release(IDirect3DTexture9*& texture) {
    if (texture == nullptr) {
        return;
    }
    if (texture != fallback.get()) {
        for (auto it = byFile.begin(); it != byFile.end(); ++it) {
            if (it->second.texture == texture) {
                if (--it->second.uses == 0) {
                    byFile.erase(it);
                }
                break;
            }
        }
        // Adopting the cache's reference gives it back.
        const win32::ComPtr<IDirect3DTexture9> given(texture);
    } else if (fallbackUses != 0 && fallback) {
        if (--fallbackUses == 0) {
            fallback.reset();
        }
    }
    texture = nullptr;
}

win32::ComPtr<IDirect3DTexture9> TextureLoader::makeCheckerboard() {
    win32::ComPtr<IDirect3DTexture9> texture =
        create_texture(device->getDevice(), 16, 16, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED);
    win32::ComPtr<IDirect3DSurface9> surface;
    if (FAILED(texture->GetSurfaceLevel(0, surface.out())) || !surface) {
        throwRuntimeError(L"create_texture: create texture failed ");
    }
    D3DSURFACE_DESC desc{};
    surface->GetDesc(&desc);
    surface_scoped_lock lock(surface.get(), 0);
    auto* bytes = static_cast<unsigned char*>(lock.bits());
    for (UINT y = 0; y < 16; ++y) {
        for (UINT x = 0; x < 16; x += 4) {
            const D3DCOLOR colour = ((x / 4) ^ (y / 4)) & 1 ? kCheckerLight : kCheckerDark;
            for (UINT i = 0; i < 4; ++i) {
                std::memcpy(bytes + (lock.pitch() / 4 * y + x + i) * 4, &colour, sizeof colour);
            }
        }
    }
    return texture;
}

win32::ComPtr<IDirect3DTexture9> create_texture(IDirect3DDevice9* device, UINT width, UINT height,
                                                UINT levels, DWORD usage, D3DFORMAT format,
                                                D3DPOOL pool) {
    win32::ComPtr<IDirect3DTexture9> texture;
    const HRESULT hr =
        device->CreateTexture(width, height, levels, usage, format, pool, texture.out(), nullptr);
    if (FAILED(hr) || !texture) {
        throwDxError(FAILED(hr) ? hr : E_FAIL, L"create_texture: create texture failed ");
    }
    return texture;
}

surface_scoped_lock::surface_scoped_lock(IDirect3DSurface9* lockedSurface, DWORD flags)
    : surface(lockedSurface) {
    const HRESULT hr = surface->LockRect(&lockedRect, nullptr, flags);
    if (FAILED(hr)) {
        throwDxError(hr, L"surface_scoped_lock: whole surface lock failed");
    }
}

surface_scoped_lock::~surface_scoped_lock() {
    surface->UnlockRect();
}

}  // namespace kesh
