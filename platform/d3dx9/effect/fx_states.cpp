#include "fx_states.h"

#include <strings.h>
#include <cmath>
#include <cstring>

#include <d3d9.h>

namespace d3dx9::fx {
namespace {

constexpr StateKind R = StateKind::Render;
constexpr StateKind T = StateKind::TextureStage;
constexpr StateKind S = StateKind::Sampler;
using V = ValueType;

const StateInfo kPassStates[] = {
    {"ZEnable", R, D3DRS_ZENABLE, V::ZBuffer},
    {"FillMode", R, D3DRS_FILLMODE, V::Fill},
    {"ShadeMode", R, D3DRS_SHADEMODE, V::Shade},
    {"ZWriteEnable", R, D3DRS_ZWRITEENABLE, V::Bool},
    {"AlphaTestEnable", R, D3DRS_ALPHATESTENABLE, V::Bool},
    {"LastPixel", R, D3DRS_LASTPIXEL, V::Bool},
    {"SrcBlend", R, D3DRS_SRCBLEND, V::Blend},
    {"DestBlend", R, D3DRS_DESTBLEND, V::Blend},
    {"CullMode", R, D3DRS_CULLMODE, V::Cull},
    {"ZFunc", R, D3DRS_ZFUNC, V::Compare},
    {"AlphaRef", R, D3DRS_ALPHAREF, V::Dword},
    {"AlphaFunc", R, D3DRS_ALPHAFUNC, V::Compare},
    {"DitherEnable", R, D3DRS_DITHERENABLE, V::Bool},
    {"AlphaBlendEnable", R, D3DRS_ALPHABLENDENABLE, V::Bool},
    {"FogEnable", R, D3DRS_FOGENABLE, V::Bool},
    {"SpecularEnable", R, D3DRS_SPECULARENABLE, V::Bool},
    {"FogColor", R, D3DRS_FOGCOLOR, V::Color},
    {"FogTableMode", R, D3DRS_FOGTABLEMODE, V::Fog},
    {"FogStart", R, D3DRS_FOGSTART, V::Float},
    {"FogEnd", R, D3DRS_FOGEND, V::Float},
    {"FogDensity", R, D3DRS_FOGDENSITY, V::Float},
    {"RangeFogEnable", R, D3DRS_RANGEFOGENABLE, V::Bool},
    {"StencilEnable", R, D3DRS_STENCILENABLE, V::Bool},
    {"StencilFail", R, D3DRS_STENCILFAIL, V::StencilOp},
    {"StencilZFail", R, D3DRS_STENCILZFAIL, V::StencilOp},
    {"StencilPass", R, D3DRS_STENCILPASS, V::StencilOp},
    {"StencilFunc", R, D3DRS_STENCILFUNC, V::Compare},
    {"StencilRef", R, D3DRS_STENCILREF, V::Dword},
    {"StencilMask", R, D3DRS_STENCILMASK, V::Dword},
    {"StencilWriteMask", R, D3DRS_STENCILWRITEMASK, V::Dword},
    {"TextureFactor", R, D3DRS_TEXTUREFACTOR, V::Color},
    {"Wrap0", R, D3DRS_WRAP0, V::Dword},
    {"Wrap1", R, D3DRS_WRAP1, V::Dword},
    {"Wrap2", R, D3DRS_WRAP2, V::Dword},
    {"Wrap3", R, D3DRS_WRAP3, V::Dword},
    {"Wrap4", R, D3DRS_WRAP4, V::Dword},
    {"Wrap5", R, D3DRS_WRAP5, V::Dword},
    {"Wrap6", R, D3DRS_WRAP6, V::Dword},
    {"Wrap7", R, D3DRS_WRAP7, V::Dword},
    {"Clipping", R, D3DRS_CLIPPING, V::Bool},
    {"Lighting", R, D3DRS_LIGHTING, V::Bool},
    {"Ambient", R, D3DRS_AMBIENT, V::Color},
    {"FogVertexMode", R, D3DRS_FOGVERTEXMODE, V::Fog},
    {"ColorVertex", R, D3DRS_COLORVERTEX, V::Bool},
    {"LocalViewer", R, D3DRS_LOCALVIEWER, V::Bool},
    {"NormalizeNormals", R, D3DRS_NORMALIZENORMALS, V::Bool},
    {"DiffuseMaterialSource", R, D3DRS_DIFFUSEMATERIALSOURCE, V::MaterialSource},
    {"SpecularMaterialSource", R, D3DRS_SPECULARMATERIALSOURCE, V::MaterialSource},
    {"AmbientMaterialSource", R, D3DRS_AMBIENTMATERIALSOURCE, V::MaterialSource},
    {"EmissiveMaterialSource", R, D3DRS_EMISSIVEMATERIALSOURCE, V::MaterialSource},
    {"VertexBlend", R, D3DRS_VERTEXBLEND, V::VertexBlend},
    {"ClipPlaneEnable", R, D3DRS_CLIPPLANEENABLE, V::Dword},
    {"PointSize", R, D3DRS_POINTSIZE, V::Float},
    {"PointSize_Min", R, D3DRS_POINTSIZE_MIN, V::Float},
    {"PointSpriteEnable", R, D3DRS_POINTSPRITEENABLE, V::Bool},
    {"PointScaleEnable", R, D3DRS_POINTSCALEENABLE, V::Bool},
    {"PointScale_A", R, D3DRS_POINTSCALE_A, V::Float},
    {"PointScale_B", R, D3DRS_POINTSCALE_B, V::Float},
    {"PointScale_C", R, D3DRS_POINTSCALE_C, V::Float},
    {"MultiSampleAntialias", R, D3DRS_MULTISAMPLEANTIALIAS, V::Bool},
    {"MultiSampleMask", R, D3DRS_MULTISAMPLEMASK, V::Dword},
    {"PatchEdgeStyle", R, D3DRS_PATCHEDGESTYLE, V::PatchEdge},
    {"PointSize_Max", R, D3DRS_POINTSIZE_MAX, V::Float},
    {"IndexedVertexBlendEnable", R, D3DRS_INDEXEDVERTEXBLENDENABLE, V::Bool},
    {"ColorWriteEnable", R, D3DRS_COLORWRITEENABLE, V::ColorWrite},
    {"TweenFactor", R, D3DRS_TWEENFACTOR, V::Float},
    {"BlendOp", R, D3DRS_BLENDOP, V::BlendOp},
    {"PositionDegree", R, D3DRS_POSITIONDEGREE, V::Degree},
    {"NormalDegree", R, D3DRS_NORMALDEGREE, V::Degree},
    {"ScissorTestEnable", R, D3DRS_SCISSORTESTENABLE, V::Bool},
    {"SlopeScaleDepthBias", R, D3DRS_SLOPESCALEDEPTHBIAS, V::Float},
    {"AntialiasedLineEnable", R, D3DRS_ANTIALIASEDLINEENABLE, V::Bool},
    {"MinTessellationLevel", R, D3DRS_MINTESSELLATIONLEVEL, V::Float},
    {"MaxTessellationLevel", R, D3DRS_MAXTESSELLATIONLEVEL, V::Float},
    {"AdaptiveTess_X", R, D3DRS_ADAPTIVETESS_X, V::Float},
    {"AdaptiveTess_Y", R, D3DRS_ADAPTIVETESS_Y, V::Float},
    {"AdaptiveTess_Z", R, D3DRS_ADAPTIVETESS_Z, V::Float},
    {"AdaptiveTess_W", R, D3DRS_ADAPTIVETESS_W, V::Float},
    {"EnableAdaptiveTessellation", R, D3DRS_ENABLEADAPTIVETESSELLATION, V::Bool},
    {"TwoSidedStencilMode", R, D3DRS_TWOSIDEDSTENCILMODE, V::Bool},
    {"CCW_StencilFail", R, D3DRS_CCW_STENCILFAIL, V::StencilOp},
    {"CCW_StencilZFail", R, D3DRS_CCW_STENCILZFAIL, V::StencilOp},
    {"CCW_StencilPass", R, D3DRS_CCW_STENCILPASS, V::StencilOp},
    {"CCW_StencilFunc", R, D3DRS_CCW_STENCILFUNC, V::Compare},
    {"ColorWriteEnable1", R, D3DRS_COLORWRITEENABLE1, V::ColorWrite},
    {"ColorWriteEnable2", R, D3DRS_COLORWRITEENABLE2, V::ColorWrite},
    {"ColorWriteEnable3", R, D3DRS_COLORWRITEENABLE3, V::ColorWrite},
    {"BlendFactor", R, D3DRS_BLENDFACTOR, V::Color},
    {"SRGBWriteEnable", R, D3DRS_SRGBWRITEENABLE, V::Bool},
    {"DepthBias", R, D3DRS_DEPTHBIAS, V::Float},
    {"Wrap8", R, D3DRS_WRAP8, V::Dword},
    {"Wrap9", R, D3DRS_WRAP9, V::Dword},
    {"Wrap10", R, D3DRS_WRAP10, V::Dword},
    {"Wrap11", R, D3DRS_WRAP11, V::Dword},
    {"Wrap12", R, D3DRS_WRAP12, V::Dword},
    {"Wrap13", R, D3DRS_WRAP13, V::Dword},
    {"Wrap14", R, D3DRS_WRAP14, V::Dword},
    {"Wrap15", R, D3DRS_WRAP15, V::Dword},
    {"SeparateAlphaBlendEnable", R, D3DRS_SEPARATEALPHABLENDENABLE, V::Bool},
    {"SrcBlendAlpha", R, D3DRS_SRCBLENDALPHA, V::Blend},
    {"DestBlendAlpha", R, D3DRS_DESTBLENDALPHA, V::Blend},
    {"BlendOpAlpha", R, D3DRS_BLENDOPALPHA, V::BlendOp},

    {"ColorOp", T, D3DTSS_COLOROP, V::TextureOp},
    {"ColorArg1", T, D3DTSS_COLORARG1, V::TextureArg},
    {"ColorArg2", T, D3DTSS_COLORARG2, V::TextureArg},
    {"AlphaOp", T, D3DTSS_ALPHAOP, V::TextureOp},
    {"AlphaArg1", T, D3DTSS_ALPHAARG1, V::TextureArg},
    {"AlphaArg2", T, D3DTSS_ALPHAARG2, V::TextureArg},
    {"BumpEnvMat00", T, D3DTSS_BUMPENVMAT00, V::Float},
    {"BumpEnvMat01", T, D3DTSS_BUMPENVMAT01, V::Float},
    {"BumpEnvMat10", T, D3DTSS_BUMPENVMAT10, V::Float},
    {"BumpEnvMat11", T, D3DTSS_BUMPENVMAT11, V::Float},
    {"TexCoordIndex", T, D3DTSS_TEXCOORDINDEX, V::TexCoordIndex},
    {"BumpEnvLScale", T, D3DTSS_BUMPENVLSCALE, V::Float},
    {"BumpEnvLOffset", T, D3DTSS_BUMPENVLOFFSET, V::Float},
    {"TextureTransformFlags", T, D3DTSS_TEXTURETRANSFORMFLAGS, V::TransformFlags},
    {"ColorArg0", T, D3DTSS_COLORARG0, V::TextureArg},
    {"AlphaArg0", T, D3DTSS_ALPHAARG0, V::TextureArg},
    {"ResultArg", T, D3DTSS_RESULTARG, V::TextureArg},
    {"Constant", T, D3DTSS_CONSTANT, V::Color},

    {"AddressU", S, D3DSAMP_ADDRESSU, V::Address},
    {"AddressV", S, D3DSAMP_ADDRESSV, V::Address},
    {"AddressW", S, D3DSAMP_ADDRESSW, V::Address},
    {"BorderColor", S, D3DSAMP_BORDERCOLOR, V::Color},
    {"MagFilter", S, D3DSAMP_MAGFILTER, V::Filter},
    {"MinFilter", S, D3DSAMP_MINFILTER, V::Filter},
    {"MipFilter", S, D3DSAMP_MIPFILTER, V::Filter},
    {"MipMapLodBias", S, D3DSAMP_MIPMAPLODBIAS, V::Float},
    {"MaxMipLevel", S, D3DSAMP_MAXMIPLEVEL, V::Dword},
    {"MaxAnisotropy", S, D3DSAMP_MAXANISOTROPY, V::Dword},
    {"SRGBTexture", S, D3DSAMP_SRGBTEXTURE, V::Bool},
    {"ElementIndex", S, D3DSAMP_ELEMENTINDEX, V::Dword},
    {"DMapOffset", S, D3DSAMP_DMAPOFFSET, V::Dword},

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

// The device headers leave some of these enumerations unnamed (transform flags, texture
// coordinate sources, vertex blending, colour-write bits, patch edges, degrees and the quad
// filters): those stay numbers.
const EnumEntry kEnums[] = {
    {V::ZBuffer, "UseW", D3DZB_USEW},
    {V::Fill, "Point", D3DFILL_POINT},
    {V::Fill, "Wireframe", D3DFILL_WIREFRAME},
    {V::Fill, "Solid", D3DFILL_SOLID},
    {V::Shade, "Flat", D3DSHADE_FLAT},
    {V::Shade, "Gouraud", D3DSHADE_GOURAUD},
    {V::Shade, "Phong", D3DSHADE_PHONG},
    {V::Blend, "Zero", D3DBLEND_ZERO},
    {V::Blend, "One", D3DBLEND_ONE},
    {V::Blend, "SrcColor", D3DBLEND_SRCCOLOR},
    {V::Blend, "InvSrcColor", D3DBLEND_INVSRCCOLOR},
    {V::Blend, "SrcAlpha", D3DBLEND_SRCALPHA},
    {V::Blend, "InvSrcAlpha", D3DBLEND_INVSRCALPHA},
    {V::Blend, "DestAlpha", D3DBLEND_DESTALPHA},
    {V::Blend, "InvDestAlpha", D3DBLEND_INVDESTALPHA},
    {V::Blend, "DestColor", D3DBLEND_DESTCOLOR},
    {V::Blend, "InvDestColor", D3DBLEND_INVDESTCOLOR},
    {V::Blend, "SrcAlphaSat", D3DBLEND_SRCALPHASAT},
    {V::Blend, "BothSrcAlpha", D3DBLEND_BOTHSRCALPHA},
    {V::Blend, "BothInvSrcAlpha", D3DBLEND_BOTHINVSRCALPHA},
    {V::Blend, "BlendFactor", D3DBLEND_BLENDFACTOR},
    {V::Blend, "InvBlendFactor", D3DBLEND_INVBLENDFACTOR},
    {V::Cull, "None", D3DCULL_NONE},
    {V::Cull, "CW", D3DCULL_CW},
    {V::Cull, "CCW", D3DCULL_CCW},
    {V::Compare, "Never", D3DCMP_NEVER},
    {V::Compare, "Less", D3DCMP_LESS},
    {V::Compare, "Equal", D3DCMP_EQUAL},
    {V::Compare, "LessEqual", D3DCMP_LESSEQUAL},
    {V::Compare, "Greater", D3DCMP_GREATER},
    {V::Compare, "NotEqual", D3DCMP_NOTEQUAL},
    {V::Compare, "GreaterEqual", D3DCMP_GREATEREQUAL},
    {V::Compare, "Always", D3DCMP_ALWAYS},
    {V::Fog, "None", D3DFOG_NONE},
    {V::Fog, "Exp", D3DFOG_EXP},
    {V::Fog, "Exp2", D3DFOG_EXP2},
    {V::Fog, "Linear", D3DFOG_LINEAR},
    {V::StencilOp, "Keep", D3DSTENCILOP_KEEP},
    {V::StencilOp, "Zero", D3DSTENCILOP_ZERO},
    {V::StencilOp, "Replace", D3DSTENCILOP_REPLACE},
    {V::StencilOp, "IncrSat", D3DSTENCILOP_INCRSAT},
    {V::StencilOp, "DecrSat", D3DSTENCILOP_DECRSAT},
    {V::StencilOp, "Invert", D3DSTENCILOP_INVERT},
    {V::StencilOp, "Incr", D3DSTENCILOP_INCR},
    {V::StencilOp, "Decr", D3DSTENCILOP_DECR},
    {V::BlendOp, "Add", D3DBLENDOP_ADD},
    {V::BlendOp, "Subtract", D3DBLENDOP_SUBTRACT},
    {V::BlendOp, "RevSubtract", D3DBLENDOP_REVSUBTRACT},
    {V::BlendOp, "Min", D3DBLENDOP_MIN},
    {V::BlendOp, "Max", D3DBLENDOP_MAX},
    {V::MaterialSource, "Material", D3DMCS_MATERIAL},
    {V::MaterialSource, "Color1", D3DMCS_COLOR1},
    {V::MaterialSource, "Color2", D3DMCS_COLOR2},
    {V::TextureOp, "Disable", D3DTOP_DISABLE},
    {V::TextureOp, "SelectArg1", D3DTOP_SELECTARG1},
    {V::TextureOp, "SelectArg2", D3DTOP_SELECTARG2},
    {V::TextureOp, "Modulate", D3DTOP_MODULATE},
    {V::TextureOp, "Modulate2x", D3DTOP_MODULATE2X},
    {V::TextureOp, "Modulate4x", D3DTOP_MODULATE4X},
    {V::TextureOp, "Add", D3DTOP_ADD},
    {V::TextureOp, "AddSigned", D3DTOP_ADDSIGNED},
    {V::TextureOp, "AddSigned2x", D3DTOP_ADDSIGNED2X},
    {V::TextureOp, "Subtract", D3DTOP_SUBTRACT},
    {V::TextureOp, "AddSmooth", D3DTOP_ADDSMOOTH},
    {V::TextureOp, "BlendDiffuseAlpha", D3DTOP_BLENDDIFFUSEALPHA},
    {V::TextureOp, "BlendTextureAlpha", D3DTOP_BLENDTEXTUREALPHA},
    {V::TextureOp, "BlendFactorAlpha", D3DTOP_BLENDFACTORALPHA},
    {V::TextureOp, "BlendTextureAlphaPM", D3DTOP_BLENDTEXTUREALPHAPM},
    {V::TextureOp, "BlendCurrentAlpha", D3DTOP_BLENDCURRENTALPHA},
    {V::TextureOp, "PreModulate", D3DTOP_PREMODULATE},
    {V::TextureOp, "ModulateAlpha_AddColor", D3DTOP_MODULATEALPHA_ADDCOLOR},
    {V::TextureOp, "ModulateColor_AddAlpha", D3DTOP_MODULATECOLOR_ADDALPHA},
    {V::TextureOp, "ModulateInvAlpha_AddColor", D3DTOP_MODULATEINVALPHA_ADDCOLOR},
    {V::TextureOp, "ModulateInvColor_AddAlpha", D3DTOP_MODULATEINVCOLOR_ADDALPHA},
    {V::TextureOp, "BumpEnvMap", D3DTOP_BUMPENVMAP},
    {V::TextureOp, "BumpEnvMapLuminance", D3DTOP_BUMPENVMAPLUMINANCE},
    {V::TextureOp, "DotProduct3", D3DTOP_DOTPRODUCT3},
    {V::TextureOp, "MultiplyAdd", D3DTOP_MULTIPLYADD},
    {V::TextureOp, "Lerp", D3DTOP_LERP},
    {V::TextureArg, "Diffuse", D3DTA_DIFFUSE},
    {V::TextureArg, "Current", D3DTA_CURRENT},
    {V::TextureArg, "Texture", D3DTA_TEXTURE},
    {V::TextureArg, "TFactor", D3DTA_TFACTOR},
    {V::TextureArg, "Specular", D3DTA_SPECULAR},
    {V::TextureArg, "Temp", D3DTA_TEMP},
    {V::TextureArg, "Constant", D3DTA_CONSTANT},
    {V::TextureArg, "Complement", D3DTA_COMPLEMENT},
    {V::TextureArg, "AlphaReplicate", D3DTA_ALPHAREPLICATE},
    {V::Address, "Wrap", D3DTADDRESS_WRAP},
    {V::Address, "Mirror", D3DTADDRESS_MIRROR},
    {V::Address, "Clamp", D3DTADDRESS_CLAMP},
    {V::Address, "Border", D3DTADDRESS_BORDER},
    {V::Address, "MirrorOnce", D3DTADDRESS_MIRRORONCE},
    {V::Filter, "None", D3DTEXF_NONE},
    {V::Filter, "Point", D3DTEXF_POINT},
    {V::Filter, "Linear", D3DTEXF_LINEAR},
    {V::Filter, "Anisotropic", D3DTEXF_ANISOTROPIC},
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
