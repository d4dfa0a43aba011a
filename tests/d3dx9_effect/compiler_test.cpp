// HLSL from effect files through glslang to SPIR-V and on to GLSL 330: the embedded
// effects must compile, broken shaders must fail with the effect file's line numbers,
// and the two stages of a pass must link by their Direct3D semantics.
#include <gtest/gtest.h>

#include "d3d9/fx/glsl_translator.h"
#include "engine/render/resources/error_fx_text.h"
#include "platform/d3dx9/effect/fx_parser.h"
#include "platform/d3dx9/effect/hlsl_compiler.h"
#include "test_support.h"

using namespace d3dx9::fx;
using fxtest::findAssignment;

namespace {

const StateAssignment& shaderOf(const EffectDesc& fx, const char* state, unsigned pass = 0) {
    const StateAssignment* a = findAssignment(fx.techniques.at(0).passes.at(pass), state);
    if (!a) {
        throw std::runtime_error(std::string("no ") + state);
    }
    return *a;
}

std::string compileError(const EffectDesc& fx, const char* state = "VertexShader") {
    try {
        compileShader(fx, shaderOf(fx, state));
    } catch (const ShaderError& e) {
        return e.what();
    }
    return "(no error)";
}

const UniformBinding* findUniform(const GlslShader& s, const std::string& parameter) {
    for (const auto& u : s.uniforms) {
        if (u.parameter == parameter) {
            return &u;
        }
    }
    return nullptr;
}

// A textured effect in the style of the project's own files: a vertex shader with a
// struct output and a pixel shader sampling through a sampler_state.
const char* const kTextured = R"(float4x4 matrix_world_view_projection;
texture tex_0;
sampler s0 = sampler_state { Texture = <tex_0>; MinFilter = Linear; };
float4 sprite_color = {1, 1, 1, 1};
bool flip = false;

struct VOUT
{
    float4 pos : POSITION;
    float4 color : COLOR0;
    float2 uv : TEXCOORD1;
};

VOUT VS(float3 p : POSITION, float4 c : COLOR0, float2 uv : TEXCOORD0)
{
    VOUT o;
    o.pos = mul(float4(p, 1), matrix_world_view_projection);
    o.color = c * sprite_color;
    o.uv = flip ? uv.yx : uv;
    return o;
}

float4 PS(VOUT i) : COLOR
{
    return tex2D(s0, i.uv) * i.color;
}

technique t
{
    pass p
    {
        VertexShader = compile vs_2_0 VS();
        PixelShader = compile ps_2_0 PS();
    }
    pass restore { }
}
)";

}  // namespace

TEST(HlslCompiler, EmbeddedVertexShadersCompileToGlsl) {
    for (const char* file : {"ERROR.FX", "DEBUG_RENDER.FX"}) {
        SCOPED_TRACE(file);
        const EffectDesc fx = parseEffect(
            file, fxtest::readSourceFile(std::string("engine/render/resources/") + file));
        const CompiledShader vs = compileShader(fx, shaderOf(fx, "VertexShader"));
        ASSERT_FALSE(vs.spirv.empty());
        EXPECT_EQ(vs.spirv[0], 0x07230203u);  // SPIR-V magic
        EXPECT_TRUE(vs.profile.vertex);
        EXPECT_EQ(vs.profile.version, 0xFFFE0101u);

        const GlslShader glsl = translateToGlsl(vs.spirv, true, fx);
        EXPECT_EQ(glsl.source.rfind("#version 330", 0), 0u);
        // A struct uniform set member by member, not a uniform block.
        EXPECT_NE(glsl.source.find("uniform vs_fx_parameters vs_fx;"), std::string::npos)
            << glsl.source;
        const UniformBinding* wvp = findUniform(glsl, "matrix_world_view_projection");
        ASSERT_NE(wvp, nullptr);
        EXPECT_EQ(wvp->glslName, "vs_fx.matrix_world_view_projection");
        EXPECT_EQ(wvp->rows, 4u);
        EXPECT_EQ(wvp->columns, 4u);
        EXPECT_FALSE(wvp->transpose);
        ASSERT_EQ(glsl.attributes.size(), 1u);
        EXPECT_EQ(glsl.attributes[0].glslName, "in_POSITION0");
        EXPECT_EQ(glsl.attributes[0].usage, 0u);
        EXPECT_EQ(glsl.attributes[0].components, 3u);
        // POSITION is the clip position, not a varying.
        EXPECT_TRUE(glsl.varyings.empty());
        EXPECT_NE(glsl.source.find("gl_Position.z = 2.0 * gl_Position.z - gl_Position.w"),
                  std::string::npos)
            << "Direct3D depth 0..1 must become GL's -1..1";
        EXPECT_EQ(fxtest::glslErrors(glsl.source, true), "");
    }
}

