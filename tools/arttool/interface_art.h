// The car interface: the instrument meshes and the two views' level files,
// "levels/interior.slev" (cockpit) and "levels/OnScreenInterface.slev" (outside view), with
// the radar ring "locator1".."locator36" and the signal bar "locator37".."locator52".
#pragma once

#include "tools/arttool/art_output.h"

namespace arttool {

void makeInterfaceArt(const ArtOutput& out);

}  // namespace arttool
