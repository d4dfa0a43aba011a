// The exit stage: the farewell picture over the screen, and the quit message posted in every
// update after more than five seconds, never at exactly five.
#include <gtest/gtest.h>

#include "game/app/stages/exit_stage.h"
#include "tests/app_stages/stages_fixture.h"

namespace stages_testing {
namespace {

class ExitStageTest : public StagesTest {};

TEST_F(ExitStageTest, ThePictureStaysUpForJustOverFiveSeconds) {
    now = 1000;
    ExitStage stage(dx.get(), guiFolder());
    auto updateAt = [&](LONGLONG ms) {
        now = ms;
        return drawn([&stage] { stage.update(); });
    };
    const auto sprites = updateAt(1000);
    ASSERT_EQ(sprites.size(), 1u);
    EXPECT_EQ(sprites[0].image, "menu_background_exit");
    EXPECT_EQ(sprites[0].width(), 1024);
    EXPECT_EQ(sprites[0].height(), 768);
    EXPECT_FALSE(drainQuits());

    updateAt(6000);  // exactly 5.0 s after the stage was made
    EXPECT_FALSE(drainQuits());
    EXPECT_EQ(updateAt(6001).size(), 1u);
    EXPECT_TRUE(drainQuits());
    // Again in every frame until the loop ends.
    updateAt(6100);
    EXPECT_TRUE(drainQuits());
    EXPECT_EQ(stage.nextStage(), StageId::None);
}

TEST_F(ExitStageTest, KeysAndTheMouseAreIgnored) {
    ExitStage stage(dx.get(), guiFolder());
    for (int key : {VK_ESCAPE, VK_SPACE, VK_RETURN, int('A')}) {
        stage.onKey(key);
    }
    stage.onMouseMove(500, 400);
    stage.onMouseButton(1, true);
    stage.onMouseButton(1, false);
    stage.onMouseWheel(120);
    now = 100;
    EXPECT_EQ(drawn([&stage] { stage.update(); }).size(), 1u);
    EXPECT_FALSE(drainQuits());
    EXPECT_EQ(stage.nextStage(), StageId::None);
}

}  // namespace
}  // namespace stages_testing
