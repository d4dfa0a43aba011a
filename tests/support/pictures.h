// Pictures read back from a device of the drawing backend: kept as PNG files to look at, and
// measured by the tests.
#pragma once

#include <d3d9.h>

#include <cstdint>
#include <string>

#include "d3d9/drawing.h"

namespace morvale_testing {

inline std::uint32_t rgb(D3DCOLOR colour) {
    return colour & 0x00FFFFFF;
}

// The pixels of a picture that differ from one colour, as a box (empty when none do).
struct PixelBox {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
    bool empty() const { return right <= left || bottom <= top; }
};
PixelBox boxOfPixelsUnlike(const d3d9::BackBufferImage& image, D3DCOLOR background);

// The back buffer, also written to pngPath; a failure of either fails the test.
d3d9::BackBufferImage keptPicture(IDirect3DDevice9* device, const std::string& pngPath);

// "<suite>.<test><suffix>.png", the running test's name for its picture.
std::string pictureName(const std::string& suffix = "");

}  // namespace morvale_testing
