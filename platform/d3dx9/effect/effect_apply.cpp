#include "effect_apply.h"

namespace d3dx9::fx {
namespace {

const ParameterValue* valueAt(const ParameterValues& values, int parameter) {
    return parameter >= 0 ? values[static_cast<std::size_t>(parameter)].get() : nullptr;
}

// The DWORD of a <param> reference; 0 when the parameter has no numeric value.
DWORD referencedValue(ValueType type, const ParameterValue* value) {
    if (value == nullptr || value->values().empty()) {
        return 0;
    }
    return stateValueFromParameter(type, value->type(), value->values().data(),
                                   static_cast<unsigned>(value->values().size()));
}

IDirect3DBaseTexture9* referencedTexture(const ParameterValues& values, int parameter) {
    const ParameterValue* value = valueAt(values, parameter);
    return value != nullptr ? value->texture() : nullptr;
}

bool changed(const std::vector<int>& inputs, const ParameterValues& values,
             const std::vector<std::uint64_t>& applied) {
    for (const int input : inputs) {
        const auto i = static_cast<std::size_t>(input);
        if (values[i]->version() != applied[i]) {
            return true;
        }
    }
    return false;
}

void applySampler(const PassContext& context, DWORD sampler, int parameter) {
    if (parameter < 0) {
        return;
    }
    for (const auto& state : context.plan.sampler(parameter).states) {
        if (state.kind == SamplerStateKind::Texture) {
            context.device->SetTexture(sampler, referencedTexture(context.values, state.parameter));
            continue;
        }
        const DWORD value =
            state.referenced ? referencedValue(state.type, valueAt(context.values, state.parameter))
                             : state.value;
        context.device->SetSamplerState(sampler, state.state, value);
    }
}

DWORD stateValue(const PassContext& context, const PlannedAssignment& assignment) {
    return assignment.referenced
               ? referencedValue(assignment.type, valueAt(context.values, assignment.parameter))
               : assignment.value;
}

void applyAssignment(const PassContext& context, const PlannedAssignment& assignment) {
    IDirect3DDevice9* device = context.device;
    switch (assignment.kind) {
        case StateKind::Render:
            device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(assignment.state),
                                   stateValue(context, assignment));
            break;
        case StateKind::TextureStage:
            device->SetTextureStageState(assignment.index,
                                         static_cast<D3DTEXTURESTAGESTATETYPE>(assignment.state),
                                         stateValue(context, assignment));
            break;
        case StateKind::Sampler:
            device->SetSamplerState(assignment.index,
                                    static_cast<D3DSAMPLERSTATETYPE>(assignment.state),
                                    stateValue(context, assignment));
            break;
        case StateKind::Texture:
            device->SetTexture(assignment.index,
                               assignment.referenced
                                   ? referencedTexture(context.values, assignment.parameter)
                                   : nullptr);
            break;
        case StateKind::SamplerObject:
            if (assignment.referenced) {
                applySampler(context, assignment.index, assignment.parameter);
            } else {
                device->SetTexture(assignment.index, nullptr);
            }
            break;
        case StateKind::VertexShader:
        case StateKind::PixelShader:
            context.shaders.bind(assignment.kind, assignment.shader);
            context.shaders.uploadConstants(assignment.shader, context.values, nullptr);
            for (const auto& sampler : context.shaders.samplers(assignment.shader)) {
                applySampler(context, sampler.deviceSampler, sampler.parameter);
            }
            break;
    }
}

}  // namespace

void applyPass(const PassContext& context, const PassPlan& pass) {
    for (const auto& assignment : pass) {
        applyAssignment(context, assignment);
    }
}

void commitPass(const PassContext& context, const PassPlan& pass,
                const std::vector<std::uint64_t>& applied) {
    for (const auto& assignment : pass) {
        if (assignment.kind != StateKind::VertexShader &&
            assignment.kind != StateKind::PixelShader) {
            if (changed(assignment.inputs, context.values, applied)) {
                applyAssignment(context, assignment);
            }
            continue;
        }
        context.shaders.uploadConstants(assignment.shader, context.values, &applied);
        // Textures change between draws of one pass: the samplers the code reads follow.
        for (const auto& sampler : context.shaders.samplers(assignment.shader)) {
            if (sampler.parameter >= 0 &&
                changed(context.plan.sampler(sampler.parameter).inputs, context.values, applied)) {
                applySampler(context, sampler.deviceSampler, sampler.parameter);
            }
        }
    }
}

}  // namespace d3dx9::fx
