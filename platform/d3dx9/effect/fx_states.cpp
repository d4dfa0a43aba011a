#include "fx_states.h"

#include <strings.h>
#include <cmath>
#include <cstring>

namespace d3dx9::fx {
namespace {

constexpr StateKind R = StateKind::Render;
constexpr StateKind T = StateKind::TextureStage;
constexpr StateKind S = StateKind::Sampler;
using V = ValueType;

const StateInfo kPassStates[] = {
    {"ZEnable", R, 7, V::ZBuffer},
    {"FillMode", R, 8, V::Fill},
    {"ShadeMode", R, 9, V::Shade},
    {"ZWriteEnable", R, 14, V::Bool},
    {"AlphaTestEnable", R, 15, V::Bool},
    {"LastPixel", R, 16, V::Bool},
    {"SrcBlend", R, 19, V::Blend},
    {"DestBlend", R, 20, V::Blend},
    {"CullMode", R, 22, V::Cull},
    {"ZFunc", R, 23, V::Compare},
    {"AlphaRef", R, 24, V::Dword},
    {"AlphaFunc", R, 25, V::Compare},
    {"DitherEnable", R, 26, V::Bool},
    {"AlphaBlendEnable", R, 27, V::Bool},
    {"FogEnable", R, 28, V::Bool},
    {"SpecularEnable", R, 29, V::Bool},
    {"FogColor", R, 34, V::Color},
    {"FogTableMode", R, 35, V::Fog},
    {"FogStart", R, 36, V::Float},
    {"FogEnd", R, 37, V::Float},
    {"FogDensity", R, 38, V::Float},
    {"RangeFogEnable", R, 48, V::Bool},
    {"StencilEnable", R, 52, V::Bool},
    {"StencilFail", R, 53, V::StencilOp},
    {"StencilZFail", R, 54, V::StencilOp},
    {"StencilPass", R, 55, V::StencilOp},
    {"StencilFunc", R, 56, V::Compare},
    {"StencilRef", R, 57, V::Dword},
    {"StencilMask", R, 58, V::Dword},
    {"StencilWriteMask", R, 59, V::Dword},
    {"TextureFactor", R, 60, V::Color},
    {"Wrap0", R, 128, V::Dword},
    {"Wrap1", R, 129, V::Dword},
    {"Wrap2", R, 130, V::Dword},
    {"Wrap3", R, 131, V::Dword},
    {"Wrap4", R, 132, V::Dword},
    {"Wrap5", R, 133, V::Dword},
    {"Wrap6", R, 134, V::Dword},
    {"Wrap7", R, 135, V::Dword},
    {"Clipping", R, 136, V::Bool},
    {"Lighting", R, 137, V::Bool},
    {"Ambient", R, 139, V::Color},
    {"FogVertexMode", R, 140, V::Fog},
    {"ColorVertex", R, 141, V::Bool},
    {"LocalViewer", R, 142, V::Bool},
    {"NormalizeNormals", R, 143, V::Bool},
    {"DiffuseMaterialSource", R, 145, V::MaterialSource},
    {"SpecularMaterialSource", R, 146, V::MaterialSource},
    {"AmbientMaterialSource", R, 147, V::MaterialSource},
    {"EmissiveMaterialSource", R, 148, V::MaterialSource},
    {"VertexBlend", R, 151, V::VertexBlend},
    {"ClipPlaneEnable", R, 152, V::Dword},
    {"PointSize", R, 154, V::Float},
    {"PointSize_Min", R, 155, V::Float},
    {"PointSpriteEnable", R, 156, V::Bool},
    {"PointScaleEnable", R, 157, V::Bool},
    {"PointScale_A", R, 158, V::Float},
    {"PointScale_B", R, 159, V::Float},
    {"PointScale_C", R, 160, V::Float},
    {"MultiSampleAntialias", R, 161, V::Bool},
    {"MultiSampleMask", R, 162, V::Dword},
    {"PatchEdgeStyle", R, 163, V::PatchEdge},
    {"PointSize_Max", R, 166, V::Float},
    {"IndexedVertexBlendEnable", R, 167, V::Bool},
    {"ColorWriteEnable", R, 168, V::ColorWrite},
    {"TweenFactor", R, 170, V::Float},
    {"BlendOp", R, 171, V::BlendOp},
    {"PositionDegree", R, 172, V::Degree},
    {"NormalDegree", R, 173, V::Degree},
    {"ScissorTestEnable", R, 174, V::Bool},
    {"SlopeScaleDepthBias", R, 175, V::Float},
    {"AntialiasedLineEnable", R, 176, V::Bool},
    {"MinTessellationLevel", R, 178, V::Float},
    {"MaxTessellationLevel", R, 179, V::Float},
    {"AdaptiveTess_X", R, 180, V::Float},
    {"AdaptiveTess_Y", R, 181, V::Float},
    {"AdaptiveTess_Z", R, 182, V::Float},
    {"AdaptiveTess_W", R, 183, V::Float},
    {"EnableAdaptiveTessellation", R, 184, V::Bool},
    {"TwoSidedStencilMode", R, 185, V::Bool},
    {"CCW_StencilFail", R, 186, V::StencilOp},
    {"CCW_StencilZFail", R, 187, V::StencilOp},
    {"CCW_StencilPass", R, 188, V::StencilOp},
    {"CCW_StencilFunc", R, 189, V::Compare},
    {"ColorWriteEnable1", R, 190, V::ColorWrite},
    {"ColorWriteEnable2", R, 191, V::ColorWrite},
    {"ColorWriteEnable3", R, 192, V::ColorWrite},
    {"BlendFactor", R, 193, V::Color},
    {"SRGBWriteEnable", R, 194, V::Bool},
    {"DepthBias", R, 195, V::Float},
    {"Wrap8", R, 198, V::Dword},
    {"Wrap9", R, 199, V::Dword},
    {"Wrap10", R, 200, V::Dword},
    {"Wrap11", R, 201, V::Dword},
    {"Wrap12", R, 202, V::Dword},
    {"Wrap13", R, 203, V::Dword},
    {"Wrap14", R, 204, V::Dword},
    {"Wrap15", R, 205, V::Dword},
    {"SeparateAlphaBlendEnable", R, 206, V::Bool},
    {"SrcBlendAlpha", R, 207, V::Blend},
    {"DestBlendAlpha", R, 208, V::Blend},
    {"BlendOpAlpha", R, 209, V::BlendOp},

    {"ColorOp", T, 1, V::TextureOp},
    {"ColorArg1", T, 2, V::TextureArg},
    {"ColorArg2", T, 3, V::TextureArg},
    {"AlphaOp", T, 4, V::TextureOp},
    {"AlphaArg1", T, 5, V::TextureArg},
    {"AlphaArg2", T, 6, V::TextureArg},
    {"BumpEnvMat00", T, 7, V::Float},
    {"BumpEnvMat01", T, 8, V::Float},
    {"BumpEnvMat10", T, 9, V::Float},
    {"BumpEnvMat11", T, 10, V::Float},
    {"TexCoordIndex", T, 11, V::TexCoordIndex},
    {"BumpEnvLScale", T, 22, V::Float},
    {"BumpEnvLOffset", T, 23, V::Float},
    {"TextureTransformFlags", T, 24, V::TransformFlags},
    {"ColorArg0", T, 26, V::TextureArg},
    {"AlphaArg0", T, 27, V::TextureArg},
    {"ResultArg", T, 28, V::TextureArg},
    {"Constant", T, 32, V::Color},

    {"AddressU", S, 1, V::Address},
    {"AddressV", S, 2, V::Address},
    {"AddressW", S, 3, V::Address},
    {"BorderColor", S, 4, V::Color},
    {"MagFilter", S, 5, V::Filter},
    {"MinFilter", S, 6, V::Filter},
    {"MipFilter", S, 7, V::Filter},
    {"MipMapLodBias", S, 8, V::Float},
    {"MaxMipLevel", S, 9, V::Dword},
    {"MaxAnisotropy", S, 10, V::Dword},
    {"SRGBTexture", S, 11, V::Bool},
    {"ElementIndex", S, 12, V::Dword},
    {"DMapOffset", S, 13, V::Dword},

    {"Texture", StateKind::Texture, 0, V::Object},
    {"Sampler", StateKind::SamplerObject, 0, V::Object},
    {"VertexShader", StateKind::VertexShader, 0, V::Shader},
    {"PixelShader", StateKind::PixelShader, 0, V::Shader},
};

struct EnumEntry {
    ValueType type;
    const char* name;
    std::uint32_t value;
};

const EnumEntry kEnums[] = {
    {V::ZBuffer, "UseW", 2},
    {V::Fill, "Point", 1},
    {V::Fill, "Wireframe", 2},
    {V::Fill, "Solid", 3},
    {V::Shade, "Flat", 1},
    {V::Shade, "Gouraud", 2},
    {V::Shade, "Phong", 3},
    {V::Blend, "Zero", 1},
    {V::Blend, "One", 2},
    {V::Blend, "SrcColor", 3},
    {V::Blend, "InvSrcColor", 4},
    {V::Blend, "SrcAlpha", 5},
    {V::Blend, "InvSrcAlpha", 6},
    {V::Blend, "DestAlpha", 7},
    {V::Blend, "InvDestAlpha", 8},
    {V::Blend, "DestColor", 9},
    {V::Blend, "InvDestColor", 10},
    {V::Blend, "SrcAlphaSat", 11},
    {V::Blend, "BothSrcAlpha", 12},
    {V::Blend, "BothInvSrcAlpha", 13},
    {V::Blend, "BlendFactor", 14},
    {V::Blend, "InvBlendFactor", 15},
    {V::Cull, "None", 1},
    {V::Cull, "CW", 2},
    {V::Cull, "CCW", 3},
    {V::Compare, "Never", 1},
    {V::Compare, "Less", 2},
    {V::Compare, "Equal", 3},
    {V::Compare, "LessEqual", 4},
    {V::Compare, "Greater", 5},
    {V::Compare, "NotEqual", 6},
    {V::Compare, "GreaterEqual", 7},
    {V::Compare, "Always", 8},
    {V::Fog, "None", 0},
    {V::Fog, "Exp", 1},
    {V::Fog, "Exp2", 2},
    {V::Fog, "Linear", 3},
    {V::StencilOp, "Keep", 1},
    {V::StencilOp, "Zero", 2},
    {V::StencilOp, "Replace", 3},
    {V::StencilOp, "IncrSat", 4},
    {V::StencilOp, "DecrSat", 5},
    {V::StencilOp, "Invert", 6},
    {V::StencilOp, "Incr", 7},
    {V::StencilOp, "Decr", 8},
    {V::BlendOp, "Add", 1},
    {V::BlendOp, "Subtract", 2},
    {V::BlendOp, "RevSubtract", 3},
    {V::BlendOp, "Min", 4},
    {V::BlendOp, "Max", 5},
    {V::MaterialSource, "Material", 0},
    {V::MaterialSource, "Color1", 1},
    {V::MaterialSource, "Color2", 2},
    {V::TextureOp, "Disable", 1},
    {V::TextureOp, "SelectArg1", 2},
    {V::TextureOp, "SelectArg2", 3},
    {V::TextureOp, "Modulate", 4},
    {V::TextureOp, "Modulate2x", 5},
    {V::TextureOp, "Modulate4x", 6},
    {V::TextureOp, "Add", 7},
    {V::TextureOp, "AddSigned", 8},
    {V::TextureOp, "AddSigned2x", 9},
    {V::TextureOp, "Subtract", 10},
    {V::TextureOp, "AddSmooth", 11},
    {V::TextureOp, "BlendDiffuseAlpha", 12},
    {V::TextureOp, "BlendTextureAlpha", 13},
    {V::TextureOp, "BlendFactorAlpha", 14},
    {V::TextureOp, "BlendTextureAlphaPM", 15},
    {V::TextureOp, "BlendCurrentAlpha", 16},
    {V::TextureOp, "PreModulate", 17},
    {V::TextureOp, "ModulateAlpha_AddColor", 18},
    {V::TextureOp, "ModulateColor_AddAlpha", 19},
    {V::TextureOp, "ModulateInvAlpha_AddColor", 20},
    {V::TextureOp, "ModulateInvColor_AddAlpha", 21},
    {V::TextureOp, "BumpEnvMap", 22},
    {V::TextureOp, "BumpEnvMapLuminance", 23},
    {V::TextureOp, "DotProduct3", 24},
    {V::TextureOp, "MultiplyAdd", 25},
    {V::TextureOp, "Lerp", 26},
    {V::TextureArg, "Diffuse", 0},
    {V::TextureArg, "Current", 1},
    {V::TextureArg, "Texture", 2},
    {V::TextureArg, "TFactor", 3},
    {V::TextureArg, "Specular", 4},
    {V::TextureArg, "Temp", 5},
    {V::TextureArg, "Constant", 6},
    {V::TextureArg, "Complement", 0x10},
    {V::TextureArg, "AlphaReplicate", 0x20},
    {V::Address, "Wrap", 1},
    {V::Address, "Mirror", 2},
    {V::Address, "Clamp", 3},
    {V::Address, "Border", 4},
    {V::Address, "MirrorOnce", 5},
    {V::Filter, "None", 0},
    {V::Filter, "Point", 1},
    {V::Filter, "Linear", 2},
    {V::Filter, "Anisotropic", 3},
    {V::Filter, "PyramidalQuad", 6},
    {V::Filter, "GaussianQuad", 7},
    {V::TransformFlags, "Disable", 0},
    {V::TransformFlags, "Count1", 1},
    {V::TransformFlags, "Count2", 2},
    {V::TransformFlags, "Count3", 3},
    {V::TransformFlags, "Count4", 4},
    {V::TransformFlags, "Projected", 256},
    {V::TexCoordIndex, "PassThru", 0},
    {V::TexCoordIndex, "CameraSpaceNormal", 0x10000},
    {V::TexCoordIndex, "CameraSpacePosition", 0x20000},
    {V::TexCoordIndex, "CameraSpaceReflectionVector", 0x30000},
    {V::TexCoordIndex, "SphereMap", 0x40000},
    {V::VertexBlend, "Disable", 0},
    {V::VertexBlend, "1Weights", 1},
    {V::VertexBlend, "2Weights", 2},
    {V::VertexBlend, "3Weights", 3},
    {V::VertexBlend, "Tweening", 255},
    {V::VertexBlend, "0Weights", 256},
    {V::ColorWrite, "Red", 1},
    {V::ColorWrite, "Green", 2},
    {V::ColorWrite, "Blue", 4},
    {V::ColorWrite, "Alpha", 8},
    {V::PatchEdge, "Discrete", 0},
    {V::PatchEdge, "Continuous", 1},
    {V::Degree, "Linear", 1},
    {V::Degree, "Quadratic", 2},
    {V::Degree, "Cubic", 3},
    {V::Degree, "Quintic", 5},
};

bool sameName(const std::string& a, const char* b) {
    return strcasecmp(a.c_str(), b) == 0;
}

}  // namespace

const StateInfo* findPassState(const std::string& name) {
    for (const auto& s : kPassStates) {
        if (sameName(name, s.name)) {
            return &s;
        }
    }
    return nullptr;
}

const StateInfo* findSamplerState(const std::string& name) {
    for (const auto& s : kPassStates) {
        if ((s.kind == StateKind::Sampler || s.kind == StateKind::Texture) &&
            sameName(name, s.name)) {
            return &s;
        }
    }
    return nullptr;
}

bool enumValue(ValueType type, const std::string& name, std::uint32_t& value) {
    if (sameName(name, "true")) {
        value = 1;
        return true;
    }
    if (sameName(name, "false")) {
        value = 0;
        return true;
    }
    for (const auto& e : kEnums) {
        if (e.type == type && sameName(name, e.name)) {
            value = e.value;
            return true;
        }
    }
    return false;
}

std::uint32_t floatBits(float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

std::uint32_t packColor(const double* rgba, unsigned count) {
    auto byte = [](double f) -> std::uint32_t {
        if (!(f > 0.0)) {
            return 0;  // also NaN
        }
        if (f >= 1.0) {
            return 255;
        }
        return static_cast<std::uint32_t>(f * 255.0 + 0.5);
    };
    const double r = count > 0 ? rgba[0] : 0.0;
    const double g = count > 1 ? rgba[1] : 0.0;
    const double b = count > 2 ? rgba[2] : 0.0;
    const double a = count > 3 ? rgba[3] : 1.0;
    return byte(a) << 24 | byte(r) << 16 | byte(g) << 8 | byte(b);
}

std::uint32_t stateValueFromParameter(ValueType type, ParamType paramType, const double* values,
                                      unsigned count) {
    if (count == 0) {
        return 0;
    }
    if (type == ValueType::Float) {
        return floatBits(static_cast<float>(values[0]));
    }
    if (paramType == ParamType::Bool) {
        return values[0] != 0.0 ? 1u : 0u;
    }
    if (type == ValueType::Color && paramType == ParamType::Float && count >= 3) {
        return packColor(values, count);
    }
    const double v = values[0];
    if (!std::isfinite(v)) {
        return 0;
    }
    if (v < 0.0) {
        // Negative integers keep their two's complement bits, as a DWORD cast would.
        if (v < -2147483648.0) {
            return 0x80000000u;
        }
        return static_cast<std::uint32_t>(static_cast<std::int32_t>(v));
    }
    if (v >= 4294967296.0) {
        return 0xFFFFFFFFu;
    }
    return static_cast<std::uint32_t>(v);
}

}  // namespace d3dx9::fx
