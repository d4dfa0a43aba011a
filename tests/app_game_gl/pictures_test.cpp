// What the player sees, drawn through OpenGL under SDL's offscreen driver over the generated
// art: the first video, the menu, the exit screen and the play stage. The
// pictures go to build/tests/app_game_gl_pictures/.
#include <d3d9/drawing.h>
#include <gtest/gtest.h>

#include "tests/app_game/game_fixture.h"

namespace game_testing {
namespace {

class GamePicturesTest : public GameTest {
protected:
    GamePicturesTest() : GameTest(morvale_testing::DeviceKind::Gl, 800, 600) {}

    // The frame as presented.
    d3d9::BackBufferImage frame(const std::string& name) {
        game->onFrame();
        d3d9::BackBufferImage image;
        EXPECT_TRUE(d3d9::readBackBuffer(device, image));
        EXPECT_TRUE(d3d9::writePng(image, std::string(MORVALE_TEST_PICTURES) + "/" + name));
        return image;
    }
};

TEST_F(GamePicturesTest, TheVideoTheMenuAndTheExitScreen) {
    GameOptions options;
    options.fps = true;
    start(options);
    now = 1500;
    const d3d9::BackBufferImage video = frame("video01.png");
    ASSERT_EQ(video.width, 800u);
    game->activateStage(StageId::Menu);
    game->showNotice(L"Mouse Enabled");
    const d3d9::BackBufferImage menu = frame("menu.png");
    EXPECT_NE(menu.pixel(400, 300), 0xFF202020u) << "the menu covers the cleared screen";
    game->activateStage(StageId::Exit);
    frame("exit.png");
}

TEST_F(GamePicturesTest, ThePlayStageOpensOnTheMapAndDrivesBehindIt) {
    start();
    game->activateStage(StageId::Play);
    ASSERT_NE(probe().playStage(), nullptr);
    now = 100;
    frame("play_map.png");
    bool handled = false;
    game->onMessage(window, WM_KEYDOWN, VK_TAB, 0, &handled);
    now = 200;
    game->onFrame();
    now = 300;
    const d3d9::BackBufferImage driving = frame("play_driving.png");
    EXPECT_NE(driving.pixel(400, 500), 0xFF202020u) << "the cockpit";
}

}  // namespace
}  // namespace game_testing
