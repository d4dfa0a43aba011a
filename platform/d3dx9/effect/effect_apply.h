// Sends a pass's state assignments to the device: render, texture-stage and sampler states,
// textures, whole sampler objects and shaders, reading <param> values as they are now.
#pragma once

#include <string>
#include <vector>

#include <d3d9.h>

#include "effect_shaders.h"

namespace d3dx9::fx {

void applyAssignment(IDirect3DDevice9* device, const EffectDesc& effect,
                     const StateAssignment& assignment, const ValueLookup& values,
                     const EffectShaders& shaders);

// Every state and the texture of a sampler parameter, on one device sampler.
void applySamplerObject(IDirect3DDevice9* device, const EffectDesc& effect, DWORD sampler,
                        const std::string& name, const ValueLookup& values);

// The parameters whose values the assignment reads (through a sampler, its states' too).
std::vector<std::string> assignmentInputs(const EffectDesc& effect,
                                          const StateAssignment& assignment);

}  // namespace d3dx9::fx
