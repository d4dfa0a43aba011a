// The state names an effect pass may assign, the Direct3D 9 state each one sets and the
// numeric values of the enumerations they take. The numbers are Direct3D 9's own.
#pragma once

#include <cstdint>
#include <string>

#include "d3d9/fx/fx_desc.h"

namespace d3dx9::fx {

// How a state's value is written in an effect and converted to the device's DWORD.
enum class ValueType {
    Dword,
    Bool,
    Float,  // the DWORD carries the float's bits
    Color,  // D3DCOLOR; a float3/float4 packs to ARGB
    ZBuffer,
    Fill,
    Shade,
    Blend,
    Cull,
    Compare,
    Fog,
    StencilOp,
    BlendOp,
    MaterialSource,
    TextureOp,
    TextureArg,
    Address,
    Filter,
    TransformFlags,
    TexCoordIndex,
    VertexBlend,
    ColorWrite,
    PatchEdge,
    Degree,
    Shader,  // VertexShader / PixelShader: compile or NULL
    Object,  // Texture / Sampler: a <param> reference or NULL
};

struct StateInfo {
    const char* name;
    StateKind kind;
    std::uint32_t state;
    ValueType type;
};

// Case-insensitive lookup of a pass state name; null when unknown.
const StateInfo* findPassState(const std::string& name);
// Case-insensitive lookup of a sampler_state entry (sampler states and "Texture").
const StateInfo* findSamplerState(const std::string& name);

// Case-insensitive enumeration name (or true/false) for a state's type.
bool enumValue(ValueType type, const std::string& name, std::uint32_t& value);

// D3DCOLOR from (r, g, b[, a]) in 0..1: each clamped, 255 at >= 1, 0 at <= 0, else
// trunc(f * 255 + 0.5); alpha is 1 when only three components are given.
std::uint32_t packColor(const double* rgba, unsigned count);

std::uint32_t floatBits(float f);

// The DWORD a state receives from a parameter's current value (a <param> reference):
// booleans 0/1, integers as they are, floats as bits for float states, float3/float4 packed
// to ARGB for colour states, other floats truncated.
std::uint32_t stateValueFromParameter(ValueType type, ParamType paramType, const double* values,
                                      unsigned count);

}  // namespace d3dx9::fx
