// A play stage over the art folder the build generates, with the performance counter (in
// nanoseconds) and the seeding clock in the test's hands, sounds recorded by the DirectMusic
// layer and, unless a test asks for the real car, a hand-placed vehicle in the level.
#pragma once

#include <dinput8/test_seam.h>
#include <dmusic/test_seam.h>
#include <win32/crt.h>
#include <win32/seams.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/strings.h"
#include "game/app/stages/game_stage.h"
#include "game/audio/audio_system.h"
#include "game/world/level/level.h"
#include "tests/art/generated_art.h"
#include "tests/audio_support/audio_fixture.h"
#include "tests/support/game_stage_probe.h"
#include "tests/support/level_probe.h"
#include "tests/world_statics/fake_vehicle.h"

namespace play_testing {

constexpr LONGLONG kSecond = 1000000000;

class PlayTest : public art_testing::GeneratedArtTest {
protected:
    using GeneratedArtTest::GeneratedArtTest;

    void SetUp() override {
        GeneratedArtTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        previousCounter = win32::setPerformanceCounterSource([this] { return now; });
        previousFrequency = win32::setPerformanceFrequency(kSecond);
        previousTime = win32::setTimeSource([this] { return wallClock; });
        dmusic_test::reset();
        dmusic_test::setOutput(dmusic_test::Output::ManualLoopback);
        dmusic_test::setRecording(true);
        dinput8_test::reset();
        audio = std::make_unique<AudioSystem>(*scripts, *music);
        audio->init(window);
        useFakeCar();
    }

    void TearDown() override {
        stage.reset();
        audio.reset();
        dinput8_test::reset();
        dmusic_test::reset();
        win32::setTimeSource(previousTime);
        win32::setPerformanceFrequency(previousFrequency);
        win32::setPerformanceCounterSource(previousCounter);
        GeneratedArtTest::TearDown();
    }

    GameStageParams params() const {
        GameStageParams p;
        p.levelFile = L"levels/final_level.slev";
        p.guiTextureFolder = kesh::toWide(artRoot() + "texture/hi/gui/");
        p.lightmapFolder = L"lightmaps/level01/";
        p.effectList = L"effect_config.cmd";
        p.rootFolder = kesh::toWide(artRoot());
        p.effectName = "gui.fx";
        p.carMaker = carMaker;
        return p;
    }

    void useFakeCar() {
        carMaker = [this](PhysicsSpace&, kesh::Decaler*, AudioSystem*, const std::wstring&) {
            CarParts parts;
            auto vehicle = std::make_unique<world_testing::FakeVehicle>();
            car = vehicle.get();
            parts.vehicle = std::move(vehicle);
            auto driver = std::make_unique<world_testing::FakeController>();
            controller = driver.get();
            parts.controller = std::move(driver);
            return parts;
        };
    }
    void useRealCar() { carMaker = makeJeep; }

    void build() {
        stage = std::make_unique<GameStage>(dx.get(), audio.get(), &camera, window, params());
        // As the game does unless the mouse option moves the camera.
        stage->setCameraTarget(&camera);
        stage->sharePreviousFrame(&previousFrame);
    }

    GameStageProbe probe() const { return GameStageProbe(*stage); }

    // One frame as the game runs it, the counter moved on first.
    void frame(LONGLONG advance = kSecond / 60) {
        now += advance;
        device->BeginScene();
        stage->update();
        device->EndScene();
        audio->update();
    }

    // Builds the stage and closes the map with its key; the map frame itself draws the map.
    void buildAndPlay() {
        build();
        frame();
        stage->onKey('C');
        ASSERT_EQ(probe().map(), nullptr);
    }

    // The car this far from the target along x.
    void carFromTarget(float distance) {
        D3DXVECTOR3 target;
        probe().level()->getTargetPosition(target);
        car->put(target + D3DXVECTOR3(distance, 0.0f, 0.0f));
    }

    // Seconds of the run at the last frame.
    double runTime() const { return static_cast<double>(now - probe().startCount()) / kSecond; }

    static bool heard(const std::string& file) {
        const std::vector<std::string> files = audio_testing::playedFiles();
        return std::find(files.begin(), files.end(), file) != files.end();
    }
    static int heardAmbient() {
        int count = 0;
        for (const std::string& file : audio_testing::playedFiles()) {
            count += file.rfind("ambient", 0) == 0 ? 1 : 0;
        }
        return count;
    }

    LONGLONG now = 1000 * kSecond;
    std::int64_t wallClock = 1700000000;
    kesh::CameraView camera;
    PreviousFrame previousFrame;  // shared by the stages a test builds, as the game shares it
    std::unique_ptr<AudioSystem> audio;
    // What build gives the stage's level: the fake car unless a test asks for the real one.
    CarMaker carMaker;
    std::unique_ptr<GameStage> stage;
    world_testing::FakeVehicle* car = nullptr;
    world_testing::FakeController* controller = nullptr;

private:
    win32::CounterSource previousCounter;
    LONGLONG previousFrequency = 0;
    win32::TimeSource previousTime;
};

}  // namespace play_testing
