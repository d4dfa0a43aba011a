#include "effect_shaders.h"

namespace d3dx9::fx {
namespace {

std::string callKey(const StateAssignment& assignment) {
    std::string key = assignment.shader.profile + " " + assignment.shader.entry + "(";
    for (const auto& argument : assignment.shader.arguments) {
        key += argument + ",";
    }
    return key + ")";
}

}  // namespace

struct EffectShaders::Compiled {
    CompiledShader shader;
};

EffectShaders::EffectShaders(IDirect3DDevice9* device, const EffectDesc& effect)
    : device_(device), effect_(effect) {
    device_->GetDeviceCaps(&caps_);
    std::string errors;
    for (const auto& technique : effect.techniques) {
        for (const auto& pass : technique.passes) {
            for (const auto& assignment : pass.assignments) {
                if (assignment.source != ValueSource::Shader) {
                    continue;
                }
                const std::string key = callKey(assignment);
                if (byCall_.count(key) != 0) {
                    continue;
                }
                try {
                    auto compiled = std::make_unique<Compiled>();
                    compiled->shader = compileShader(effect, assignment);
                    createDeviceShader(*compiled);
                    warnings_ += compiled->shader.warnings;
                    byCall_.emplace(key, std::move(compiled));
                } catch (const ShaderError& e) {
                    errors += e.what();
                    if (!errors.empty() && errors.back() != '\n') {
                        errors += '\n';
                    }
                }
            }
        }
    }
    if (!errors.empty()) {
        throw ShaderError(errors);
    }
}

EffectShaders::~EffectShaders() = default;

void EffectShaders::createDeviceShader(Compiled&) {}

const EffectShaders::Compiled* EffectShaders::find(const StateAssignment& assignment) const {
    const auto found = byCall_.find(callKey(assignment));
    return found == byCall_.end() ? nullptr : found->second.get();
}

bool EffectShaders::supported(const StateAssignment& assignment) const {
    if (assignment.source != ValueSource::Shader) {
        return true;
    }
    const Compiled* compiled = find(assignment);
    if (compiled == nullptr) {
        return false;
    }
    const ShaderProfile& profile = compiled->shader.profile;
    return profileSupported(profile,
                            profile.vertex ? caps_.VertexShaderVersion : caps_.PixelShaderVersion);
}

void EffectShaders::bind(const StateAssignment& assignment, const ValueLookup& values) const {
    // Device shader objects come from the drawing layer's shader blobs; until the device
    // can make them, a compiled shader binds as no shader.
    if (assignment.kind == StateKind::VertexShader) {
        device_->SetVertexShader(nullptr);
    } else if (assignment.kind == StateKind::PixelShader) {
        device_->SetPixelShader(nullptr);
    }
    updateConstants(assignment, values);
}

void EffectShaders::updateConstants(const StateAssignment&, const ValueLookup&) const {}

}  // namespace d3dx9::fx
