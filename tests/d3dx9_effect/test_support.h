// Shared helpers of the effect tests: the project's embedded effect texts and a GLSL
// check through glslang's own OpenGL front end.
#pragma once

#include <string>

#include "d3d9/fx/fx_desc.h"
#include "d3d9/fx/glsl_translator.h"

namespace fxtest {

// Text of a file below the repository root ("engine/render/resources/ERROR.FX").
std::string readSourceFile(const std::string& relative);

// Empty when the shader(s) compile (and link) as GLSL 330 core; else glslang's log.
std::string glslErrors(const std::string& source, bool vertex);
std::string glslLinkErrors(const std::string& vertexSource, const std::string& pixelSource);

const d3dx9::fx::StateAssignment* findAssignment(const d3dx9::fx::Pass& pass,
                                                 const std::string& name, unsigned index = 0);

}  // namespace fxtest
