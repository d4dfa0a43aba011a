// One frame of the game: its order around the stage, the stage switch at its start, what the
// options add to the screen, and the device-loss path through the pump's check.
#include <d3dx9/seams.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/render/debug/debug_renderer.h"
#include "engine/render/device/application_window.h"
#include "tests/app_game/game_fixture.h"
#include "win32/window_seams.h"

namespace game_testing {
namespace {

class FrameTest : public GameTest {
protected:
    std::vector<d3dx9::TextDraw> textsDrawn(const std::wstring& text) {
        std::vector<d3dx9::TextDraw> found;
        for (const d3dx9::TextDraw& draw : d3dx9::textDraws()) {
            if (draw.text == text && (draw.format & DT_CALCRECT) == 0) {
                found.push_back(draw);
            }
        }
        return found;
    }
};

TEST_F(FrameTest, AFrameClearsBeginsRunsTheStageInTheSceneAndPresents) {
    start();
    useFakes(StageId::Menu);
    scenes().clear();
    game->onFrame();
    EXPECT_EQ(record, (Record{"1 next", "1 update in scene"}));
    ASSERT_EQ(scenes().clears.size(), 1u);
    EXPECT_EQ(scenes().clears[0].color, 0xFF202020u);
    EXPECT_EQ(scenes().clears[0].flags, DWORD(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER));
    EXPECT_FLOAT_EQ(scenes().clears[0].z, 1.0f);
    EXPECT_EQ(scenes().beginScenes, 1);
    EXPECT_EQ(scenes().endScenes, 1);
    EXPECT_EQ(scenes().presents, 1);
}

TEST_F(FrameTest, TheSwitchRunsBeforeTheSceneOldStageFirst) {
    start();
    useFakes(StageId::Menu, StageId::SecondVideo);
    game->onFrame();
    EXPECT_EQ(record, (Record{"1 next", "1 gone", "build 3", "3 built", "3 update in scene"}));
    // Stage 3 stays: None keeps it, and activating None does nothing at all.
    record.clear();
    Stage* three = probe().stage();
    game->onFrame();
    game->activateStage(StageId::None);
    EXPECT_EQ(probe().stage(), three);
    EXPECT_EQ(record, (Record{"3 next", "3 update in scene"}));
}

TEST_F(FrameTest, DebugQueuesAreDrawnOnlyWithFpsOrCamera) {
    start();
    useFakes(StageId::Menu);
    kesh::writeLine(boost::log::logScreen(), "x");
    const D3DXVECTOR3 centre(0, 0, 5);
    game->onFrame();
    // The frame clears the queues first; a sphere queued during the frame stays undrawn.
    kesh::theDebugRenderer->addSphere(&centre, 1.0f, 0xFFFFFFFF, 0);
    scenes().clear();
    game->onFrame();
    EXPECT_TRUE(scenes().draws.empty());
    EXPECT_TRUE(textsDrawn(L"NO SIGNAL").empty());
}

TEST_F(FrameTest, WithFpsAndNoStageTheFrameSaysNoSignalAndTheRate) {
    GameOptions options;
    options.fps = true;
    start(options);
    game->onMouseMove(10, 10);  // a stage that is not built cannot be told of the pointer
    useFakes(TestGame::kNoStage);
    ASSERT_EQ(probe().stage(), nullptr);
    d3dx9::clearTextDraws();
    now = 500;
    game->onFrame();
    const auto signal = textsDrawn(L"NO SIGNAL");
    ASSERT_EQ(signal.size(), 1u);
    EXPECT_EQ(signal[0].rect.left, 4);
    EXPECT_EQ(signal[0].rect.top, 4);
    EXPECT_EQ(signal[0].color, 0xFF00FF00u);

    // The rate: frames over the seconds since the last update, refreshed after a second.
    for (int frame = 0; frame < 9; ++frame) {
        now += 125;
        game->onFrame();
    }
    EXPECT_NEAR(probe().fps(), 6.0f / 1.125f, 1e-3);
    bool rateShown = false;
    for (const d3dx9::TextDraw& draw : d3dx9::textDraws()) {
        if (draw.text.rfind(L"320x240-X8R8G8B8|D24X8 ", 0) == 0 &&
            (draw.format & DT_CALCRECT) == 0) {
            rateShown = true;
            EXPECT_EQ(draw.rect.right, 320 - 2);
            EXPECT_EQ(draw.rect.top, 2);
            EXPECT_EQ(draw.color, 0xFFFFFFFFu);
        }
    }
    EXPECT_TRUE(rateShown);
}

TEST_F(FrameTest, TheCameraOptionQueuesThePositionAndDrawsTheQueues) {
    GameOptions options;
    options.camera = true;
    start(options);
    useFakes(StageId::Menu);
    game->onFrame();
    ASSERT_FALSE(kesh::theDebugRenderer->screenTexts().empty());
    const auto& last = kesh::theDebugRenderer->screenTexts().back();
    EXPECT_EQ(last.text.rfind(L"Camera position: ", 0), 0u) << kesh::toNarrow(last.text);
    EXPECT_EQ(last.color, 0xFFFF8080u);
    // The column starts at (3, 3): its first line's shadow one pixel lower, then the line.
    const auto drawn = textsDrawn(kesh::theDebugRenderer->screenTexts().front().text);
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].rect.top, 4);
    EXPECT_EQ(drawn[1].rect.top, 3);
    EXPECT_EQ(drawn[1].rect.left, 3);
    EXPECT_FALSE(textsDrawn(last.text).empty());
}

