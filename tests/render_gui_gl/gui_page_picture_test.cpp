// A shell-like page on the OpenGL backend: a background from the atlas and one button whose
// three states come from the same atlas texture, its label drawn over it. The pointer takes
// the button through normal, over and pressed; each picture is kept as a PNG.
#include <gtest/gtest.h>

#include <d3d9/drawing.h>
#include <d3d9/seams.h>

#include <sstream>
#include <string>
#include <vector>

#include "engine/render/gui/gui_button.h"
#include "engine/render/gui/gui_image.h"
#include "engine/render/gui/gui_root.h"
#include "tests/support/art_files.h"
#include "tests/support/pictures.h"
#include "tests/support/services_fixture.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr D3DCOLOR kClear = 0xFF000000;

// One texture of four 8-texel columns: the three button states and the page. Each image
// starts and ends half a texel inside its column, as packed art must, or the linear filter
// would blend the neighbouring column into the edges.
constexpr D3DCOLOR kNormal = 0xFF2050A0;
constexpr D3DCOLOR kOver = 0xFFE08020;
constexpr D3DCOLOR kPressed = 0xFF802020;
constexpr D3DCOLOR kPage = 0xFF306030;
const char* const kAtlas =
    "# name file u v w h\n"
    "play_w gui_states 0.015625 0 0.21875 1\n"
    "play_b gui_states 0.265625 0 0.21875 1\n"
    "play_o gui_states 0.515625 0 0.21875 1\n"
    "page gui_states 0.765625 0 0.21875 1\n";

// Label colours per state.
constexpr float kLabelColours[3][4] = {
    {1.0f, 1.0f, 1.0f, 1.0f}, {0.0f, 0.0f, 0.0f, 1.0f}, {1.0f, 1.0f, 0.0f, 1.0f}};

// The button, relative to the page (which covers the screen).
constexpr int kButton[4] = {60, 90, 200, 40};

using morvale_testing::rgb;

class GuiPagePictureTest : public morvale_testing::ServicesTest {
protected:
    GuiPagePictureTest() : ServicesTest(morvale_testing::DeviceKind::Gl, kWidth, kHeight) {}

    void SetUp() override {
        ServicesTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        std::vector<D3DCOLOR> texels;
        for (int row = 0; row < 8; ++row) {
            for (D3DCOLOR colour : {kNormal, kOver, kPressed, kPage}) {
                texels.insert(texels.end(), 8, colour);
            }
        }
        writeArt("texture/hi/gui_states.dds", morvale_testing::ddsFile(32, 8, texels));
        std::istringstream index(kAtlas);
        atlas.load(index);

        root = std::make_unique<kesh::GuiRoot>(dx.get(), "gui.fx");
        const int screen[4] = {0, 0, kWidth, kHeight};
        page = std::make_unique<kesh::GuiImage>(root.get(), screen);
        const kesh::SpriteSource source(kesh::theTextureCache, &atlas);
        kesh::ButtonSkin skin;
        const char* suffixes[] = {"_w", "_b", "_o"};
        for (int state = 0; state < kesh::ButtonSkin::StateCount; ++state) {
            skin.regions[state] = source.region(std::string("play") + suffixes[state]);
            std::copy(kLabelColours[state], kLabelColours[state] + 4, skin.colors[state]);
        }
        button = page->addButton(kButton, skin, 0, nullptr, L"PLAY", 1, DT_CENTER | DT_VCENTER);
        const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        page->setFrame(source.region("page"), white);
        root->addElement(page.get());
    }
    void TearDown() override {
        if (root) {
            root->removeElement(page.get());
        }
        page.reset();
        root.reset();
        ServicesTest::TearDown();
    }

    d3d9::BackBufferImage picture(const std::string& name) {
        EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClear, 1.0f, 0),
                  D3D_OK);
        EXPECT_EQ(device->BeginScene(), D3D_OK);
        root->render();
        EXPECT_EQ(device->EndScene(), D3D_OK);
        return morvale_testing::keptPicture(
            device, std::string(MORVALE_PICTURES) + "/GuiPagePictureTest." + name + ".png");
    }

    // Pixels inside the button that are neither its picture's colour nor a blend of it
    // with the label's: the label's own pixels, counted where the colour is the label's.
    static int pixelsOf(const d3d9::BackBufferImage& image, D3DCOLOR colour) {
        int count = 0;
        for (int y = kButton[1]; y < kButton[1] + kButton[3]; ++y) {
            for (int x = kButton[0]; x < kButton[0] + kButton[2]; ++x) {
                count += rgb(image.pixel(x, y)) == rgb(colour) ? 1 : 0;
            }
        }
        return count;
    }

    void expectState(const d3d9::BackBufferImage& image, D3DCOLOR picture, D3DCOLOR label) {
        ASSERT_EQ(image.width, static_cast<UINT>(kWidth));
        // The page's background all around, under the button queued after it.
        EXPECT_EQ(rgb(image.pixel(5, 5)), rgb(kPage));
        EXPECT_EQ(rgb(image.pixel(kWidth - 5, kHeight - 5)), rgb(kPage));
        EXPECT_EQ(rgb(image.pixel(kButton[0] - 1, kButton[1] + 5)), rgb(kPage));
        EXPECT_EQ(rgb(image.pixel(kButton[0] + kButton[2], kButton[1] + 5)), rgb(kPage));
        EXPECT_EQ(rgb(image.pixel(kButton[0] + 5, kButton[1] - 1)), rgb(kPage));
        // The state's picture fills the rectangle, corner to corner.
        EXPECT_EQ(rgb(image.pixel(kButton[0], kButton[1])), rgb(picture));
        EXPECT_EQ(rgb(image.pixel(kButton[0] + kButton[2] - 1, kButton[1] + kButton[3] - 1)),
                  rgb(picture));
        EXPECT_EQ(rgb(image.pixel(kButton[0] + 3, kButton[1] + 20)), rgb(picture));
        // The label over it, in the state's colour, in the middle of the button only.
        EXPECT_GT(pixelsOf(image, label), 20);
        int labelLeft = kWidth, labelRight = 0;
        for (int y = kButton[1]; y < kButton[1] + kButton[3]; ++y) {
            for (int x = kButton[0]; x < kButton[0] + kButton[2]; ++x) {
                if (rgb(image.pixel(x, y)) == rgb(label)) {
                    labelLeft = std::min(labelLeft, x);
                    labelRight = std::max(labelRight, x);
                }
            }
        }
        const int middle = kButton[0] + 2 + (kButton[2] - 2) / 2;
        EXPECT_LT(labelLeft, middle);
        EXPECT_GT(labelRight, middle);
        EXPECT_GT(labelLeft, kButton[0] + 40);
        EXPECT_LT(labelRight, kButton[0] + kButton[2] - 40);
    }

    kesh::TextureAtlas atlas;
    std::unique_ptr<kesh::GuiRoot> root;
    std::unique_ptr<kesh::GuiImage> page;
    kesh::Button* button = nullptr;
};

TEST_F(GuiPagePictureTest, TheButtonShowsItsThreeStatesUnderItsLabel) {
    root->onMouseMove(10, 10);
    expectState(picture("normal"), kNormal, 0xFFFFFFFF);

    root->onMouseMove(kButton[0] + 10, kButton[1] + 10);
    ASSERT_TRUE(button->hover);
    expectState(picture("over"), kOver, 0xFF000000);

    root->onMouseButton(1, true);
    ASSERT_TRUE(button->pressed);
    expectState(picture("pressed"), kPressed, 0xFFFFFF00);
}

}  // namespace
