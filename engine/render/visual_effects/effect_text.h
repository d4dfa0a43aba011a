// The effect text: a line-based description of one visual effect.
//
//     :PlainMesh
//     mesh glow.wfm
//     blendMode 1
//     :Billboard
//     size 2 2
//
// A line starting with ':' names the kind of the next component; every other line inside a
// component is "key value". Empty lines and lines starting with '#' are skipped, as are the
// lines before the first directive and after an unknown one. A value that does not parse
// leaves its field at what it was; unknown directives and keys are logged on "warning".
#pragma once

#include <istream>
#include <string>

#include "engine/render/visual_effects/effect_library.h"

namespace kesh {

// Reads the whole stream and inserts the description under name (a name already in the
// library keeps its first description). Throws std::runtime_error
// "effect param extraction failed" when the stream fails before its end (a file that
// could not be opened, a read error); nothing is inserted then.
void parseEffectText(EffectLibrary& library, const std::string& name, std::istream& in);

}  // namespace kesh
