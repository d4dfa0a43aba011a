// The effect language beyond the embedded texts, and the errors a broken file must give.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>

#include "platform/d3dx9/effect/fx_parser.h"
#include "platform/d3dx9/effect/fx_states.h"
#include "test_support.h"

using namespace d3dx9::fx;
using fxtest::findAssignment;

namespace {

std::string parseError(const std::string& text, const IncludeHandler& includes = {}) {
    try {
        parseEffect("bad.fx", text, includes);
    } catch (const EffectError& e) {
        return e.what();
    }
    return "(no error)";
}

std::uint32_t bitsOf(float f) {
    std::uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

const char* const kFullEffect = R"(// line 1
shared float4x4 matrix_world_view_projection : WorldViewProjection;
texture tex_0 < string name = "default.dds"; int mips = 1; >;
sampler2D samp0 = sampler_state
{
    Texture = <tex_0>;
    MinFilter = Linear; MagFilter = LINEAR; MipFilter = None;
    AddressU = Clamp; AddressV = wrap;
};
float4 uvparams = float4(1, 0.5f, -2, 1e1);
float3 tint = { 0.25, 0.5, 1.0 };
float weights[3] = { 1, 2, 3 };
float2 uniformly = 2;
int srcBlend = 5, dstBlend = 0x6;
bool zTest = true;
static const float kScale = 2.0;
struct VOUT { float4 pos : POSITION; float2 uv : TEXCOORD0; };
/* a block
   comment */
technique Fancy < string group = "main"; >
{
    pass
    {
        cullmode = ccw;
        ZENABLE = <zTest>;
        SrcBlend = <srcBlend>;
        ColorArg2[1] = Texture | Complement;
        FogStart = 0.5;
        FogEnd = 2;
        TextureFactor = float4(1, 0, 0, 1);
        Texture[1] = <tex_0>;
        Sampler[2] = <samp0>;
        MinFilter[3] = Point;
        AlphaRef = -1;
        PixelShader = compile ps_2_0 PS(1, float2(0, 1));
    }
    pass last { TextureFactor = 0xffffffff; }
}
technique { pass { } pass { } }
)";

}  // namespace

