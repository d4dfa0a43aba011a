// Pictures as the art tool makes them: ARGB pixels row by row, top row first.
#pragma once

#include <cstdint>
#include <vector>

namespace artlib {

using Argb = std::uint32_t;

constexpr Argb argb(unsigned a, unsigned r, unsigned g, unsigned b) {
    return (a & 0xffu) << 24 | (r & 0xffu) << 16 | (g & 0xffu) << 8 | (b & 0xffu);
}
constexpr unsigned alphaOf(Argb c) {
    return c >> 24;
}
constexpr unsigned redOf(Argb c) {
    return c >> 16 & 0xffu;
}
constexpr unsigned greenOf(Argb c) {
    return c >> 8 & 0xffu;
}
constexpr unsigned blueOf(Argb c) {
    return c & 0xffu;
}

struct Image {
    Image() = default;
    Image(int width, int height, Argb fill = 0);

    Argb at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    Argb& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }

    int width = 0;
    int height = 0;
    std::vector<Argb> pixels;
};

// Each level half the one before (2 x 2 box average), down to 1 x 1; the first is the picture.
std::vector<Image> mipChain(const Image& image);

// `top` laid over `bottom` with top's alpha scaled by `coverage` (0..1).
Argb blend(Argb bottom, Argb top, float coverage = 1.0f);

// The picture's bytes as R, G, B, A, row by row.
std::vector<std::uint8_t> rgbaBytes(const Image& image);

}  // namespace artlib
