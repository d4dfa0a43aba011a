// DDS texture files with their whole mip chain: 32-bit A8R8G8B8, or DXT1 / DXT5 blocks
// compressed with stb's block compressor.
#pragma once

#include "tools/artlib/bytes.h"
#include "tools/artlib/image.h"

namespace artlib {

enum class DdsFormat { Argb8, Dxt1, Dxt5 };

// Levels from the picture down to 1 x 1. DXT levels smaller than a block are padded by
// repeating their edge pixels.
Bytes ddsBytes(const Image& image, DdsFormat format);

}  // namespace artlib
