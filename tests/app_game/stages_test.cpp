// Switching stages with their sounds and music volumes, the 'M' and 'J' notices of the play
// stage, the notice's two seconds, and the input handlers with the camera drag.
#include <d3dx9/seams.h>
#include <dmusic/test_seam.h>
#include <gtest/gtest.h>

#include <cstring>

#include "engine/render/gui/gui_button.h"
#include "game/app/shell/game_map.h"
#include "game/app/stages/exit_stage.h"
#include "game/app/stages/game_stage.h"
#include "game/app/stages/menu_stage.h"
#include "game/app/stages/video_stage.h"
#include "game/audio/performance.h"
#include "game/audio/sound_bank.h"
#include "game/vehicle/input/input_system.h"
#include "tests/app_game/game_fixture.h"
#include "tests/support/game_stage_probe.h"

namespace game_testing {
namespace {

class StagesTest : public GameTest {
protected:
    float musicVolume() {
        return probe().audio()->getBank()->getMusicPerformance()->getMasterVolume();
    }
    LRESULT press(WPARAM key) {
        bool handled = false;
        const LRESULT result = game->onMessage(window, WM_KEYDOWN, key, 0, &handled);
        EXPECT_FALSE(handled);
        return result;
    }
    // Presses and releases the left button where the pointer rests.
    void clickWithoutMove() {
        game->onMouseButton(1, 1);
        game->onMouseButton(1, 0);
    }
    static std::pair<int, int> middleOf(const kesh::GuiElement* element) {
        return {element->x + element->w / 2, element->y + element->h / 2};
    }
    int noticeDraws(const std::wstring& text) {
        int count = 0;
        for (const d3dx9::TextDraw& draw : d3dx9::textDraws()) {
            count += draw.text == text && (draw.format & DT_CALCRECT) == 0 ? 1 : 0;
        }
        return count;
    }
};

TEST_F(StagesTest, EachStageWithItsSoundsAndMusicVolume) {
    start();
    game->onFrame();  // video01 starts
    ASSERT_EQ(probe().audio()->queuedStarts(), 0u);
    const std::size_t stopsBefore = dmusic_test::events(dmusic_test::Call::StopEx).size();

    game->activateStage(StageId::Menu);
    EXPECT_NE(dynamic_cast<MenuStage*>(probe().stage()), nullptr);
    // The videos' sounds are stopped at once, not at the next frame.
    EXPECT_EQ(probe().audio()->queuedStops(), 0u);
    EXPECT_GT(dmusic_test::events(dmusic_test::Call::StopEx).size(), stopsBefore);
    EXPECT_FLOAT_EQ(musicVolume(), 0.7f);

    game->activateStage(StageId::SecondVideo);
    auto* second = dynamic_cast<VideoStage*>(probe().stage());
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second->currentVideo(), nullptr);
    EXPECT_EQ(probe().audio()->queuedStarts(), 1u) << "video02, at the next frame";
    EXPECT_EQ(probe().audio()->queuedStops(), 0u);
    EXPECT_FLOAT_EQ(musicVolume(), 0.0f);