// Parameters reach the compiler when some code of the effect names them, whichever stage.
TEST(HlslCompiler, DebugEffectUniformsDescribeEveryNumericParameter) {
    const EffectDesc fx =
        parseEffect("DEBUG_RENDER.FX",
                    fxtest::readSourceFile("engine/render/resources/DEBUG_RENDER.FX") +
                        "float4 other() : COLOR0 { return cColor * g_fillmode * do_z_enable; }");
    const GlslShader glsl =
        translateToGlsl(compileShader(fx, shaderOf(fx, "VertexShader")).spirv, true, fx);
    ASSERT_NE(findUniform(glsl, "cColor"), nullptr);
    EXPECT_EQ(findUniform(glsl, "cColor")->base, GlBaseType::Float);
    EXPECT_EQ(findUniform(glsl, "cColor")->columns, 4u);
    ASSERT_NE(findUniform(glsl, "do_z_enable"), nullptr);
    EXPECT_EQ(findUniform(glsl, "do_z_enable")->base, GlBaseType::UInt);
    ASSERT_NE(findUniform(glsl, "g_fillmode"), nullptr);
    EXPECT_EQ(findUniform(glsl, "g_fillmode")->base, GlBaseType::Int);
    EXPECT_EQ(findUniform(glsl, "g_fillmode")->glslName, "vs_fx.g_fillmode");
}

TEST(HlslCompiler, StagesLinkBySemanticAndSamplersKeepTheirNames) {
    const EffectDesc fx = parseEffect("textured.fx", kTextured);
    const CompiledShader vs = compileShader(fx, shaderOf(fx, "VertexShader"));
    const CompiledShader ps = compileShader(fx, shaderOf(fx, "PixelShader"));
    EXPECT_EQ(ps.profile.version, 0xFFFF0200u);
    const GlslShader vsGlsl = translateToGlsl(vs.spirv, true, fx);
    const GlslShader psGlsl = translateToGlsl(ps.spirv, false, fx);

    ASSERT_EQ(vsGlsl.attributes.size(), 3u);
    EXPECT_EQ(vsGlsl.attributes[0].glslName, "in_POSITION0");
    EXPECT_EQ(vsGlsl.attributes[1].glslName, "in_COLOR0");
    EXPECT_EQ(vsGlsl.attributes[1].usage, 10u);
    EXPECT_EQ(vsGlsl.attributes[2].usage, 5u);
    EXPECT_EQ(vsGlsl.attributes[2].usageIndex, 0u);
    EXPECT_EQ(vsGlsl.attributes[2].components, 2u);

    // Declared in a different order in the two stages: matched by name, not location.
    std::vector<std::string> vsOut = vsGlsl.varyings;
    std::vector<std::string> psIn = psGlsl.varyings;
    std::sort(vsOut.begin(), vsOut.end());
    std::sort(psIn.begin(), psIn.end());
    EXPECT_EQ(vsOut, (std::vector<std::string>{"fx_COLOR0", "fx_TEXCOORD1"}));
    EXPECT_EQ(psIn, vsOut);

    ASSERT_EQ(psGlsl.samplers.size(), 1u);
    EXPECT_EQ(psGlsl.samplers[0].glslName, "ps_fx_s0");
    EXPECT_EQ(psGlsl.samplers[0].texture, "tex_0");
    EXPECT_EQ(psGlsl.samplers[0].deviceSampler, 0u);
    EXPECT_NE(psGlsl.source.find("uniform sampler2D ps_fx_s0;"), std::string::npos);

    EXPECT_EQ(fxtest::glslLinkErrors(vsGlsl.source, psGlsl.source), "");
}

