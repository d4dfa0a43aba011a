// The effect-text reader: which lines make components, which fields a line sets, and what
// it logs for what it cannot use.
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "engine/render/visual_effects/effect_text.h"
#include "tests/render_effect_manager/log_capture.h"

namespace {

using effect_testing::captureLog;
using effect_testing::logged;
using kesh::effect::EffectParams;

class EffectTextTest : public ::testing::Test {
protected:
    void SetUp() override { captureLog(); }

    const EffectParams& parse(const std::string& text, const std::string& name = "fx") {
        std::istringstream in(text);
        kesh::parseEffectText(library, name, in);
        const EffectParams* params = library.find(name);
        EXPECT_NE(params, nullptr);
        return *params;
    }

    kesh::EffectLibrary library;
};

TEST_F(EffectTextTest, ReadsBothKindsInTextOrder) {
    const EffectParams& fx = parse(
        ":PlainMesh\nlayer 0\nmesh glow.wfm\ntexture glow.dds\nuSpeed 0.5\nblendMode 1\n"
        "zWrite 0\n:Billboard\ntexture flare.dds\nsize 2 3\ncolor 1 0.8 0.5 0.25\n"
        "blendMode 1\n:PlainMesh\nmesh second.wfm\nvSpeed -2\nzTest 0\nzWrite 1\n"
        ":Billboard\nlayer 4\norientation 1\nnoCull 1\n");
    ASSERT_EQ(fx.plainMeshes.size(), 2u);
    ASSERT_EQ(fx.billboards.size(), 2u);
    const auto& glow = fx.plainMeshes[0];
    EXPECT_EQ(glow.mesh.id, "glow.wfm");
    EXPECT_EQ(glow.texture.id, "glow.dds");
    EXPECT_FLOAT_EQ(glow.uSpeed, 0.5f);
    EXPECT_EQ(glow.blendMode, 1);
    EXPECT_TRUE(glow.zTest);
    EXPECT_FALSE(glow.zWrite);
    const auto& second = fx.plainMeshes[1];
    EXPECT_EQ(second.mesh.id, "second.wfm");
    EXPECT_FLOAT_EQ(second.vSpeed, -2.0f);
    EXPECT_FALSE(second.zTest);
    EXPECT_TRUE(second.zWrite);
    const auto& flare = fx.billboards[0];
    EXPECT_EQ(flare.texture.id, "flare.dds");
    EXPECT_FLOAT_EQ(flare.size.x, 2.0f);
    EXPECT_FLOAT_EQ(flare.size.y, 3.0f);
    EXPECT_FLOAT_EQ(flare.color.g, 0.8f);
    EXPECT_FLOAT_EQ(flare.color.a, 0.25f);
    EXPECT_EQ(flare.blendMode, 1);
    EXPECT_EQ(fx.billboards[1].layer, 4u);
    EXPECT_EQ(fx.billboards[1].orientation, 1);
    EXPECT_TRUE(fx.billboards[1].noCull);
    EXPECT_TRUE(logged("debug", "start: PlainMesh : 1"));
    EXPECT_TRUE(logged("debug", "start: Billboard : 2"));
    EXPECT_TRUE(logged("debug", "  size = 2 3"));
}

TEST_F(EffectTextTest, BillboardsOmittingSizeAndColourAreWhiteUnitQuads) {
    const EffectParams& fx = parse(":Billboard\ntexture a.dds\n");
    ASSERT_EQ(fx.billboards.size(), 1u);
    EXPECT_FLOAT_EQ(fx.billboards[0].size.x, 1.0f);
    EXPECT_FLOAT_EQ(fx.billboards[0].size.y, 1.0f);
    const D3DXCOLOR& c = fx.billboards[0].color;
    EXPECT_EQ((std::vector<float>{c.r, c.g, c.b, c.a}), (std::vector<float>{1, 1, 1, 1}));
}

TEST_F(EffectTextTest, OneBadValueFailsItsFieldOnly) {
    const EffectParams& fx = parse(
        ":PlainMesh\nuSpeed 3\nzTest true\nuSpeed fast\nvSpeed 2\nzWrite 1\n"
        ":Billboard\nsize 4\ncolor 0.5 0.5 oops 1\nzTest 0\n");
    const auto& mesh = fx.plainMeshes.at(0);
    EXPECT_TRUE(mesh.zTest);             // "true" is not 0 or 1
    EXPECT_FLOAT_EQ(mesh.uSpeed, 3.0f);  // kept from the line before
    EXPECT_FLOAT_EQ(mesh.vSpeed, 2.0f);
    EXPECT_TRUE(mesh.zWrite);
    const auto& board = fx.billboards.at(0);
    EXPECT_FLOAT_EQ(board.size.x, 1.0f);  // one of two numbers: nothing taken
    EXPECT_FLOAT_EQ(board.color.b, 1.0f);
    EXPECT_FALSE(board.zTest);
}

TEST_F(EffectTextTest, SkipsWhatIsOutsideAComponent) {
    // A property before any directive, comments, blank and CRLF lines; the last line has no
    // line break and still counts.
    const EffectParams& fx = parse(
        "layer 7\r\n# a comment\r\n\r\n:Sparkle\r\ntexture lost.dds\r\n:Billboard\r\n"
        "# layer 9\r\ntexture kept.dds\r\nlayer 3");
    ASSERT_EQ(fx.billboards.size(), 1u);
    EXPECT_TRUE(fx.plainMeshes.empty());
    EXPECT_EQ(fx.billboards[0].texture.id, "kept.dds");
    EXPECT_EQ(fx.billboards[0].layer, 3u);
    EXPECT_TRUE(logged("warning", "unknown directive: Sparkle"));
    EXPECT_TRUE(logged("debug", "start: Sparkle : -1"));
}

TEST_F(EffectTextTest, KeysOfTheOtherKindAreUnmatched) {
    const EffectParams& fx = parse(":Billboard\nmesh a.wfm\n:PlainMesh\nnoCull 1\nsize 1 1\n");
    EXPECT_EQ(fx.billboards.size(), 1u);
    EXPECT_EQ(fx.plainMeshes.size(), 1u);
    EXPECT_TRUE(logged("warning", "WARNING: property `mesh' unmatched"));
    EXPECT_TRUE(logged("warning", "WARNING: property `noCull' unmatched"));
    EXPECT_TRUE(logged("warning", "WARNING: property `size' unmatched"));
}

TEST_F(EffectTextTest, PlainMeshBlendModeOutsideTheThreeIsOpaque) {
    const EffectParams& fx = parse(
        ":PlainMesh\nblendMode 3\n:PlainMesh\nblendMode -1\n"
        ":PlainMesh\nblendMode 2\n");
    EXPECT_EQ(fx.plainMeshes.at(0).blendMode, 0);
    EXPECT_EQ(fx.plainMeshes.at(1).blendMode, 0);
    EXPECT_EQ(fx.plainMeshes.at(2).blendMode, 2);
    EXPECT_EQ(effect_testing::linesOf("warning").size(), 2u);
}

TEST_F(EffectTextTest, AnEmptyTextIsAnEffectWithoutComponents) {
    const EffectParams& fx = parse("");
    EXPECT_TRUE(fx.plainMeshes.empty());
    EXPECT_TRUE(fx.billboards.empty());
}

TEST_F(EffectTextTest, ANameKeepsItsFirstDescription) {
    parse(":Billboard\ntexture first.dds\n");
    const EffectParams& fx = parse(":Billboard\ntexture second.dds\n");
    EXPECT_EQ(fx.billboards.at(0).texture.id, "first.dds");
    EXPECT_EQ(library.size(), 1u);
}

TEST_F(EffectTextTest, AStreamFailingBeforeItsEndInsertsNothing) {
    std::istringstream in(":Billboard\n");
    in.setstate(std::ios::failbit);
    try {
        kesh::parseEffectText(library, "broken", in);
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "effect param extraction failed");
    }
    EXPECT_EQ(library.find("broken"), nullptr);
}

}  // namespace