    game->activateStage(StageId::Exit);
    EXPECT_NE(dynamic_cast<ExitStage*>(probe().stage()), nullptr);
    EXPECT_FLOAT_EQ(musicVolume(), 0.0f);
    EXPECT_EQ(probe().playStage(), nullptr);
}

TEST_F(StagesTest, EnteringAVideoStopsNoSound) {
    start();
    game->onFrame();
    const std::size_t stopsBefore = dmusic_test::events(dmusic_test::Call::StopEx).size();
    game->activateStage(StageId::SecondVideo);
    game->activateStage(StageId::FirstVideo);
    EXPECT_EQ(dmusic_test::events(dmusic_test::Call::StopEx).size(), stopsBefore);
}

TEST_F(StagesTest, ThePlayStageTakesTheSceneCameraAndMAndJToggleItsInput) {
    start();
    game->activateStage(StageId::Play);
    GameStage* play = probe().playStage();
    ASSERT_NE(play, nullptr);
    EXPECT_EQ(probe().stage(), play);
    InputSystem* input = GameStageProbe(*play).input();
    ASSERT_NE(input, nullptr);
    input->setJoystickEnabled(true);

    EXPECT_EQ(press('M'), 0);
    EXPECT_EQ(probe().notice(), L"Mouse Enabled");
    EXPECT_TRUE(input->isMouseEnabled());
    EXPECT_FALSE(input->isJoystickEnabled());

    press('J');
    EXPECT_EQ(probe().notice(), L"Joystick Enabled");
    EXPECT_TRUE(input->isJoystickEnabled());
    EXPECT_FALSE(input->isMouseEnabled());

    press('J');
    EXPECT_EQ(probe().notice(), L"Joystick Disabled");
    press('M');
    press('M');
    EXPECT_EQ(probe().notice(), L"Mouse Disabled");

    // Once the map is closed, the play stage copies its level camera into the scene camera
    // every frame.
    press(VK_TAB);
    const kesh::CameraView before = probe().camera();
    game->onFrame();
    now += 100;  // fixed steps move the level's camera
    game->onFrame();
    EXPECT_NE(std::memcmp(&before.camera, &probe().camera().camera, sizeof before.camera), 0);
}

TEST_F(StagesTest, ARestartedPlayStageCarriesOnFromThePreviousRunsLastFrame) {
    start();
    game->activateStage(StageId::Play);
    EXPECT_FALSE(GameStageProbe(*probe().playStage()).previousFrame().known);
    press(VK_TAB);
    game->onFrame();
    now += 100;
    game->onFrame();
    const std::int64_t last = GameStageProbe(*probe().playStage()).previousFrame().count;
    game->activateStage(StageId::Play);
    const PreviousFrame& carried = GameStageProbe(*probe().playStage()).previousFrame();
    EXPECT_TRUE(carried.known);
    EXPECT_EQ(carried.count, last);
}

// The pointer left resting where a button appears (the menu built after the video, the map
// and the pause menu opened by a key) is over that button: one click, no move, chooses it.
TEST_F(StagesTest, PagesShownUnderTheRestingPointerTakeAClickWithoutAMove) {
    start();
    game->activateStage(StageId::Menu);
    const auto start =
        middleOf(static_cast<MenuStage*>(probe().stage())->shellMenu()->currentPage()->children[0]);
    game->activateStage(StageId::FirstVideo);
    game->onMouseMove(start.first, start.second);
    game->activateStage(StageId::Menu);
    clickWithoutMove();
    EXPECT_EQ(static_cast<MenuStage*>(probe().stage())->shellMenu()->result(), ShellMenu::Start);

    game->activateStage(StageId::Play);
    GameStage* play = probe().playStage();
    ASSERT_NE(GameStageProbe(*play).map(), nullptr);
    const auto mapContinue = middleOf(GameStageProbe(*play).map()->button());
    press(VK_TAB);
    game->onMouseMove(mapContinue.first, mapContinue.second);
    press(VK_TAB);
    ASSERT_NE(GameStageProbe(*play).map(), nullptr);
    clickWithoutMove();
    EXPECT_TRUE(GameStageProbe(*play).map()->done());
    press(VK_TAB);

    press(VK_ESCAPE);
    const auto exit = middleOf(GameStageProbe(*play).pauseMenu()->currentPage()->children[3]);
    press(VK_ESCAPE);
    game->onMouseMove(exit.first, exit.second);
    press(VK_ESCAPE);
    clickWithoutMove();
    EXPECT_EQ(GameStageProbe(*play).pauseMenu()->result(), ShellMenu::Exit);
}

TEST_F(StagesTest, WithTheMouseOptionThePlayStageLeavesTheSceneCameraAlone) {
    GameOptions options;
    options.mouse = true;
    start(options);
    game->activateStage(StageId::Play);
    ASSERT_NE(probe().playStage(), nullptr);
    press(VK_TAB);
    const kesh::CameraView before = probe().camera();
    game->onFrame();
    now += 100;  // fixed steps move the level's camera
    game->onFrame();
    EXPECT_EQ(std::memcmp(&before.camera, &probe().camera().camera, sizeof before.camera), 0);
}

TEST_F(StagesTest, MAndJOutsideThePlayStageOnlyReachTheStage) {
    start();
    useFakes(StageId::Menu);
    press('M');
    press('J');
    EXPECT_TRUE(probe().notice().empty());
    EXPECT_EQ(record, (Record{"1 key 77", "1 key 74"}));
    // Only key presses are looked at.
    bool handled = false;
    game->onMessage(window, WM_KEYUP, 'M', 0, &handled);
    EXPECT_EQ(record.size(), 2u);
}

TEST_F(StagesTest, ANoticeShowsForTwoSecondsFromItsOwnStart) {
    start();
    useFakes(StageId::Menu);
    now = 1000;
    game->onFrame();
    game->showNotice(L"first");
    d3dx9::clearTextDraws();
    now = 2999;
    game->onFrame();
    EXPECT_EQ(noticeDraws(L"first"), 1);
    // Drawn once more in the frame that ends it.
    now = 3000;
    game->onFrame();
    EXPECT_EQ(noticeDraws(L"first"), 2);
    EXPECT_TRUE(probe().notice().empty());
    now = 3001;
    game->onFrame();
    EXPECT_EQ(noticeDraws(L"first"), 2);

    // A second notice within two seconds runs its own full two seconds.
    game->showNotice(L"A");
    now = 4000;
    game->onFrame();
    game->showNotice(L"B");
    now = 5999;
    game->onFrame();
    EXPECT_EQ(probe().notice(), L"B");
    now = 6000;
    game->onFrame();
    EXPECT_TRUE(probe().notice().empty());

    // On the bottom line.
    const d3dx9::TextDraw& last = d3dx9::textDraws().back();
    EXPECT_EQ(last.text, L"B");
    EXPECT_EQ(last.rect.left, 4);
    EXPECT_EQ(last.color, 0xFF00FF00u);
    EXPECT_LT(last.rect.top, height - 4);
    EXPECT_GT(last.rect.top, height - 40);
}

TEST_F(StagesTest, MouseEventsReachTheStageAndDragTheCameraOnlyWithTheMouseOption) {
    GameOptions options;
    options.mouse = true;
    start(options);
    useFakes(StageId::Menu);
    const kesh::CameraView before = probe().camera();
    game->onMouseMove(100, 100);
    game->onMouseButton(1, 1);
    game->onMouseMove(140, 100);
    EXPECT_NE(std::memcmp(&before.camera, &probe().camera().camera, sizeof before.camera), 0);
    game->onMouseButton(1, 0);
    const kesh::CameraView released = probe().camera();
    game->onMouseMove(10, 10);
    game->onMouseWheel(120);
    EXPECT_EQ(std::memcmp(&released.camera, &probe().camera().camera, sizeof before.camera), 0);
    EXPECT_EQ(record, (Record{"1 move 100,100", "1 button 1 down", "1 move 140,100",
                              "1 button 1 up", "1 move 10,10", "1 wheel 120"}));
}

TEST_F(StagesTest, WithoutTheMouseOptionADragLeavesTheCameraAlone) {
    start();
    useFakes(StageId::Menu);
    const kesh::CameraView before = probe().camera();
    game->onMouseMove(100, 100);
    game->onMouseButton(2, 1);
    game->onMouseMove(140, 160);
    EXPECT_EQ(std::memcmp(&before.camera, &probe().camera().camera, sizeof before.camera), 0);
}

}  // namespace
}  // namespace game_testing
