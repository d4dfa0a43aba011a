// The menu stage: a choice seen in an update sets the next stage and the menu is not drawn
// in that frame; keys and the mouse reach the menu.
#include <gtest/gtest.h>

#include "engine/render/gui/gui_button.h"
#include "game/app/stages/menu_stage.h"
#include "tests/app_stages/stages_fixture.h"

namespace stages_testing {
namespace {

class MenuStageTest : public StagesTest {
protected:
    // Moves over the middle of the current page's button with this id and clicks, through
    // the stage.
    void click(MenuStage& stage, unsigned id) {
        for (kesh::GuiElement* child : stage.shellMenu()->currentPage()->children) {
            auto* button = static_cast<kesh::Button*>(child);
            if (button->id == id) {
                stage.onMouseMove(button->x + button->w / 2, button->y + button->h / 2);
                stage.onMouseButton(1, true);
                stage.onMouseButton(1, false);
                return;
            }
        }
        ADD_FAILURE() << "no button " << id;
    }
    std::vector<shell_testing::DrawnSprite> update(MenuStage& stage) {
        return drawn([&stage] { stage.update(); });
    }
};

TEST_F(MenuStageTest, TheMainPageIsDrawnUntilAChoice) {
    MenuStage stage(dx.get(), guiFolder());
    const auto sprites = update(stage);
    ASSERT_FALSE(sprites.empty());
    EXPECT_EQ(sprites.front().image, "menu_background_start");
    EXPECT_EQ(stage.nextStage(), StageId::None);

    click(stage, ShellMenu::StartButton);
    EXPECT_EQ(stage.nextStage(), StageId::None);  // only the next update acts on it
    EXPECT_TRUE(update(stage).empty());
    EXPECT_EQ(stage.nextStage(), StageId::SecondVideo);
}

TEST_F(MenuStageTest, ExitAndContinueLeadToTheExitScreenAndThePlayStage) {
    MenuStage leaving(dx.get(), guiFolder());
    click(leaving, ShellMenu::ExitButton);
    EXPECT_TRUE(update(leaving).empty());
    EXPECT_EQ(leaving.nextStage(), StageId::Exit);

    // The main page has no continue button; the pause menu's choice arrives the same way.
    MenuStage continuing(dx.get(), guiFolder());
    continuing.shellMenu()->onButton(ShellMenu::ContinueButton, nullptr, 0);
    EXPECT_TRUE(update(continuing).empty());
    EXPECT_EQ(continuing.nextStage(), StageId::Play);
}

TEST_F(MenuStageTest, EscapeLeavesTheHelpPageAndOtherKeysDoNothing) {
    MenuStage stage(dx.get(), guiFolder());
    click(stage, ShellMenu::HelpButton);
    EXPECT_EQ(update(stage).front().image, "menu_help_background");
    for (int key : {VK_SPACE, VK_RETURN, int('A')}) {
        stage.onKey(key);
    }
    stage.onMouseWheel(-120);
    EXPECT_TRUE(stage.shellMenu()->showsHelp());
    stage.onKey(VK_ESCAPE);
    EXPECT_FALSE(stage.shellMenu()->showsHelp());
    EXPECT_EQ(update(stage).front().image, "menu_background_start");
    EXPECT_EQ(stage.nextStage(), StageId::None);
}

}  // namespace
}  // namespace stages_testing
