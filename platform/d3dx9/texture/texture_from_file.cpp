// D3DXCreateTextureFromFile*: decode, fit to the requested size, format and levels, copy
// into a new texture.
#include <algorithm>
#include <cstring>
#include <new>

#include "common/com_object.h"
#include "common/file_data.h"
#include "d3d9/seams.h"
#include "texture/image.h"

namespace d3dx9 {
namespace {

UINT roundUpToPowerOfTwo(UINT value) {
    UINT power = 1;
    while (power < value && power < 0x80000000u) {
        power <<= 1;
    }
    return power;
}

UINT targetSide(UINT requested, UINT imageSide) {
    if (requested == 0 || requested == D3DX_DEFAULT) {
        return roundUpToPowerOfTwo(imageSide);
    }
    if (requested == D3DX_DEFAULT_NONPOW2 || requested == D3DX_FROM_FILE) {
        return imageSide;
    }
    return requested;
}

HRESULT decode(const BYTE* data, size_t size, Image& image) {
    if (size >= 4 && std::memcmp(data, "DDS ", 4) == 0) {
        return readDds(data, size, image);
    }
    return readStbImage(data, size, image);
}

// Copies a level's rows into a locked texture level, whose rows are `pitch` bytes apart.
void copyRows(const ImageLevel& level, D3DFORMAT format, const D3DLOCKED_RECT& locked) {
    const bool compressed = isCompressed(format);
    const UINT rows = compressed ? (level.height + 3) / 4 : level.height;
    const size_t rowBytes =
        compressed ? 1ull * ((level.width + 3) / 4) * blockBytes(format) : 4ull * level.width;
    for (UINT row = 0; row < rows; ++row) {
        std::memcpy(static_cast<BYTE*>(locked.pBits) + 1ull * row * locked.Pitch,
                    &level.bytes[row * rowBytes], rowBytes);
    }
}

struct Request {
    UINT width;
    UINT height;
    UINT mipLevels;
    DWORD usage;
    D3DFORMAT format;
    D3DPOOL pool;
    DWORD filter;
    D3DCOLOR colorKey;
};

// The levels the texture gets, from the decoded image.
HRESULT fitLevels(Image& image, const Request& request, D3DFORMAT& format,
                  std::vector<ImageLevel>& levels) {
    const ImageLevel& top = image.levels.front();
    const UINT width = targetSide(request.width, top.width);
    const UINT height = targetSide(request.height, top.height);
    format = request.format == D3DFMT_UNKNOWN ? image.format : request.format;
    const UINT fullChain = fullChainLength(width, height);
    UINT wanted = request.mipLevels;
    if (wanted == 0 || wanted == D3DX_DEFAULT) {
        wanted = fullChain;
    } else if (wanted == D3DX_FROM_FILE) {
        wanted = static_cast<UINT>(image.levels.size());
    }
    wanted = std::min(wanted, fullChain);

    if (format != D3DFMT_A8R8G8B8 && format != D3DFMT_X8R8G8B8 && !isCompressed(format)) {
        return D3DERR_NOTAVAILABLE;
    }
    const bool sameSize = width == top.width && height == top.height;
    if (isCompressed(image.format) && format == image.format && sameSize && request.colorKey == 0) {
        // Blocks that fit as stored go in untouched; only missing levels are made.
        const size_t stored = std::min<size_t>(wanted, image.levels.size());
        levels.assign(image.levels.begin(), image.levels.begin() + stored);
        while (levels.size() < wanted) {
            levels.push_back(encodeDxt(format, halveLevel(decodeDxt(format, levels.back()))));
        }
        return D3D_OK;
    }
    // Anything else is done on pixels.
    std::vector<ImageLevel> source;
    for (const ImageLevel& level : image.levels) {
        source.push_back(isCompressed(image.format) ? decodeDxt(image.format, level) : level);
    }
    if (request.colorKey != 0) {
        for (ImageLevel& level : source) {
            applyColorKey(level, request.colorKey);
        }
    }
    levels.clear();
    levels.push_back(sameSize ? source.front()
                              : resizeLevel(source.front(), width, height, request.filter));
    for (UINT i = 1; i < wanted; ++i) {
        // A file's own level is used while the sizes still match the file's.
        levels.push_back(sameSize && i < source.size() ? source[i] : halveLevel(levels.back()));
    }
    for (ImageLevel& level : levels) {
        if (format == D3DFMT_X8R8G8B8) {
            for (size_t p = 3; p < level.bytes.size(); p += 4) {
                level.bytes[p] = 0xFF;
            }
        } else if (isCompressed(format)) {
            level = encodeDxt(format, level);
        }
    }
    return D3D_OK;
}

HRESULT createFromMemory(IDirect3DDevice9* device, const BYTE* data, size_t size,
                         const Request& request, D3DXIMAGE_INFO* info,
                         IDirect3DTexture9** texture) {
    Image image;
    HRESULT hr = decode(data, size, image);
    if (FAILED(hr)) {
        return hr;
    }
    const ImageLevel& top = image.levels.front();
    if (info != nullptr) {
        info->Width = top.width;
        info->Height = top.height;
        info->Depth = 1;
        info->MipLevels = static_cast<UINT>(image.levels.size());
        info->Format = image.format;
        info->ResourceType = D3DRTYPE_TEXTURE;
        info->ImageFileFormat = image.fileFormat;
    }
    D3DFORMAT format = D3DFMT_UNKNOWN;
    std::vector<ImageLevel> levels;
    if (FAILED(hr = fitLevels(image, request, format, levels))) {
        return hr;
    }
    ComRef<IDirect3DTexture9> made;
    hr = device->CreateTexture(levels.front().width, levels.front().height,
                               static_cast<UINT>(levels.size()), request.usage, format,
                               request.pool, made.out(), nullptr);
    if (FAILED(hr)) {
        return hr;
    }
    for (UINT i = 0; i < levels.size(); ++i) {
        D3DLOCKED_RECT locked{};
        if (FAILED(hr = made->LockRect(i, &locked, nullptr, 0))) {
            return hr;
        }
        copyRows(levels[i], format, locked);
        made->UnlockRect(i);
    }
    *texture = made.release();
    return D3D_OK;
}

HRESULT createGuarded(IDirect3DDevice9* device, const BYTE* data, size_t size,
                      const Request& request, D3DXIMAGE_INFO* info, IDirect3DTexture9** texture) {
    try {
        return createFromMemory(device, data, size, request, info, texture);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT createFromFile(IDirect3DDevice9* device, const std::string& path, const Request& request,
                       D3DXIMAGE_INFO* info, IDirect3DTexture9** texture) {
    if (texture == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *texture = nullptr;
    if (device == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    std::optional<std::vector<std::uint8_t>> data;
    try {
        data = readFile(path);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    if (!data) {
        return D3DERR_NOTFOUND;
    }
    const HRESULT hr = createGuarded(device, data->data(), data->size(), request, info, texture);
    if (SUCCEEDED(hr)) {
        d3d9::setDebugName(*texture, path);
    }
    return hr;
}

}  // namespace
}  // namespace d3dx9

HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* data, UINT size,
                                            UINT width, UINT height, UINT mipLevels, DWORD usage,
                                            D3DFORMAT format, D3DPOOL pool, DWORD filter, DWORD,
                                            D3DCOLOR colorKey, D3DXIMAGE_INFO* info, PALETTEENTRY*,
                                            IDirect3DTexture9** texture) {
    if (texture == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *texture = nullptr;
    if (device == nullptr || data == nullptr || size == 0) {
        return D3DERR_INVALIDCALL;
    }
    const d3dx9::Request request{width, height, mipLevels, usage, format, pool, filter, colorKey};
    return d3dx9::createGuarded(device, static_cast<const BYTE*>(data), size, request, info,
                                texture);
}

HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice9* device, LPCSTR file, UINT width, UINT height,
                                     UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                     DWORD filter, DWORD, D3DCOLOR colorKey, D3DXIMAGE_INFO* info,
                                     PALETTEENTRY*, IDirect3DTexture9** texture) {
    if (file == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    const d3dx9::Request request{width, height, mipLevels, usage, format, pool, filter, colorKey};
    return d3dx9::createFromFile(device, file, request, info, texture);
}

HRESULT D3DXCreateTextureFromFileExW(IDirect3DDevice9* device, LPCWSTR file, UINT width,
                                     UINT height, UINT mipLevels, DWORD usage, D3DFORMAT format,
                                     D3DPOOL pool, DWORD filter, DWORD, D3DCOLOR colorKey,
                                     D3DXIMAGE_INFO* info, PALETTEENTRY*,
                                     IDirect3DTexture9** texture) {
    if (file == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    const d3dx9::Request request{width, height, mipLevels, usage, format, pool, filter, colorKey};
    return d3dx9::createFromFile(device, d3dx9::toUtf8(file), request, info, texture);
}
