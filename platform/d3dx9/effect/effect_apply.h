// Sends a planned pass to the device: render, texture-stage and sampler states, textures,
// whole sampler objects and shaders with their constants, reading <param> values as they
// are now.
#pragma once

#include <cstdint>
#include <vector>

#include <d3d9.h>

#include "effect_plan.h"

namespace d3dx9::fx {

// What a pass reads while it runs; the values are parallel to the effect's parameters.
struct PassContext {
    IDirect3DDevice9* device;
    const EffectPlan& plan;
    const EffectShaders& shaders;
    const ParameterValues& values;
};

// Every assignment of the pass, as BeginPass sends them.
void applyPass(const PassContext& context, const PassPlan& pass);

// Only what reads a value changed since `applied` (value versions, parallel to the
// values): states and samplers whose inputs changed, and shader constants one by one.
void commitPass(const PassContext& context, const PassPlan& pass,
                const std::vector<std::uint64_t>& applied);

}  // namespace d3dx9::fx
