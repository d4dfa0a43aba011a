// Play frames of the real car on the generated level, drawn through the OpenGL backend: the
// town with the car seen from behind, its on-screen instruments and the countdown, and the
// same drive from the cockpit. The pictures are kept in build/tests/app_play_gl_pictures/.
#include <gtest/gtest.h>

#include "d3d9/drawing.h"
#include "d3d9/seams.h"
#include "tests/app_play/play_fixture.h"
#include "tests/support/pictures.h"
#include "win32/window_seams.h"

namespace {

using namespace play_testing;

constexpr D3DCOLOR kBackground = 0xFF000000;

class PlayFrame : public PlayTest {
protected:
    PlayFrame() : PlayTest(morvale_testing::DeviceKind::Gl, 640, 480) {}
    void SetUp() override {
        PlayTest::SetUp();
        useRealCar();
    }

    void clearedFrame() {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0);
        frame();
    }

    static bool isClear(D3DCOLOR c) { return (c & 0xFFFFFF) == (kBackground & 0xFFFFFF); }
    static bool isGreen(D3DCOLOR c) {
        const int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
        return g > r + 20 && g > b + 10;
    }
    static bool isYellow(D3DCOLOR c) {
        const int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
        return r > 150 && g > 120 && b < 100;
    }
    // The share of the rectangle's pixels that pass the test.
    template <class Test>
    static float share(const d3d9::BackBufferImage& image, UINT x0, UINT y0, UINT x1, UINT y1,
                       Test test) {
        int passing = 0;
        for (UINT y = y0; y < y1; ++y) {
            for (UINT x = x0; x < x1; ++x) {
                passing += test(image.pixel(x, y)) ? 1 : 0;
            }
        }
        return static_cast<float>(passing) / static_cast<float>((x1 - x0) * (y1 - y0));
    }
    // Loads the run, closes the map, picks the view and drives 1.5 s with the accelerator
    // held; the last frame kept as a picture of that name.
    void driveAndKeep(bool outside, const std::string& name) {
        build();
        clearedFrame();
        stage->onKey('C');  // the map closed
        if (outside) {
            stage->onKey('V');
        }
        ASSERT_EQ(probe().insideView(), !outside);
        win32::simulateKey(window, VK_UP, true);
        for (int i = 0; i < 90; ++i) {
            clearedFrame();
        }
        win32::simulateKey(window, VK_UP, false);
        EXPECT_EQ(probe().picture(), nullptr);
        image = morvale_testing::keptPicture(device,
                                             std::string(MORVALE_PICTURES) + "/" + name + ".png");
        ASSERT_EQ(image.width, 640u);
    }

    d3d9::BackBufferImage image;
};

TEST_F(PlayFrame, TheTownTheCarAndTheInstrumentsFromBehind) {
    driveAndKeep(true, "play_frame");
    // Nothing keeps the clear colour: the globe's sky is above the town.
    EXPECT_LT(share(image, 0, 0, 640, 100, isClear), 0.01f);
    // Below the horizon the picture is the road, the houses and the car.
    EXPECT_LT(share(image, 0, 240, 640, 480, isClear), 0.01f);
    // The instruments: the radar's green disc at the bottom left, the countdown's yellow
    // glyphs at the top left.
    EXPECT_GT(share(image, 20, 370, 110, 460, isGreen), 0.2f);
    EXPECT_GT(share(image, 20, 25, 100, 41, isYellow), 0.1f);
}

TEST_F(PlayFrame, TheTownThroughTheCockpitWithItsDashboard) {
    driveAndKeep(false, "cockpit_frame");
    EXPECT_LT(share(image, 0, 240, 640, 480, isClear), 0.01f);
    // The dashboard's radar, bottom left.
    EXPECT_GT(share(image, 60, 340, 180, 450, isGreen), 0.2f);
}

// A lost device mid-drive, reset, and a resize: everything the play frame draws comes back
// from the device listeners, so the frame after the reset is the frame before it.
TEST_F(PlayFrame, ALostDeviceAndAResizeMidDriveDrawTheSameFrameAgain) {
    build();
    clearedFrame();
    stage->onKey('C');  // the map closed
    stage->onKey('V');  // from behind: the car, its lamp decals and its light billboards
    win32::simulateKey(window, VK_UP, true);
    for (int i = 0; i < 30; ++i) {
        clearedFrame();
    }
    win32::simulateKey(window, VK_UP, false);
    // A still frame: time stands, and the text is the font's part.
    const auto stillFrame = [this](const std::string& name) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0);
        frame(0);
        kesh::theDebugRenderer->clear();
        kesh::theDebugRenderer->addScreenText(L"font after reset", 0xFFFFFFFF);
        device->BeginScene();
        kesh::theDebugRenderer->draw(camera, 200);
        device->EndScene();
        image = morvale_testing::keptPicture(device,
                                             std::string(MORVALE_PICTURES) + "/" + name + ".png");
    };
    stillFrame("before_loss");
    const d3d9::BackBufferImage before = image;

    // Each turn asks twice: lost, lost again; then ready for the reset, twice.
    d3d9::scriptCooperativeLevel(device, {D3DERR_DEVICELOST, D3DERR_DEVICELOST,
                                          D3DERR_DEVICENOTRESET, D3DERR_DEVICENOTRESET});
    dx->checkCooperativeLevel();
    ASSERT_TRUE(dx->isLost());
    dx->checkCooperativeLevel();
    ASSERT_FALSE(dx->isLost());
    stillFrame("after_reset");
    ASSERT_EQ(image.width, before.width);
    int differing = 0;
    for (UINT y = 0; y < image.height; ++y) {
        for (UINT x = 0; x < image.width; ++x) {
            differing += image.pixel(x, y) != before.pixel(x, y) ? 1 : 0;
        }
    }
    EXPECT_LT(differing, 64) << "of " << image.width * image.height;

    // A larger window: a reset with a new back buffer, the layout scaled to it.
    ASSERT_TRUE(MoveWindow(window, 0, 0, 800, 600, TRUE));
    dx->resize(800, 600);
    stillFrame("after_resize");
    ASSERT_GT(image.width, 640u);
    const auto x = [this](UINT at) { return at * image.width / 640; };
    const auto y = [this](UINT at) { return at * image.height / 480; };
    EXPECT_LT(share(image, 0, 0, image.width, image.height, isClear), 0.01f);
    EXPECT_GT(share(image, x(20), y(370), x(110), y(460), isGreen), 0.2f) << "the radar";
    EXPECT_GT(share(image, x(20), y(25), x(100), y(41), isYellow), 0.05f) << "the countdown";
}

}  // namespace
