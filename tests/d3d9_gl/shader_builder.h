// Shader blobs from effect text, as the effect framework hands them to the device: the
// first pass's compiled shader, with registers given to its parameters in order.
#pragma once

#include <map>
#include <string>
#include <vector>

#include <d3d9.h>

namespace d3d9::testing {

struct BuiltShader {
    std::vector<DWORD> words;
    std::map<std::string, UINT> registers;  // parameter -> first register of its kind
};

// Throws d3dx9::fx::EffectError when the effect does not parse or compile.
BuiltShader buildShader(const std::string& effectText, bool vertex);

}  // namespace d3d9::testing
