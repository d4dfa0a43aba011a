// The GUI tree on the null device: where the pointer goes, when a button clicks, what a
// page queues into the batch, and that elements and pages may go at any time, even from
// inside the click that they handle.
#include <boost/bind/bind.hpp>

#include <climits>
#include <memory>

#include "engine/render/gui/gui_button.h"
#include "engine/render/gui/gui_image.h"
#include "engine/render/gui/gui_root.h"
#include "tests/render_gui/gui_fixture.h"
#include "tests/support/log_capture.h"

namespace kesh::testing {
namespace {

constexpr int kPage[4] = {0, 0, 320, 240};

struct Click {
    unsigned id;
    void* user;
    unsigned event;
};

class Owner {
public:
    void onButton(unsigned id, void* user, unsigned event) { clicks.push_back({id, user, event}); }
    std::vector<Click> clicks;
};

ButtonSkin colouredSkin() {
    ButtonSkin skin;
    const char* names[] = {"red.dds", "green.dds", "blue.dds"};
    for (int state = 0; state < ButtonSkin::StateCount; ++state) {
        skin.regions[state] = TextureRegion{names[state], 0.0f, 0.0f, 1.0f, 1.0f};
        skin.colors[state][0] = 0.25f * static_cast<float>(state + 1);
    }
    return skin;
}

class GuiTreeTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        morvale_testing::captureLog({"debug"});
        root = std::make_unique<GuiRoot>(dx.get(), "gui.fx");
        root->setCallback(boost::bind(&Owner::onButton, &owner, boost::placeholders::_1,
                                      boost::placeholders::_2, boost::placeholders::_3));
    }
    void TearDown() override {
        pages.clear();
        root.reset();
        GuiTest::TearDown();
    }

    // A page over the whole screen, on the root.
    GuiImage* addPage() {
        pages.push_back(std::make_unique<GuiImage>(root.get(), kPage));
        root->addElement(pages.back().get());
        return pages.back().get();
    }
    Button* addButton(GuiImage* page, int x, int y, int w, int h, std::uint32_t id = 7) {
        const int rect[4] = {x, y, w, h};
        return page->addButton(rect, colouredSkin(), id, &owner, L"go", 1, 0);
    }
    void click(int x, int y) {
        root->onMouseMove(x, y);
        root->onMouseButton(1, true);
        root->onMouseButton(1, false);
    }
    int clickLines() const {
        int count = 0;
        for (const std::string& line : morvale_testing::linesOf("debug")) {
            count += line == "button.clicked: 1" ? 1 : 0;
        }
        return count;
    }

    Owner owner;
    std::unique_ptr<GuiRoot> root;
    std::vector<std::unique_ptr<GuiImage>> pages;
};

TEST_F(GuiTreeTest, AButtonIsHoveredOverItsHalfOpenRectangle) {
    Button* button = addButton(addPage(), 10, 10, 100, 20);
    for (const auto& inside : {std::make_pair(10, 10), std::make_pair(109, 29)}) {
        root->onMouseMove(inside.first, inside.second);
        EXPECT_TRUE(button->hover) << inside.first << ", " << inside.second;
        EXPECT_EQ(root->hoveredElement(), button);
    }
    for (const auto& outside : {std::make_pair(110, 15), std::make_pair(50, 30)}) {
        root->onMouseMove(outside.first, outside.second);
        EXPECT_FALSE(button->hover) << outside.first << ", " << outside.second;
        EXPECT_EQ(root->hoveredElement(), pages[0].get());
    }
    // A rectangle reaching past the largest int does not wrap round.
    const int far[4] = {INT_MAX - 10, 0, 100, 10};
    button->setRect(far);
    EXPECT_TRUE(button->contains(INT_MAX - 1, 5));
    EXPECT_FALSE(button->contains(0, 5));
}

TEST_F(GuiTreeTest, BeforeTheFirstMoveTheLastPointerIsFarOffScreen) {
    Button* button = addButton(addPage(), 0, 0, 320, 240);
    EXPECT_EQ(root->lastPointerX(), -1000);
    EXPECT_EQ(root->lastPointerY(), -1000);
    root->setCapture(nullptr);
    EXPECT_FALSE(button->hover);
    EXPECT_EQ(root->hoveredElement(), nullptr);
    // Nothing is under the pointer yet: a press goes nowhere, and a release handed to the
    // button itself finds it not hovered.
    root->onMouseButton(1, true);
    EXPECT_FALSE(button->pressed);
    button->onMouseButton(1, false);
    EXPECT_TRUE(owner.clicks.empty());
}

