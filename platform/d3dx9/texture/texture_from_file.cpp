// D3DXCreateTextureFromFile*: decode, fit to the requested size (within the device's largest
// texture), format and levels, copy into a new texture.
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
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) {
        return readJpeg(data, size, image);
    }
    return readStbImage(data, size, image);
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

// The texture that the request makes of the image.
struct Plan {
    UINT width = 0;
    UINT height = 0;
    UINT levels = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;
};

// A side the device cannot take is brought down to its largest, and the image is scaled to
// fit: an image may be larger than any texture (0 in the caps: no limit).
UINT fittedSide(UINT side, DWORD largest) {
    return largest != 0 && side > largest ? largest : side;
}

HRESULT plan(const Image& image, const Request& request, const D3DCAPS9& caps, Plan& out) {
    const ImageLevel& top = image.levels.front();
    out.width = fittedSide(targetSide(request.width, top.width), caps.MaxTextureWidth);
    out.height = fittedSide(targetSide(request.height, top.height), caps.MaxTextureHeight);
    out.format = request.format == D3DFMT_UNKNOWN ? image.format : request.format;
    const UINT fullChain = fullChainLength(out.width, out.height);
    UINT wanted = request.mipLevels;
    if (wanted == 0 || wanted == D3DX_DEFAULT) {
        wanted = fullChain;
    } else if (wanted == D3DX_FROM_FILE) {
        wanted = static_cast<UINT>(image.levels.size());
    }
    out.levels = std::min(wanted, fullChain);
    if (out.format != D3DFMT_A8R8G8B8 && out.format != D3DFMT_X8R8G8B8 &&
        !isCompressed(out.format)) {
        return D3DERR_NOTAVAILABLE;
    }
    return D3D_OK;
}

// Copies a level's rows into a texture level, whose rows are `pitch` bytes apart.
HRESULT writeLevel(IDirect3DTexture9& texture, UINT index, const ImageLevel& level,
                   D3DFORMAT format) {
    D3DLOCKED_RECT locked{};
    const HRESULT hr = texture.LockRect(index, &locked, nullptr, 0);
    if (FAILED(hr)) {
        return hr;
    }
    const bool compressed = isCompressed(format);
    const UINT rows = compressed ? (level.height + 3) / 4 : level.height;
    const size_t rowBytes =
        compressed ? 1ull * ((level.width + 3) / 4) * blockBytes(format) : 4ull * level.width;
    for (UINT row = 0; row < rows; ++row) {
        std::memcpy(static_cast<BYTE*>(locked.pBits) + 1ull * row * locked.Pitch,
                    &level.bytes[row * rowBytes], rowBytes);
    }
    texture.UnlockRect(index);
    return D3D_OK;
}

// A level of the file as pixels with the colour key applied; the file's own storage is taken
// over where it already is pixels.
ImageLevel sourcePixels(Image& image, size_t index, D3DCOLOR colorKey) {
    ImageLevel level = isCompressed(image.format) ? decodeDxt(image.format, image.levels[index])
                                                  : std::move(image.levels[index]);
    if (colorKey != 0) {
        applyColorKey(level, colorKey);
    }
    return level;
}

