// A level built the way the play stage builds one, over a generated art folder: the
// collision script, the target marker, a few statics and a level file written per test.
// Unless a test asks for the real car, the level gets a hand-driven vehicle.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/core/strings.h"
#include "engine/render/quad/decaler.h"
#include "engine/render/quad/ground_height_source.h"
#include "game/world/level/level.h"
#include "tests/render_effect_manager/log_capture.h"
#include "tests/support/level_probe.h"
#include "tests/support/services_fixture.h"
#include "tests/vehicle_car/car_fixture.h"
#include "tests/world_statics/fake_vehicle.h"
#include "tests/world_statics/world_art.h"

namespace level_testing {

using namespace world_testing;

class FlatGround : public kesh::GroundHeightSource {
public:
    float groundHeight(const float*) override { return 0.0f; }
};

// Counts the fake vehicles alive, to see that a replaced one is deleted exactly once.
struct CountedVehicle : FakeVehicle {
    CountedVehicle() { ++alive(); }
    ~CountedVehicle() override { --alive(); }
    static int& alive() {
        static int count = 0;
        return count;
    }
};

class LevelTest : public morvale_testing::ServicesTest {
protected:
    explicit LevelTest(morvale_testing::DeviceKind kind = morvale_testing::DeviceKind::Null)
        : ServicesTest(kind, 320, 240) {}

    void SetUp() override {
        ServicesTest::SetUp();
        effect_testing::captureLog();
        writeArt("config/physics.lua", "return physics.Collisions()\n");
        writeArt("mesh/mercedes.wfm", boxMeshFile({-1, 0, -2}, {1, 1, 2}, {}, ""));
        // A 200 x 200 slab with its top at y = 0 and two buildings on it.
        writeArt("mesh/slab.wfm", boxMeshFile({-100, -1, -100}, {100, 0, 100},
                                              {partBox(-100, -1, -100, 100, 0, 100)}));
        writeArt("mesh/house.wfm",
                 boxMeshFile({-5, 0, -5}, {5, 8, 5}, {partBox(-5, 0, -5, 5, 8, 5)}));
        writeArt("mesh/shed.wfm", boxMeshFile({-2, 0, -2}, {2, 3, 2}));
        for (const char* name : {"ordinary", "solid"}) {
            writeArt(std::string("texture/hi/lightmaps/") + name + ".tga", tgaFile());
        }
        writeArt("texture/hi/misc/tracks.tga", tgaFile(0xFFFFFFFF));
        writeArt("config/flare.txt", ":Billboard\ntexture flare.dds\n");
        writeArt("config/effect_config.cmd", effectList({"winlight", "fire"}));
        kesh::theEffectManager->readEffectList(kesh::toWide(artRoot() + "config/"),
                                               L"effect_config.cmd");
        decaler = std::make_unique<kesh::Decaler>(dx.get(), &flat);
        useFakeCar();
    }

    void TearDown() override {
        level.reset();
        decaler.reset();
        ServicesTest::TearDown();
    }

    void useFakeCar() {
        carMaker = [this](PhysicsSpace&, kesh::Decaler*, AudioSystem*, const std::wstring&) {
            CarParts parts;
            auto vehicle = std::make_unique<CountedVehicle>();
            car = vehicle.get();
            parts.vehicle = std::move(vehicle);
            auto driver = std::make_unique<FakeController>();
            controller = driver.get();
            parts.controller = std::move(driver);
            return parts;
        };
    }

    // The car of "car.lua" over its bundle, with a small box for each of its meshes.
    void useRealCar() {
        carMaker = makeJeep;
        writeArt("levels/car.slev", artlib::levelFileBytes(car_testing::carBundle()));
        writeArt("config/car.lua", car_testing::carScript());
        for (const kesh::data::StaticObject& object : car_testing::carBundle().statics) {
            writeArt("mesh/" + object.mesh + ".wfm",
                     boxMeshFile({-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}));
        }
    }

    // The slab, a house (solid) and a shed (drawn in the first pass), placed in the level.
    static kesh::data::LevelData basicLevel() {
        kesh::data::LevelData data;
        data.name = "test level";
        data.statics = {staticRecord(1, "slab", placedAt(0, 0, 0), 4, {"solid"}),
                        staticRecord(2, "house", placedAt(20, 0, 30), 4, {"solid"}),
                        staticRecord(3, "shed", placedAt(-20, 0, 30), 0, {"ordinary"})};
        return data;
    }

    void writeLevel(const kesh::data::LevelData& data,
                    const std::string& name = "levels/test.slev") {
        writeArt(name, artlib::levelFileBytes(data));
    }

    LevelParams levelParams(const std::wstring& file = L"levels/test.slev") const {
        LevelParams p;
        p.root = kesh::toWide(artRoot());
        p.levelFile = file;
        p.lightmapFolder = L"lightmaps/";
        p.physicsScript = L"physics.lua";
        p.carMaker = carMaker;
        return p;
    }

    void build(const std::wstring& file = L"levels/test.slev", InputSystem* input = nullptr) {
        level.reset();
        level = std::make_unique<Level>(dx.get(), camera, input, decaler.get(), nullptr,
                                        levelParams(file));
    }

    // One frame of the play stage.
    void frame(double delta) {
        clock.delta = delta;
        clock.time += delta;
        level->update(clock);
    }

    FlatGround flat;
    std::unique_ptr<kesh::Decaler> decaler;
    kesh::CameraView camera;
    // What build gives the level: the fake car unless a test asks for the real one.
    CarMaker carMaker;
    std::unique_ptr<Level> level;
    FakeVehicle* car = nullptr;
    FakeController* controller = nullptr;
    FrameTime clock;
};

}  // namespace level_testing
