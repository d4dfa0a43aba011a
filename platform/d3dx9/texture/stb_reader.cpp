// PNG, BMP and TGA through stb_image, as 32-bit BGRA pixels. stb sizes its buffers from the
// header alone and reads zeros past the end of short data, so each header is first held
// against the bytes that follow it.
#include <stb_image.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <utility>

#include "texture/image.h"

namespace d3dx9 {
namespace {

// Deflate writes at most 258 bytes with two one-bit codes: no zlib stream inflates to more
// than this many times its own length.
constexpr unsigned long long kMostInflation = 1032;

bool startsWith(const BYTE* data, size_t size, std::initializer_list<BYTE> prefix) {
    if (size < prefix.size()) {
        return false;
    }
    size_t i = 0;
    for (BYTE b : prefix) {
        if (data[i++] != b) {
            return false;
        }
    }
    return true;
}

unsigned readLittleEndian16(const BYTE* p) {
    return unsigned{p[0]} | (unsigned{p[1]} << 8);
}

unsigned readLittleEndian32(const BYTE* p) {
    return readLittleEndian16(p) | (readLittleEndian16(p + 2) << 16);
}

// TGA has no signature; its header must at least name a colour-map kind and an image kind
// that exist, so that other formats stb knows are not taken for it.
bool looksLikeTga(const BYTE* data, size_t size) {
    if (size < 18) {
        return false;
    }
    const BYTE colourMap = data[1];
    const BYTE kind = data[2];
    return colourMap <= 1 &&
           (kind == 1 || kind == 2 || kind == 3 || kind == 9 || kind == 10 || kind == 11);
}

unsigned readBigEndian32(const BYTE* p) {
    return (unsigned{p[0]} << 24) | (unsigned{p[1]} << 16) | (unsigned{p[2]} << 8) | p[3];
}

// stb allocates each chunk at the length its header declares before reading it, so a few
// bytes could ask for gigabytes: every chunk up to IEND must lie within the file.
bool pngChunksFit(const BYTE* data, size_t size) {
    size_t at = 8;
    while (size - at >= 12) {
        const unsigned long long length = readBigEndian32(data + at);
        if (length > 0x7FFFFFFFull || length > size - at - 12) {
            return false;
        }
        const bool end = std::equal(data + at + 4, data + at + 8, "IEND");
        at += 12 + static_cast<size_t>(length);
        if (end) {
            return true;
        }
    }
    return false;
}

// The pixel rows of a PNG, without their filter bytes, can be no more than the file inflated
// to the limit.
bool pngCanHold(const BYTE* data, size_t size, UINT width, UINT height) {
    if (size < 29 || !pngChunksFit(data, size)) {
        return false;
    }
    static constexpr int kChannels[] = {1, 0, 3, 1, 2, 0, 4};
    const BYTE depth = data[24];
    const BYTE colourType = data[25];
    if (colourType > 6 || kChannels[colourType] == 0 || depth == 0 || depth > 16) {
        return false;
    }
    const unsigned long long bits = 1ull * width * depth * kChannels[colourType];
    const unsigned long long pixelBytes = height * ((bits + 7) / 8);
    return pixelBytes <= kMostInflation * size;
}

// Uncompressed BMP rows (stb reads no run-length BMP) from where the header says they start,
// each but the last padded to 4 bytes.
bool bmpCanHold(const BYTE* data, size_t size, UINT width, UINT height) {
    if (size < 30) {
        return false;
    }
    const unsigned headerSize = readLittleEndian32(data + 14);
    const unsigned bitsPerPixel = readLittleEndian16(data + (headerSize == 12 ? 24 : 28));
    if (bitsPerPixel == 0) {
        return false;
    }
    const unsigned long long pixelsAt =
        std::max<unsigned long long>(readLittleEndian32(data + 10), 14ull + headerSize);
    const unsigned long long rowBits = 1ull * width * bitsPerPixel;
    const unsigned long long stride = (rowBits + 31) / 32 * 4;
    return pixelsAt + (height - 1) * stride + (rowBits + 7) / 8 <= size;
}

// Uncompressed TGA data holds every pixel; run-length data is walked packet by packet
// until its packets cover the image.
bool tgaCanHold(const BYTE* data, size_t size, UINT width, UINT height) {
    if (readLittleEndian16(data + 12) != width || readLittleEndian16(data + 14) != height) {
        return false;  // stb took it for another format
    }
    const unsigned pixelBytes = (data[16] + 7u) / 8u;
    if (pixelBytes == 0 || pixelBytes > 4) {
        return false;
    }
    const unsigned long long mapBytes =
        data[1] == 1 ? 1ull * readLittleEndian16(data + 5) * ((data[7] + 7u) / 8u) : 0;
    const unsigned long long start = 18ull + data[0] + mapBytes;
    if (start > size) {
        return false;
    }
    const unsigned long long pixels = 1ull * width * height;
    unsigned long long left = size - start;
    if (data[2] < 8) {
        return pixels * pixelBytes <= left;
    }
    const BYTE* at = data + start;
    for (unsigned long long covered = 0; covered < pixels;) {
        if (left == 0) {
            return false;
        }
        const BYTE packet = *at++;
        --left;
        const unsigned count = (packet & 0x7Fu) + 1u;
        const unsigned long long bytes = packet & 0x80u ? pixelBytes : 1ull * count * pixelBytes;
        if (bytes > left) {
            return false;
        }
        at += bytes;
        left -= bytes;
        covered += count;
    }
    return true;
}

}  // namespace

bool stbImageSize(const BYTE* data, size_t size, UINT& width, UINT& height) {
    int w = 0;
    int h = 0;
    int channels = 0;
    if (data == nullptr || size == 0 || size > static_cast<size_t>(INT_MAX) ||
        !stbi_info_from_memory(data, static_cast<int>(size), &w, &h, &channels) || w <= 0 ||
        h <= 0) {
        return false;
    }
    width = static_cast<UINT>(w);
    height = static_cast<UINT>(h);
    return true;
}

HRESULT readStbImage(const BYTE* data, size_t size, Image& image) {
    if (data == nullptr || size == 0 || size > static_cast<size_t>(INT_MAX)) {
        return D3DXERR_INVALIDDATA;
    }
    const int length = static_cast<int>(size);
    int width = 0;
    int height = 0;
    int channels = 0;
    if (!stbi_info_from_memory(data, length, &width, &height, &channels) ||
        !plausibleImageSize(static_cast<UINT>(width), static_cast<UINT>(height), 0, size)) {
        return D3DXERR_INVALIDDATA;
    }
    const UINT w = static_cast<UINT>(width);
    const UINT h = static_cast<UINT>(height);
    D3DXIMAGE_FILEFORMAT fileFormat;
    bool holds = false;
    if (startsWith(data, size, {0x89, 'P', 'N', 'G'})) {
        fileFormat = D3DXIFF_PNG;
        holds = pngCanHold(data, size, w, h);
    } else if (startsWith(data, size, {'B', 'M'})) {
        fileFormat = D3DXIFF_BMP;
        holds = bmpCanHold(data, size, w, h);
    } else if (looksLikeTga(data, size)) {
        fileFormat = D3DXIFF_TGA;
        holds = tgaCanHold(data, size, w, h);
    } else {
        return D3DXERR_INVALIDDATA;
    }
    if (!holds) {
        return D3DXERR_INVALIDDATA;
    }
    int decodedWidth = 0;
    int decodedHeight = 0;
    stbi_uc* pixels =
        stbi_load_from_memory(data, length, &decodedWidth, &decodedHeight, &channels, 4);
    if (pixels == nullptr) {
        return D3DXERR_INVALIDDATA;
    }
    ImageLevel level;
    level.bytes = LevelBytes(pixels, 4ull * w * h, &stbi_image_free);
    if (decodedWidth != width || decodedHeight != height) {
        return D3DXERR_INVALIDDATA;
    }
    level.width = w;
    level.height = h;
    // RGBA to BGRA where the pixels lie.
    const bool alpha = channels == 2 || channels == 4;
    BYTE* p = level.bytes.data();
    for (size_t i = 0; i < level.bytes.size(); i += 4) {
        std::swap(p[i], p[i + 2]);
        if (!alpha) {
            p[i + 3] = 0xFF;
        }
    }
    image.format = alpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    image.fileFormat = fileFormat;
    image.levels.clear();
    image.levels.push_back(std::move(level));
    return D3D_OK;
}

}  // namespace d3dx9
