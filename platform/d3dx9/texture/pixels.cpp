// Resizing, mip reduction and colour keys over 32-bit BGRA levels.
#include <algorithm>
#include <cmath>
#include <cstring>

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
    // Bilinear between the source pixel centres.
    const float scaleX = static_cast<float>(source.width) / static_cast<float>(width);
    const float scaleY = static_cast<float>(source.height) / static_cast<float>(height);
    auto texel = [&](int x, int y, int c) {
        x = std::clamp(x, 0, static_cast<int>(source.width) - 1);
        y = std::clamp(y, 0, static_cast<int>(source.height) - 1);
        return static_cast<float>(source.bytes[4ull * (1ull * y * source.width + x) + c]);
    };
    for (UINT y = 0; y < height; ++y) {
        const float fy = (static_cast<float>(y) + 0.5f) * scaleY - 0.5f;
        const int y0 = static_cast<int>(std::floor(fy));
        const float ty = fy - static_cast<float>(y0);
        for (UINT x = 0; x < width; ++x) {
            const float fx = (static_cast<float>(x) + 0.5f) * scaleX - 0.5f;
            const int x0 = static_cast<int>(std::floor(fx));
            const float tx = fx - static_cast<float>(x0);
            for (int c = 0; c < 4; ++c) {
                const float top = texel(x0, y0, c) * (1 - tx) + texel(x0 + 1, y0, c) * tx;
                const float bottom =
                    texel(x0, y0 + 1, c) * (1 - tx) + texel(x0 + 1, y0 + 1, c) * tx;
                out.bytes[4ull * (1ull * y * width + x) + c] =
                    static_cast<BYTE>(std::lround(top * (1 - ty) + bottom * ty));
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
