// Generated fixed-function shaders: valid GLSL 330 for the stage states the embedded and
// project effects use, linking with the vertex shaders they run beside.
#include <gtest/gtest.h>

#include "d3d9/fx/fixed_function.h"
#include "platform/d3dx9/effect/fx_parser.h"
#include "platform/d3dx9/effect/hlsl_compiler.h"
#include "test_support.h"

using namespace d3dx9::fx;

namespace {

enum : std::uint32_t {
    DISABLE = 1,
    SELECTARG1 = 2,
    SELECTARG2 = 3,
    MODULATE = 4,
    MODULATE2X = 5,
    ADD = 7,
    BUMPENVMAP = 22,
    TA_DIFFUSE = 0,
    TA_CURRENT = 1,
    TA_TEXTURE = 2,
    TA_TFACTOR = 3,
    TA_TEMP = 5,
    TA_COMPLEMENT = 0x10,
    TA_ALPHAREPLICATE = 0x20,
};

// The key a device holds after a pass's assignments, starting from the defaults.
FixedPixelKey keyAfterPass(const Pass& pass) {
    FixedPixelKey key = FixedPixelKey::deviceDefaults();
    for (const auto& a : pass.assignments) {
        if (a.kind != StateKind::TextureStage || a.index > 1) {
            continue;
        }
        TextureStageKey& s = key.stages[a.index];
        switch (a.state) {
            case 1:
                s.colorOp = a.value;
                break;
            case 2:
                s.colorArg1 = a.value;
                break;
            case 3:
                s.colorArg2 = a.value;
                break;
            case 4:
                s.alphaOp = a.value;
                break;
            case 5:
                s.alphaArg1 = a.value;
                break;
            case 6:
                s.alphaArg2 = a.value;
                break;
        }
    }
    return key;
}

void expectValid(const GlslShader& shader) {
    EXPECT_EQ(fxtest::glslErrors(shader.source, shader.vertex), "");
}

}  // namespace

TEST(FixedFunction, EmbeddedEffectStagesGenerateValidShaders) {
    for (const char* file : {"ERROR.FX", "DEBUG_RENDER.FX"}) {
        SCOPED_TRACE(file);
        const EffectDesc fx = parseEffect(
            file, fxtest::readSourceFile(std::string("engine/render/resources/") + file));
        const Pass& p0 = fx.techniques[0].passes[0];
        const FixedPixelKey key = keyAfterPass(p0);
        EXPECT_EQ(key.stages[0].colorOp, SELECTARG1);
        EXPECT_EQ(key.stages[0].colorArg1, TA_TFACTOR);
        EXPECT_EQ(key.stages[1].colorOp, DISABLE);
        const GlslShader ps = generateFixedPixelShader(key);
        expectValid(ps);
        EXPECT_NE(ps.source.find("ff_tfactor"), std::string::npos);
        EXPECT_TRUE(ps.samplers.empty()) << "a flat colour samples nothing";

        // Linked with the effect's own vertex shader, translated the same way the device
        // will use it.
        const StateAssignment* vsState = fxtest::findAssignment(p0, "VertexShader");
        const GlslShader vs = translateToGlsl(compileShader(fx, *vsState).spirv, true, fx);
        EXPECT_EQ(fxtest::glslLinkErrors(vs.source, ps.source), "");
    }
}

TEST(FixedFunction, TexturedDefaultsModulateTextureAndDiffuse) {
    FixedPixelKey key = FixedPixelKey::deviceDefaults();
    key.diffuse = true;
    key.texcoordComponents = {{2, 0}};
    const GlslShader ps = generateFixedPixelShader(key);
    expectValid(ps);
    ASSERT_EQ(ps.samplers.size(), 1u);
    EXPECT_EQ(ps.samplers[0].glslName, "ff_texture0");
    EXPECT_EQ(ps.samplers[0].deviceSampler, 0u);
    EXPECT_NE(ps.source.find("texture(ff_texture0, fx_TEXCOORD0.xy)"), std::string::npos);
    EXPECT_NE(ps.source.find("tex0.rgb * current.rgb"), std::string::npos) << ps.source;
    EXPECT_EQ(ps.varyings, (std::vector<std::string>{"fx_COLOR0", "fx_TEXCOORD0"}));

    // The pass-through vertex stage for positions already in clip space feeds it.
    FixedVertexKey vkey;
    vkey.diffuse = true;
    vkey.texcoords = 1;
    const GlslShader vs = generateFixedVertexShader(vkey);
    expectValid(vs);
    ASSERT_EQ(vs.attributes.size(), 3u);
    EXPECT_EQ(vs.attributes[1].usage, 10u);
    EXPECT_EQ(vs.attributes[2].usage, 5u);
    EXPECT_NE(vs.source.find("2.0 * gl_Position.z - gl_Position.w"), std::string::npos);
    EXPECT_EQ(fxtest::glslLinkErrors(vs.source, ps.source), "");
}

