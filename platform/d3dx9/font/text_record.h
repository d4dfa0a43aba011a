// Appends to the text-draw record of the test seams.
#pragma once

#include "d3dx9/seams.h"

namespace d3dx9 {

void recordTextDraw(d3dx9::TextDraw draw);

}  // namespace d3dx9
