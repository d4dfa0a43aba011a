// The committed text art (scripts, effect files, effect texts) copied into the art folder.
#pragma once

#include <string>

#include "tools/arttool/art_output.h"

namespace arttool {

// Copies every file below `source` to the same place below the output, in name order.
void copyCommittedArt(const ArtOutput& out, const std::string& source);

}  // namespace arttool
