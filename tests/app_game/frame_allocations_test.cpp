// The game's own frame around the play stage touches no heap once warm, sounds aside: the
// frame's global state pass and the play stage with the real car standing. A car driving
// here would bring cells into the game camera's longer view, and a cell's effects are made
// when it comes into view; the play stage's own test drives.
#include <gtest/gtest.h>

#include <cstddef>

#include "engine/render/debug/debug_renderer.h"
#include "game/app/stages/game_stage.h"
#include "game/world/level/level.h"
#include "tests/app_game/game_fixture.h"
#include "tests/support/allocation_counter.h"
#include "tests/support/game_stage_probe.h"
#include "tests/support/level_probe.h"
#include "tests/support/records_off.h"

namespace game_testing {
namespace {

class FrameAllocations : public GameTest {
protected:
    void frame() {
        now += 16;
        game->onFrame();
    }
};

TEST_F(FrameAllocations, PlayFramesAllocateNothingOnceWarm) {
    start();
    game->activateStage(StageId::Play);
    ASSERT_NE(probe().playStage(), nullptr);
    ASSERT_NE(LevelProbe::vehicle(*GameStageProbe(*probe().playStage()).level()), nullptr);
    bool handled = false;
    game->onMessage(window, WM_KEYDOWN, VK_TAB, 0, &handled);  // closes the map
    // Every sound that plays makes its segment state object, by the DirectMusic design (the
    // cockpit's radar beeps every two seconds), and whether a beep plays depends on whether
    // the mixer, running in real time, has finished the last one: off here.
    probe().audio()->enableSounds(false);
    morvale_testing::RecordsOff recordsOff;
    for (int i = 0; i < 60; ++i) {
        frame();
    }
    // Without the frame-rate or camera text nothing is shown, and the screen log's lines are
    // not even formatted.
    ASSERT_TRUE(kesh::theDebugRenderer->screenTexts().empty());

    allocation_counter::startTracing();
    for (int i = 0; i < 120; ++i) {
        frame();
    }
    const std::size_t allocations = allocation_counter::stop();
    if (allocations != 0) {
        allocation_counter::printTraces();
    }
    EXPECT_EQ(allocations, 0u);
}

}  // namespace
}  // namespace game_testing
