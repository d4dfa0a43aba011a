// The ".tai" index: which lines make entries, which are skipped, and how names are matched.
#include "engine/render/gui/texture_atlas.h"

#include <gtest/gtest.h>

#include <sstream>

namespace kesh {
namespace {

TextureAtlas atlasOf(const std::string& text) {
    std::istringstream in(text);
    TextureAtlas atlas;
    atlas.load(in);
    return atlas;
}

TEST(TextureAtlasTest, AValidLineGivesItsEntryWithTheDdsTexture) {
    const TextureAtlas atlas = atlasOf("start_w\tshell01 0 0.5  0.25 0.125\r\n");
    const AtlasEntry* entry = atlas.find("start_w");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->texture, "shell01.dds");
    EXPECT_FLOAT_EQ(entry->u, 0.0f);
    EXPECT_FLOAT_EQ(entry->v, 0.5f);
    EXPECT_FLOAT_EQ(entry->w, 0.25f);
    EXPECT_FLOAT_EQ(entry->h, 0.125f);
    EXPECT_EQ(atlas.find("start_b"), nullptr);
}

TEST(TextureAtlasTest, CommentsEmptyAndBadLinesAreSkippedWithoutLosingTheirNeighbours) {
    const TextureAtlas atlas = atlasOf(
        "# packed by hand\n"
        "\n"
        "first tex 0 0 1 1\n"
        "five tex 0 0 1\n"
        "word tex 0 zero 1 1\n"
        " #hash tex 0 0 1 1\n"
        "seven tex 0.5 0 0.5 1 trailing\n"
        "\r\n"
        "last tex 0 0 1 1\n");
    EXPECT_NE(atlas.find("first"), nullptr);
    EXPECT_EQ(atlas.find("five"), nullptr);
    EXPECT_EQ(atlas.find("word"), nullptr);
    // Only a '#' in the first column starts a comment.
    EXPECT_NE(atlas.find("#hash"), nullptr);
    const AtlasEntry* seven = atlas.find("seven");
    ASSERT_NE(seven, nullptr);
    EXPECT_FLOAT_EQ(seven->u, 0.5f);
    EXPECT_NE(atlas.find("last"), nullptr);
    EXPECT_EQ(atlas.size(), 4u);
}

TEST(TextureAtlasTest, TheFirstDefinitionOfANameWinsWhateverItsCase) {
    const TextureAtlas atlas = atlasOf("Button one 0 0 1 1\nBUTTON two 0 0 1 1\n");
    const AtlasEntry* entry = atlas.find("button");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->texture, "one.dds");
    EXPECT_EQ(atlas.find("bUtToN"), entry);
    EXPECT_EQ(atlas.size(), 1u);
}

TEST(TextureAtlasTest, LoadingAgainAddsWithoutReplacing) {
    TextureAtlas atlas;
    std::istringstream first("a one 0 0 1 1\n");
    std::istringstream second("a two 0 0 1 1\nb two 0 0 1 1\n");
    atlas.load(first);
    atlas.load(second);
    EXPECT_EQ(atlas.find("a")->texture, "one.dds");
    EXPECT_EQ(atlas.find("b")->texture, "two.dds");
}

TEST(TextureAtlasTest, ALastLineWithoutALineFeedIsLost) {
    const TextureAtlas atlas = atlasOf("kept tex 0 0 1 1\nlost tex 0 0 1 1");
    EXPECT_NE(atlas.find("kept"), nullptr);
    EXPECT_EQ(atlas.find("lost"), nullptr);
}

TEST(TextureAtlasTest, AStreamThatCannotBeReadAddsNothing) {
    std::istringstream in("a tex 0 0 1 1\n");
    in.setstate(std::ios::badbit);
    TextureAtlas atlas;
    atlas.load(in);
    EXPECT_EQ(atlas.size(), 0u);
    EXPECT_EQ(atlasOf("").size(), 0u);
}

TEST(TextureAtlasTest, BytesAboveAsciiAreKeptAndOnlyAsciiLettersFold) {
    // Bytes above 127 are negative chars here; lower-casing must not hand them to tolower
    // as negative values.
    const TextureAtlas atlas = atlasOf("\xC4ZE\xFF tex 0 0 1 1\n");
    EXPECT_NE(atlas.find("\xC4ze\xFF"), nullptr);
    EXPECT_EQ(atlas.find("\xE4ze\xFF"), nullptr);
    EXPECT_EQ(lowerCased("A\x80Z"), "a\x80z");
}

TEST(TextureAtlasTest, MapTakesTheUnitSquareIntoTheImagesRectangle) {
    AtlasEntry entry;
    entry.u = 0.5f;
    entry.v = 0.0f;
    entry.w = 0.25f;
    entry.h = 0.5f;
    const float centre[2] = {0.5f, 0.5f};
    const D3DXVECTOR2 mapped = TextureAtlas::map(entry, centre);
    EXPECT_FLOAT_EQ(mapped.x, 0.625f);
    EXPECT_FLOAT_EQ(mapped.y, 0.25f);
    const float corner[2] = {1.0f, 1.0f};
    EXPECT_FLOAT_EQ(TextureAtlas::map(entry, corner).x, 0.75f);
    EXPECT_FLOAT_EQ(TextureAtlas::map(entry, corner).y, 0.5f);
}

}  // namespace
}  // namespace kesh
