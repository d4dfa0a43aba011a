#include "tools/artlib/tga_writer.h"

namespace artlib {

Bytes tgaBytes(const Image& image) {
    Bytes out;
    appendU8(out, 0);  // no id field
    appendU8(out, 0);  // no colour map
    appendU8(out, 2);  // uncompressed true colour
    for (int i = 0; i < 5; ++i) {
        appendU8(out, 0);  // colour map fields
    }
    appendU16(out, 0);  // origin x, y
    appendU16(out, 0);
    appendU16(out, static_cast<std::uint32_t>(image.width));
    appendU16(out, static_cast<std::uint32_t>(image.height));
    appendU8(out, 32);
    appendU8(out, 8);  // eight alpha bits, bottom-left origin
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            appendU32(out, image.at(x, y));  // little-endian ARGB is B, G, R, A
        }
    }
    return out;
}

}  // namespace artlib
