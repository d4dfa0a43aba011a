// Resizing, mip reduction and colour keys over 32-bit BGRA levels.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "texture/image.h"

namespace d3dx9 {

ImageLevel resizeLevel(const ImageLevel& source, UINT width, UINT height, DWORD filter) {
    ImageLevel out;
    out.width = width;
    out.height = height;
    out.bytes = LevelBytes(4ull * width * height);
    if ((filter & 0xFF) == D3DX_FILTER_NONE) {
        const UINT rows = std::min(height, source.height);
        const size_t rowBytes = 4ull * std::min(width, source.width);
        for (UINT y = 0; y < rows; ++y) {
            std::memcpy(&out.bytes[4ull * y * width], &source.bytes[4ull * y * source.width],
                        rowBytes);
        }
        return out;
    }
    if ((filter & 0xFF) == D3DX_FILTER_POINT) {
        for (UINT y = 0; y < height; ++y) {
            const UINT sy = static_cast<UINT>(1ull * y * source.height / height);
            for (UINT x = 0; x < width; ++x) {
                const UINT sx = static_cast<UINT>(1ull * x * source.width / width);
                std::memcpy(&out.bytes[4ull * (1ull * y * width + x)],
                            &source.bytes[4ull * (1ull * sy * source.width + sx)], 4);
            }
        }
        return out;
    }
    // Bilinear between the source pixel centres. Each column's taps are found once: a large
    // level scaled to a power of two is millions of pixels.
    const float scaleX = static_cast<float>(source.width) / static_cast<float>(width);
    const float scaleY = static_cast<float>(source.height) / static_cast<float>(height);
    struct Tap {
        size_t left;
        size_t right;
        float weight;
    };
    auto tap = [](UINT i, float scale, UINT side) {
        const float f = (static_cast<float>(i) + 0.5f) * scale - 0.5f;
        const int first = static_cast<int>(std::floor(f));
        const int last = static_cast<int>(side) - 1;
        return Tap{static_cast<size_t>(std::clamp(first, 0, last)),
                   static_cast<size_t>(std::clamp(first + 1, 0, last)),
                   f - static_cast<float>(first)};
    };
    std::vector<Tap> columns(width);
    for (UINT x = 0; x < width; ++x) {
        columns[x] = tap(x, scaleX, source.width);
    }
    for (UINT y = 0; y < height; ++y) {
        const Tap row = tap(y, scaleY, source.height);
        const BYTE* upper = &source.bytes[4ull * row.left * source.width];
        const BYTE* lower = &source.bytes[4ull * row.right * source.width];
        BYTE* target = &out.bytes[4ull * y * width];
        for (UINT x = 0; x < width; ++x) {
            const Tap& column = columns[x];
            const float tx = column.weight;
            for (size_t c = 0; c < 4; ++c) {
                const float top = static_cast<float>(upper[4 * column.left + c]) * (1 - tx) +
                                  static_cast<float>(upper[4 * column.right + c]) * tx;
                const float bottom = static_cast<float>(lower[4 * column.left + c]) * (1 - tx) +
                                     static_cast<float>(lower[4 * column.right + c]) * tx;
                target[4ull * x + c] =
                    static_cast<BYTE>(std::lround(top * (1 - row.weight) + bottom * row.weight));
            }
        }
    }
    return out;
}

ImageLevel halveLevel(const ImageLevel& source) {
    ImageLevel out;
    out.width = std::max(1u, source.width / 2);
    out.height = std::max(1u, source.height / 2);
    out.bytes = LevelBytes(4ull * out.width * out.height);
    for (UINT y = 0; y < out.height; ++y) {
        const UINT y0 = std::min(y * 2, source.height - 1);
        const UINT y1 = std::min(y * 2 + 1, source.height - 1);
        for (UINT x = 0; x < out.width; ++x) {
            const UINT x0 = std::min(x * 2, source.width - 1);
            const UINT x1 = std::min(x * 2 + 1, source.width - 1);
            for (int c = 0; c < 4; ++c) {
                auto at = [&](UINT sx, UINT sy) {
                    return static_cast<UINT>(
                        source.bytes[4ull * (1ull * sy * source.width + sx) + c]);
                };
                out.bytes[4ull * (1ull * y * out.width + x) + c] =
                    static_cast<BYTE>((at(x0, y0) + at(x1, y0) + at(x0, y1) + at(x1, y1) + 2) / 4);
            }
        }
    }
    return out;
}

void applyColorKey(ImageLevel& level, D3DCOLOR key) {
    for (size_t p = 0; p + 4 <= level.bytes.size(); p += 4) {
        D3DCOLOR pixel = 0;
        std::memcpy(&pixel, &level.bytes[p], 4);
        if (pixel == key) {
            std::memset(&level.bytes[p], 0, 4);
        }
    }
}

}  // namespace d3dx9
