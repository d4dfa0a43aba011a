// The passes of an effect with every name resolved once, when the effect is created: a
// parameter is an index into the effect's values, a shader the compiled one, a state's value
// type known. Running a pass or committing changes then touches no string.
#pragma once

#include <vector>

#include <d3d9.h>

#include "effect_names.h"
#include "effect_shaders.h"
#include "fx_states.h"

namespace d3dx9::fx {

// A parameter reference that names no parameter of the effect: it reads as no value.
constexpr int kNoParameter = -1;

struct PlannedSamplerState {
    SamplerStateKind kind = SamplerStateKind::Sampler;
    D3DSAMPLERSTATETYPE state = D3DSAMP_ADDRESSU;
    ValueType type = ValueType::Dword;
    DWORD value = 0;          // the literal
    bool referenced = false;  // the value (or texture) comes from `parameter`
    int parameter = kNoParameter;
};

// Every state and the texture of one sampler parameter.
struct SamplerPlan {
    std::vector<PlannedSamplerState> states;
    std::vector<int> inputs;  // the sampler and the parameters its states read
};

struct PlannedAssignment {
    StateKind kind = StateKind::Render;
    DWORD state = 0;
    DWORD index = 0;
    DWORD value = 0;  // the literal
    ValueType type = ValueType::Dword;
    bool referenced = false;  // a <param> reference (a sampler object's too)
    int parameter = kNoParameter;
    EffectShaders::Shader shader = nullptr;  // a compiled VertexShader / PixelShader
    std::vector<int> inputs;                 // parameters whose change applies it again
};

using PassPlan = std::vector<PlannedAssignment>;

class EffectPlan {
public:
    EffectPlan(const EffectDesc& effect, const NameIndex& parameters, const EffectShaders& shaders);

    const PassPlan& pass(int technique, int pass) const {
        return passes_[static_cast<std::size_t>(technique)][static_cast<std::size_t>(pass)];
    }
    // The states of a parameter; none for one that is not a sampler.
    const SamplerPlan& sampler(int parameter) const {
        return samplers_[static_cast<std::size_t>(parameter)];
    }

private:
    std::vector<SamplerPlan> samplers_;          // parallel to the parameters
    std::vector<std::vector<PassPlan>> passes_;  // by technique, then pass
};

}  // namespace d3dx9::fx
