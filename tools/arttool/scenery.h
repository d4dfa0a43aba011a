// Pictures shared by the menu pages and the videos.
#pragma once

#include "tools/arttool/paint.h"

namespace arttool {

// Dusk over the town in the top 1024 x 768 pixels: sky, hills, a skyline with lit windows
// and a road; rows below are black.
void drawScene(Image& image, std::uint32_t seed, Argb skyTop, Argb skyBottom);
// A boxy off-roader from the side, top-left at (x, y), 182 x 72 pixels at scale 1.
void drawJeep(Image& image, float x, float y, float scale, Argb paint);

}  // namespace arttool