TEST(HlslCompiler, BrokenFunctionFailsWithItsEffectLine) {
    const std::string text =
        "float4x4 wvp;\n"
        "\n"
        "float4 VS(float3 p : POSITION) : POSITION\n"
        "{\n"
        "    return mul(float4(p, 1), wvp) + undefined_thing;\n"
        "}\n"
        "technique t { pass a { VertexShader = compile vs_1_1 VS(); } pass b { } }\n";
    const std::string error = compileError(parseEffect("broken.fx", text));
    EXPECT_NE(error.find("broken.fx(5): error:"), std::string::npos) << error;
    EXPECT_NE(error.find("undefined_thing"), std::string::npos) << error;
    EXPECT_EQ(error.find("fx0"), std::string::npos) << error;
}

TEST(HlslCompiler, ErrorsInIncludedFilesNameThatFile) {
    IncludeHandler includes = [](const std::string& name, const std::string&, std::string& resolved,
                                 std::string& text) {
        resolved = "fx/" + name;
        text = "\nfloat4 helper() { return missing_value; }\n";
        return true;
    };
    const EffectDesc fx =
        parseEffect("fx/main.fx",
                    "#include \"lib.fxh\"\nfloat4 VS() : POSITION { return helper(); }\n"
                    "technique t { pass a { VertexShader = compile vs_2_0 VS(); } pass b { } }\n",
                    includes);
    const std::string error = compileError(fx);
    EXPECT_NE(error.find("fx/lib.fxh(2): error:"), std::string::npos) << error;
}

TEST(HlslCompiler, MissingEntryAndUnknownProfileFail) {
    const EffectDesc noEntry = parseEffect(
        "e.fx",
        "float4 VS() : POSITION { return 0; }\n"
        "technique t { pass a {\n VertexShader = compile vs_1_1 Nope(); } pass b { } }\n");
    const std::string missing = compileError(noEntry);
    EXPECT_EQ(missing.rfind("e.fx(3): error:", 0), 0u) << missing;
    EXPECT_NE(missing.find("Entry point not found"), std::string::npos) << missing;
    const EffectDesc badProfile =
        parseEffect("e.fx",
                    "float4 VS() : POSITION { return 0; }\n"
                    "technique t { pass a { VertexShader = compile vs_9_9 VS(); } pass b { } }\n");
    EXPECT_EQ(compileError(badProfile), "e.fx(2): error: unknown shader profile 'vs_9_9'");
}

TEST(HlslCompiler, CompileArgumentsBindUniformParameters) {
    const std::string functions =
        "float4x4 wvp;\n"
        "float4 VS(float3 p : POSITION, uniform float k, float2 uv : TEXCOORD0,\n"
        "          uniform bool flip, out float2 uvOut : TEXCOORD0) : POSITION\n"
        "{\n"
        "    uvOut = flip ? uv.yx : uv;\n"
        "    return mul(float4(p * k, 1), wvp);\n"
        "}\n";
    const EffectDesc fx = parseEffect(
        "a.fx", functions +
                    "technique t { pass a {\n VertexShader = compile vs_2_0 VS(2.5f, true);"
                    " } pass b { } }\n");
    const GlslShader glsl =
        translateToGlsl(compileShader(fx, shaderOf(fx, "VertexShader")).spirv, true, fx);
    EXPECT_NE(glsl.source.find("2.5"), std::string::npos) << glsl.source;
    ASSERT_EQ(glsl.attributes.size(), 2u);
    EXPECT_EQ(glsl.attributes[1].glslName, "in_TEXCOORD0");
    EXPECT_EQ(glsl.varyings, std::vector<std::string>{"fx_TEXCOORD0"});
    EXPECT_EQ(fxtest::glslErrors(glsl.source, true), "");

    const EffectDesc tooFew = parseEffect(
        "a.fx",
        functions + "technique t { pass a {\n VertexShader = compile vs_2_0 VS(1); } pass b { } }");
    EXPECT_EQ(compileError(tooFew), "a.fx(9): error: too few arguments for 'VS'");
    const EffectDesc tooMany = parseEffect(
        "a.fx", functions +
                    "technique t { pass a {\n VertexShader = compile vs_2_0 VS(1, true, 3);"
                    " } pass b { } }");
    EXPECT_EQ(compileError(tooMany), "a.fx(9): error: too many arguments for 'VS'");
    const EffectDesc broken = parseEffect(
        "a.fx", functions +
                    "technique t { pass a {\n VertexShader = compile vs_2_0 VS(1, nope);"
                    " } pass b { } }");
    const std::string error = compileError(broken);
    EXPECT_NE(error.find("a.fx(9): error: 'nope'"), std::string::npos) << error;
}

