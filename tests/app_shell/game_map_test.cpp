// The map screen on the null device: where the car's icon and the target's circle are
// drawn, the circle's pulse, wobble and fade, the sub-pixel jitter, the screen log line
// and the continue button.
#include "game/app/shell/game_map.h"

#include <win32/crt.h>

#include <algorithm>
#include <cmath>

#include "tests/app_shell/shell_fixture.h"
#include "tests/support/log_capture.h"

namespace shell_testing {
namespace {

constexpr float kCar[2] = {0.25f, 0.5f};
constexpr float kTarget[2] = {0.75f, 0.25f};

class GameMapTest : public ShellTest {
protected:
    using ShellTest::ShellTest;

    // Background, icon, circle, button: the two on layer 1 in a fixed order.
    std::vector<DrawnSprite> frame(GameMap& map, float t) {
        std::vector<DrawnSprite> sprites = drawn([&] { map.update(t); });
        if (sprites.size() >= 3) {
            std::sort(sprites.begin() + 1, sprites.begin() + 3,
                      [](const DrawnSprite& a, const DrawnSprite& b) { return a.image < b.image; });
        }
        return sprites;
    }
    const d3d9::RecordedDraw* drawOf(const std::string& image) {
        for (const d3d9::RecordedDraw& draw : draws()) {
            for (IDirect3DBaseTexture9* texture : draw.state.textures) {
                if (texture != nullptr && imageOf(texture) == image) {
                    return &draw;
                }
            }
        }
        return nullptr;
    }
    // A pixel-shader register holding (1, 1, 1, alpha), as the sprite's tint reaches it.
    static bool tintedWithAlpha(const d3d9::RecordedDraw& draw, float alpha) {
        const auto& c = draw.state.pixelConstants;
        for (std::size_t r = 0; r + 3 < c.size(); r += 4) {
            if (c[r] == 1.0f && c[r + 1] == 1.0f && c[r + 2] == 1.0f &&
                std::fabs(c[r + 3] - alpha) < 1e-5f) {
                return true;
            }
        }
        return false;
    }
};

TEST_F(GameMapTest, TheIconIsCentredOnTheCarAndTheCircleWobblesRoundTheTarget) {
    GameMap map(dx.get(), settings, kCar, kTarget);
    ASSERT_LT(map.jitterX(), 0.03f);
    ASSERT_LT(map.jitterY(), 0.03f);
    morvale_testing::captureLog({"screen"});
    const auto sprites = frame(map, 1.0f);
    ASSERT_EQ(sprites.size(), 4u);
    EXPECT_EQ(describe(sprites[0]), "menu_background_map at (0, 0) 1024 x 768");
    // (256, 384) less the icon's half.
    EXPECT_EQ(describe(sprites[1]), "Pajero_icon at (236, 364) 40 x 40");
    // 0.8 of 256 round (768 + 5 sin 0.7, 192 + 5 cos 0.8) = (771.2, 195.5).
    EXPECT_EQ(describe(sprites[2]), "circle1 at (669, 93) 204 x 204");
    EXPECT_EQ(describe(sprites[3]), "continue_w at (644, 727) 370 x 31");

    const d3d9::RecordedDraw* circle = drawOf("circle1");
    ASSERT_NE(circle, nullptr);
    EXPECT_TRUE(tintedWithAlpha(*circle, std::sin(0.6f) * 0.2f + 0.8f));
    const d3d9::RecordedDraw* icon = drawOf("Pajero_icon");
    ASSERT_NE(icon, nullptr);
    EXPECT_TRUE(tintedWithAlpha(*icon, 1.0f));

    const std::vector<std::string> lines = morvale_testing::linesOf("screen");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("target-info: 1 204 204: ds: (3.2", 0), 0u) << lines[0];
}

TEST_F(GameMapTest, TheCircleGrowsInFiveStepsOfAFifthOfASecond) {
    GameMap map(dx.get(), settings, kCar, kTarget);
    struct Step {
        float t;
        int drawnSize;
        int stepAfter;
    };
    // A step in each frame more than 0.2 s after the last one; the size drawn is the one
    // before the frame's step.
    const Step steps[] = {{0.0f, 204, 0}, {0.1f, 204, 0},  {0.25f, 204, 1},
                          {0.3f, 215, 1}, {0.5f, 215, 2},  {0.75f, 225, 3},
                          {1.0f, 235, 4}, {1.25f, 245, 0}, {1.5f, 204, 1}};
    for (const Step& step : steps) {
        const auto sprites = frame(map, step.t);
        ASSERT_EQ(sprites.size(), 4u);
        EXPECT_EQ(sprites[2].width(), step.drawnSize) << step.t;
        EXPECT_EQ(sprites[2].height(), step.drawnSize) << step.t;
        EXPECT_EQ(map.pulseStep(), step.stepAfter) << step.t;
    }
}

TEST_F(GameMapTest, TheJitterIsTheWindowsGeneratorsNextTwoNumbersScaled) {
    msvcrt_srand(1234);
    const int first = msvcrt_rand();
    const int second = msvcrt_rand();
    msvcrt_srand(1234);
    GameMap map(dx.get(), settings, kCar, kTarget);
    EXPECT_FLOAT_EQ(map.jitterX(), static_cast<float>(first) * GameMap::kJitterScale);
    EXPECT_FLOAT_EQ(map.jitterY(), static_cast<float>(second) * GameMap::kJitterScale);
    // The largest the generator gives stays under three hundredths of a pixel.
    EXPECT_LT(static_cast<float>(MSVCRT_RAND_MAX) * GameMap::kJitterScale, 0.03f);
}

TEST_F(GameMapTest, TheContinueButtonClosesTheMap) {
    GameMap map(dx.get(), settings, kCar, kTarget);
    map.onButton(3, nullptr, 1);
    EXPECT_FALSE(map.done());
    map.onMouseMove(700, 740);
    map.onMouseButton(1, true);
    EXPECT_FALSE(map.done());
    map.onMouseButton(1, false);
    EXPECT_TRUE(map.done());
    // Drawn once more after the click.
    EXPECT_EQ(frame(map, 2.0f).size(), 4u);
}

class GameMap800Test : public GameMapTest {
protected:
    GameMap800Test() : GameMapTest(800, 600) {}
};

TEST_F(GameMap800Test, TheCircleIsScaledAndCentredOnTheTarget) {
    GameMap map(dx.get(), settings, kCar, kTarget);
    const auto sprites = frame(map, 0.0f);
    ASSERT_EQ(sprites.size(), 4u);
    EXPECT_EQ(describe(sprites[0]), "menu_background_map at (0, 0) 800 x 600");
    EXPECT_EQ(describe(sprites[1]), "Pajero_icon at (180, 280) 40 x 40");
    // 204 x 0.78125 = 159; x = 600 + 0 - 79, y = 150 + 5 x 0.78125 - 79 = 74.9.
    EXPECT_EQ(describe(sprites[2]), "circle1 at (521, 74) 159 x 159");
    EXPECT_EQ(describe(sprites[3]), "continue_w at (503, 567) 289 x 24");
}

}  // namespace
}  // namespace shell_testing
