// The video stage: it asks for its next stage when the video ends, is skipped or could not
// be read, and ignores every other key and the mouse.
#include <gtest/gtest.h>

#include "game/app/stages/video_stage.h"
#include "tests/app_stages/stages_fixture.h"

namespace stages_testing {
namespace {

class VideoStageTest : public StagesTest {
protected:
    // One frame of the game: the switch is asked for first, then the stage draws.
    StageId frameAt(Stage& stage, LONGLONG ms) {
        now = ms;
        const StageId next = stage.nextStage();
        device->BeginScene();
        stage.update();
        device->EndScene();
        return next;
    }
};

TEST_F(VideoStageTest, TheNextStageFollowsWhenTheVideoEnds) {
    VideoStage stage(dx.get(), writeVideo("video01.rs", 25), StageId::Menu);
    EXPECT_EQ(frameAt(stage, 0), StageId::None);
    EXPECT_EQ(frameAt(stage, 959), StageId::None);
    EXPECT_EQ(stage.nextStage(), StageId::None);
    frameAt(stage, 960);  // the last frame comes on show
    EXPECT_EQ(stage.nextStage(), StageId::Menu);
}

TEST_F(VideoStageTest, EscapeDropsTheVideoAndOtherKeysAndTheMouseDoNothing) {
    VideoStage stage(dx.get(), writeVideo("video02.rs", 25), StageId::Play);
    frameAt(stage, 0);
    for (int key : {VK_SPACE, VK_RETURN, int('A'), int('M'), VK_F1, VK_ESCAPE - 1, VK_ESCAPE + 1}) {
        stage.onKey(key);
    }
    stage.onMouseMove(10, 10);
    stage.onMouseButton(1, true);
    stage.onMouseButton(1, false);
    stage.onMouseWheel(120);
    EXPECT_EQ(frameAt(stage, 40), StageId::None);
    ASSERT_NE(stage.currentVideo(), nullptr);

    stage.onKey(VideoStage::kEscape);
    EXPECT_EQ(stage.currentVideo(), nullptr);
    EXPECT_EQ(stage.nextStage(), StageId::Play);
    // Nothing is drawn once the video is gone, should a frame still come.
    record().clear();
    frameAt(stage, 80);
    EXPECT_TRUE(draws().empty());
    stage.onKey(VideoStage::kEscape);
    EXPECT_EQ(stage.nextStage(), StageId::Play);
}

TEST_F(VideoStageTest, AMissingVideoMovesOnAtOnce) {
    VideoStage stage(dx.get(), kesh::toWide(artRoot() + "video/missing.rs"), StageId::Menu);
    EXPECT_EQ(stage.nextStage(), StageId::Menu);
    frameAt(stage, 0);
    EXPECT_EQ(stage.nextStage(), StageId::Menu);
}

}  // namespace
}  // namespace stages_testing
