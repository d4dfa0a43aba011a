// The answer of a compile's child process, as bytes through its pipe: the error text, or
// the compiled shader with its GLSL translation.
#pragma once

#include <string>

#include "hlsl_compiler.h"

namespace d3dx9::fx {

std::string packFailure(const std::string& message);
std::string packSuccess(const CompiledShader& compiled);

// Fills in what packSuccess wrote; throws ShaderError with the child's message for a
// failure, or when the answer is damaged.
void unpack(const std::string& answer, CompiledShader& result);

}  // namespace d3dx9::fx