// A page shown under a pointer that has not moved since takes the click, as a player
// expects who left the pointer where the button appears.
TEST_F(GuiTreeTest, APageAddedUnderTheRestingPointerTakesAClickWithoutAMove) {
    root->onMouseMove(50, 15);
    auto page = std::make_unique<GuiImage>(root.get(), kPage);
    Button* button = addButton(page.get(), 10, 10, 100, 20, 42);
    root->addElement(page.get());
    EXPECT_TRUE(button->hover);
    EXPECT_EQ(root->hoveredElement(), button);
    root->onMouseButton(1, true);
    root->onMouseButton(1, false);
    ASSERT_EQ(owner.clicks.size(), 1u);
    EXPECT_EQ(owner.clicks[0].id, 42u);
    root->removeElement(page.get());
}

TEST_F(GuiTreeTest, APressAndReleaseInsideClicksOnceWithTheButtonsIdAndUser) {
    Button* button = addButton(addPage(), 10, 10, 100, 20, 42);
    root->onMouseMove(20, 20);
    root->onMouseButton(1, true);
    EXPECT_TRUE(button->pressed);
    EXPECT_EQ(root->capturedElement(), button);
    EXPECT_TRUE(owner.clicks.empty());
    root->onMouseButton(1, false);
    EXPECT_FALSE(button->pressed);
    EXPECT_EQ(root->capturedElement(), nullptr);
    ASSERT_EQ(owner.clicks.size(), 1u);
    EXPECT_EQ(owner.clicks[0].id, 42u);
    EXPECT_EQ(owner.clicks[0].user, &owner);
    EXPECT_EQ(owner.clicks[0].event, 1u);
    EXPECT_EQ(clickLines(), 1);
    // Still over the button after the release.
    EXPECT_TRUE(button->hover);
}

TEST_F(GuiTreeTest, APressReleasedOutsideDoesNotClick) {
    Button* button = addButton(addPage(), 10, 10, 100, 20);
    root->onMouseMove(20, 20);
    root->onMouseButton(1, true);
    root->onMouseMove(200, 200);
    // The capture keeps the moves with the button, which sees that it is left.
    EXPECT_EQ(root->capturedElement(), button);
    EXPECT_FALSE(button->hover);
    root->onMouseButton(1, false);
    EXPECT_FALSE(button->pressed);
    EXPECT_EQ(root->capturedElement(), nullptr);
    EXPECT_TRUE(owner.clicks.empty());
    EXPECT_EQ(clickLines(), 0);
}

TEST_F(GuiTreeTest, AReleaseOverAButtonClicksWhereverThePressBegan) {
    Button* button = addButton(addPage(), 10, 10, 100, 20);
    root->onMouseMove(200, 200);
    root->onMouseButton(1, true);
    EXPECT_FALSE(button->pressed);
    root->onMouseMove(20, 20);
    root->onMouseButton(1, false);
    EXPECT_EQ(owner.clicks.size(), 1u);
}

TEST_F(GuiTreeTest, OnlyTheLeftButtonCounts) {
    Button* button = addButton(addPage(), 10, 10, 100, 20);
    root->onMouseMove(20, 20);
    root->onMouseButton(2, true);
    root->onMouseButton(3, true);
    EXPECT_FALSE(button->pressed);
    root->onMouseButton(2, false);
    EXPECT_TRUE(owner.clicks.empty());
}

TEST_F(GuiTreeTest, WhileOneButtonHoldsTheCaptureAnotherSeesNoMoves) {
    GuiImage* page = addPage();
    Button* held = addButton(page, 10, 10, 100, 20, 1);
    Button* other = addButton(page, 10, 50, 100, 20, 2);
    root->onMouseMove(20, 20);
    root->onMouseButton(1, true);
    root->onMouseMove(20, 60);
    EXPECT_FALSE(other->hover);
    EXPECT_FALSE(held->hover);
    // Released over the other button: the first does not click, the other becomes hovered.
    root->onMouseButton(1, false);
    EXPECT_TRUE(owner.clicks.empty());
    EXPECT_TRUE(other->hover);
    EXPECT_EQ(root->hoveredElement(), other);
}

