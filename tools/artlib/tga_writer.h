// Uncompressed 32-bit TGA files (BGRA, rows bottom-up as most readers expect).
#pragma once

#include "tools/artlib/bytes.h"
#include "tools/artlib/image.h"

namespace artlib {

Bytes tgaBytes(const Image& image);

}  // namespace artlib