// Fills the texture's levels one at a time, each made from the one before, so that beside
// the decoded image and the texture no more than two levels are ever held.
HRESULT fillLevels(Image& image, const Request& request, const Plan& plan,
                   IDirect3DTexture9& texture) {
    const ImageLevel& top = image.levels.front();
    const bool sameSize = plan.width == top.width && plan.height == top.height;
    HRESULT hr = D3D_OK;
    if (isCompressed(image.format) && plan.format == image.format && sameSize &&
        request.colorKey == 0) {
        // Blocks that fit as stored go in untouched; only missing levels are made.
        ImageLevel made;
        const ImageLevel* previous = nullptr;
        for (UINT i = 0; i < plan.levels; ++i) {
            if (i < image.levels.size()) {
                previous = &image.levels[i];
            } else {
                made = encodeDxt(plan.format, halveLevel(decodeDxt(plan.format, *previous)));
                previous = &made;
            }
            if (FAILED(hr = writeLevel(texture, i, *previous, plan.format))) {
                return hr;
            }
        }
        return D3D_OK;
    }
    // Anything else is done on pixels.
    const size_t fileLevels = image.levels.size();
    ImageLevel level = sourcePixels(image, 0, request.colorKey);
    if (!sameSize) {
        level = resizeLevel(level, plan.width, plan.height, request.filter);
    }
    for (UINT i = 0; i < plan.levels; ++i) {
        if (i > 0) {
            // A file's own level is used while the sizes still match the file's.
            level = sameSize && i < fileLevels ? sourcePixels(image, i, request.colorKey)
                                               : halveLevel(level);
        }
        if (plan.format == D3DFMT_X8R8G8B8) {
            for (size_t p = 3; p < level.bytes.size(); p += 4) {
                level.bytes[p] = 0xFF;
            }
        }
        hr = isCompressed(plan.format)
                 ? writeLevel(texture, i, encodeDxt(plan.format, level), plan.format)
                 : writeLevel(texture, i, level, plan.format);
        if (FAILED(hr)) {
            return hr;
        }
    }
    return D3D_OK;
}

// False when the texture that the file's header asks for cannot fit in the video memory left,
// so that a file the device must refuse is not decoded first. A DDS holds its levels as they
// are, so its file's size already bounds what it takes.
bool roomFor(IDirect3DDevice9* device, const BYTE* data, size_t size, const Request& request,
             const D3DCAPS9& caps) {
    UINT width = 0;
    UINT height = 0;
    const bool jpeg = size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
    if ((request.pool != D3DPOOL_DEFAULT && request.pool != D3DPOOL_MANAGED) ||
        (size >= 4 && std::memcmp(data, "DDS ", 4) == 0) ||
        !(jpeg ? jpegSize(data, size, width, height) : stbImageSize(data, size, width, height))) {
        return true;  // the decoder judges it
    }
    width = fittedSide(targetSide(request.width, width), caps.MaxTextureWidth);
    height = fittedSide(targetSide(request.height, height), caps.MaxTextureHeight);
    const D3DFORMAT format = request.format == D3DFMT_UNKNOWN ? D3DFMT_A8R8G8B8 : request.format;
    const UINT fullChain = fullChainLength(width, height);
    UINT levels = request.mipLevels;
    if (levels == 0 || levels == D3DX_DEFAULT) {
        levels = fullChain;
    } else if (levels == D3DX_FROM_FILE) {
        levels = 1;
    }
    unsigned long long bytes = 0;
    for (UINT i = 0; i < std::min(levels, fullChain); ++i) {
        bytes += levelBytes(format, std::max(1u, width >> i), std::max(1u, height >> i));
    }
    return bytes <= device->GetAvailableTextureMem();
}

HRESULT createFromMemory(IDirect3DDevice9* device, const BYTE* data, size_t size,
                         const Request& request, D3DXIMAGE_INFO* info,
                         IDirect3DTexture9** texture) {
    D3DCAPS9 caps{};
    HRESULT hr = device->GetDeviceCaps(&caps);
    if (FAILED(hr)) {
        return hr;
    }
    if (!roomFor(device, data, size, request, caps)) {
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    Image image;
    hr = decode(data, size, image);
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
    Plan made;
    if (FAILED(hr = plan(image, request, caps, made))) {
        return hr;
    }
    ComRef<IDirect3DTexture9> result;
    hr = device->CreateTexture(made.width, made.height, made.levels, request.usage, made.format,
                               request.pool, result.out(), nullptr);
    if (FAILED(hr) || FAILED(hr = fillLevels(image, request, made, *result.get()))) {
        return hr;
    }
    *texture = result.release();
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
