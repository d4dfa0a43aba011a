#include "effect_plan.h"

namespace d3dx9::fx {
namespace {

SamplerPlan planSampler(const Parameter& declaration, int self, const NameIndex& parameters) {
    SamplerPlan plan;
    plan.inputs.push_back(self);
    for (const auto& state : declaration.samplerStates) {
        PlannedSamplerState planned;
        planned.kind = state.kind;
        planned.state = static_cast<D3DSAMPLERSTATETYPE>(state.state);
        planned.type = state.state == D3DSAMP_MIPMAPLODBIAS ? ValueType::Float : ValueType::Dword;
        planned.value = state.value;
        planned.referenced = state.kind == SamplerStateKind::Texture || !state.parameter.empty();
        if (planned.referenced) {
            planned.parameter = parameters.find(state.parameter);
            if (planned.parameter != kNoParameter) {
                plan.inputs.push_back(planned.parameter);
            }
        }
        plan.states.push_back(planned);
    }
    return plan;
}

PlannedAssignment planAssignment(const StateAssignment& assignment, const NameIndex& parameters,
                                 const EffectShaders& shaders, const EffectPlan& plan) {
    PlannedAssignment planned;
    planned.kind = assignment.kind;
    planned.state = assignment.state;
    planned.index = assignment.index;
    planned.value = assignment.value;
    if (const StateInfo* info = findPassState(assignment.name)) {
        planned.type = info->type;
    }
    if (assignment.source == ValueSource::Shader) {
        planned.shader = shaders.find(assignment);
    }
    planned.referenced = assignment.source == ValueSource::Parameter;
    if (!planned.referenced) {
        return planned;
    }
    planned.parameter = parameters.find(assignment.parameter);
    if (planned.parameter == kNoParameter) {
        return planned;
    }
    if (assignment.kind == StateKind::SamplerObject) {
        planned.inputs = plan.sampler(planned.parameter).inputs;
    } else {
        planned.inputs.push_back(planned.parameter);
    }
    return planned;
}

}  // namespace

EffectPlan::EffectPlan(const EffectDesc& effect, const NameIndex& parameters,
                       const EffectShaders& shaders) {
    for (std::size_t i = 0; i < effect.parameters.size(); ++i) {
        samplers_.push_back(planSampler(effect.parameters[i], static_cast<int>(i), parameters));
    }
    for (const auto& technique : effect.techniques) {
        auto& passes = passes_.emplace_back();
        for (const auto& pass : technique.passes) {
            auto& planned = passes.emplace_back();
            for (const auto& assignment : pass.assignments) {
                planned.push_back(planAssignment(assignment, parameters, shaders, *this));
            }
        }
    }
}

}  // namespace d3dx9::fx
