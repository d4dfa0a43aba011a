// The effect list ("effect_config.cmd"): one effect per line, its name and its effect
// text file, blank-separated; empty lines and lines starting with '#' are skipped.
#pragma once

#include <fstream>
#include <istream>
#include <string>

#include "engine/render/visual_effects/effect_library.h"

namespace kesh {

// Parses every listed effect text, directory + file, into the library, logging each on
// "debug". Stops at the first failure by throwing: std::runtime_error "Stream read failed"
// when the list stream fails before its end, or the effect text's own error (a line holding
// only a name names no file, which fails to read). What was read stays in the library.
void readEffectListFrom(EffectLibrary& library, const std::wstring& directory, std::istream& list);

// A text file by a game path ('\' read as '/', a name differing only in case found); a
// directory or a missing file gives a stream that has failed before its end.
void openTextFile(std::ifstream& file, const std::wstring& path);

}  // namespace kesh
