#include "d3d9/fx/fixed_function.h"

#include <tuple>
#include <vector>

namespace d3dx9::fx {
namespace {

enum Op : std::uint32_t {
    kDisable = 1,
    kSelectArg1 = 2,
    kSelectArg2 = 3,
    kModulate = 4,
    kModulate2x = 5,
    kModulate4x = 6,
    kAdd = 7,
    kAddSigned = 8,
    kAddSigned2x = 9,
    kSubtract = 10,
    kAddSmooth = 11,
    kBlendDiffuseAlpha = 12,
    kBlendTextureAlpha = 13,
    kBlendFactorAlpha = 14,
    kBlendCurrentAlpha = 16,
};

enum Arg : std::uint32_t {
    kDiffuse = 0,
    kCurrent = 1,
    kTexture = 2,
    kTFactor = 3,
    kSpecular = 4,
    kSelectMask = 0xF,
    kComplement = 0x10,
    kAlphaReplicate = 0x20,
};

std::string stageName(unsigned stage) {
    return std::to_string(stage);
}

bool usesArg1(std::uint32_t op) {
    return op != kSelectArg2;
}

bool usesArg2(std::uint32_t op) {
    return op != kSelectArg1;
}

bool usesTexture(std::uint32_t op, std::uint32_t a1, std::uint32_t a2) {
    return op == kBlendTextureAlpha || (usesArg1(op) && (a1 & kSelectMask) == kTexture) ||
           (usesArg2(op) && (a2 & kSelectMask) == kTexture);
}

// The argument as a vec4 expression.
std::string argument(std::uint32_t arg, unsigned stage) {
    std::string base;
    switch (arg & kSelectMask) {
        case kDiffuse:
            base = "diffuse";
            break;
        case kCurrent:
            base = "current";
            break;
        case kTexture:
            base = "tex" + stageName(stage);
            break;
        case kTFactor:
            base = "ff_tfactor";
            break;
        case kSpecular:
            // No specular colour reaches these stages: Direct3D's default is black.
            base = "vec4(0.0, 0.0, 0.0, 1.0)";
            break;
        default:
            throw EffectError("fixed-function stage " + stageName(stage) +
                              ": unsupported texture argument " + std::to_string(arg));
    }
    if (arg & ~(kSelectMask | kComplement | kAlphaReplicate)) {
        throw EffectError("fixed-function stage " + stageName(stage) +
                          ": unsupported texture argument " + std::to_string(arg));
    }
    if (arg & kAlphaReplicate) {
        base = "vec4((" + base + ").a)";
    }
    if (arg & kComplement) {
        base = "(vec4(1.0) - " + base + ")";
    }
    return base;
}

// The operation on two expressions of one swizzle (".rgb" or ".a").
std::string operation(std::uint32_t op, const std::string& a1, const std::string& a2,
                      unsigned stage) {
    const std::string tex = "tex" + stageName(stage) + ".a";
    switch (op) {
        case kSelectArg1:
            return a1;
        case kSelectArg2:
            return a2;
        case kModulate:
            return a1 + " * " + a2;
        case kModulate2x:
            return "2.0 * " + a1 + " * " + a2;
        case kModulate4x:
            return "4.0 * " + a1 + " * " + a2;
        case kAdd:
            return a1 + " + " + a2;
        case kAddSigned:
            return a1 + " + " + a2 + " - 0.5";
        case kAddSigned2x:
            return "2.0 * (" + a1 + " + " + a2 + " - 0.5)";
        case kSubtract:
            return a1 + " - " + a2;
        case kAddSmooth:
            return a1 + " + " + a2 + " - " + a1 + " * " + a2;
        case kBlendDiffuseAlpha:
            return "mix(" + a2 + ", " + a1 + ", diffuse.a)";
        case kBlendTextureAlpha:
            return "mix(" + a2 + ", " + a1 + ", " + tex + ")";
        case kBlendFactorAlpha:
            return "mix(" + a2 + ", " + a1 + ", ff_tfactor.a)";
        case kBlendCurrentAlpha:
            return "mix(" + a2 + ", " + a1 + ", current.a)";
        default:
            throw EffectError("fixed-function stage " + stageName(stage) +
                              ": unsupported texture operation " + std::to_string(op));
    }
}

}  // namespace

FixedPixelKey FixedPixelKey::deviceDefaults() {
    FixedPixelKey key;
    key.stages[0] = TextureStageKey{kModulate, kTexture, kCurrent, kSelectArg1, kTexture, kCurrent};
    key.stages[1] = TextureStageKey{kDisable, kTexture, kCurrent, kDisable, kTexture, kCurrent};
    return key;
}

bool FixedPixelKey::operator<(const FixedPixelKey& other) const {
    const auto a0 = stages[0].values();
    const auto b0 = other.stages[0].values();
    const auto a1 = stages[1].values();
    const auto b1 = other.stages[1].values();
    return std::tie(a0, a1, diffuse, texcoordComponents) <
           std::tie(b0, b1, other.diffuse, other.texcoordComponents);
}

GlslShader generateFixedPixelShader(const FixedPixelKey& key, const TranslateOptions& options) {
    GlslShader shader;
    shader.vertex = false;
    std::string decl = "#version 330\n\nuniform vec4 ff_tfactor;\n";
    std::string body = "void main()\n{\n";
    if (key.diffuse) {
        decl += "in vec4 fx_COLOR0;\n";
        shader.varyings.push_back("fx_COLOR0");
        shader.varyingComponents.push_back(4);
        body += "    vec4 diffuse = fx_COLOR0;\n";
    } else {
        // Direct3D hands opaque white to the stages when the vertex colour is absent.
        body += "    vec4 diffuse = vec4(1.0);\n";
    }
    body += "    vec4 current = diffuse;\n";
    for (unsigned i = 0; i < key.stages.size(); ++i) {
        const TextureStageKey& s = key.stages[i];
        if (s.colorOp == kDisable) {
            break;  // a disabled colour operation ends the cascade
        }
        const bool alphaOn = s.alphaOp != kDisable;
        const bool tex = usesTexture(s.colorOp, s.colorArg1, s.colorArg2) ||
                         (alphaOn && usesTexture(s.alphaOp, s.alphaArg1, s.alphaArg2));
        const std::string n = stageName(i);
        if (tex) {
            decl += "uniform sampler2D ff_texture" + n + ";\n";
            shader.samplers.push_back(SamplerBinding{"ff_texture" + n, "", "", i});
            const unsigned comps = key.texcoordComponents[i];
            std::string coord = "vec2(0.0)";
            if (comps >= 2) {
                coord = "fx_TEXCOORD" + n + ".xy";
            } else if (comps == 1) {
                coord = "vec2(fx_TEXCOORD" + n + ", 0.0)";
            }
            if (comps > 0) {
                decl += "in vec4 fx_TEXCOORD" + n + ";\n";
                shader.varyings.push_back("fx_TEXCOORD" + n);
                shader.varyingComponents.push_back(comps);
            }
            body += "    vec4 tex" + n + " = texture(ff_texture" + n + ", " + coord + ");\n";
        }
        const std::string c1 = usesArg1(s.colorOp) ? argument(s.colorArg1, i) + ".rgb" : "";
        const std::string c2 = usesArg2(s.colorOp) ? argument(s.colorArg2, i) + ".rgb" : "";
        body += "    vec3 color" + n + " = " + operation(s.colorOp, c1, c2, i) + ";\n";
        std::string alpha = "current.a";
        if (alphaOn) {
            const std::string a1 = usesArg1(s.alphaOp) ? argument(s.alphaArg1, i) + ".a" : "";
            const std::string a2 = usesArg2(s.alphaOp) ? argument(s.alphaArg2, i) + ".a" : "";
            alpha = operation(s.alphaOp, a1, a2, i);
        }
        body += "    float alpha" + n + " = " + alpha + ";\n";
        // Each stage's result is saturated, as the fixed-function stages do.
        body += "    current = clamp(vec4(color" + n + ", alpha" + n + "), 0.0, 1.0);\n";
    }
    body += "    ff_color = current;\n";
    if (!options.alphaTestUniform.empty()) {
        decl += "uniform vec2 " + options.alphaTestUniform + ";\n";
        body += alphaTestStatements("ff_color", options.alphaTestUniform);
    }
    body += "}\n";
    decl += "layout(location = 0) out vec4 ff_color;\n\n";
    shader.source = decl + body;
    return shader;
}

GlslShader generateFixedVertexShader(const FixedVertexKey& key, const TranslateOptions& options) {
    GlslShader shader;
    shader.vertex = true;
    std::string decl = "#version 330\n\n";
    std::string body = "void main()\n{\n";
    unsigned location = 0;
    // vec4 input: a three-component stream gets w = 1 from GL, as Direct3D does.
    decl += "layout(location = 0) in vec4 in_POSITION0;\n";
    shader.attributes.push_back(VertexAttribute{"in_POSITION0", 0, 0, location++, 4});
    body += "    gl_Position = in_POSITION0;\n";
    if (options.fixupDepth) {
        body += "    gl_Position.z = 2.0 * gl_Position.z - gl_Position.w;\n";
    }
    if (key.diffuse) {
        decl += "layout(location = " + std::to_string(location) + ") in vec4 in_COLOR0;\n";
        decl += "out vec4 fx_COLOR0;\n";
        shader.attributes.push_back(VertexAttribute{"in_COLOR0", 10, 0, location++, 4});
        shader.varyings.push_back("fx_COLOR0");
        shader.varyingComponents.push_back(4);
        body += "    fx_COLOR0 = in_COLOR0;\n";
    }
    for (unsigned t = 0; t < key.texcoords && t < 8; ++t) {
        const std::string n = std::to_string(t);
        decl += "layout(location = " + std::to_string(location) + ") in vec2 in_TEXCOORD" + n +
                ";\nout vec4 fx_TEXCOORD" + n + ";\n";
        shader.attributes.push_back(VertexAttribute{"in_TEXCOORD" + n, 5, t, location++, 2});
        shader.varyings.push_back("fx_TEXCOORD" + n);
        shader.varyingComponents.push_back(2);
        body += "    fx_TEXCOORD" + n + " = vec4(in_TEXCOORD" + n + ", 0.0, 1.0);\n";
    }
    body += "}\n";
    shader.source = decl + "\n" + body;
    if (!options.positionAdjustUniform.empty()) {
        adjustPosition(shader.source, options.positionAdjustUniform);
    }
    return shader;
}

const GlslShader& FixedFunctionCache::pixelShader(const FixedPixelKey& key) {
    auto it = pixel_.find(key);
    if (it == pixel_.end()) {
        it = pixel_.emplace(key, generateFixedPixelShader(key, options_)).first;
    }
    return it->second;
}

const GlslShader& FixedFunctionCache::vertexShader(const FixedVertexKey& key) {
    auto it = vertex_.find(key);
    if (it == vertex_.end()) {
        it = vertex_.emplace(key, generateFixedVertexShader(key, options_)).first;
    }
    return it->second;
}

}  // namespace d3dx9::fx
