// DDS files: 2D textures, A8R8G8B8, X8R8G8B8 or DXT1/3/5, with their mip levels. Every
// length is checked before it is used.
#include <cstring>

#include "texture/image.h"

namespace d3dx9 {
namespace {

constexpr DWORD kMagic = 0x20534444;  // "DDS "
constexpr DWORD kHeaderSize = 124;
constexpr DWORD kMipMapCount = 0x20000;
constexpr DWORD kFourCc = 0x4;
constexpr DWORD kRgb = 0x40;
constexpr DWORD kAlphaPixels = 0x1;
constexpr DWORD kCubeMap = 0x200;
constexpr DWORD kVolume = 0x200000;

DWORD readDword(const BYTE* p) {
    DWORD value = 0;
    std::memcpy(&value, p, 4);
    return value;
}

constexpr DWORD fourCc(char a, char b, char c, char d) {
    return static_cast<DWORD>(static_cast<BYTE>(a)) |
           (static_cast<DWORD>(static_cast<BYTE>(b)) << 8) |
           (static_cast<DWORD>(static_cast<BYTE>(c)) << 16) |
           (static_cast<DWORD>(static_cast<BYTE>(d)) << 24);
}

}  // namespace

bool isCompressed(D3DFORMAT format) {
    return format == D3DFMT_DXT1 || format == D3DFMT_DXT3 || format == D3DFMT_DXT5;
}

UINT blockBytes(D3DFORMAT format) {
    return format == D3DFMT_DXT1 ? 8 : 16;
}

unsigned long long levelBytes(D3DFORMAT format, UINT width, UINT height) {
    if (isCompressed(format)) {
        return 1ull * ((width + 3) / 4) * ((height + 3) / 4) * blockBytes(format);
    }
    return 4ull * width * height;
}

UINT fullChainLength(UINT width, UINT height) {
    UINT levels = 1;
    while (width > 1 || height > 1) {
        width = width > 1 ? width / 2 : 1;
        height = height > 1 ? height / 2 : 1;
        ++levels;
    }
    return levels;
}

HRESULT readDds(const BYTE* data, size_t size, Image& image) {
    if (data == nullptr || size < 4 + kHeaderSize || readDword(data) != kMagic) {
        return D3DXERR_INVALIDDATA;
    }
    const BYTE* header = data + 4;
    const DWORD flags = readDword(header + 4);
    const UINT height = readDword(header + 8);
    const UINT width = readDword(header + 12);
    const DWORD mipCount = readDword(header + 24);
    const BYTE* pixelFormat = header + 72;
    const DWORD pfFlags = readDword(pixelFormat + 4);
    const DWORD pfFourCc = readDword(pixelFormat + 8);
    const DWORD bitCount = readDword(pixelFormat + 12);
    const DWORD redMask = readDword(pixelFormat + 16);
    const DWORD greenMask = readDword(pixelFormat + 20);
    const DWORD blueMask = readDword(pixelFormat + 24);
    const DWORD alphaMask = readDword(pixelFormat + 28);
    const DWORD caps2 = readDword(header + 108);

    if (readDword(header) != kHeaderSize || !plausibleImageSize(width, height, 0, size) ||
        (caps2 & (kCubeMap | kVolume)) != 0) {
        return D3DXERR_INVALIDDATA;
    }
    D3DFORMAT format = D3DFMT_UNKNOWN;
    if (pfFlags & kFourCc) {
        if (pfFourCc == fourCc('D', 'X', 'T', '1')) {
            format = D3DFMT_DXT1;
        } else if (pfFourCc == fourCc('D', 'X', 'T', '3')) {
            format = D3DFMT_DXT3;
        } else if (pfFourCc == fourCc('D', 'X', 'T', '5')) {
            format = D3DFMT_DXT5;
        }
    } else if ((pfFlags & kRgb) && bitCount == 32 && redMask == 0x00FF0000u &&
               greenMask == 0x0000FF00u && blueMask == 0x000000FFu) {
        format = ((pfFlags & kAlphaPixels) && alphaMask == 0xFF000000u) ? D3DFMT_A8R8G8B8
                                                                        : D3DFMT_X8R8G8B8;
    }
    if (format == D3DFMT_UNKNOWN) {
        return D3DXERR_INVALIDDATA;
    }
    UINT levels = (flags & kMipMapCount) && mipCount > 0 ? mipCount : 1;
    if (levels > fullChainLength(width, height)) {
        return D3DXERR_INVALIDDATA;
    }

    image.format = format;
    image.fileFormat = D3DXIFF_DDS;
    image.levels.clear();
    size_t offset = 4 + kHeaderSize;
    UINT w = width;
    UINT h = height;
    for (UINT i = 0; i < levels; ++i) {
        const unsigned long long bytes = levelBytes(format, w, h);
        if (bytes > size - offset) {
            return D3DXERR_INVALIDDATA;
        }
        ImageLevel level;
        level.width = w;
        level.height = h;
        level.bytes = LevelBytes(bytes);
        std::memcpy(level.bytes.data(), data + offset, bytes);
        if (format == D3DFMT_X8R8G8B8) {
            for (size_t p = 3; p < level.bytes.size(); p += 4) {
                level.bytes[p] = 0xFF;
            }
        }
        image.levels.push_back(std::move(level));
        offset += bytes;
        w = w > 1 ? w / 2 : 1;
        h = h > 1 ? h / 2 : 1;
    }
    return D3D_OK;
}

}  // namespace d3dx9
