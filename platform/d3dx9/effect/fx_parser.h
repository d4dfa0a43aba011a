// Reads the effect-file language: parameters with defaults, semantics and annotations,
// textures and samplers with sampler_state blocks, HLSL functions and structs (kept as
// text), techniques and passes with their state assignments.
#pragma once

#include <string>

#include "d3d9/fx/fx_desc.h"
#include "fx_lexer.h"

namespace d3dx9::fx {

// Throws EffectError ("file(line): message") on the first error. A trailing NUL in the
// text ends it. #include names are resolved through `includes` (none: every #include
// fails).
EffectDesc parseEffect(const std::string& fileName, const std::string& text,
                       const IncludeHandler& includes = IncludeHandler());

}  // namespace d3dx9::fx
