// The code handed to CreateVertexShader / CreatePixelShader: SPIR-V with the table that
// ties each of its uniforms to the device's constant registers or sampler stages.
//
// Words: magic, kind, total word count (header included), SPIR-V word count, the SPIR-V,
// uniform count, then per uniform: kind, first register, register count, sampler stage,
// name length in bytes, and the name in little-endian bytes padded to whole words.
//
// Float uniforms read registerCount float4 registers: a vector or scalar takes the first
// components of its register, an array one register per element, a matrix its values
// packed in storage order (row by row for Direct3D's row-vector matrices). Int uniforms
// read int4 registers the same way; bool uniforms one bool register per element.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <d3d9.h>

namespace d3d9 {

constexpr DWORD kShaderBlobMagic = 0x4B53564Du;  // "MVSK"

enum class ShaderKind : DWORD { Vertex = 1, Pixel = 2 };
enum class ConstantKind : DWORD { Float = 0, Int = 1, Bool = 2, Sampler = 3 };

struct ShaderUniform {
    std::string name;  // the GLSL name ("fx.matrix_world", a sampler's name)
    ConstantKind kind = ConstantKind::Float;
    UINT registerIndex = 0;
    UINT registerCount = 1;
    UINT samplerStage = 0;  // samplers only
};

struct ShaderBlob {
    ShaderKind kind = ShaderKind::Vertex;
    std::vector<std::uint32_t> spirv;
    std::vector<ShaderUniform> uniforms;
};

std::vector<DWORD> encodeShaderBlob(const ShaderBlob& blob);

// False when the words are not a well-formed blob (bad magic or kind, counts that do not
// add up to the total, a name running past the end).
bool decodeShaderBlob(const DWORD* words, ShaderBlob& blob);

}  // namespace d3d9