TEST_F(GuiTreeTest, WithoutACallbackAClickOnlyWritesTheLogLine) {
    addButton(addPage(), 10, 10, 100, 20);
    root->setCallback(GuiCallback());
    click(20, 20);
    EXPECT_TRUE(owner.clicks.empty());
    EXPECT_EQ(clickLines(), 1);
}

TEST_F(GuiTreeTest, AnInvisibleImageIsNeitherDrawnNorHoveredAndHidesItsButtons) {
    GuiImage* hidden = addPage();
    hidden->setFrame(TextureRegion{"red.dds", 0, 0, 1, 1}, std::array<float, 4>{1, 1, 1, 1}.data());
    Button* button = addButton(hidden, 10, 10, 100, 20);
    hidden->visible = false;
    root->onMouseMove(20, 20);
    EXPECT_EQ(root->hoveredElement(), nullptr);
    EXPECT_FALSE(button->hover);
    root->onMouseButton(1, true);
    EXPECT_FALSE(button->pressed);
    root->render();
    EXPECT_TRUE(root->spriteBatch()->queue().empty());
}

TEST_F(GuiTreeTest, TheFirstVisibleHitWinsButLaterElementsStillSeeTheMove) {
    GuiImage* first = addPage();
    GuiImage* second = addPage();
    Button* under = addButton(second, 10, 10, 100, 20);
    under->hover = false;
    root->onMouseMove(20, 20);
    EXPECT_EQ(root->hoveredElement(), first);
    EXPECT_TRUE(under->hover);
}

TEST_F(GuiTreeTest, RemovingTheFirstOfThreeCutsTheListThere) {
    GuiImage* first = addPage();
    GuiImage* second = addPage();
    addPage();
    root->removeElement(second);
    EXPECT_EQ(root->topLevel(), (std::vector<GuiElement*>{first}));
    addPage();
    addPage();
    root->removeElement(first);
    EXPECT_TRUE(root->topLevel().empty());
    root->removeElement(first);
    EXPECT_TRUE(root->topLevel().empty());
}

TEST_F(GuiTreeTest, ADestroyedElementLeavesTheListAndTheCapture) {
    GuiImage* page = addPage();
    Button* button = addButton(page, 10, 10, 100, 20);
    GuiImage* after = addPage();
    root->onMouseMove(20, 20);
    root->onMouseButton(1, true);
    ASSERT_EQ(root->capturedElement(), button);
    pages[0].reset();
    EXPECT_EQ(root->topLevel(), (std::vector<GuiElement*>{after}));
    EXPECT_EQ(root->capturedElement(), nullptr);
    // The capture's release found the pointer over the remaining page.
    EXPECT_EQ(root->hoveredElement(), after);
    root->onMouseButton(1, false);
    root->onMouseMove(30, 30);
    EXPECT_TRUE(owner.clicks.empty());
}

TEST_F(GuiTreeTest, ACallbackMayDeleteThePageOfItsButton) {
    GuiImage* page = addPage();
    addButton(page, 10, 10, 100, 20, 3);
    addButton(page, 10, 50, 100, 20, 4);
    int calls = 0;
    root->setCallback([&](unsigned id, void*, unsigned) {
        ++calls;
        EXPECT_EQ(id, 3u);
        root->removeElement(pages[0].get());
        pages[0].reset();
        // The next page, built from inside the click as the shell builds its help page.
        GuiImage* next = addPage();
        addButton(next, 10, 10, 100, 20, 5);
    });
    click(20, 20);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(root->topLevel().size(), 1u);
    EXPECT_EQ(root->capturedElement(), nullptr);
    root->onMouseMove(21, 21);
    EXPECT_EQ(root->hoveredElement(), root->topLevel()[0]->children[0]);
}

