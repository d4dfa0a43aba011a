// Frame-sequence videos (".rs"): a table of frame offsets and sizes, then the frames, each a
// complete image file.
#pragma once

#include <vector>

#include "tools/artlib/bytes.h"

namespace artlib {

Bytes videoBytes(const std::vector<Bytes>& frames);

}  // namespace artlib
