// The level "levels/drive_test.slev" for runs of the whole game: one flat square of asphalt
// with a post in each corner, and a start with its end 30 units straight ahead of it.
#pragma once

#include "tools/arttool/art_output.h"

namespace arttool {

void makeDriveTestLevel(const ArtOutput& out);

}  // namespace arttool
