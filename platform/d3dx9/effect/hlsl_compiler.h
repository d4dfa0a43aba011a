// Compiles the HLSL of an effect to SPIR-V with glslang's HLSL front end: only the
// parameters, structs, static globals and functions reach the compiler, with #line marks
// so that its messages name the effect file's own lines.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "d3d9/fx/fx_desc.h"
#include "d3d9/fx/glsl_translator.h"

namespace d3dx9::fx {

// A compile failure; the message holds the compiler's lines as "file(line): error: ...".
class ShaderError : public EffectError {
public:
    using EffectError::EffectError;
};

struct ShaderProfile {
    bool vertex = true;
    unsigned major = 0;
    unsigned minor = 0;
    // D3DVS_VERSION / D3DPS_VERSION of the profile (0xFFFE0101 for vs_1_1, 0xFFFF0200 for
    // ps_2_0...), to compare with the device caps' shader versions.
    std::uint32_t version = 0;
    unsigned constantRegisters = 0;  // float4 constant registers the profile offers
    unsigned samplers = 0;           // texture samplers the profile offers
};

// vs_1_1, vs_2_0, vs_2_a, vs_3_0, ps_1_1 .. ps_1_4, ps_2_0, ps_2_a, ps_2_b, ps_3_0; false
// for any other name.
bool parseProfile(const std::string& name, ShaderProfile& profile);

// True when a device whose caps report `capsVersion` (D3DCAPS9 VertexShaderVersion or
// PixelShaderVersion) runs shaders of `profile`.
bool profileSupported(const ShaderProfile& profile, std::uint32_t capsVersion);

struct CompiledShader {
    ShaderProfile profile;
    std::string entry;
    std::vector<std::uint32_t> spirv;
    std::string warnings;  // compiler warnings, "file(line): warning: ..." lines
    // The code's GLSL translation, which says which parameters and samplers it reads.
    GlslShader glsl;
};

// The HLSL text handed to glslang (exposed for diagnostics): the parameters the code names,
// then the code.
std::string hlslSource(const EffectDesc& effect);

// Compiles the `compile` assignment of a pass (a VertexShader or PixelShader state whose
// source is Shader) and translates it to GLSL. Code nested deeper than the profile allows
// is refused before any compiler sees it; glslang and SPIRV-Cross run in a child process
// (compiler_process.h): code they crash or hang on fails as "file(line): error: the shader
// compiler failed on this code (...)". Throws ShaderError for an unknown profile, too deep
// nesting, compiler errors, that failure, or a shader that exceeds the profile's constant
// registers or samplers.
CompiledShader compileShader(const EffectDesc& effect, const StateAssignment& assignment);

}  // namespace d3dx9::fx
