// GLSL 330 shaders standing in for Direct3D's fixed-function stages: a pixel stage built
// from the texture-stage states of stages 0 and 1 (PixelShader = NULL), and a vertex
// pass-through (VertexShader = NULL) whose positions are already in clip space. They use
// the names of glsl_translator.h ("in_*" attributes, "fx_*" varyings), plus:
// - "ff_tfactor": vec4 uniform, the device's TEXTUREFACTOR unpacked to (r, g, b, a) / 255;
// - "ff_texture0", "ff_texture1": the textures of device samplers 0 and 1.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>

#include "glsl_translator.h"

namespace d3dx9::fx {

struct TextureStageKey {
    std::uint32_t colorOp = 1;    // D3DTOP_*
    std::uint32_t colorArg1 = 2;  // D3DTA_*
    std::uint32_t colorArg2 = 1;
    std::uint32_t alphaOp = 1;
    std::uint32_t alphaArg1 = 2;
    std::uint32_t alphaArg2 = 1;

    std::array<std::uint32_t, 6> values() const {
        return {{colorOp, colorArg1, colorArg2, alphaOp, alphaArg1, alphaArg2}};
    }
};

struct FixedPixelKey {
    std::array<TextureStageKey, 2> stages;
    // What the vertex stage hands over: whether it writes fx_COLOR0 (vec4), and the size
    // of fx_TEXCOORD0/1 (0 when not written).
    bool diffuse = false;
    std::array<unsigned, 2> texcoordComponents{{0, 0}};

    // Direct3D 9's initial stage states: stage 0 MODULATE(TEXTURE, CURRENT) and
    // SELECTARG1(TEXTURE), stage 1 disabled.
    static FixedPixelKey deviceDefaults();

    bool operator<(const FixedPixelKey& other) const;
};

struct FixedVertexKey {
    bool diffuse = false;    // the stream has a COLOR0 (in_COLOR0)
    unsigned texcoords = 0;  // TEXCOORD0..texcoords-1, two components each

    bool operator<(const FixedVertexKey& other) const {
        return diffuse != other.diffuse ? other.diffuse : texcoords < other.texcoords;
    }
};

// Throws EffectError for an operation or argument the generator does not implement.
GlslShader generateFixedPixelShader(const FixedPixelKey& key,
                                    const TranslateOptions& options = TranslateOptions());
GlslShader generateFixedVertexShader(const FixedVertexKey& key,
                                     const TranslateOptions& options = TranslateOptions());

// One generated shader per distinct key.
class FixedFunctionCache {
public:
    explicit FixedFunctionCache(TranslateOptions options = TranslateOptions())
        : options_(std::move(options)) {}

    const GlslShader& pixelShader(const FixedPixelKey& key);
    const GlslShader& vertexShader(const FixedVertexKey& key);
    std::size_t size() const { return pixel_.size() + vertex_.size(); }

private:
    TranslateOptions options_;
    std::map<FixedPixelKey, GlslShader> pixel_;
    std::map<FixedVertexKey, GlslShader> vertex_;
};

}  // namespace d3dx9::fx
