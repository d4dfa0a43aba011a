#include "effect_apply.h"

#include "fx_states.h"

namespace d3dx9::fx {
namespace {

// The DWORD of a <param> reference; 0 when the parameter has no numeric value.
DWORD referencedValue(ValueType type, const ParameterValue* value) {
    if (value == nullptr || value->values().empty()) {
        return 0;
    }
    return stateValueFromParameter(type, value->type(), value->values().data(),
                                   static_cast<unsigned>(value->values().size()));
}

IDirect3DBaseTexture9* referencedTexture(const ValueLookup& values, const std::string& name) {
    const ParameterValue* value = values(name);
    return value != nullptr ? value->texture() : nullptr;
}

}  // namespace

void applySamplerObject(IDirect3DDevice9* device, const EffectDesc& effect, DWORD sampler,
                        const std::string& name, const ValueLookup& values) {
    const Parameter* declaration = effect.findParameter(name);
    if (declaration == nullptr) {
        return;
    }
    for (const auto& state : declaration->samplerStates) {
        if (state.kind == SamplerStateKind::Texture) {
            device->SetTexture(sampler, referencedTexture(values, state.parameter));
            continue;
        }
        const DWORD value =
            state.parameter.empty()
                ? state.value
                : referencedValue(
                      state.state == D3DSAMP_MIPMAPLODBIAS ? ValueType::Float : ValueType::Dword,
                      values(state.parameter));
        device->SetSamplerState(sampler, static_cast<D3DSAMPLERSTATETYPE>(state.state), value);
    }
}

void applyAssignment(IDirect3DDevice9* device, const EffectDesc& effect,
                     const StateAssignment& assignment, const ValueLookup& values,
                     const EffectShaders& shaders) {
    const bool fromParameter = assignment.source == ValueSource::Parameter;
    DWORD value = assignment.value;
    if (fromParameter &&
        (assignment.kind == StateKind::Render || assignment.kind == StateKind::TextureStage ||
         assignment.kind == StateKind::Sampler)) {
        const StateInfo* info = findPassState(assignment.name);
        value = referencedValue(info != nullptr ? info->type : ValueType::Dword,
                                values(assignment.parameter));
    }
    switch (assignment.kind) {
        case StateKind::Render:
            device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(assignment.state), value);
            break;
        case StateKind::TextureStage:
            device->SetTextureStageState(
                assignment.index, static_cast<D3DTEXTURESTAGESTATETYPE>(assignment.state), value);
            break;
        case StateKind::Sampler:
            device->SetSamplerState(assignment.index,
                                    static_cast<D3DSAMPLERSTATETYPE>(assignment.state), value);
            break;
        case StateKind::Texture:
            device->SetTexture(
                assignment.index,
                fromParameter ? referencedTexture(values, assignment.parameter) : nullptr);
            break;
        case StateKind::SamplerObject:
            if (fromParameter) {
                applySamplerObject(device, effect, assignment.index, assignment.parameter, values);
            } else {
                device->SetTexture(assignment.index, nullptr);
            }
            break;
        case StateKind::VertexShader:
        case StateKind::PixelShader:
            shaders.bind(assignment, values);
            break;
    }
}

std::vector<std::string> assignmentInputs(const EffectDesc& effect,
                                          const StateAssignment& assignment) {
    std::vector<std::string> inputs;
    if (assignment.source != ValueSource::Parameter) {
        return inputs;
    }
    inputs.push_back(assignment.parameter);
    if (assignment.kind == StateKind::SamplerObject) {
        if (const Parameter* sampler = effect.findParameter(assignment.parameter)) {
            for (const auto& state : sampler->samplerStates) {
                if (!state.parameter.empty()) {
                    inputs.push_back(state.parameter);
                }
            }
        }
    }
    return inputs;
}

}  // namespace d3dx9::fx
