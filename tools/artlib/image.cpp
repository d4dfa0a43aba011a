#include "tools/artlib/image.h"

#include <algorithm>

namespace artlib {

Image::Image(int width, int height, Argb fill)
    : width(width), height(height), pixels(static_cast<std::size_t>(width) * height, fill) {}

namespace {

Image halve(const Image& image) {
    Image half(std::max(1, image.width / 2), std::max(1, image.height / 2));
    for (int y = 0; y < half.height; ++y) {
        for (int x = 0; x < half.width; ++x) {
            unsigned sum[4] = {0, 0, 0, 0};
            for (int dy = 0; dy < 2; ++dy) {
                for (int dx = 0; dx < 2; ++dx) {
                    const Argb c = image.at(std::min(image.width - 1, 2 * x + dx),
                                            std::min(image.height - 1, 2 * y + dy));
                    sum[0] += alphaOf(c);
                    sum[1] += redOf(c);
                    sum[2] += greenOf(c);
                    sum[3] += blueOf(c);
                }
            }
            half.at(x, y) =
                argb((sum[0] + 2) / 4, (sum[1] + 2) / 4, (sum[2] + 2) / 4, (sum[3] + 2) / 4);
        }
    }
    return half;
}

unsigned mixChannel(unsigned bottom, unsigned top, unsigned weight) {
    return (bottom * (255 - weight) + top * weight + 127) / 255;
}

}  // namespace

std::vector<Image> mipChain(const Image& image) {
    std::vector<Image> levels{image};
    while (levels.back().width > 1 || levels.back().height > 1) {
        levels.push_back(halve(levels.back()));
    }
    return levels;
}

Argb blend(Argb bottom, Argb top, float coverage) {
    const float clamped = std::clamp(coverage, 0.0f, 1.0f);
    const auto weight = static_cast<unsigned>(alphaOf(top) * clamped + 0.5f);
    const unsigned alpha = weight + alphaOf(bottom) * (255 - weight) / 255;
    return argb(alpha, mixChannel(redOf(bottom), redOf(top), weight),
                mixChannel(greenOf(bottom), greenOf(top), weight),
                mixChannel(blueOf(bottom), blueOf(top), weight));
}

std::vector<std::uint8_t> rgbaBytes(const Image& image) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(image.pixels.size() * 4);
    for (const Argb c : image.pixels) {
        bytes.push_back(static_cast<std::uint8_t>(redOf(c)));
        bytes.push_back(static_cast<std::uint8_t>(greenOf(c)));
        bytes.push_back(static_cast<std::uint8_t>(blueOf(c)));
        bytes.push_back(static_cast<std::uint8_t>(alphaOf(c)));
    }
    return bytes;
}

}  // namespace artlib
