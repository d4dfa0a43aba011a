// `compile vs_2_0 VS(2, true)` binds the constant arguments to the entry function's
// `uniform` parameters. The compiler has no such notion, so the call is turned into a
// wrapper function that passes the varying parameters through and the arguments as
// written.
#pragma once

#include <string>

#include "d3d9/fx/fx_desc.h"

namespace d3dx9::fx {

struct EntryWrapper {
    std::string name;  // the wrapper's function name, the new entry point
    std::string text;  // HLSL of the wrapper
};

// Throws ShaderError ("file(line): error: ...", at the assignment) when the entry function
// cannot be found or the arguments do not match its uniform parameters.
EntryWrapper wrapEntry(const EffectDesc& effect, const StateAssignment& assignment);

}  // namespace d3dx9::fx
