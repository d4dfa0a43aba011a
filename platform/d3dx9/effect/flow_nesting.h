// How deeply a shader's code nests its branches and loops. Direct3D 9's shader models bound
// both, and the compilers behind this layer do not: glslang and SPIRV-Cross recurse once per
// level (a few thousand nested `if`s overflow the stack) and Mesa's GLSL compiler takes time
// and memory that grow with every nested loop. The text is measured before any of them sees it.
#pragma once

#include <string>
#include <vector>

namespace d3dx9::fx {

struct NestingLimits {
    unsigned flow = 0;   // if, switch and loops together
    unsigned loops = 0;  // for, while, do
};

// Direct3D 9's limits for a shader model: 24 levels of dynamic flow control and 4 of loops
// for the 3_0 models, 16 levels of static flow control and 4 of loops below them.
NestingLimits nestingLimitsOf(unsigned major);

// Measures the functions that `entry` reaches in the HLSL text handed to the compiler (with
// its `#line N "fxI"` marks, whose I indexes `files`), each call adding the callee's nesting
// to what is open around it, as the compilers inline it. Empty when they stay within
// `limits`, else "file(line): error: ..." at the deepest statement or the call that goes past
// a limit; `profile` names the shader model in that message.
std::string nestingError(const std::string& hlsl, const std::string& entry,
                         const std::vector<std::string>& files, const NestingLimits& limits,
                         const std::string& profile);

}  // namespace d3dx9::fx
