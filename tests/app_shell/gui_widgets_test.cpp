// The picture widget and the countdown display on the null device: what they draw where,
// at what size, and the clock's edge cases.
#include <cmath>
#include <filesystem>
#include <limits>

#include "game/app/hud/gui_number_display.h"
#include "game/app/shell/gui_picture_widget.h"
#include "tests/app_shell/shell_fixture.h"

namespace shell_testing {
namespace {

std::string clock(double seconds) {
    const ClockGlyphs glyphs = clockGlyphs(seconds);
    std::string shown;
    for (int glyph : glyphs.glyphs) {
        shown += glyph == kColonGlyph ? ":" : glyphName(glyph);
    }
    return shown;
}

std::vector<std::string> described(const std::vector<DrawnSprite>& drawn) {
    std::vector<std::string> out;
    for (const DrawnSprite& s : drawn) {
        out.push_back(describe(s));
    }
    return out;
}

TEST(ClockGlyphs, MinutesAndSecondsWithTheirEdges) {
    EXPECT_EQ(clock(600.0), "10:00");
    EXPECT_EQ(clock(59.9), "00:59");
    EXPECT_EQ(clock(0.0), "00:00");
    EXPECT_EQ(clock(-3.0), "00:00");
    EXPECT_EQ(clock(6000.0), "99:00") << "100 minutes are capped at 99";
    EXPECT_EQ(clock(5999.0), "99:59");
    // Beyond int and NaN: clamped before the conversion, which would be undefined.
    EXPECT_EQ(clock(1e300), "99:07");
    EXPECT_EQ(clock(-1e300), "00:00");
    EXPECT_EQ(clock(std::numeric_limits<double>::quiet_NaN()), "00:00");
    EXPECT_EQ(clock(std::numeric_limits<double>::infinity()), "99:07");
}

class GuiWidgetsTest : public ShellTest {};

TEST_F(GuiWidgetsTest, TheCountdownDrawsItsBackgroundThenFiveGlyphsInARow) {
    GuiNumberDisplay display(dx.get(), settings, "time_remaining_background");
    const auto drawnAt600 = drawn([&] { display.draw(600.0); });
    EXPECT_EQ(described(drawnAt600),
              (std::vector<std::string>{"time_remaining_background at (0, 0) 172 x 32",
                                        "1 at (20, 25) 16 x 16", "0 at (36, 25) 16 x 16",
                                        "doublePoint at (52, 25) 16 x 16", "0 at (68, 25) 16 x 16",
                                        "0 at (84, 25) 16 x 16"}));
    ASSERT_FALSE(drawnAt600.empty());
    // The atlas' quarter of each texture.
    EXPECT_FLOAT_EQ(drawnAt600[1].u0, 0.25f);
    EXPECT_FLOAT_EQ(drawnAt600[1].v1, 0.75f);

    const auto drawnLate = drawn([&] { display.draw(83.0); });
    ASSERT_EQ(drawnLate.size(), 6u);
    EXPECT_EQ(drawnLate[1].image + drawnLate[2].image + drawnLate[4].image + drawnLate[5].image,
              "0123");
}

TEST_F(GuiWidgetsTest, ThePictureCoversTheViewportWhateverItsAtlasSize) {
    GuiPictureWidget widget(dx.get(), settings, "loading_screen");
    EXPECT_EQ(described(drawn([&] { widget.draw(); })),
              std::vector<std::string>{"loading_screen at (0, 0) 1024 x 768"});
    EXPECT_FLOAT_EQ(widget.frame().u1, 0.75f);

    // A name the atlas lacks is the whole texture of that name.
    writeArt("texture/hi/plain.dds", morvale_testing::solidDds(4, 4, 0xFF00FF00));
    GuiPictureWidget plain(dx.get(), settings, "plain.dds");
    EXPECT_EQ(plain.frame().texture, "plain.dds");
    EXPECT_FLOAT_EQ(plain.frame().u0, 0.0f);
    EXPECT_FLOAT_EQ(plain.frame().v1, 1.0f);
    EXPECT_EQ(drawn([&] { plain.draw(); }).size(), 1u);
}

TEST_F(GuiWidgetsTest, WithoutTheAtlasFileEveryNameIsATexture) {
    std::filesystem::remove(artRoot() + "texture/hi/gui/shell.tai");
    GuiNumberDisplay display(dx.get(), settings, "time_remaining_background");
    EXPECT_EQ(display.backgroundFrame().texture, "time_remaining_background");
    EXPECT_EQ(display.backgroundFrame().width, 172);
    // Textures that cannot be loaded are the cache's checkerboard: still six quads.
    EXPECT_EQ(drawn([&] { display.draw(61.0); }).size(), 6u);
}

class GuiWidgets800Test : public ShellTest {
protected:
    GuiWidgets800Test() : ShellTest(800, 600) {}
};

TEST_F(GuiWidgets800Test, ThePictureFollowsTheViewportAndTheClockKeepsItsPixels) {
    GuiPictureWidget widget(dx.get(), settings, "loading_screen");
    EXPECT_EQ(described(drawn([&] { widget.draw(); })),
              std::vector<std::string>{"loading_screen at (0, 0) 800 x 600"});
    GuiNumberDisplay display(dx.get(), settings, "time_remaining_background");
    const auto sprites = drawn([&] { display.draw(5999.0); });
    ASSERT_EQ(sprites.size(), 6u);
    EXPECT_EQ(describe(sprites[0]), "time_remaining_background at (0, 0) 172 x 32");
    EXPECT_EQ(describe(sprites[5]), "9 at (84, 25) 16 x 16");
}

}  // namespace
}  // namespace shell_testing
