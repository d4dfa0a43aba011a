// The art folder's effect files: each must parse, compile every shader it names to GLSL
// that links, declare the parameters the game sets by name, and end with a pass that
// restores the baseline every other effect assumes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "platform/d3dx9/effect/fx_parser.h"
#include "platform/d3dx9/effect/hlsl_compiler.h"
#include "test_support.h"

using namespace d3dx9::fx;

namespace {

// Direct3D 9 numbers of the baseline states.
constexpr std::uint32_t kZEnable = 7, kFillMode = 8, kZWriteEnable = 14;
constexpr std::uint32_t kAlphaBlendEnable = 27, kCullMode = 22, kTextureFactor = 60;
constexpr std::uint32_t kColorOp = 1, kAlphaOp = 4, kDisable = 1;
constexpr std::uint32_t kSolid = 3, kCullClockwise = 2;

std::string artPath(const std::string& name) {
    const char* source = std::getenv("MORVALE_SOURCE_DIR");
    return std::string(source != nullptr ? source : ".") + "/art/fx/" + name;
}

EffectDesc parseArtEffect(const std::string& name) {
    std::ifstream file(artPath(name), std::ios::binary);
    if (!file) {
        throw std::runtime_error("missing effect file " + name);
    }
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    return parseEffect(name, text);
}

const StateAssignment* findRenderState(const Pass& pass, std::uint32_t state) {
    for (const StateAssignment& assignment : pass.assignments) {
        if (assignment.kind == StateKind::Render && assignment.state == state) {
            return &assignment;
        }
    }
    return nullptr;
}

const StateAssignment* findStageState(const Pass& pass, std::uint32_t stage, std::uint32_t state) {
    for (const StateAssignment& assignment : pass.assignments) {
        if (assignment.kind == StateKind::TextureStage && assignment.index == stage &&
            assignment.state == state) {
            return &assignment;
        }
    }
    return nullptr;
}

void expectLiteral(const StateAssignment* assignment, std::uint32_t value, const char* what) {
    ASSERT_NE(assignment, nullptr) << what << " is not set";
    EXPECT_EQ(assignment->source, ValueSource::Literal) << what;
    EXPECT_EQ(assignment->value, value) << what;
}

struct ExpectedParameter {
    const char* name;
    ParamType type;
    unsigned values;  // rows x columns
};

// What the drawing code sets by name on each file.
const std::map<std::string, std::vector<ExpectedParameter>>& expectedParameters() {
    static const ExpectedParameter wvp{"matrix_world_view_projection", ParamType::Float, 16};
    static const ExpectedParameter tex0{"tex_0", ParamType::Texture, 1};
    static const std::map<std::string, std::vector<ExpectedParameter>> expected = {
        {"global.fx", {}},
        {"textured_mesh.fx", {wvp, tex0, {"tex_1", ParamType::Texture, 1}}},
        {"car.fx", {wvp, tex0}},
        {"car_interface.fx", {wvp, tex0}},
        {"effect_plain_mesh.fx",
         {wvp,
          tex0,
          {"uvparams", ParamType::Float, 4},
          {"zTest", ParamType::Bool, 1},
          {"zWrite", ParamType::Bool, 1},
          {"alphaBlendEnable", ParamType::Bool, 1},
          {"srcBlend", ParamType::Int, 1},
          {"dstBlend", ParamType::Int, 1}}},
        {"billboard.fx",
         {wvp,
          tex0,
          {"zTest", ParamType::Bool, 1},
          {"zWrite", ParamType::Bool, 1},
          {"alphaBlendEnable", ParamType::Bool, 1},
          {"cullMode", ParamType::Int, 1},
          {"srcBlend", ParamType::Int, 1},
          {"dstBlend", ParamType::Int, 1}}},
        {"decal.fx", {wvp, tex0}},
        {"gui.fx", {wvp, tex0, {"sprite_color", ParamType::Float, 4}}},
        {"video_playback.fx", {wvp, tex0}},
        {"debug_render.fx",
         {wvp,
          {"cColor", ParamType::Float, 4},
          {"g_fillmode", ParamType::Int, 1},
          {"do_z_enable", ParamType::Bool, 1},
          {"do_alpha_blend", ParamType::Bool, 1},
          {"do_culling", ParamType::Int, 1},
          {"srcBlend", ParamType::Int, 1},
          {"dstBlend", ParamType::Int, 1}}},
    };
    return expected;
}

class ArtEffect : public ::testing::TestWithParam<std::string> {};

}  // namespace

TEST_P(ArtEffect, DeclaresWhatTheGameSetsByName) {
    const EffectDesc effect = parseArtEffect(GetParam());
    for (const ExpectedParameter& expected : expectedParameters().at(GetParam())) {
        const Parameter* parameter = effect.findParameter(expected.name);
        ASSERT_NE(parameter, nullptr) << expected.name;
        EXPECT_EQ(parameter->type, expected.type) << expected.name;
        EXPECT_EQ(parameter->rows * parameter->columns, expected.values) << expected.name;
    }
}

TEST_P(ArtEffect, LastPassRestoresTheBaseline) {
    const EffectDesc effect = parseArtEffect(GetParam());
    ASSERT_FALSE(effect.techniques.empty());
    for (const Technique& technique : effect.techniques) {
        ASSERT_GE(technique.passes.size(), 2u) << technique.name;
        const Pass& restore = technique.passes.back();
        expectLiteral(findRenderState(restore, kZEnable), 1, "ZEnable");
        expectLiteral(findRenderState(restore, kZWriteEnable), 1, "ZWriteEnable");
        expectLiteral(findRenderState(restore, kAlphaBlendEnable), 0, "AlphaBlendEnable");
        expectLiteral(findRenderState(restore, kFillMode), kSolid, "FillMode");
        expectLiteral(findRenderState(restore, kCullMode), kCullClockwise, "CullMode");
        expectLiteral(findRenderState(restore, kTextureFactor), 0xffffffffu, "TextureFactor");
        expectLiteral(findStageState(restore, 0, kColorOp), kDisable, "ColorOp[0]");
        expectLiteral(findStageState(restore, 0, kAlphaOp), kDisable, "AlphaOp[0]");
    }
}

TEST_P(ArtEffect, EveryPassCompilesToLinkingGlslWithoutWarnings) {
    const EffectDesc effect = parseArtEffect(GetParam());
    for (const Technique& technique : effect.techniques) {
        for (const Pass& pass : technique.passes) {
            std::string vertexSource, pixelSource;
            for (const StateAssignment& assignment : pass.assignments) {
                if (assignment.source != ValueSource::Shader) {
                    continue;
                }
                const CompiledShader shader = compileShader(effect, assignment);
                EXPECT_EQ(shader.warnings, "") << pass.name;
                const bool vertex = assignment.kind == StateKind::VertexShader;
                const GlslShader glsl = translateToGlsl(shader.spirv, vertex, effect);
                EXPECT_EQ(fxtest::glslErrors(glsl.source, vertex), "") << pass.name;
                (vertex ? vertexSource : pixelSource) = glsl.source;
            }
            if (!vertexSource.empty() && !pixelSource.empty()) {
                EXPECT_EQ(fxtest::glslLinkErrors(vertexSource, pixelSource), "") << pass.name;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ArtFolder, ArtEffect,
                         ::testing::Values("global.fx", "textured_mesh.fx", "car.fx",
                                           "car_interface.fx", "effect_plain_mesh.fx",
                                           "billboard.fx", "decal.fx", "gui.fx",
                                           "video_playback.fx", "debug_render.fx"),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param.substr(0, info.param.find('.'));
                             return name;
                         });
