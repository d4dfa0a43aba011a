// Every sound the audio script names, and the background music, made by synthesis.
#pragma once

#include "tools/arttool/art_output.h"

namespace arttool {

void makeSounds(const ArtOutput& out);

}  // namespace arttool
