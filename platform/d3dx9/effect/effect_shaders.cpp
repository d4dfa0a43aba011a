#include "effect_shaders.h"

#include <algorithm>

#include "d3d9/shader_blob.h"

namespace d3dx9::fx {
namespace {

std::string callKey(const StateAssignment& assignment) {
    std::string key = assignment.shader.profile + " " + assignment.shader.entry + "(";
    for (const auto& argument : assignment.shader.arguments) {
        key += argument + ",";
    }
    return key + ")";
}

d3d9::ConstantKind constantKind(GlBaseType base) {
    switch (base) {
        case GlBaseType::Float:
            return d3d9::ConstantKind::Float;
        case GlBaseType::Bool:
            return d3d9::ConstantKind::Bool;
        default:
            return d3d9::ConstantKind::Int;
    }
}

// Registers of one element: a vector or scalar takes one, a matrix its values packed
// four to a register.
UINT registersPerElement(const UniformBinding& uniform) {
    return uniform.rows > 1 ? (uniform.rows * uniform.columns + 3) / 4 : 1;
}

}  // namespace

struct EffectShaders::Compiled {
    ~Compiled() {
        if (vertex != nullptr) {
            vertex->Release();
        }
        if (pixel != nullptr) {
            pixel->Release();
        }
    }

    // A uniform the shader reads, with the registers it was given.
    struct Constant {
        UniformBinding uniform;
        d3d9::ConstantKind kind;
        UINT firstRegister;
        UINT registerCount;
        int parameter;  // -1 when the effect has no parameter of the uniform's name
    };

