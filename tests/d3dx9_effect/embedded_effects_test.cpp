// The two effect texts the program carries must parse to exactly the states the engine
// relies on: the error effect's flat colour and the restore baseline of both.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/render/resources/error_fx_text.h"
#include "platform/d3dx9/effect/fx_parser.h"
#include "test_support.h"

using namespace d3dx9::fx;
using fxtest::findAssignment;

namespace {

constexpr std::uint32_t RS_ZENABLE = 7, RS_FILLMODE = 8, RS_ZWRITEENABLE = 14, RS_SRCBLEND = 19,
                        RS_DESTBLEND = 20, RS_CULLMODE = 22, RS_ALPHABLENDENABLE = 27,
                        RS_TEXTUREFACTOR = 60;
constexpr std::uint32_t TSS_COLOROP = 1, TSS_COLORARG1 = 2, TSS_ALPHAOP = 4, TSS_ALPHAARG1 = 5;
constexpr std::uint32_t TOP_DISABLE = 1, TOP_SELECTARG1 = 2, TA_CURRENT = 1, TA_TFACTOR = 3;
constexpr std::uint32_t CULL_NONE = 1, CULL_CW = 2, FILL_SOLID = 3;

void expectLiteral(const Pass& pass, const char* name, unsigned index, StateKind kind,
                   std::uint32_t state, std::uint32_t value) {
    const StateAssignment* a = findAssignment(pass, name, index);
    ASSERT_NE(a, nullptr) << name << "[" << index << "] in " << pass.name;
    EXPECT_EQ(a->kind, kind) << name;
    EXPECT_EQ(a->state, state) << name;
    EXPECT_EQ(a->source, ValueSource::Literal) << name;
    EXPECT_EQ(a->value, value) << name;
}

void expectReference(const Pass& pass, const char* name, std::uint32_t state,
                     const char* parameter) {
    const StateAssignment* a = findAssignment(pass, name);
    ASSERT_NE(a, nullptr) << name;
    EXPECT_EQ(a->kind, StateKind::Render) << name;
    EXPECT_EQ(a->state, state) << name;
    EXPECT_EQ(a->source, ValueSource::Parameter) << name;
    EXPECT_EQ(a->parameter, parameter) << name;
}

// Both embedded restore passes must leave the baseline every effect assumes.
void expectBaselineRestore(const Pass& restore) {
    expectLiteral(restore, "ZEnable", 0, StateKind::Render, RS_ZENABLE, 1);
    expectLiteral(restore, "ZWriteEnable", 0, StateKind::Render, RS_ZWRITEENABLE, 1);
    expectLiteral(restore, "CullMode", 0, StateKind::Render, RS_CULLMODE, CULL_CW);
    expectLiteral(restore, "TextureFactor", 0, StateKind::Render, RS_TEXTUREFACTOR, 0xFFFFFFFF);
    expectLiteral(restore, "ColorOp", 0, StateKind::TextureStage, TSS_COLOROP, TOP_DISABLE);
    expectLiteral(restore, "AlphaOp", 0, StateKind::TextureStage, TSS_ALPHAOP, TOP_DISABLE);
}

void checkErrorEffect(const EffectDesc& fx) {
    ASSERT_EQ(fx.parameters.size(), 1u);
    const Parameter& wvp = fx.parameters[0];
    EXPECT_EQ(wvp.name, "matrix_world_view_projection");
    EXPECT_EQ(wvp.type, ParamType::Float);
    EXPECT_EQ(wvp.rows, 4u);
    EXPECT_EQ(wvp.columns, 4u);
    EXPECT_EQ(wvp.defaults, std::vector<double>(16, 0.0));

    ASSERT_EQ(fx.techniques.size(), 1u);
    const Technique& t0 = fx.techniques[0];
    EXPECT_EQ(t0.name, "t0");
    ASSERT_EQ(t0.passes.size(), 2u);
    const Pass& p0 = t0.passes[0];
    EXPECT_EQ(p0.name, "p0");
    EXPECT_EQ(t0.passes[1].name, "pRestoreState");

    const StateAssignment* vs = findAssignment(p0, "VertexShader");
    ASSERT_NE(vs, nullptr);
    EXPECT_EQ(vs->kind, StateKind::VertexShader);
    EXPECT_EQ(vs->source, ValueSource::Shader);
    EXPECT_EQ(vs->shader.profile, "vs_1_1");
    EXPECT_EQ(vs->shader.entry, "VS");
    EXPECT_TRUE(vs->shader.arguments.empty());
    const StateAssignment* ps = findAssignment(p0, "PixelShader");
    ASSERT_NE(ps, nullptr);
    EXPECT_EQ(ps->kind, StateKind::PixelShader);
    EXPECT_EQ(ps->source, ValueSource::Null);

    expectLiteral(p0, "ZEnable", 0, StateKind::Render, RS_ZENABLE, 0);
    expectLiteral(p0, "ZWriteEnable", 0, StateKind::Render, RS_ZWRITEENABLE, 0);
    expectLiteral(p0, "CullMode", 0, StateKind::Render, RS_CULLMODE, CULL_NONE);
    expectLiteral(p0, "TextureFactor", 0, StateKind::Render, RS_TEXTUREFACTOR, 0xC0FF4040);
    expectLiteral(p0, "ColorOp", 0, StateKind::TextureStage, TSS_COLOROP, TOP_SELECTARG1);
    expectLiteral(p0, "ColorArg1", 0, StateKind::TextureStage, TSS_COLORARG1, TA_TFACTOR);
    expectLiteral(p0, "ColorOp", 1, StateKind::TextureStage, TSS_COLOROP, TOP_DISABLE);
    expectLiteral(p0, "AlphaOp", 0, StateKind::TextureStage, TSS_ALPHAOP, TOP_DISABLE);
    EXPECT_EQ(p0.assignments.size(), 10u);

    const Pass& restore = t0.passes[1];
    expectBaselineRestore(restore);
    expectLiteral(restore, "ColorArg1", 0, StateKind::TextureStage, TSS_COLORARG1, TA_CURRENT);
    EXPECT_EQ(restore.assignments.size(), 7u);

    ASSERT_EQ(fx.hlsl.size(), 1u);
    EXPECT_NE(fx.hlsl[0].text.find("mul(float4(Pos.xyz, 1.0f), matrix_world_view_projection)"),
              std::string::npos);
}

}  // namespace

