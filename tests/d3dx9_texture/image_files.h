// Image files made in memory for the texture tests: DDS written field by field, PNG, JPEG
// and BMP through stb_image_write, baseline and progressive JPEG through libjpeg-turbo, TGA
// by hand.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <d3d9.h>

namespace texture_test {

using Bytes = std::vector<std::uint8_t>;

// ARGB pixels, row by row.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<D3DCOLOR> pixels;

    D3DCOLOR at(int x, int y) const { return pixels[y * width + x]; }
};

Picture gradient(int width, int height, bool opaque);

// A DDS of 32-bit pixels with the given levels (each half the previous).
Bytes ddsArgb(const std::vector<Picture>& levels, bool alpha);
// A DDS whose levels are already-compressed block data ("DXT1", "DXT3" or "DXT5").
Bytes ddsCompressed(const char* fourCc, int width, int height, const std::vector<Bytes>& levels);
// Block data of a picture (sides multiples of 4) compressed with stb.
Bytes compressDxt(const Picture& picture, D3DFORMAT format);

Bytes png(const Picture& picture, bool alpha);
// 8-bit grey, deflated as tightly as zlib can: one shade, or with `square` a checkerboard of
// squares of that side in the shade and its inverse.
Bytes greyPng(int width, int height, std::uint8_t grey, int square = 0);
Bytes bmp(const Picture& picture);
Bytes jpeg(const Picture& picture);
// 4:2:0, quality 95.
Bytes turboJpeg(const Picture& picture, bool progressive);
// An 18-byte TGA header of the given image kind (2 uncompressed, 10 run-length), top row first.
Bytes tgaHeader(int kind, int width, int height, int bitsPerPixel);
// 24-bit run-length TGA, top row first: runs of equal pixels packed, the rest one by one.
Bytes tgaRunLength(const Picture& picture);
// Uncompressed 24-bit TGA, rows stored bottom-up unless topDown.
Bytes tga(const Picture& picture, bool topDown);

}  // namespace texture_test
