// The HLSL types an effect parameter may have, as the parser classifies them.
#pragma once

#include <string>

#include "d3d9/fx/fx_desc.h"

namespace d3dx9::fx {

struct TypeShape {
    ParamType type = ParamType::Void;
    unsigned rows = 1;
    unsigned columns = 1;
};

// "float4" -> Float 1x4, "matrix" -> Float 4x4, "bool" -> Bool 1x1, "texture2D" ->
// Texture, "sampler" -> Sampler...; false for anything else (structs, unknown names).
bool classifyType(const std::string& name, TypeShape& shape);

}  // namespace d3dx9::fx