    CompiledShader shader;
    std::vector<Constant> constants;
    std::vector<ShaderSampler> samplers;
    IDirect3DVertexShader9* vertex = nullptr;
    IDirect3DPixelShader9* pixel = nullptr;
};

EffectShaders::EffectShaders(IDirect3DDevice9* device, const EffectDesc& effect,
                             const NameIndex& parameters)
    : device_(device) {
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
                    createDeviceShader(*compiled, parameters);
                    warnings_ += compiled->shader.warnings;
                    byCall_.emplace(key, std::move(compiled));
                } catch (const EffectError& e) {
                    errors += e.what();
                    if (errors.back() != '\n') {
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

void EffectShaders::createDeviceShader(Compiled& compiled, const NameIndex& parameters) {
    const bool vertex = compiled.shader.profile.vertex;
    // The translation says which parameters and samplers the code reads; the device
    // translates again for itself from the blob.
    const GlslShader& reflected = compiled.shader.glsl;
    d3d9::ShaderBlob blob;
    blob.kind = vertex ? d3d9::ShaderKind::Vertex : d3d9::ShaderKind::Pixel;
    blob.spirv = compiled.shader.spirv;
    UINT next[3] = {0, 0, 0};
    for (const auto& uniform : reflected.uniforms) {
        // Registers go to what the code reads, as in a Direct3D constant table: a stage
        // that only declares a parameter must not overwrite registers that a shader of
        // another effect, paired with it, reads.
        if (!uniform.used) {
            continue;
        }
        Compiled::Constant constant{uniform, constantKind(uniform.base), 0, 0,
                                    parameters.find(uniform.parameter)};
        constant.registerCount =
            registersPerElement(uniform) * (uniform.elements ? uniform.elements : 1);
        UINT& cursor = next[static_cast<int>(constant.kind)];
        constant.firstRegister = cursor;
        cursor += constant.registerCount;

        d3d9::ShaderUniform entry;
        entry.name = uniform.glslName;
        entry.kind = constant.kind;
        entry.registerIndex = constant.firstRegister;
        entry.registerCount = constant.registerCount;
        blob.uniforms.push_back(entry);
        compiled.constants.push_back(constant);

        const std::size_t room = static_cast<std::size_t>(constant.registerCount) * 4;
        if (floats_.size() < room) {
            floats_.resize(room);
            ints_.resize(room);
            bools_.resize(room);
        }
    }
    for (const auto& sampler : reflected.samplers) {
        d3d9::ShaderUniform entry;
        entry.name = sampler.glslName;
        entry.kind = d3d9::ConstantKind::Sampler;
        entry.registerCount = 1;
        entry.samplerStage = sampler.deviceSampler;
        blob.uniforms.push_back(entry);
        compiled.samplers.push_back({sampler.deviceSampler, parameters.find(sampler.sampler)});
    }
    const std::vector<DWORD> words = d3d9::encodeShaderBlob(blob);
    const HRESULT hr = vertex ? device_->CreateVertexShader(words.data(), &compiled.vertex)
                              : device_->CreatePixelShader(words.data(), &compiled.pixel);
    if (FAILED(hr)) {
        throw ShaderError(compiled.shader.entry + ": the device refused the shader");
    }
}

EffectShaders::Shader EffectShaders::find(const StateAssignment& assignment) const {
    if (assignment.source != ValueSource::Shader) {
        return nullptr;
    }
    const auto found = byCall_.find(callKey(assignment));
    return found == byCall_.end() ? nullptr : found->second.get();
}

bool EffectShaders::supported(const StateAssignment& assignment) const {
    if (assignment.source != ValueSource::Shader) {
        return true;
    }
    const Shader compiled = find(assignment);
    if (compiled == nullptr) {
        return false;
    }
    const ShaderProfile& profile = compiled->shader.profile;
    return profileSupported(profile,
                            profile.vertex ? caps_.VertexShaderVersion : caps_.PixelShaderVersion);
}

void EffectShaders::bind(StateKind kind, Shader shader) const {
    if (kind == StateKind::VertexShader) {
        device_->SetVertexShader(shader != nullptr ? shader->vertex : nullptr);
    } else if (kind == StateKind::PixelShader) {
        device_->SetPixelShader(shader != nullptr ? shader->pixel : nullptr);
    }
}

const std::vector<ShaderSampler>& EffectShaders::samplers(Shader shader) const {
    static const std::vector<ShaderSampler> none;
    return shader != nullptr ? shader->samplers : none;
}

void EffectShaders::uploadConstants(Shader shader, const ParameterValues& values,
                                    const std::vector<std::uint64_t>* applied) const {
    if (shader == nullptr) {
        return;
    }
    const bool vertex = shader->shader.profile.vertex;
    for (const auto& constant : shader->constants) {
        if (constant.parameter < 0) {
            continue;
        }
        const auto index = static_cast<std::size_t>(constant.parameter);
        const ParameterValue& value = *values[index];
        if (applied != nullptr && value.version() == (*applied)[index]) {
            continue;
        }
        const std::vector<double>& source = value.values();
        const UniformBinding& u = constant.uniform;
        const UINT elements = u.elements ? u.elements : 1;
        const UINT perElement = registersPerElement(u);
        const UINT valuesPerElement = u.rows * u.columns;
        if (constant.kind == d3d9::ConstantKind::Bool) {
            std::fill_n(bools_.begin(), constant.registerCount, FALSE);
            for (UINT e = 0; e < elements && e < constant.registerCount; ++e) {
                const std::size_t at = static_cast<std::size_t>(e) * valuesPerElement;
                bools_[e] = at < source.size() && source[at] != 0.0;
            }
            vertex ? device_->SetVertexShaderConstantB(constant.firstRegister, bools_.data(),
                                                       constant.registerCount)
                   : device_->SetPixelShaderConstantB(constant.firstRegister, bools_.data(),
                                                      constant.registerCount);
            continue;
        }
        const std::size_t room = static_cast<std::size_t>(constant.registerCount) * 4;
        std::fill_n(floats_.begin(), room, 0.0f);
        for (UINT e = 0; e < elements; ++e) {
            for (UINT k = 0; k < valuesPerElement; ++k) {
                const std::size_t from = static_cast<std::size_t>(e) * valuesPerElement + k;
                const std::size_t to = static_cast<std::size_t>(e) * perElement * 4 + k;
                if (from < source.size() && to < room) {
                    floats_[to] = static_cast<float>(source[from]);
                }
            }
        }
        if (constant.kind == d3d9::ConstantKind::Int) {
            std::copy_n(floats_.begin(), room, ints_.begin());
            vertex ? device_->SetVertexShaderConstantI(constant.firstRegister, ints_.data(),
                                                       constant.registerCount)
                   : device_->SetPixelShaderConstantI(constant.firstRegister, ints_.data(),
                                                      constant.registerCount);
        } else {
            vertex ? device_->SetVertexShaderConstantF(constant.firstRegister, floats_.data(),
                                                       constant.registerCount)
                   : device_->SetPixelShaderConstantF(constant.firstRegister, floats_.data(),
                                                      constant.registerCount);
        }
    }
}

}  // namespace d3dx9::fx
