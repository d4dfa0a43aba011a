// PNG files through stb_image_write: video frames and the pictures kept for people to look at.
#pragma once

#include "tools/artlib/bytes.h"
#include "tools/artlib/image.h"

namespace artlib {

Bytes pngBytes(const Image& image);

}  // namespace artlib