TEST(FixedFunction, EveryOperationAndArgumentTheEffectsUse) {
    const std::uint32_t ops[] = {SELECTARG1, SELECTARG2, MODULATE, MODULATE2X, ADD};
    const std::uint32_t args[] = {TA_TEXTURE,
                                  TA_DIFFUSE,
                                  TA_CURRENT,
                                  TA_TFACTOR,
                                  TA_TEXTURE | TA_COMPLEMENT,
                                  TA_DIFFUSE | TA_ALPHAREPLICATE};
    for (std::uint32_t op : ops) {
        for (std::uint32_t arg : args) {
            SCOPED_TRACE("op " + std::to_string(op) + " arg " + std::to_string(arg));
            FixedPixelKey key;
            key.diffuse = true;
            key.texcoordComponents = {{2, 4}};
            key.stages[0] = TextureStageKey{op, arg, TA_CURRENT, op, TA_DIFFUSE, arg};
            key.stages[1] = TextureStageKey{op, TA_CURRENT, arg, DISABLE, TA_TEXTURE, TA_CURRENT};
            expectValid(generateFixedPixelShader(key));
        }
    }
}

TEST(FixedFunction, DisabledStagesEndTheCascade) {
    FixedPixelKey key;
    key.diffuse = true;
    key.stages[0].colorOp = DISABLE;
    key.stages[1] =
        TextureStageKey{MODULATE, TA_TEXTURE, TA_CURRENT, MODULATE, TA_TEXTURE, TA_CURRENT};
    const GlslShader ps = generateFixedPixelShader(key);
    expectValid(ps);
    // The pixel is the interpolated diffuse colour; stage 1 is never reached.
    EXPECT_EQ(ps.source.find("ff_texture1"), std::string::npos);
    EXPECT_TRUE(ps.samplers.empty());
    EXPECT_NE(ps.source.find("ff_color = current;"), std::string::npos);

    // No vertex colour and a texture stage without coordinates still compile.
    FixedPixelKey bare = FixedPixelKey::deviceDefaults();
    const GlslShader plain = generateFixedPixelShader(bare);
    expectValid(plain);
    EXPECT_NE(plain.source.find("vec4 diffuse = vec4(1.0);"), std::string::npos);
}

TEST(FixedFunction, UnsupportedStatesAreRefused) {
    FixedPixelKey key;
    key.stages[0].colorOp = BUMPENVMAP;
    EXPECT_THROW(generateFixedPixelShader(key), EffectError);
    key.stages[0] = TextureStageKey{SELECTARG1, TA_TEMP, TA_CURRENT, DISABLE, 0, 0};
    EXPECT_THROW(generateFixedPixelShader(key), EffectError);
    key.stages[0] = TextureStageKey{SELECTARG1, 0x40, TA_CURRENT, DISABLE, 0, 0};
    EXPECT_THROW(generateFixedPixelShader(key), EffectError);
    // An argument the operation ignores does not matter.
    key.stages[0] = TextureStageKey{SELECTARG2, TA_TEMP, TA_CURRENT, DISABLE, 0, 0};
    EXPECT_NO_THROW(generateFixedPixelShader(key));
}

TEST(FixedFunction, CacheBuildsEachKeyOnce) {
    TranslateOptions options;
    options.positionAdjustUniform = "dx_adjust";
    FixedFunctionCache cache(options);
    FixedPixelKey a = FixedPixelKey::deviceDefaults();
    FixedPixelKey b = a;
    b.stages[0].colorOp = MODULATE2X;
    const GlslShader* first = &cache.pixelShader(a);
    EXPECT_EQ(&cache.pixelShader(a), first);
    EXPECT_NE(&cache.pixelShader(b), first);
    FixedVertexKey v;
    EXPECT_EQ(&cache.vertexShader(v), &cache.vertexShader(v));
    EXPECT_NE(cache.vertexShader(v).source.find("dx_adjust.xy"), std::string::npos);
    expectValid(cache.vertexShader(v));
    v.texcoords = 2;
    cache.vertexShader(v);
    EXPECT_EQ(cache.size(), 4u);
    EXPECT_FALSE(a < a);
    EXPECT_TRUE(a < b || b < a);
}

TEST(FixedFunction, TheGlslCheckItselfRejectsBrokenShaders) {
    EXPECT_NE(fxtest::glslErrors("#version 330\nvoid main() { nothing = 1; }\n", false), "");
    // A vertex stage that declares a varying narrower than the vec4 the stages share.
    FixedPixelKey key = FixedPixelKey::deviceDefaults();
    key.texcoordComponents = {{2, 0}};
    const char* const narrow =
        "#version 330\nlayout(location = 0) in vec4 in_POSITION0;\nout vec2 fx_TEXCOORD0;\n"
        "void main() { gl_Position = in_POSITION0; fx_TEXCOORD0 = vec2(0.0); }\n";
    EXPECT_NE(fxtest::glslLinkErrors(narrow, generateFixedPixelShader(key).source), "");
}
