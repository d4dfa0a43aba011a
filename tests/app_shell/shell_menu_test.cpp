// The shell menu on the null device: the layout of its pages in the reference frame and
// scaled, the results of its buttons, the help page in both flows, Escape, and pages that
// are replaced from inside their own button's click.
#include "game/app/shell/shell_menu.h"

#include "engine/render/gui/gui_button.h"
#include "tests/app_shell/shell_fixture.h"

namespace shell_testing {
namespace {

struct Row {
    std::string image;
    unsigned id;
    int x, y, w, h;
};

bool operator==(const Row& a, const Row& b) {
    return a.image == b.image && a.id == b.id && a.x == b.x && a.y == b.y && a.w == b.w &&
           a.h == b.h;
}
std::ostream& operator<<(std::ostream& out, const Row& r) {
    return out << r.image << " #" << r.id << " (" << r.x << ", " << r.y << ") " << r.w << " x "
               << r.h;
}

// Each button of the page: its normal image's name, id and rectangle.
std::vector<Row> rowsOf(const kesh::GuiImage& page) {
    std::vector<Row> rows;
    for (kesh::GuiElement* child : page.children) {
        auto* button = dynamic_cast<kesh::Button*>(child);
        if (button == nullptr) {
            continue;
        }
        std::string image = button->skin.regions[kesh::ButtonSkin::Normal].texture;
        image = image.substr(4, image.size() - 8);  // "gui/" and ".dds" off
        rows.push_back({image, button->id, button->x, button->y, button->w, button->h});
    }
    return rows;
}

class ShellMenuTest : public ShellTest {
protected:
    using ShellTest::ShellTest;