TEST(EmbeddedEffects, BuiltInErrorTextIs593CharactersAndParses) {
    EXPECT_EQ(std::strlen(kesh::kErrorEffectText), 593u);
    EXPECT_EQ(kesh::kErrorEffectTextSize, 594u);
    // Handed over with its terminator, as the loader does.
    checkErrorEffect(
        parseEffect("ERROR.FX", std::string(kesh::kErrorEffectText, kesh::kErrorEffectTextSize)));
}

TEST(EmbeddedEffects, ErrorResourceMatchesTheBuiltInCopy) {
    const EffectDesc file =
        parseEffect("ERROR.FX", fxtest::readSourceFile("engine/render/resources/ERROR.FX"));
    checkErrorEffect(file);
    const EffectDesc builtIn = parseEffect("ERROR.FX", kesh::kErrorEffectText);
    for (std::size_t p = 0; p < 2; ++p) {
        const auto& a = file.techniques[0].passes[p].assignments;
        const auto& b = builtIn.techniques[0].passes[p].assignments;
        ASSERT_EQ(a.size(), b.size());
        for (std::size_t i = 0; i < a.size(); ++i) {
            EXPECT_EQ(a[i].name, b[i].name);
            EXPECT_EQ(a[i].value, b[i].value);
            EXPECT_EQ(a[i].index, b[i].index);
        }
    }
}

