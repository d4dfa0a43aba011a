// The level "levels/final_level.slev": ground tiles, buildings and boundary walls with their
// meshes and baked lightmaps, the effect locators and the start and end locators.
#pragma once

#include "tools/arttool/art_output.h"
#include "tools/arttool/town_plan.h"

namespace arttool {

void makeTown(const ArtOutput& out, const TownPlan& plan);

}  // namespace arttool