TEST(EffectParser, ParametersSemanticsAnnotationsAndDefaults) {
    const EffectDesc fx = parseEffect("full.fx", std::string(kFullEffect) + '\0');
    const Parameter* wvp = fx.findParameter("matrix_world_view_projection");
    ASSERT_NE(wvp, nullptr);
    EXPECT_TRUE(wvp->shared);
    EXPECT_EQ(wvp->semantic, "WorldViewProjection");
    EXPECT_EQ(wvp->where.line, 2);

    const Parameter* tex = fx.findParameter("tex_0");
    ASSERT_NE(tex, nullptr);
    EXPECT_EQ(tex->type, ParamType::Texture);
    ASSERT_EQ(tex->annotations.size(), 2u);
    EXPECT_EQ(tex->annotations[0].name, "name");
    EXPECT_EQ(tex->annotations[0].text, "default.dds");
    EXPECT_EQ(tex->annotations[1].numbers, std::vector<double>{1});

    const Parameter* samp = fx.findParameter("samp0");
    ASSERT_NE(samp, nullptr);
    EXPECT_EQ(samp->type, ParamType::Sampler);
    ASSERT_EQ(samp->samplerStates.size(), 6u);
    EXPECT_EQ(samp->samplerStates[0].kind, SamplerStateKind::Texture);
    EXPECT_EQ(samp->samplerStates[0].parameter, "tex_0");
    const std::uint32_t expected[][2] = {{6, 2}, {5, 2}, {7, 0}, {1, 3}, {2, 1}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(samp->samplerStates[i + 1].state, expected[i][0]) << i;
        EXPECT_EQ(samp->samplerStates[i + 1].value, expected[i][1]) << i;
    }

    EXPECT_EQ(fx.findParameter("uvparams")->defaults, (std::vector<double>{1, 0.5, -2, 10}));
    EXPECT_EQ(fx.findParameter("tint")->defaults, (std::vector<double>{0.25, 0.5, 1.0}));
    const Parameter* weights = fx.findParameter("weights");
    EXPECT_EQ(weights->elements, 3u);
    EXPECT_EQ(weights->defaults, (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(fx.findParameter("uniformly")->defaults, (std::vector<double>{2, 2}));
    EXPECT_EQ(fx.findParameter("srcBlend")->defaults, std::vector<double>{5});
    EXPECT_EQ(fx.findParameter("dstBlend")->defaults, std::vector<double>{6});
    EXPECT_EQ(fx.findParameter("zTest")->defaults, std::vector<double>{1});
    // Static globals and structs are HLSL, not parameters.
    EXPECT_EQ(fx.findParameter("kScale"), nullptr);
    ASSERT_EQ(fx.hlsl.size(), 2u);
    EXPECT_EQ(fx.hlsl[0].text, "static const float kScale = 2.0;");
    EXPECT_EQ(fx.hlsl[1].where.line, 17);
}

TEST(EffectParser, PassStatesMapToDeviceNumbers) {
    const EffectDesc fx = parseEffect("full.fx", kFullEffect);
    ASSERT_EQ(fx.techniques.size(), 2u);
    const Technique& fancy = fx.techniques[0];
    EXPECT_EQ(fancy.name, "Fancy");
    EXPECT_EQ(fancy.annotations.at(0).text, "main");
    ASSERT_EQ(fancy.passes.size(), 2u);
    EXPECT_EQ(fancy.passes[0].name, "");
    EXPECT_EQ(fancy.passes[1].name, "last");
    EXPECT_EQ(fx.techniques[1].name, "");
    EXPECT_EQ(fx.techniques[1].passes.size(), 2u);

    const Pass& p = fancy.passes[0];
    EXPECT_EQ(findAssignment(p, "CullMode")->value, 3u);  // case-insensitive name and value
    EXPECT_EQ(findAssignment(p, "ZEnable")->parameter, "zTest");
    EXPECT_EQ(findAssignment(p, "SrcBlend")->source, ValueSource::Parameter);
    const StateAssignment* arg = findAssignment(p, "ColorArg2", 1);
    ASSERT_NE(arg, nullptr);
    EXPECT_EQ(arg->kind, StateKind::TextureStage);
    EXPECT_EQ(arg->state, 3u);
    EXPECT_EQ(arg->value, 0x12u);
    EXPECT_EQ(findAssignment(p, "FogStart")->value, bitsOf(0.5f));
    EXPECT_EQ(findAssignment(p, "FogEnd")->value, bitsOf(2.0f));
    EXPECT_EQ(findAssignment(p, "TextureFactor")->value, 0xFFFF0000u);
    const StateAssignment* tex = findAssignment(p, "Texture", 1);
    ASSERT_NE(tex, nullptr);
    EXPECT_EQ(tex->kind, StateKind::Texture);
    EXPECT_EQ(tex->parameter, "tex_0");
    EXPECT_EQ(findAssignment(p, "Sampler", 2)->kind, StateKind::SamplerObject);
    const StateAssignment* minFilter = findAssignment(p, "MinFilter", 3);
    ASSERT_NE(minFilter, nullptr);
    EXPECT_EQ(minFilter->kind, StateKind::Sampler);
    EXPECT_EQ(minFilter->state, 6u);
    EXPECT_EQ(minFilter->value, 1u);
    EXPECT_EQ(findAssignment(p, "AlphaRef")->value, 0xFFFFFFFFu);
    const StateAssignment* ps = findAssignment(p, "PixelShader");
    EXPECT_EQ(ps->shader.profile, "ps_2_0");
    EXPECT_EQ(ps->shader.arguments, (std::vector<std::string>{"1", "float2(0, 1)"}));
}

TEST(EffectParser, IncludesResolveBesideTheFileAndKeepTheirLines) {
    std::map<std::string, std::string> files = {
        {"fx/common.fxh", "\n\nfloat4 sprite_color = {1, 1, 1, 1};\nfloat4 f() { return 0; }\n"},
    };
    std::string seenFrom;
    IncludeHandler includes = [&](const std::string& name, const std::string& from,
                                  std::string& resolved, std::string& text) {
        seenFrom = from;
        resolved = "fx/" + name;
        auto it = files.find(resolved);
        if (it == files.end()) {
            return false;
        }
        text = it->second;
        return true;
    };
    const EffectDesc fx = parseEffect(
        "fx/gui.fx", "#include \"common.fxh\"\nint after;\ntechnique t { pass a {} pass b {} }",
        includes);
    EXPECT_EQ(seenFrom, "fx/gui.fx");
    const Parameter* color = fx.findParameter("sprite_color");
    ASSERT_NE(color, nullptr);
    EXPECT_EQ(color->where.file, "fx/common.fxh");
    EXPECT_EQ(color->where.line, 3);
    EXPECT_EQ(fx.findParameter("after")->where.file, "fx/gui.fx");
    EXPECT_EQ(fx.findParameter("after")->where.line, 2);
    ASSERT_EQ(fx.hlsl.size(), 1u);
    EXPECT_EQ(fx.hlsl[0].where.line, 4);
    EXPECT_EQ(fx.files, (std::vector<std::string>{"fx/gui.fx", "fx/common.fxh"}));

    EXPECT_EQ(parseError("float a;\n#include \"missing.fxh\"\n", includes),
              "bad.fx(2): cannot open include file 'missing.fxh'");
    files["fx/self.fxh"] = "#include \"self.fxh\"\n";
    EXPECT_NE(parseError("#include \"self.fxh\"\n", includes).find("nested too deeply"),
              std::string::npos);
    EXPECT_EQ(parseError("#include \"x.fxh\"\n"), "bad.fx(1): cannot open include file 'x.fxh'");
}

TEST(EffectParser, IncludeBesideFileLooksInTheIncludingFolder) {
    std::map<std::string, std::string> disk = {
        {"../../proc_art/fx/common.fxh", "#include \"deeper.fxh\"\nint a;\n"},
        {"../../proc_art/fx/deeper.fxh", "int b;\n"},
        {"c:\\art\\fx\\win.fxh", "int c;\n"},
    };
    IncludeHandler beside = includeBesideFile([&](const std::string& path, std::string& text) {
        auto it = disk.find(path);
        if (it == disk.end()) {
            return false;
        }
        text = it->second;
        return true;
    });
    const EffectDesc fx =
        parseEffect("../../proc_art/fx/car.fx", "#include \"common.fxh\"\nint z;\n", beside);
    EXPECT_EQ(fx.files,
              (std::vector<std::string>{"../../proc_art/fx/car.fx", "../../proc_art/fx/common.fxh",
                                        "../../proc_art/fx/deeper.fxh"}));
    EXPECT_EQ(fx.parameters.size(), 3u);
    EXPECT_EQ(parseEffect("c:\\art\\fx\\x.fx", "#include \"win.fxh\"", beside).parameters.size(),
              1u);
    EXPECT_EQ(parseError("#include \"common.fxh\"", beside),
              "bad.fx(1): cannot open include file 'common.fxh'");
}

TEST(EffectParser, ErrorsCarryFileAndLine) {
    EXPECT_EQ(parseError("float a;\nfloat b\nfloat c;"),
              "bad.fx(3): expected ';' but found 'float'");
    EXPECT_EQ(parseError("technique t {\n pass p {\n  Bogus = 1;\n }\n}"),
              "bad.fx(3): unknown state 'Bogus'");
    EXPECT_EQ(parseError("technique t { pass p {\n CullMode = Sideways; } }"),
              "bad.fx(2): 'Sideways' is not a valid value for CullMode");
    EXPECT_EQ(parseError("technique t { pass p {\n\n ZEnable = <nothere>; } }"),
              "bad.fx(3): undeclared parameter 'nothere'");
    EXPECT_EQ(parseError("texture t;\ntechnique t { pass p {\n ZEnable = <t>; } }"),
              "bad.fx(3): parameter 't' has the wrong type for ZEnable");
    EXPECT_EQ(parseError("technique t { pass p {\n VertexShader = compile ps_2_0 PS(); } }"),
              "bad.fx(2): profile 'ps_2_0' does not fit VertexShader");
    EXPECT_EQ(parseError("technique t { pass p {\n ColorOp[9] = Disable; } }"),
              "bad.fx(2): bad index for ColorOp");
    EXPECT_EQ(parseError("technique t { pass p {\n ZEnable[1] = true; } }"),
              "bad.fx(2): bad index for ZEnable");
    EXPECT_EQ(parseError("float4 c = {1, 2};"),
              "bad.fx(1): initializer of 'c' has 2 values where 4 are needed");
    EXPECT_EQ(parseError("int a;\nint a;"), "bad.fx(2): redefinition of 'a'");
    EXPECT_EQ(parseError("\n/* never closed"), "bad.fx(2): unterminated comment");
    EXPECT_EQ(parseError("#define X 1\n"),
              "bad.fx(1): unsupported preprocessor directive '#define'");
    EXPECT_EQ(parseError("float4 f() { return 0;\n"), "bad.fx(1): missing '}'");
    EXPECT_EQ(parseError("mystery thing;"), "bad.fx(1): unsupported parameter type 'mystery'");
    EXPECT_EQ(parseError("sampler s = 3;"), "bad.fx(1): expected sampler_state but found '3'");
    EXPECT_EQ(parseError("sampler s = sampler_state {\n Texture = <nope>; };"),
              "bad.fx(2): undeclared parameter 'nope'");
    EXPECT_EQ(parseError("int f;\nsampler s = sampler_state {\n Texture = <f>; };"),
              "bad.fx(3): parameter 'f' has the wrong type for Texture");
    EXPECT_EQ(parseError("texture t;\nsampler s = sampler_state {\n MinFilter = <t>; };"),
              "bad.fx(3): parameter 't' has the wrong type for MinFilter");
    EXPECT_EQ(parseError("float2 v;\nsampler s = sampler_state {\n MipMapLodBias = <v>; };"),
              "bad.fx(3): parameter 'v' has the wrong type for MipMapLodBias");
    EXPECT_EQ(parseError("int x = 0x1FFFFFFFF;"),
              "bad.fx(1): bad hexadecimal number '0x1FFFFFFFF'");
    EXPECT_EQ(parseError("technique t { pass p { ZEnable = true; }"),
              "bad.fx(1): expected 'pass' but found end of file");
    EXPECT_EQ(parseError("float a @ 3;"), "bad.fx(1): unexpected character '@'");
    EXPECT_EQ(parseError("float a = " + std::string(100000, '{')),
              "bad.fx(1): initializer nested too deeply");
}

TEST(EffectStates, ParameterValuesBecomeStateDwords) {
    const double yes = 1, no = 0, seven = 7, negative = -2, half = 0.5;
    EXPECT_EQ(stateValueFromParameter(ValueType::Bool, ParamType::Bool, &yes, 1), 1u);
    EXPECT_EQ(stateValueFromParameter(ValueType::ZBuffer, ParamType::Bool, &no, 1), 0u);
    EXPECT_EQ(stateValueFromParameter(ValueType::Blend, ParamType::Int, &seven, 1), 7u);
    EXPECT_EQ(stateValueFromParameter(ValueType::Dword, ParamType::Int, &negative, 1), 0xFFFFFFFEu);
    EXPECT_EQ(stateValueFromParameter(ValueType::Float, ParamType::Float, &half, 1), bitsOf(0.5f));
    // A float4 feeding a colour state packs to ARGB, clamped, rounded to nearest.
    const double color[] = {1.0, 0.5, -3.0, 0.25};
    EXPECT_EQ(stateValueFromParameter(ValueType::Color, ParamType::Float, color, 4), 0x40FF8000u);
    const double rgb[] = {0.0, 0.0, 2.0};
    EXPECT_EQ(stateValueFromParameter(ValueType::Color, ParamType::Float, rgb, 3), 0xFF0000FFu);
    const double nan = std::nan("");
    EXPECT_EQ(stateValueFromParameter(ValueType::Dword, ParamType::Float, &nan, 1), 0u);
    EXPECT_EQ(stateValueFromParameter(ValueType::Dword, ParamType::Float, &nan, 0), 0u);
}

TEST(EffectStates, NamesAreCaseInsensitiveAndContextual) {
    ASSERT_NE(findPassState("textureFACTOR"), nullptr);
    EXPECT_EQ(findPassState("textureFACTOR")->state, 60u);
    EXPECT_EQ(findPassState("nonsense"), nullptr);
    EXPECT_EQ(findSamplerState("ColorOp"), nullptr);
    std::uint32_t v = 99;
    // "None" and "Disable" mean different numbers for different states.
    ASSERT_TRUE(enumValue(ValueType::Cull, "NONE", v));
    EXPECT_EQ(v, 1u);
    ASSERT_TRUE(enumValue(ValueType::Filter, "none", v));
    EXPECT_EQ(v, 0u);
    ASSERT_TRUE(enumValue(ValueType::TextureOp, "disable", v));
    EXPECT_EQ(v, 1u);
    ASSERT_TRUE(enumValue(ValueType::TransformFlags, "Disable", v));
    EXPECT_EQ(v, 0u);
    ASSERT_TRUE(enumValue(ValueType::Blend, "InvSrcAlpha", v));
    EXPECT_EQ(v, 6u);
    EXPECT_FALSE(enumValue(ValueType::Cull, "Linear", v));
}

// Truncated or damaged files must end in an EffectError (or parse), never in a crash or
// a hang: every prefix of a rich effect, and every single-byte corruption of it.
TEST(EffectParser, DamagedTextFailsCleanly) {
    const std::string text = kFullEffect;
    auto attempt = [](const std::string& t) {
        try {
            parseEffect("damaged.fx", t);
        } catch (const EffectError&) {
        }
    };
    for (std::size_t n = 0; n <= text.size(); ++n) {
        attempt(text.substr(0, n));
    }
    const char replacements[] = {'\0', '{', '}', '<', '>', '"', ';', '/', '*', '#', '(', 'x'};
    for (std::size_t i = 0; i < text.size(); i += 3) {
        for (char r : replacements) {
            std::string t = text;
            t[i] = r;
            attempt(t);
        }
    }
}