TEST_F(FrameTest, NoFrameWhileTheDeviceIsLostAndTenMillisecondSleepsUntilItIsBack) {
    start();
    useFakes(StageId::Menu);
    // The device layer asks twice a turn: lost, lost again, then ready for its reset.
    d3d9::scriptCooperativeLevel(
        device, {D3DERR_DEVICELOST, D3DERR_DEVICELOST, D3DERR_DEVICELOST, D3DERR_DEVICELOST,
                 D3DERR_DEVICENOTRESET, D3DERR_DEVICENOTRESET});
    scenes().clear();
    int frames = 0;
    // The pump's idle turns.
    for (int turn = 0; turn < 4; ++turn) {
        if (!game->checkDevice()) {
            game->onFrame();
            ++frames;
        }
    }
    EXPECT_EQ(sleeps, (std::vector<DWORD>{10, 10}));
    EXPECT_EQ(frames, 2);
    EXPECT_EQ(scenes().presents, 2);
    EXPECT_EQ(scenes().resets, 1);
    EXPECT_EQ(std::count(record.begin(), record.end(), "1 update in scene"), 2);
}

TEST_F(FrameTest, AFrameOnALostDeviceStopsBeforeTheStage) {
    start();
    useFakes(StageId::Menu, StageId::SecondVideo);
    d3d9::scriptCooperativeLevel(device, {D3DERR_DEVICELOST});
    ASSERT_TRUE(game->checkDevice());
    scenes().clear();
    game->onFrame();
    game->onResize(640, 480);
    EXPECT_TRUE(record.empty()) << "no stage switch and no update";
    EXPECT_EQ(scenes().beginScenes, 0);
    EXPECT_EQ(scenes().presents, 0);
}

TEST_F(FrameTest, APumpWithTheGameRunsFramesAndPassesAHandlersExceptionOn) {
    start();
    useFakes(StageId::Menu);
    kesh::ApplicationWindow pumped;
    ASSERT_TRUE(pumped.create(nullptr, L"Morvale", 0, 0, 400, 300));
    pumped.setMouseListener(game.get());
    pumped.setMessageHook(game.get());
    win32::postQuitAfterIdleTurns(3);
    EXPECT_EQ(pumped.run(game.get()), 0);
    EXPECT_EQ(std::count(record.begin(), record.end(), "1 update in scene"), 3);

    // Nothing between the stage's handler and the pump's caller swallows a failure.
    win32::simulateKey(pumped.getWindow(), FakeStage::kFailingKey, true);
    pumped.setMessageHook(game.get());
    EXPECT_THROW(pumped.run(game.get()), std::runtime_error);
    win32::postQuitAfterIdleTurns(0);
}

}  // namespace
}  // namespace game_testing