TEST(HlslCompiler, ProfileLimitsAreEnforced) {
    // vs_1_1 and vs_2_0 cannot sample textures.
    const EffectDesc vertexFetch =
        parseEffect("v.fx",
                    "sampler s;\nfloat4 VS(float2 uv : TEXCOORD0) : POSITION"
                    " { return tex2Dlod(s, float4(uv, 0, 0)); }\n"
                    "technique t { pass a { VertexShader = compile vs_2_0 VS(); } pass b { } }\n");
    EXPECT_NE(compileError(vertexFetch).find("uses 1 samplers, vs_2_0 offers 0"), std::string::npos)
        << compileError(vertexFetch);
    // ps_1_1 has eight constant registers; an unused big array does not count.
    const EffectDesc constants =
        parseEffect("p.fx",
                    "float4 big[9];\nfloat4 unused[50];\nint i;\n"
                    "float4 PS() : COLOR { return big[i]; }\n"
                    "technique t { pass a { PixelShader = compile ps_1_1 PS(); } pass b { } }\n");
    EXPECT_NE(compileError(constants, "PixelShader").find("needs 10 constant registers"),
              std::string::npos)
        << compileError(constants, "PixelShader");
    const EffectDesc fits =
        parseEffect("p.fx",
                    "float4 big[7];\nfloat4 unused[50];\n"
                    "float4 PS() : COLOR { return big[3]; }\n"
                    "technique t { pass a { PixelShader = compile ps_2_0 PS(); } pass b { } }\n");
    EXPECT_EQ(compileError(fits, "PixelShader"), "(no error)");
}

TEST(HlslCompiler, ProfilesAndDeviceCaps) {
    ShaderProfile p;
    ASSERT_TRUE(parseProfile("vs_1_1", p));
    EXPECT_TRUE(profileSupported(p, 0xFFFE0101u));
    EXPECT_TRUE(profileSupported(p, 0xFFFE0300u));
    EXPECT_FALSE(profileSupported(p, 0xFFFE0100u));
    EXPECT_FALSE(profileSupported(p, 0xFFFF0300u)) << "a pixel version is no vertex cap";
    ASSERT_TRUE(parseProfile("ps_3_0", p));
    EXPECT_FALSE(p.vertex);
    EXPECT_EQ(p.version, 0xFFFF0300u);
    EXPECT_FALSE(profileSupported(p, 0xFFFF0200u));
    ASSERT_TRUE(parseProfile("ps_2_b", p));
    EXPECT_EQ(p.version, 0xFFFF0200u);
    EXPECT_FALSE(parseProfile("vs_4_0", p));
    EXPECT_FALSE(parseProfile("", p));
}

