// Direct3D render and sampler states in GL terms.
#pragma once

#include <array>

#include "d3d9/records.h"
#include "gl/state_cache.h"

namespace d3d9::gl {

// Depth, blending, culling (Direct3D's clockwise front faces), fill mode, colour writes
// and the viewport of a back buffer `height` pixels high.
void applyRenderStates(const DeviceState& state, bool depthBuffer, UINT height, StateCache& cache);

GLenum compareFunction(DWORD d3dCompare);

// Sets a GL sampler object's parameters from a Direct3D sampler's states.
void applySamplerStates(GLuint sampler, const std::array<DWORD, kSamplerStateCount>& states);

}  // namespace d3d9::gl
