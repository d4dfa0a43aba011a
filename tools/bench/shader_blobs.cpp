#include "shader_blobs.h"

#include "d3d9/fx/glsl_translator.h"
#include "d3d9/shader_blob.h"
#include "platform/d3dx9/effect/fx_parser.h"
#include "platform/d3dx9/effect/hlsl_compiler.h"

namespace bench {

namespace fx = d3dx9::fx;

ShaderBlobWords buildShaderBlob(const std::string& effectText, bool vertex) {
    const fx::EffectDesc desc = fx::parseEffect("bench.fx", effectText);
    const fx::StateKind kind = vertex ? fx::StateKind::VertexShader : fx::StateKind::PixelShader;
    const fx::StateAssignment* assignment = nullptr;
    for (const auto& a : desc.techniques.at(0).passes.at(0).assignments) {
        if (a.kind == kind && a.source == fx::ValueSource::Shader) {
            assignment = &a;
        }
    }
    if (assignment == nullptr) {
        throw fx::EffectError("the first pass has no such shader");
    }
    const fx::CompiledShader compiled = fx::compileShader(desc, *assignment);
    const fx::GlslShader reflected = fx::translateToGlsl(compiled.spirv, vertex, desc);

    d3d9::ShaderBlob blob;
    blob.kind = vertex ? d3d9::ShaderKind::Vertex : d3d9::ShaderKind::Pixel;
    blob.spirv = compiled.spirv;
    ShaderBlobWords built;
    UINT next = 0;
    for (const auto& uniform : reflected.uniforms) {
        d3d9::ShaderUniform entry;
        entry.name = uniform.glslName;
        entry.kind = d3d9::ConstantKind::Float;
        const UINT perElement = uniform.rows > 1 ? (uniform.rows * uniform.columns + 3) / 4 : 1;
        entry.registerCount = perElement * (uniform.elements ? uniform.elements : 1);
        entry.registerIndex = next;
        next += entry.registerCount;
        built.registers[uniform.parameter] = entry.registerIndex;
        blob.uniforms.push_back(entry);
    }
    for (const auto& sampler : reflected.samplers) {
        d3d9::ShaderUniform entry;
        entry.name = sampler.glslName;
        entry.kind = d3d9::ConstantKind::Sampler;
        entry.samplerStage = sampler.deviceSampler;
        built.registers[sampler.sampler] = sampler.deviceSampler;
        blob.uniforms.push_back(entry);
    }
    built.words = d3d9::encodeShaderBlob(blob);
    return built;
}

}  // namespace bench