TEST(HlslCompiler, PositionAdjustmentIsOptIn) {
    const EffectDesc fx = parseEffect("ERROR.FX", kesh::kErrorEffectText);
    const CompiledShader vs = compileShader(fx, shaderOf(fx, "VertexShader"));
    TranslateOptions options;
    options.fixupDepth = false;
    const GlslShader plain = translateToGlsl(vs.spirv, true, fx, options);
    EXPECT_EQ(plain.source.find("2.0 * gl_Position.z"), std::string::npos);
    EXPECT_EQ(plain.source.find("dx_adjust"), std::string::npos);
    options.positionAdjustUniform = "dx_adjust";
    const GlslShader adjusted = translateToGlsl(vs.spirv, true, fx, options);
    EXPECT_NE(adjusted.source.find("uniform vec4 dx_adjust;"), std::string::npos);
    EXPECT_NE(adjusted.source.find("gl_Position.xy += dx_adjust.xy * gl_Position.w;"),
              std::string::npos);
    EXPECT_EQ(fxtest::glslErrors(adjusted.source, true), "");
    // Pixel shaders have no position to adjust.
    std::string pixel = "#version 330\nvoid f() {}\n";
    EXPECT_THROW(adjustPosition(pixel, "dx_adjust"), EffectError);
}

// Each stage's text declares every parameter; which ones a stage reads comes from the
// compiled code, whatever the names look like in the text.
TEST(HlslCompiler, UniformUseIsWhatEachStageReads) {
    const EffectDesc fx = parseEffect("use.fx", R"(
float4x4 g_world;
float4 g_tint;
float4 g_world_tint;
float4 vs_main(float3 p : POSITION) : POSITION { return mul(float4(p, 1.0), g_world); }
float4 ps_main() : COLOR { return g_tint; }
technique t { pass p {
    VertexShader = compile vs_2_0 vs_main();
    PixelShader = compile ps_2_0 ps_main();
} }
)");
    auto used = [](const GlslShader& shader) {
        std::vector<std::string> names;
        for (const UniformBinding& u : shader.uniforms) {
            if (u.used) {
                names.push_back(u.parameter);
            }
        }
        return names;
    };
    const GlslShader vs =
        translateToGlsl(compileShader(fx, shaderOf(fx, "VertexShader")).spirv, true, fx);
    const GlslShader ps =
        translateToGlsl(compileShader(fx, shaderOf(fx, "PixelShader")).spirv, false, fx);
    EXPECT_EQ(used(vs), std::vector<std::string>{"g_world"});
    EXPECT_EQ(used(ps), std::vector<std::string>{"g_tint"});
}

TEST(HlslCompiler, TheAlphaTestRunsAfterTheWholePixelShader) {
    const EffectDesc fx = parseEffect("alpha.fx", R"(
float4 g_colour;
struct PsOut { float4 colour : COLOR0; };
PsOut helper(float4 c) { PsOut o; o.colour = c; return o; }
PsOut ps_main() { if (g_colour.r > 0.5) { return helper(g_colour); } return helper(g_colour.bgra); }
technique t { pass p { PixelShader = compile ps_2_0 ps_main(); } }
)");
    const CompiledShader ps = compileShader(fx, shaderOf(fx, "PixelShader"));
    const GlslShader plain = translateToGlsl(ps.spirv, false, fx);
    EXPECT_EQ(plain.source.find("discard"), std::string::npos);
    TranslateOptions options;
    options.alphaTestUniform = "dx_alpha";
    const GlslShader tested = translateToGlsl(ps.spirv, false, fx, options);
    EXPECT_NE(tested.source.find("uniform vec2 dx_alpha;"), std::string::npos);
    // The test is in the last function of the text, after the shader's own main has run.
    const std::size_t lastMain = tested.source.rfind("void main()");
    ASSERT_NE(lastMain, std::string::npos);
    EXPECT_LT(tested.source.find("dx_shaded_main();", lastMain), tested.source.find("discard"));
    EXPECT_GT(tested.source.find("discard"), lastMain);
    EXPECT_EQ(fxtest::glslErrors(tested.source, false), "");
    // A pixel shader writing no colour has nothing to test.
    const EffectDesc depthOnly = parseEffect("depth.fx", R"(
float ps_main() : DEPTH { return 0.5; }
technique t { pass p { PixelShader = compile ps_2_0 ps_main(); } }
)");
    const CompiledShader depth = compileShader(depthOnly, shaderOf(depthOnly, "PixelShader"));
    EXPECT_THROW(translateToGlsl(depth.spirv, false, depthOnly, options), EffectError);
}
