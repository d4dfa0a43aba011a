// Image names to frames and regions: the three spellings a frame request tries, and the
// exact name a region request takes.
#include "engine/render/gui/sprite_frame.h"

#include <gtest/gtest.h>

#include <sstream>

namespace kesh {
namespace {

constexpr int kSize[2] = {40, 20};

TextureAtlas atlasOf(const std::string& text) {
    std::istringstream in(text);
    TextureAtlas atlas;
    atlas.load(in);
    return atlas;
}

TEST(SpriteSourceTest, WithoutAnAtlasEveryNameIsTheWholeTexture) {
    const SpriteSource source(nullptr, nullptr);
    const SpriteFrame frame = source.frame("gauge.dds", kSize);
    EXPECT_EQ(frame.texture, "gauge.dds");
    EXPECT_EQ(frame.u0, 0.0f);
    EXPECT_EQ(frame.v1, 1.0f);
    EXPECT_EQ(source.region("gauge.dds").texture, "gauge.dds");
}

TEST(SpriteSourceTest, AFoundEntryGivesItsTextureAndCorners) {
    const TextureAtlas atlas = atlasOf("gauge.dds hud 0.5 0 0.25 0.5\n");
    const SpriteSource source(nullptr, &atlas);
    const SpriteFrame frame = source.frame("gauge.dds", kSize);
    EXPECT_EQ(frame.texture, "hud.dds");
    EXPECT_EQ(frame.width, 40);
    EXPECT_EQ(frame.height, 20);
    EXPECT_FLOAT_EQ(frame.u0, 0.5f);
    EXPECT_FLOAT_EQ(frame.v0, 0.0f);
    EXPECT_FLOAT_EQ(frame.u1, 0.75f);
    EXPECT_FLOAT_EQ(frame.v1, 0.5f);
}

TEST(SpriteSourceTest, AFrameRequestTriesTheNameWithoutItsExtension) {
    const TextureAtlas atlas = atlasOf("gauge bare 0 0 1 1\nmy.gauge dotted 0 0 1 1\n");
    const SpriteSource source(nullptr, &atlas);
    EXPECT_EQ(source.frame("gauge.dds", kSize).texture, "bare.dds");
    EXPECT_EQ(source.frame("Gauge.DDS", kSize).texture, "bare.dds");
    // Only the last extension goes.
    EXPECT_EQ(source.frame("my.gauge.tga", kSize).texture, "dotted.dds");
}

TEST(SpriteSourceTest, AFrameRequestForADdsNameFindsThePngEntry) {
    const TextureAtlas atlas = atlasOf("gauge.png packed 0 0 1 1\n");
    const SpriteSource source(nullptr, &atlas);
    EXPECT_EQ(source.frame("gauge.dds", kSize).texture, "packed.dds");
    // Whatever follows the first ".dds" is dropped.
    EXPECT_EQ(source.frame("gauge.dds.bak", kSize).texture, "packed.dds");
    // The search for ".dds" heeds case, unlike the atlas.
    const SpriteFrame upper = source.frame("Gauge.DDS", kSize);
    EXPECT_EQ(upper.texture, "Gauge.DDS");
    EXPECT_EQ(upper.u0, 0.0f);
    EXPECT_EQ(upper.u1, 1.0f);
}

TEST(SpriteSourceTest, ARegionRequestTakesOnlyTheExactName) {
    const TextureAtlas atlas = atlasOf("start_w shell 0 0.25 0.5 0.25\ngauge bare 0 0 1 1\n");
    const SpriteSource source(nullptr, &atlas);
    const TextureRegion region = source.region("START_W");
    EXPECT_EQ(region.texture, "shell.dds");
    EXPECT_FLOAT_EQ(region.v0, 0.25f);
    EXPECT_FLOAT_EQ(region.u1, 0.5f);
    EXPECT_FLOAT_EQ(region.v1, 0.5f);
    const TextureRegion missing = source.region("gauge.dds");
    EXPECT_EQ(missing.texture, "gauge.dds");
    EXPECT_EQ(missing.u0, 0.0f);
    EXPECT_EQ(missing.v0, 0.0f);
    EXPECT_EQ(missing.u1, 1.0f);
    EXPECT_EQ(missing.v1, 1.0f);
}

}  // namespace
}  // namespace kesh