TEST_F(GuiTreeTest, APageQueuesItsFrameThenEachButtonsStatePictureAndLabel) {
    GuiImage* page = addPage();
    const float tint[4] = {0.5f, 0.5f, 0.5f, 1.0f};
    page->setFrame(TextureRegion{"blue.dds", 0.0f, 0.25f, 0.5f, 0.75f}, tint);
    Button* normal = addButton(page, 10, 10, 100, 20, 1);
    Button* over = addButton(page, 10, 40, 100, 20, 2);
    Button* pressed = addButton(page, 10, 70, 100, 20, 3);
    over->hover = true;
    pressed->pressed = true;
    normal->label = L"normal";
    // The page grew after its frame was set: the frame follows.
    page->w = 300;
    root->render();

    const std::vector<SpriteItem>& queue = root->spriteBatch()->queue();
    ASSERT_EQ(queue.size(), 7u);
    EXPECT_EQ(queue[0].kind, SpriteItem::Sprite);
    EXPECT_EQ(queue[0].frame.texture, "blue.dds");
    EXPECT_EQ(queue[0].frame.width, 300);
    EXPECT_EQ(queue[0].frame.height, 240);
    EXPECT_FLOAT_EQ(queue[0].frame.v1, 0.75f);
    EXPECT_FLOAT_EQ(queue[0].color[0], 0.5f);
    const char* pictures[] = {"red.dds", "green.dds", "blue.dds"};
    for (int b = 0; b < 3; ++b) {
        const SpriteItem& picture = queue[1 + 2 * b];
        const SpriteItem& label = queue[2 + 2 * b];
        EXPECT_EQ(picture.kind, SpriteItem::Sprite);
        EXPECT_EQ(picture.frame.texture, pictures[b]);
        EXPECT_EQ(picture.x, 10);
        EXPECT_EQ(picture.y, 10 + 30 * b);
        EXPECT_EQ(picture.frame.width, 100);
        EXPECT_EQ(picture.frame.height, 20);
        EXPECT_FLOAT_EQ(picture.color[0], 1.0f);  // the picture is not tinted
        EXPECT_EQ(label.kind, SpriteItem::Text);
        EXPECT_EQ(label.font, root->font(1));
        EXPECT_EQ(label.x, 0);  // the format given to addButton
        EXPECT_FLOAT_EQ(label.color[0], 0.25f * static_cast<float>(b + 1));
        EXPECT_EQ(label.rect[0], 12);
        EXPECT_EQ(label.rect[1], 12 + 30 * b);
        EXPECT_EQ(label.rect[2], 110);
        EXPECT_EQ(label.rect[3], 30 + 30 * b);
    }
    EXPECT_EQ(queue[2].text, L"normal");
    EXPECT_EQ(queue[4].text, L"go");
}

TEST_F(GuiTreeTest, AnImageWithoutAFrameDrawsNothingAndAPlainButtonUsesTheSmallFontCentred) {
    GuiImage* page = addPage();
    const int rect[4] = {5, 6, 7, 8};
    page->addChild(std::make_unique<Button>(root.get(), rect, ButtonSkin()));
    root->render();
    const std::vector<SpriteItem>& queue = root->spriteBatch()->queue();
    ASSERT_EQ(queue.size(), 2u);
    EXPECT_EQ(queue[1].font, root->font(0));
    EXPECT_EQ(queue[1].x, 85);
}

TEST_F(GuiTreeTest, TheRootsFontsAreTahomaAtTenAndSixteenPoints) {
    ASSERT_NE(root->font(0), nullptr);
    ASSERT_NE(root->font(1), nullptr);
    EXPECT_EQ(root->font(0)->getHeight(), 13);
    EXPECT_EQ(root->font(1)->getHeight(), 21);
    D3DXFONT_DESCW desc{};
    ASSERT_EQ(root->font(1)->getFont()->GetDescW(&desc), D3D_OK);
    EXPECT_EQ(std::wstring(desc.FaceName), L"Tahoma");
    EXPECT_EQ(root->font(2), nullptr);
}

TEST_F(GuiTreeTest, AGoneRootLeavesTheDeviceFreeToReset) {
    root->font(0)->OnLostDevice();
    root->font(0)->OnLostDevice();
    root->font(0)->OnResetDevice();
    root.reset();
    loseAndResetDevice();
    EXPECT_GE(record().resets, 1);
}

TEST_F(GuiTreeTest, TheRootLivesThroughAReset) {
    GuiImage* page = addPage();
    addButton(page, 10, 10, 100, 20);
    loseAndResetDevice();
    device->BeginScene();
    root->render();
    device->EndScene();
    EXPECT_EQ(record().draws.back().kind, d3d9::DrawKind::UserPointer);
}

}  // namespace
}  // namespace kesh::testing
