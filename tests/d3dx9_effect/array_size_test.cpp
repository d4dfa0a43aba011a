// Array sizes as effect files of other engines write them: named constants and constant
// expressions, not only bare numbers.
#include <gtest/gtest.h>

#include <string>

#include "platform/d3dx9/effect/fx_parser.h"

using namespace d3dx9::fx;

namespace {

std::string parseError(const std::string& text) {
    try {
        parseEffect("sizes.fx", text);
    } catch (const EffectError& e) {
        return e.what();
    }
    return "(no error)";
}

unsigned elementsOf(const EffectDesc& fx, const char* name) {
    const Parameter* p = fx.findParameter(name);
    return p != nullptr ? p->elements : 9999u;
}

// A skinning effect's head as such files begin.
const char* const kSkinning = R"(
static const int MAX_MATRICES = 26;
static const int N = MAX_MATRICES / 2 - 3, HALF = (N + 1) % 4;
static const uint SIDE = 0x3u;
static const float SCALE = 2.5;
float4x3 mWorldMatrixArray[MAX_MATRICES] : WORLDMATRIXARRAY;
float4 c[2*N+1];
float4 lights[-(-HALF) * SIDE + 1], fog[ (4) ];
float weights[2 + 2] = { 1, 2, 3, 4 };
technique t { pass p { } }
)";

}  // namespace

TEST(EffectArraySizes, NamedConstantsAndExpressionsGiveTheLength) {
    const EffectDesc fx = parseEffect("skin.fx", kSkinning);
    EXPECT_EQ(elementsOf(fx, "mWorldMatrixArray"), 26u);
    EXPECT_EQ(elementsOf(fx, "c"), 21u);
    EXPECT_EQ(elementsOf(fx, "lights"), 10u);
    EXPECT_EQ(elementsOf(fx, "fog"), 4u);
    EXPECT_EQ(elementsOf(fx, "weights"), 4u);
    EXPECT_EQ(fx.findParameter("mWorldMatrixArray")->valueCount(), 26u * 12u);
    EXPECT_EQ(fx.findParameter("weights")->defaults[3], 4.0);
    // The constants stay HLSL text for the shaders, and are no parameters.
    EXPECT_EQ(fx.findParameter("MAX_MATRICES"), nullptr);
    ASSERT_GE(fx.hlsl.size(), 1u);
    EXPECT_EQ(fx.hlsl[0].text, "static const int MAX_MATRICES = 26;");
}

TEST(EffectArraySizes, ASizeThatIsNoPositiveConstantFailsWithItsLine) {
    const std::string notConstant = "array size of 'a' is not a constant integer";
    EXPECT_EQ(parseError("float a[];"), "sizes.fx(1): expected an array size");
    EXPECT_EQ(parseError("\nfloat a[UNKNOWN];"), "sizes.fx(2): " + notConstant);
    // Only static constants count: a uniform int may change at any time.
    EXPECT_EQ(parseError("int n = 3;\nfloat a[n];"), "sizes.fx(2): " + notConstant);
    EXPECT_EQ(parseError("static const float F = 3;\nfloat a[F];"), "sizes.fx(2): " + notConstant);
    EXPECT_EQ(parseError("float a[1.5];"), "sizes.fx(1): " + notConstant);
    EXPECT_EQ(parseError("float a[4 / 0];"), "sizes.fx(1): " + notConstant);
    EXPECT_EQ(parseError("float a[4 % (2 - 2)];"), "sizes.fx(1): " + notConstant);
    EXPECT_EQ(parseError("float a[2 +];"), "sizes.fx(1): " + notConstant);
    EXPECT_EQ(parseError("float a[(2];"), "sizes.fx(1): " + notConstant);
    EXPECT_EQ(parseError("float a[2"), "sizes.fx(1): missing ']'");
    EXPECT_EQ(parseError("float a[99999999999];"), "sizes.fx(1): " + notConstant);
    EXPECT_EQ(
        parseError("float a[" + std::string(10000, '(') + "1" + std::string(10000, ')') + "];"),
        "sizes.fx(1): " + notConstant);
    EXPECT_EQ(parseError("float a[0];"), "sizes.fx(1): bad array size");
    // Operands fit in 32 bits but their results need not: each step is checked, and an
    // overflow names the line of its operator.
    const std::string overflow = "integer constant overflow";
    EXPECT_EQ(parseError("static const int N = 4294967295 * 4294967295;"),
              "sizes.fx(1): " + overflow);
    EXPECT_EQ(parseError("float a[4294967295 *\n4294967295];"), "sizes.fx(1): " + overflow);
    EXPECT_EQ(parseError("float a[1 +\n65535 * 65535 * 65535];"), "sizes.fx(2): " + overflow);
    EXPECT_EQ(parseError("float a[-4294967295 - 1];"), "sizes.fx(1): " + overflow);
    EXPECT_EQ(parseError("static const int N = 65536;\nfloat a[N * N / N];"),
              "sizes.fx(2): " + overflow);
    EXPECT_EQ(parseError("static const int N = 2;\nfloat a[N - 3];"),
              "sizes.fx(2): bad array size");
    EXPECT_EQ(parseError("float a[65537];"), "sizes.fx(1): bad array size");
    // A static declaration the sizes cannot read is left to the shader compiler.
    EXPECT_EQ(parseError("static const int K = f(2), J = 1;\nstatic const int L[2] = { 1, 2 };\n"
                         "float a[J];"),
              "(no error)");
    EXPECT_EQ(parseError("static const int K = f(2);\nfloat a[K];"), "sizes.fx(2): " + notConstant);
}
