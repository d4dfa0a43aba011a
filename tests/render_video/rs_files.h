// ".rs" videos and their frames, written by the tests: the frame table and the frames laid
// out in order, and small PNG images of one colour to fill them.
#pragma once

#include <d3d9/drawing.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace video_testing {

using Bytes = std::vector<std::uint8_t>;

inline void putU32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// The table (offsets counted from its end) and then the frames in the order given.
inline Bytes rsFile(const std::vector<Bytes>& frames) {
    const std::size_t tableEnd = 8 + 8 * frames.size();
    Bytes bytes(tableEnd);
    putU32(bytes, 0, 0x31305352);  // not read
    putU32(bytes, 4, static_cast<std::uint32_t>(frames.size()));
    for (std::size_t i = 0; i < frames.size(); ++i) {
        putU32(bytes, 8 + 8 * i, static_cast<std::uint32_t>(bytes.size() - tableEnd));
        putU32(bytes, 12 + 8 * i, static_cast<std::uint32_t>(frames[i].size()));
        bytes.insert(bytes.end(), frames[i].begin(), frames[i].end());
    }
    return bytes;
}

// A PNG file of width x height pixels; pixel(x, y) gives 0xAARRGGBB. Written through the
// drawing backend's PNG writer into scratch, then read back.
template <class Pixel>
Bytes pngImage(unsigned width, unsigned height, Pixel pixel, const std::string& scratch) {
    d3d9::BackBufferImage image;
    image.width = width;
    image.height = height;
    image.rgba.resize(4u * width * height);
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            const std::uint32_t argb = pixel(x, y);
            std::uint8_t* at = &image.rgba[4u * (y * width + x)];
            at[0] = static_cast<std::uint8_t>(argb >> 16);
            at[1] = static_cast<std::uint8_t>(argb >> 8);
            at[2] = static_cast<std::uint8_t>(argb);
            at[3] = static_cast<std::uint8_t>(argb >> 24);
        }
    }
    if (!d3d9::writePng(image, scratch)) {
        return {};
    }
    std::ifstream in(scratch, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline Bytes solidPng(unsigned width, unsigned height, std::uint32_t argb,
                      const std::string& scratch) {
    return pngImage(
        width, height, [argb](unsigned, unsigned) { return argb; }, scratch);
}

}  // namespace video_testing
