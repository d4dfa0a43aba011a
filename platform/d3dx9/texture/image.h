// A decoded image file: its format and levels, ready to be copied into a texture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "d3dx9tex.h"

namespace d3dx9 {

// The longest side any image file may declare. Larger ones are refused before anything is
// sized from them: a few bytes of header could otherwise ask for gigabytes.
constexpr UINT kMaxImageSide = 16384;

// The bytes of one level. Move-only, so that a level is never copied by accident; it can take
// over the buffer a decoder allocated, so that an image is decoded once, into its level.
class LevelBytes {
public:
    LevelBytes() = default;
    // Zeroed; throws std::bad_alloc.
    explicit LevelBytes(size_t size);
    // Takes over `data`, which `release` frees.
    LevelBytes(BYTE* data, size_t size, void (*release)(void*)) noexcept
        : data_(data, release), size_(size) {}

    BYTE* data() { return data_.get(); }
    const BYTE* data() const { return data_.get(); }
    size_t size() const { return size_; }
    BYTE& operator[](size_t i) { return data_.get()[i]; }
    const BYTE& operator[](size_t i) const { return data_.get()[i]; }

private:
    std::unique_ptr<BYTE, void (*)(void*)> data_{nullptr, &std::free};
    size_t size_ = 0;
};

struct ImageLevel {
    UINT width = 0;
    UINT height = 0;
    // Uncompressed: width x 4 bytes per row (B, G, R, A). Compressed: rows of 4x4 blocks.
    LevelBytes bytes;
};

struct Image {
    D3DFORMAT format = D3DFMT_UNKNOWN;  // A8R8G8B8, X8R8G8B8 or DXT1/3/5
    D3DXIMAGE_FILEFORMAT fileFormat = D3DXIFF_BMP;
    std::vector<ImageLevel> levels;  // at least one
};

bool isCompressed(D3DFORMAT format);
// Bytes of one 4x4 block of a compressed format.
UINT blockBytes(D3DFORMAT format);
// Bytes of a level: rows of blocks when compressed, else 4 bytes per pixel.
unsigned long long levelBytes(D3DFORMAT format, UINT width, UINT height);
UINT fullChainLength(UINT width, UINT height);

// Each fails with D3DXERR_INVALIDDATA on bad or truncated data.
HRESULT readDds(const BYTE* data, size_t size, Image& image);
// PNG, BMP and TGA.
HRESULT readStbImage(const BYTE* data, size_t size, Image& image);
// The sides a PNG, BMP, TGA or JPEG header declares, read without decoding; false when the
// header cannot be read.
bool stbImageSize(const BYTE* data, size_t size, UINT& width, UINT& height);
bool jpegSize(const BYTE* data, size_t size, UINT& width, UINT& height);
// JPEG, baseline and progressive.
HRESULT readJpeg(const BYTE* data, size_t size, Image& image);
// The most bytes a decoded image may take (4 per pixel): 8192 x 8192, or 16384 x 4096. Whatever
// its file's size, an image within this and the side limit loads; the limit is checked before
// the image is allocated, so that a header cannot ask for gigabytes.
constexpr unsigned long long kMaxImageBytes = 256ull << 20;

// False when a file of `size` bytes cannot be the image its header declares: a side of 0 or
// above the side limit (kMaxImageSide, or less through setImageSideLimit), more than
// kMaxImageBytes decoded, or fewer bytes than `leastBytes`, what the format needs at its most
// compact for that many pixels. Every reader asks this before it sizes anything from the header.
bool plausibleImageSize(UINT width, UINT height, unsigned long long leastBytes, size_t size);

// An uncompressed level of another size: scaled by the filter, or with D3DX_FILTER_NONE
// copied into the top-left corner (cut where larger, transparent black where smaller).
ImageLevel resizeLevel(const ImageLevel& source, UINT width, UINT height, DWORD filter);
// The next mip level of an uncompressed level: each pixel the mean of its 2x2 source.
ImageLevel halveLevel(const ImageLevel& source);
// A compressed level as 32-bit BGRA pixels, and back.
ImageLevel decodeDxt(D3DFORMAT format, const ImageLevel& level);
ImageLevel encodeDxt(D3DFORMAT format, const ImageLevel& level);
// Pixels of colour `key` (ARGB, alpha compared too) become 0.
void applyColorKey(ImageLevel& level, D3DCOLOR key);

}  // namespace d3dx9
