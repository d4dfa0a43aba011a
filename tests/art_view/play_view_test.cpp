// The generated town as the play stage shows it, drawn by the game's own level, effects,
// quad batches, car interface and countdown on the OpenGL backend: the chase view a second
// and a half after each start, and the driver's view at the first. The pictures are kept in
// build/tests/art_pictures/ for people to look at.
#include <gtest/gtest.h>

#include <d3d9/drawing.h>

#include <memory>
#include <string>
#include <vector>

#include "dinput8/test_seam.h"
#include "engine/core/strings.h"
#include "engine/core/transform.h"
#include "engine/render/effect/effect_cache.h"
#include "engine/render/quad/decaler.h"
#include "engine/render/quad/ground_height_source.h"
#include "game/app/hud/car_interface.h"
#include "game/app/hud/gui_number_display.h"
#include "game/vehicle/input/input_system.h"
#include "game/world/level/level.h"
#include "tests/art/generated_art.h"
#include "tests/support/level_probe.h"
#include "win32/window_seams.h"

namespace {

using namespace art_testing;

// The game's clear colour.
constexpr D3DCOLOR kClear = 0xFF202020;

class FlatGround : public kesh::GroundHeightSource {
public:
    float groundHeight(const float*) override { return 0.0f; }
};

class PlayViewTest : public GeneratedArtTest {
protected:
    PlayViewTest() : GeneratedArtTest(morvale_testing::DeviceKind::Gl, 640, 480) {}

    void SetUp() override {
        GeneratedArtTest::SetUp();
        textureLoader->setExtension(".dds");
        kesh::theEffectManager->readEffectList(kesh::toWide(artRoot() + "config/"),
                                               L"effect_config.cmd");
        decaler = std::make_unique<kesh::Decaler>(dx.get(), &flat);
        dinput8_test::reset();
        input = std::make_unique<InputSystem>(window);
        input->keySensitivity = 1.0;
        camera.setProjection(0.9424778f, 640.0f / 480.0f, 1.0f, 2000.0f);
        LevelParams params;
        params.root = kesh::toWide(artRoot());
        params.levelFile = L"levels/final_level.slev";
        params.lightmapFolder = L"lightmaps/level01/";
        params.physicsScript = L"physics.lua";
        level =
            std::make_unique<Level>(dx.get(), camera, input.get(), decaler.get(), nullptr, params);
        timer.freq.QuadPart = 1000;
        timer.now.QuadPart = 0;
        instruments = std::make_unique<CarInterface>(
            "car.fx", "car_interface.fx", kesh::toWide(artRoot() + "levels/interior.slev"),
            kesh::toWide(artRoot() + "levels/OnScreenInterface.slev"), &level->view(), &timer,
            nullptr);
        GuiSettings gui;
        gui.textureFolder = kesh::toWide(artRoot() + "texture/hi/gui/");
        countdown = std::make_unique<GuiNumberDisplay>(dx.get(), gui, "time_remaining_background");
        for (const kesh::data::LocatorObject& l : readLevel("levels/final_level.slev").locators) {
            if (l.tag.rfind("start", 0) == 0) {
                starts.push_back(l.transform);
            }
        }
    }

    void TearDown() override {
        countdown.reset();
        instruments.reset();
        level.reset();
        input.reset();
        dinput8_test::reset();
        decaler.reset();
        GeneratedArtTest::TearDown();
    }

    void drive(int frames) {
        win32::simulateKey(window, VK_UP, true);
        for (int f = 0; f < frames; ++f) {
            clock.delta = 1.0 / 60.0;
            clock.time += clock.delta;
            level->update(clock);
        }
        win32::simulateKey(window, VK_UP, false);
    }

    // One frame of the play stage's drawing, kept as a picture; the share of pixels left at
    // the clear colour.
    float drawFrame(const std::string& name) {
        const kesh::CameraView& view = level->view();
        EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClear, 1.0f, 0),
                  D3D_OK);
        EXPECT_EQ(device->BeginScene(), D3D_OK);
        quads->clear();
        decaler->clear();
        level->render(view, clock);
        kesh::theEffectManager->render(view, 0, static_cast<std::uint32_t>(-1));
        quads->render(view, kesh::theEffectCache->fetch("billboard.fx"));
        D3DXVECTOR3 car, target;
        D3DXQUATERNION heading;
        level->getCarPosition(car);
        level->getCarOrientation(heading);
        level->getTargetPosition(target);
        instruments->render(car, heading, target, level->getGaugeValue() * 4.712389f,
                            level->getEnginePower());
        countdown->draw(600.0 - clock.time);
        EXPECT_EQ(device->EndScene(), D3D_OK);
        d3d9::BackBufferImage image;
        EXPECT_TRUE(d3d9::readBackBuffer(device, image));
        EXPECT_TRUE(d3d9::writePng(image, std::string(MORVALE_PICTURES) + "/" + name + ".png"));
        int untouched = 0;
        for (UINT y = 0; y < image.height; ++y) {
            for (UINT x = 0; x < image.width; ++x) {
                untouched += (image.pixel(x, y) & 0xFFFFFF) == (kClear & 0xFFFFFF) ? 1 : 0;
            }
        }
        return static_cast<float>(untouched) / static_cast<float>(image.width * image.height);
    }

    FlatGround flat;
    std::unique_ptr<kesh::Decaler> decaler;
    std::unique_ptr<InputSystem> input;
    kesh::CameraView camera;
    kesh::PerfTimer timer;
    std::unique_ptr<Level> level;
    std::unique_ptr<CarInterface> instruments;
    std::unique_ptr<GuiNumberDisplay> countdown;
    FrameTime clock;
    std::vector<D3DXMATRIX> starts;
};

TEST_F(PlayViewTest, TheChaseViewAfterEachStartAndTheDriversView) {
    ASSERT_GE(starts.size(), 2u);
    for (std::size_t i = 0; i < starts.size(); ++i) {
        level->createCar(input.get(), decaler.get());
        LevelProbe::vehicle(*level)->place(kesh::Transform(starts[i]));
        drive(90);
        // The street, its buildings and the car fill most of the picture below the sky.
        EXPECT_LT(drawFrame("play_chase_start" + std::to_string(i + 1)), 0.5f) << i;
    }
    level->createCar(input.get(), decaler.get());
    LevelProbe::vehicle(*level)->place(kesh::Transform(starts[0]));
    level->switchCamera(true);
    instruments->setView(true);
    drive(90);
    EXPECT_LT(drawFrame("play_cockpit_start1"), 0.5f);
}

}  // namespace