    // Presses and releases the left button at the middle of the page's button with this id.
    void click(ShellMenu& menu, unsigned id) {
        for (kesh::GuiElement* child : menu.currentPage()->children) {
            auto* button = static_cast<kesh::Button*>(child);
            if (button->id == id) {
                menu.onMouseMove(button->x + button->w / 2, button->y + button->h / 2);
                menu.onMouseButton(1, true);
                menu.onMouseButton(1, false);
                return;
            }
        }
        ADD_FAILURE() << "no button " << id;
    }
};

TEST_F(ShellMenuTest, TheMainMenusRowsAt1024By768) {
    ShellMenu menu(dx.get(), settings, false, false);
    EXPECT_EQ(rowsOf(*menu.currentPage()), (std::vector<Row>{{"start_w", 0, 85, 503, 370, 31},
                                                             {"help_w", 2, 85, 559, 370, 31},
                                                             {"exit_w", 4, 85, 615, 370, 31}}));
    const kesh::Button* start = static_cast<kesh::Button*>(menu.currentPage()->children[0]);
    EXPECT_EQ(start->skin.regions[kesh::ButtonSkin::Over].texture, "gui/start_b.dds");
    EXPECT_EQ(start->skin.regions[kesh::ButtonSkin::Pressed].texture, "gui/start_o.dds");
    EXPECT_EQ(start->fontIndex, 1u);
    EXPECT_EQ(start->format, 0u);
    EXPECT_TRUE(start->label.empty());

    // The page behind the buttons, queued first over the whole viewport.
    const auto sprites = drawn([&] { menu.draw(); });
    ASSERT_EQ(sprites.size(), 4u);
    EXPECT_EQ(describe(sprites[0]), "menu_background_start at (0, 0) 1024 x 768");
    EXPECT_EQ(describe(sprites[3]), "exit_w at (85, 615) 370 x 31");
}

TEST_F(ShellMenuTest, ThePauseMenuEndsOnTheSameLastRow) {
    ShellMenu menu(dx.get(), settings, true, false);
    EXPECT_EQ(rowsOf(*menu.currentPage()), (std::vector<Row>{{"restart_w", 0, 85, 447, 370, 31},
                                                             {"continue_w", 1, 85, 503, 370, 31},
                                                             {"help_w", 2, 85, 559, 370, 31},
                                                             {"exit_w", 4, 85, 615, 370, 31}}));
    EXPECT_EQ(menu.currentPage()->frame.texture, "gui/menu_background_restart.dds");
}

TEST_F(ShellMenuTest, EveryButtonsResultAndTheHelpPageAndBack) {
    ShellMenu starting(dx.get(), settings, false, false);
    click(starting, ShellMenu::StartButton);
    EXPECT_EQ(starting.result(), ShellMenu::Start);

    ShellMenu leaving(dx.get(), settings, false, false);
    click(leaving, ShellMenu::ExitButton);
    EXPECT_EQ(leaving.result(), ShellMenu::Exit);

    // Help and back: the page goes from inside its own button's click.
    ShellMenu helped(dx.get(), settings, false, false);
    click(helped, ShellMenu::HelpButton);
    ASSERT_TRUE(helped.showsHelp());
    EXPECT_EQ(helped.result(), ShellMenu::Nothing);
    EXPECT_EQ(rowsOf(*helped.currentPage()),
              (std::vector<Row>{{"continue_w", 3, 644, 727, 370, 31}}));
    EXPECT_EQ(helped.currentPage()->frame.texture, "gui/menu_help_background.dds");
    EXPECT_EQ(helped.guiRoot()->topLevel(), std::vector<kesh::GuiElement*>{helped.currentPage()});
    click(helped, ShellMenu::HelpContinueButton);
    EXPECT_FALSE(helped.showsHelp());
    EXPECT_EQ(helped.result(), ShellMenu::Nothing);
    EXPECT_EQ(rowsOf(*helped.currentPage()).size(), 3u);
    click(helped, ShellMenu::StartButton);
    EXPECT_EQ(helped.result(), ShellMenu::Start);

    // The pause menu's own two.
    ShellMenu restarting(dx.get(), settings, true, false);
    click(restarting, ShellMenu::StartButton);
    EXPECT_EQ(restarting.result(), ShellMenu::Start);
    ShellMenu continuing(dx.get(), settings, true, false);
    click(continuing, ShellMenu::ContinueButton);
    EXPECT_EQ(continuing.result(), ShellMenu::Continue);
}

TEST_F(ShellMenuTest, OpenedOnHelpItsButtonContinuesTheRun) {
    ShellMenu menu(dx.get(), settings, true, true);
    ASSERT_TRUE(menu.showsHelp());
    click(menu, ShellMenu::HelpContinueButton);
    EXPECT_EQ(menu.result(), ShellMenu::Continue);
    EXPECT_TRUE(menu.showsHelp()) << "the menu stays as it is once chosen";
}

TEST_F(ShellMenuTest, EscapeShowsTheMainPage) {
    ShellMenu menu(dx.get(), settings, true, true);
    menu.onKey('A');
    EXPECT_TRUE(menu.showsHelp());
    menu.onKey(ShellMenu::kEscape);
    EXPECT_FALSE(menu.showsHelp());
    EXPECT_EQ(rowsOf(*menu.currentPage()).size(), 4u) << "the pause menu's main page";

    // On the main page it builds the page again; nothing is chosen.
    menu.onKey(ShellMenu::kEscape);
    EXPECT_FALSE(menu.showsHelp());
    EXPECT_EQ(rowsOf(*menu.currentPage()).size(), 4u);
    EXPECT_EQ(menu.guiRoot()->topLevel().size(), 1u);
    EXPECT_EQ(menu.result(), ShellMenu::Nothing);
}

TEST_F(ShellMenuTest, AReleaseOverAButtonClicksWhereverThePressBegan) {
    // The GUI tree's rule: a press on the page's background released over a button clicks.
    ShellMenu menu(dx.get(), settings, false, false);
    menu.onMouseMove(600, 100);
    menu.onMouseButton(1, true);
    menu.onMouseMove(100, 620);
    menu.onMouseButton(1, false);
    EXPECT_EQ(menu.result(), ShellMenu::Exit);

    // A press on one button released over another: the first keeps the pointer, and
    // neither clicks.
    ShellMenu held(dx.get(), settings, false, false);
    held.onMouseMove(100, 510);
    held.onMouseButton(1, true);
    held.onMouseMove(100, 620);
    held.onMouseButton(1, false);
    EXPECT_EQ(held.result(), ShellMenu::Nothing);
    // The right button never clicks.
    held.onMouseButton(3, true);
    held.onMouseButton(3, false);
    EXPECT_EQ(held.result(), ShellMenu::Nothing);
}

class ShellMenu800Test : public ShellMenuTest {
protected:
    ShellMenu800Test() : ShellMenuTest(800, 600) {}
};

TEST_F(ShellMenu800Test, RowsAreScaledAndTheStepTruncatedOnce) {
    // sx = sy = 0.78125: 85 -> 66, 370 -> 289, 31 -> 24, the step 56 -> 43.
    ShellMenu main(dx.get(), settings, false, false);
    EXPECT_EQ(rowsOf(*main.currentPage()), (std::vector<Row>{{"start_w", 0, 66, 392, 289, 24},
                                                             {"help_w", 2, 66, 435, 289, 24},
                                                             {"exit_w", 4, 66, 478, 289, 24}}));
    ShellMenu pause(dx.get(), settings, true, false);
    EXPECT_EQ(rowsOf(*pause.currentPage()), (std::vector<Row>{{"restart_w", 0, 66, 349, 289, 24},
                                                              {"continue_w", 1, 66, 392, 289, 24},
                                                              {"help_w", 2, 66, 435, 289, 24},
                                                              {"exit_w", 4, 66, 478, 289, 24}}));
    ShellMenu help(dx.get(), settings, false, true);
    EXPECT_EQ(rowsOf(*help.currentPage()),
              (std::vector<Row>{{"continue_w", 3, 503, 567, 289, 24}}));
    const auto sprites = drawn([&] { help.draw(); });
    ASSERT_EQ(sprites.size(), 2u);
    EXPECT_EQ(describe(sprites[0]), "menu_help_background at (0, 0) 800 x 600");
}

}  // namespace
}  // namespace shell_testing
