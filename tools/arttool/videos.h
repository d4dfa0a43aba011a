// The intro videos "video/video01.rs" (the title) and "video/video02.rs" (into town):
// PNG frames at 40 ms a frame.
#pragma once

#include "tools/arttool/art_output.h"
#include "tools/arttool/text_painter.h"

namespace arttool {

void makeVideos(const ArtOutput& out, const TextPainter& text);

}  // namespace arttool
