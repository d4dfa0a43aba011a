// The shell's atlas "gui/shell.tai" and its textures: menu pages, buttons with their words,
// the map page with the town's plan, the HUD pieces and the digits.
#pragma once

#include "tools/arttool/art_output.h"
#include "tools/arttool/text_painter.h"
#include "tools/arttool/town_plan.h"

namespace arttool {

void makeGuiAtlas(const ArtOutput& out, const TextPainter& text, const TownPlan& plan);

}  // namespace arttool
