// A decoded image file: its format and levels, ready to be copied into a texture.
#pragma once

#include <cstdint>
#include <vector>

#include "d3dx9tex.h"

namespace d3dx9 {

struct ImageLevel {
    UINT width = 0;
    UINT height = 0;
    // Uncompressed: width x 4 bytes per row (B, G, R, A). Compressed: rows of 4x4 blocks.
    std::vector<BYTE> bytes;
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
// PNG, JPEG, BMP and TGA.
HRESULT readStbImage(const BYTE* data, size_t size, Image& image);

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
