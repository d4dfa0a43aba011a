// The level "levels/drive_test.slev" for runs of the whole game: one flat square of asphalt,
// a start and its end 30 units straight ahead of it, nothing else to hit or to load.
#pragma once

#include "tools/arttool/art_output.h"

namespace arttool {

void makeDriveTestLevel(const ArtOutput& out);

}  // namespace arttool
