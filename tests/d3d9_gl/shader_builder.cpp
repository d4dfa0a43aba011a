#include "shader_builder.h"

#include "d3d9/fx/glsl_translator.h"
#include "d3d9/shader_blob.h"
#include "platform/d3dx9/effect/fx_parser.h"
#include "platform/d3dx9/effect/hlsl_compiler.h"

namespace d3d9::testing {

namespace fx = d3dx9::fx;

BuiltShader buildShader(const std::string& effectText, bool vertex) {
    const fx::EffectDesc desc = fx::parseEffect("test.fx", effectText);
    const fx::Pass& pass = desc.techniques.at(0).passes.at(0);
    const fx::StateKind kind = vertex ? fx::StateKind::VertexShader : fx::StateKind::PixelShader;
    const fx::StateAssignment* assignment = nullptr;
    for (const auto& a : pass.assignments) {
        if (a.kind == kind && a.source == fx::ValueSource::Shader) {
            assignment = &a;
        }
    }
    if (assignment == nullptr) {
        throw fx::EffectError("the first pass has no such shader");
    }
    const fx::CompiledShader compiled = fx::compileShader(desc, *assignment);
    const fx::GlslShader reflected = fx::translateToGlsl(compiled.spirv, vertex, desc);

    ShaderBlob blob;
    blob.kind = vertex ? ShaderKind::Vertex : ShaderKind::Pixel;
    blob.spirv = compiled.spirv;
    BuiltShader built;
    UINT next[3] = {0, 0, 0};
    for (const auto& uniform : reflected.uniforms) {
        ShaderUniform entry;
        entry.name = uniform.glslName;
        // The register file follows the parameter's own type: a bool reaches GL as uint.
        const fx::Parameter* parameter = desc.findParameter(uniform.parameter);
        const fx::ParamType type = parameter != nullptr ? parameter->type : fx::ParamType::Float;
        entry.kind = type == fx::ParamType::Bool  ? ConstantKind::Bool
                     : type == fx::ParamType::Int ? ConstantKind::Int
                                                  : ConstantKind::Float;
        const UINT perElement = uniform.rows > 1 ? (uniform.rows * uniform.columns + 3) / 4 : 1;
        entry.registerCount = perElement * (uniform.elements ? uniform.elements : 1);
        UINT& cursor = next[static_cast<int>(entry.kind)];
        entry.registerIndex = cursor;
        cursor += entry.registerCount;
        built.registers[uniform.parameter] = entry.registerIndex;
        blob.uniforms.push_back(entry);
    }
    for (const auto& sampler : reflected.samplers) {
        ShaderUniform entry;
        entry.name = sampler.glslName;
        entry.kind = ConstantKind::Sampler;
        entry.registerCount = 1;
        entry.samplerStage = sampler.deviceSampler;
        built.registers[sampler.sampler] = sampler.deviceSampler;
        blob.uniforms.push_back(entry);
    }
    built.words = encodeShaderBlob(blob);
    return built;
}

}  // namespace d3d9::testing
