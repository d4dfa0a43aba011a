// Turns the SPIR-V of an effect shader into GLSL 330 for the OpenGL backend, and says
// how each uniform, sampler and vertex input relates to the effect and the device.
//
// Naming contract shared with the generated fixed-function shaders:
// - effect parameters live in one plain (non-block) struct uniform per stage, "vs_fx" or
//   "ps_fx": GL names "vs_fx.<parameter>", set with glUniform* after glGetUniformLocation;
// - samplers are the effect's sampler names after the same stage prefix ("ps_fx_s0");
// - so a vertex shader of one effect links with a pixel shader of another, as Direct3D
//   pairs them, and each stage is fed from its own constant registers;
// - vertex inputs are "in_<USAGE><index>" ("in_POSITION0", "in_TEXCOORD1") at explicit
//   locations;
// - vertex outputs and pixel inputs are vec4s named "fx_<SEMANTIC><index>" ("fx_TEXCOORD0",
//   "fx_COLOR0"), whatever width each stage gives them, so the two stages link by their
//   Direct3D semantics alone.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fx_desc.h"

namespace d3dx9::fx {

enum class GlBaseType { Float, Int, UInt, Bool };

struct UniformBinding {
    std::string glslName;   // "vs_fx.matrix_world_view_projection"
    std::string parameter;  // the effect parameter
    GlBaseType base = GlBaseType::Float;
    unsigned rows = 1;  // the effect parameter's shape
    unsigned columns = 1;
    unsigned elements = 0;
    // For matrices: upload with glUniformMatrix*fv(transpose = this). Row-vector D3D
    // matrices used as mul(v, M) go in as they are stored (false).
    bool transpose = false;
    // Whether the stage reads it: every stage declares every parameter, and only the
    // ones it reads have registers of the stage to be fed from.
    bool used = true;
};

struct SamplerBinding {
    std::string glslName;
    std::string sampler;  // the effect's sampler parameter
    std::string texture;  // the texture parameter its sampler_state names, if any
    // The device sampler the effect binds it to: the register the compiler chose (s0,
    // s1...), or D3DVERTEXTEXTURESAMPLER0 (257) + register for vertex shaders.
    std::uint32_t deviceSampler = 0;
};

struct VertexAttribute {
    std::string glslName;     // "in_TEXCOORD1"
    std::uint32_t usage = 0;  // D3DDECLUSAGE: POSITION 0, NORMAL 3, TEXCOORD 5, COLOR 10...
    std::uint32_t usageIndex = 0;
    unsigned location = 0;
    unsigned components = 4;
};

struct GlslShader {
    bool vertex = true;
    std::string source;
    std::vector<UniformBinding> uniforms;
    std::vector<SamplerBinding> samplers;
    std::vector<VertexAttribute> attributes;  // vertex shaders only
    std::vector<std::string> varyings;        // outputs (vertex) or inputs (pixel)
    // The stage's own width of each varying (1 to 4): between the stages every one is a vec4.
    std::vector<unsigned> varyingComponents;
};

struct TranslateOptions {
    // Rewrites the clip position from Direct3D's z/w in 0..1 to GL's -1..1.
    bool fixupDepth = true;
    // When not empty, vertex shaders declare `uniform vec4 <name>;` and end with
    // gl_Position.xy += <name>.xy * gl_Position.w, so the device can move every draw by
    // half a pixel (Direct3D samples pixel centres at integer positions) or flip it.
    std::string positionAdjustUniform;
    // When not empty, pixel shaders declare `uniform vec2 <name>;` and end with Direct3D's
    // alpha test on their colour output: x is the D3DCMP_* comparison (0 when the test is
    // off), y the reference in 0..255.
    std::string alphaTestUniform;
};

// D3DDECLUSAGE of a semantic name without its index ("TEXCOORD" -> 5); false if unknown.
bool usageFromSemantic(const std::string& name, std::uint32_t& usage);

// Adds the position adjustment of TranslateOptions to a vertex shader's text.
void adjustPosition(std::string& source, const std::string& uniform);

// The statements of the alpha test of TranslateOptions on a colour variable.
std::string alphaTestStatements(const std::string& colour, const std::string& uniform);

// Throws EffectError when SPIRV-Cross rejects the module.
GlslShader translateToGlsl(const std::vector<std::uint32_t>& spirv, bool vertexStage,
                           const EffectDesc& effect,
                           const TranslateOptions& options = TranslateOptions());

}  // namespace d3dx9::fx