TEST(EmbeddedEffects, DebugRenderParametersAndDefaults) {
    const EffectDesc fx = parseEffect(
        "DEBUG_RENDER.FX", fxtest::readSourceFile("engine/render/resources/DEBUG_RENDER.FX"));
    struct Expected {
        const char* name;
        ParamType type;
        unsigned rows, columns;
        double value;
    } expected[] = {
        {"matrix_world_view_projection", ParamType::Float, 4, 4, 0},
        {"cColor", ParamType::Float, 1, 4, 0},
        {"do_z_enable", ParamType::Bool, 1, 1, 0},
        {"do_alpha_blend", ParamType::Bool, 1, 1, 0},
        {"srcBlend", ParamType::Int, 1, 1, 1},
        {"dstBlend", ParamType::Int, 1, 1, 1},
        {"do_cull_mode", ParamType::Int, 1, 1, 1},
        {"g_fillmode", ParamType::Int, 1, 1, 2},
    };
    ASSERT_EQ(fx.parameters.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const Parameter& p = fx.parameters[i];
        EXPECT_EQ(p.name, expected[i].name);
        EXPECT_EQ(p.type, expected[i].type) << p.name;
        EXPECT_EQ(p.rows, expected[i].rows) << p.name;
        EXPECT_EQ(p.columns, expected[i].columns) << p.name;
        EXPECT_EQ(p.defaults, std::vector<double>(p.rows * p.columns, expected[i].value)) << p.name;
    }
    // The unused pixel shader is kept with the vertex shader.
    EXPECT_EQ(fx.hlsl.size(), 2u);
}

TEST(EmbeddedEffects, DebugRenderPassesBindTheirParameters) {
    const EffectDesc fx = parseEffect(
        "DEBUG_RENDER.FX", fxtest::readSourceFile("engine/render/resources/DEBUG_RENDER.FX"));
    ASSERT_EQ(fx.techniques.size(), 1u);
    ASSERT_EQ(fx.techniques[0].passes.size(), 2u);
    const Pass& p0 = fx.techniques[0].passes[0];
    expectReference(p0, "FillMode", RS_FILLMODE, "g_fillmode");
    expectReference(p0, "ZEnable", RS_ZENABLE, "do_z_enable");
    expectReference(p0, "ZWriteEnable", RS_ZWRITEENABLE, "do_z_enable");
    expectReference(p0, "AlphaBlendEnable", RS_ALPHABLENDENABLE, "do_alpha_blend");
    expectReference(p0, "SrcBlend", RS_SRCBLEND, "srcBlend");
    expectReference(p0, "DestBlend", RS_DESTBLEND, "dstBlend");
    expectReference(p0, "CullMode", RS_CULLMODE, "do_cull_mode");
    expectReference(p0, "TextureFactor", RS_TEXTUREFACTOR, "cColor");
    expectLiteral(p0, "ColorOp", 0, StateKind::TextureStage, TSS_COLOROP, TOP_SELECTARG1);
    expectLiteral(p0, "ColorArg1", 0, StateKind::TextureStage, TSS_COLORARG1, TA_TFACTOR);
    expectLiteral(p0, "AlphaOp", 0, StateKind::TextureStage, TSS_ALPHAOP, TOP_SELECTARG1);
    expectLiteral(p0, "AlphaArg1", 0, StateKind::TextureStage, TSS_ALPHAARG1, TA_TFACTOR);
    expectLiteral(p0, "ColorOp", 1, StateKind::TextureStage, TSS_COLOROP, TOP_DISABLE);
    expectLiteral(p0, "AlphaOp", 1, StateKind::TextureStage, TSS_ALPHAOP, TOP_DISABLE);
    EXPECT_EQ(findAssignment(p0, "PixelShader")->source, ValueSource::Null);
    EXPECT_EQ(findAssignment(p0, "VertexShader")->shader.profile, "vs_1_1");

    const Pass& restore = fx.techniques[0].passes[1];
    expectBaselineRestore(restore);
    expectLiteral(restore, "AlphaBlendEnable", 0, StateKind::Render, RS_ALPHABLENDENABLE, 0);
    expectLiteral(restore, "FillMode", 0, StateKind::Render, RS_FILLMODE, FILL_SOLID);
}
