#include <gtest/gtest.h>

#include <win32/crt.h>
#include <win32/seams.h>

#include <algorithm>
#include <cmath>

#include "d3d9/seams.h"
#include "game/world/level/choose_start.h"
#include "tests/world_level/level_fixture.h"

namespace {

using namespace level_testing;
using effect_testing::linesOf;
using effect_testing::logged;

TEST_F(LevelTest, LoadsStaticsGroundCarAndCamera) {
    writeLevel(basicLevel());
    build();
    ASSERT_NE(level->getStatics(), nullptr);
    EXPECT_EQ(level->getStatics()->size(), 3u);
    EXPECT_NE(LevelProbe::cells(*level), nullptr);
    ASSERT_NE(LevelProbe::ground(*level), nullptr);
    EXPECT_FLOAT_EQ(LevelProbe::ground(*level)->height, 0.0f);
    ASSERT_EQ(LevelProbe::vehicle(*level), car);
    EXPECT_EQ(controller->driven, car);
    EXPECT_FLOAT_EQ(car->groundHeight, 0.0f);
    EXPECT_NE(car->groundSpace, nullptr);
    EXPECT_FALSE(LevelProbe::insideView(*level));
    for (const char* line :
         {"Car created", "C4X4WheelJeepController created", "Level::switchCamera: ok"}) {
        EXPECT_TRUE(logged("debug", line)) << line;
    }
}

TEST_F(LevelTest, StepsAtNinetyHertzAtMostTenAFrame) {
    writeLevel(basicLevel());
    build();
    frame(0.025);
    EXPECT_EQ(controller->steps, 2);
    EXPECT_EQ(car->updates, 2);
    EXPECT_NEAR(LevelProbe::owedTime(*level), 0.025 - 2.0 * Level::kStep, 1e-6);

    // Not more than one step owed: no step (the step must be strictly less).
    level = nullptr;
    build();
    frame(static_cast<double>(Level::kStep));
    EXPECT_EQ(controller->steps, 0);

    // A one-second frame runs ten steps and drops the rest but a fraction of a step.
    frame(1.0);
    EXPECT_EQ(controller->steps, 10);
    EXPECT_GE(LevelProbe::owedTime(*level), 0.0);
    EXPECT_LT(LevelProbe::owedTime(*level), Level::kStep);
}

TEST_F(LevelTest, TheReadoutShowsZeroAveragesWithoutSteps) {
    writeLevel(basicLevel());
    build();
    frame(0.001);
    const std::vector<std::string> screen = linesOf("screen");
    ASSERT_FALSE(screen.empty());
    EXPECT_EQ(screen.back(),
              "..........|.........\nEngine power: 0\nFeedback x 1000: 0\nResponce x 1000: 0\n"
              "Attached perc.: 0\nAverage collisions: 0\n[stable]");
}

class StartChoiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousTime = win32::setTimeSource([] { return std::int64_t{1700000000}; });
        previousCounter = win32::setPerformanceCounterSource([] { return LONGLONG{7500}; });
        previousFrequency = win32::setPerformanceFrequency(1000);
    }
    void TearDown() override {
        win32::setTimeSource(previousTime);
        win32::setPerformanceCounterSource(previousCounter);
        win32::setPerformanceFrequency(previousFrequency);
    }
    // The pair the level must pick of n, from the same seed and the counter's 7 seconds.
    static unsigned expectedPick(unsigned n) {
        msvcrt_srand(1700000000u);
        return (static_cast<unsigned>(msvcrt_rand()) + 7u) % n;
    }

    win32::TimeSource previousTime;
    win32::CounterSource previousCounter;
    LONGLONG previousFrequency = 0;
};

TEST_F(StartChoiceTest, PairsStartsAndEndsByTheirOrderInTheFile) {
    std::vector<kesh::data::LocatorObject> locators = {
        locatorRecord("start here", "", placedAt(99, 0, 0)),  // a name, no tag: not a start
        locatorRecord("c", "misc", placedAt(50, 0, 0))};
    for (int i = 0; i < 7; ++i) {
        const float n = static_cast<float>(i);
        locators.push_back(locatorRecord("s", "start_" + std::to_string(i), placedAt(n, 0, 0)));
        locators.push_back(locatorRecord("e", "end_" + std::to_string(i), placedAt(10 + n, 0, 0)));
    }
    const unsigned pick = expectedPick(7);
    const StartChoice choice = chooseStart(locators);
    EXPECT_FLOAT_EQ(choice.start._41, static_cast<float>(pick));
    EXPECT_FLOAT_EQ(choice.end._41, 10.0f + static_cast<float>(pick));
    // The same clock gives the same pair; another second of the counter the next one.
    EXPECT_EQ(chooseStart(locators).start, choice.start);
    win32::setPerformanceCounterSource([] { return LONGLONG{8500}; });
    EXPECT_FLOAT_EQ(chooseStart(locators).start._41, static_cast<float>((pick + 1) % 7));
}

TEST_F(StartChoiceTest, UnequalCountsGiveIdentity) {
    const std::vector<kesh::data::LocatorObject> locators = {
        locatorRecord("a", "start", placedAt(1, 0, 0)),
        locatorRecord("b", "start", placedAt(2, 0, 0)),
        locatorRecord("c", "start", placedAt(3, 0, 0)),
        locatorRecord("d", "end", placedAt(4, 0, 0)), locatorRecord("e", "end", placedAt(5, 0, 0))};
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    const StartChoice choice = chooseStart(locators);
    EXPECT_EQ(choice.start, identity);
    EXPECT_EQ(choice.end, identity);
    EXPECT_EQ(chooseStart({}).start, identity);
}

TEST_F(LevelTest, PlacesTheCarAtTheStartAndAimsAtItsEnd) {
    kesh::data::LevelData data = basicLevel();
    data.locators = {locatorRecord("s", "start", placedAt(3, 1, -40)),
                     locatorRecord("e", "end", placedAt(-7, 0, 60))};
    writeLevel(data);
    build();
    D3DXVECTOR3 position, targetPosition;
    level->getCarPosition(position);
    level->getTargetPosition(targetPosition);
    EXPECT_EQ(position, D3DXVECTOR3(3, 1, -40));
    EXPECT_EQ(targetPosition, D3DXVECTOR3(-7, 0, 60));

    // Before any step has run, so that the run's first frame already shows the level.
    level->switchCamera(true);
    EXPECT_FLOAT_EQ(level->view().camera._41, 3.0f);
    EXPECT_FLOAT_EQ(level->view().camera._43, -40.0f);
}

TEST_F(LevelTest, EffectLocatorsGoToTheCellsOrStayGlobal) {
    kesh::data::LevelData data = basicLevel();
    D3DXMATRIX turned;
    D3DXMatrixRotationY(&turned, D3DX_PI / 2);  // the locator's z axis is the world's +x
    turned._41 = 10;
    turned._42 = 2;
    turned._43 = 10;
    data.effects = {effectRecord("nameless", "", placedAt(0, 0, 0), 0),
                    effectRecord("lit", "winlight", turned, 1),
                    effectRecord("dark", "winlight", placedAt(0, 0, 0), 2),
                    effectRecord("camp", "fire", placedAt(5, 0, 5), 1),
                    effectRecord("off", "fire", placedAt(5, 0, 5), 0)};
    writeLevel(data);
    build();
    EXPECT_TRUE(logged("warning", "Effect locator: nameless has empty effect name"));
    LevelCellGrid& cells = *LevelProbe::cells(*level);
    ASSERT_EQ(cells.globalEffects.size(), 1u);
    std::size_t stored = 0;
    for (const LevelCell& cell : cells.grid.cells) {
        for (const CellEffect& effect : cell.effects) {
            ++stored;
            EXPECT_EQ(effect.effect, "winlight");
            EXPECT_NEAR(effect.transform._41, 10.15f, 1e-5f);
            EXPECT_NEAR(effect.transform._42, 2.0f, 1e-5f);
            EXPECT_NEAR(effect.transform._43, 10.0f, 1e-5f);
            EXPECT_EQ(&cell, &cells.grid.cellAt(D3DXVECTOR3(10.15f, 0, 10)));
        }
    }
    EXPECT_EQ(stored, 1u);
}

TEST_F(LevelTest, ARunIsLostOutsideTheBoxIncludingItsHeight) {
    writeLevel(basicLevel());
    build();
    car->put(D3DXVECTOR3(100, 8, -100));  // exactly on the box's faces: inside
    frame(0.02);
    EXPECT_FALSE(level->isLost());
    car->put(D3DXVECTOR3(0, 8.5f, 0));  // above the tallest static
    frame(0.02);
    EXPECT_TRUE(level->isLost());
    car->put(D3DXVECTOR3(0, 1, 0));
    frame(0.02);
    EXPECT_TRUE(level->isLost());  // never cleared
}

TEST_F(LevelTest, InstabilityCountsTheRunsClockAndTheFirstTenSecondsAsStable) {
    writeLevel(basicLevel());
    build();
    car->put(D3DXVECTOR3(0, 1, 0));
    car->stable = false;
    // Slow frames: a second each on the clock, though each runs only ten steps.
    for (int i = 0; i < 10; ++i) {
        frame(1.0);
    }
    EXPECT_FALSE(level->isLost());  // exactly ten seconds since the start
    frame(0.01);
    EXPECT_TRUE(level->isLost());

    clock = FrameTime();
    build();
    car->put(D3DXVECTOR3(0, 1, 0));
    frame(0.5);
    car->stable = false;
    frame(9.9);
    EXPECT_FALSE(level->isLost());
    car->stable = true;
    frame(0.05);
    car->stable = false;
    frame(9.9);
    EXPECT_FALSE(level->isLost());
    frame(0.2);
    EXPECT_TRUE(level->isLost());
}

class LevelDrawing : public LevelTest {
protected:
    void SetUp() override {
        LevelTest::SetUp();
        writeLevel(basicLevel());
        build();
        // Looking at the buildings from behind the start.
        view.setPosition(D3DXVECTOR3(0, 5, -20));
        device->BeginScene();
        d3d9::deviceRecord(device)->clear();
    }
    void TearDown() override {
        device->EndScene();
        LevelTest::TearDown();
    }

    DecalRequest skid(double lifetime) const {
        DecalRequest request;
        request.texture = "misc/tracks.tga";
        request.position = D3DXVECTOR3(0, 0, 5);
        request.colour = 0xFFFFFFFF;
        request.angle = 0.0f;
        request.size = 1.0f;
        request.lifetime = lifetime;
        return request;
    }

    void render(double time) {
        decaler->clear();
        clock.time = time;
        level->render(view, clock);
    }

    // The index of the first draw with a texture whose name holds part; -1 when none.
    int firstDrawWith(const std::string& part) {
        const auto& draws = d3d9::deviceRecord(device)->draws;
        for (std::size_t i = 0; i < draws.size(); ++i) {
            for (const std::string& name : draws[i].textureNames) {
                if (name.find(part) != std::string::npos) {
                    return static_cast<int>(i);
                }
            }
        }
        return -1;
    }

    kesh::CameraView view;
};

TEST_F(LevelDrawing, DrawsOrdinaryStaticsThenDecalsThenSolidStatics) {
    car->requests.push_back(skid(5.0));
    render(1.0);
    const int ordinary = firstDrawWith("lightmaps/ordinary.tga");
    const int decals = firstDrawWith("misc/tracks.tga");
    const int solid = firstDrawWith("lightmaps/solid.tga");
    ASSERT_GE(ordinary, 1);  // the target marker comes first
    EXPECT_LT(ordinary, decals);
    EXPECT_LT(decals, solid);
    EXPECT_EQ(car->renders, 1);
    EXPECT_EQ(car->debugTexts, 1);
    EXPECT_TRUE(logged("screen", "Level: levels/test.slev"));
    EXPECT_TRUE(logged("screen", "Statics: visible 3, total 3"));
}

TEST_F(LevelDrawing, DecalsLiveUntilTheirExpiry) {
    car->requests = {skid(2.0), skid(0.5)};
    render(10.0);
    ASSERT_EQ(LevelProbe::decals(*level).size(), 2u);
    EXPECT_DOUBLE_EQ(LevelProbe::decals(*level)[0].expiry, 12.0);
    EXPECT_EQ(decaler->buckets().begin()->second.size(), 2u);

    render(10.5);  // the second one's expiry has come: erased, not drawn
    ASSERT_EQ(LevelProbe::decals(*level).size(), 1u);
    EXPECT_EQ(decaler->buckets().begin()->second.size(), 1u);
    render(12.5);
    EXPECT_TRUE(LevelProbe::decals(*level).empty());
}

TEST_F(LevelDrawing, FromInsideTheCarIsNotDrawnAndItsMarksWait) {
    level->switchCamera(true);
    EXPECT_TRUE(LevelProbe::insideView(*level));
    car->requests.push_back(skid(5.0));
    render(1.0);
    EXPECT_EQ(car->renders, 0);
    EXPECT_EQ(car->requests.size(), 1u);
    EXPECT_TRUE(LevelProbe::decals(*level).empty());
    level->switchCamera(false);
    render(1.1);
    EXPECT_TRUE(car->requests.empty());
    EXPECT_EQ(LevelProbe::decals(*level).size(), 1u);
}

TEST_F(LevelDrawing, AMarkBacklogIsLaidAtMostOneDecalerFullAFrame) {
    constexpr std::size_t kFull = kesh::Decaler::kMaxDecalsPerTexture;
    car->requests.assign(kFull + 100, skid(5.0));
    render(1.0);
    EXPECT_EQ(LevelProbe::decals(*level).size(), kFull);
    EXPECT_EQ(car->requests.size(), 100u) << "the rest wait in the car";
    render(1.1);
    EXPECT_TRUE(car->requests.empty());
    EXPECT_EQ(LevelProbe::decals(*level).size(), kFull + 100);
}

TEST_F(LevelDrawing, TheMarkerWithoutMaterialIsDrawnUntexturedAtScaleTwo) {
    render(1.0);
    const auto& draws = d3d9::deviceRecord(device)->draws;
    ASSERT_FALSE(draws.empty());
    EXPECT_EQ(draws.front().primitiveCount, 12u);
    for (const std::string& name : draws.front().textureNames) {
        EXPECT_TRUE(name.empty()) << name;
    }
}

TEST_F(LevelTest, ReplacingTheCarDeletesTheOldOneOnce) {
    writeLevel(basicLevel());
    build();
    EXPECT_EQ(CountedVehicle::alive(), 1);
    level->createCar(nullptr, decaler.get());
    EXPECT_EQ(CountedVehicle::alive(), 1);
    EXPECT_EQ(LevelProbe::vehicle(*level), car);
    level.reset();
    EXPECT_EQ(CountedVehicle::alive(), 0);
}

TEST_F(LevelTest, AMissingLevelFileStillGivesAPlayableLevel) {
    build(L"levels/absent.slev");
    const std::vector<std::string> debug = linesOf("debug");
    EXPECT_TRUE(std::any_of(debug.begin(), debug.end(), [](const std::string& line) {
        return line.rfind("Load terrain data failed: ", 0) == 0;
    }));
    EXPECT_EQ(LevelProbe::cells(*level), nullptr);
    ASSERT_NE(LevelProbe::ground(*level), nullptr);
    EXPECT_FLOAT_EQ(LevelProbe::ground(*level)->height, 0.0f);
    EXPECT_EQ(LevelProbe::vehicle(*level), car);

    std::vector<StaticInstance*> near = {nullptr};
    level->getStatics()->queryNear(kesh::BoundingBox({-1, -1, -1}, {1, 1, 1}), near);
    EXPECT_TRUE(near.empty());
    device->BeginScene();
    level->render(camera, clock);
    device->EndScene();
    car->put(D3DXVECTOR3(0, 0.5f, 0));
    frame(0.1);
    // The empty statics box holds no car.
    EXPECT_TRUE(level->isLost());
}

TEST_F(LevelTest, AFileCutShortKeepsWhatWasRead) {
    std::vector<std::uint8_t> bytes = artlib::levelFileBytes(basicLevel());
    bytes.resize(bytes.size() - 20);
    writeArt("levels/short.slev", bytes);
    build(L"levels/short.slev");
    EXPECT_EQ(LevelProbe::cells(*level), nullptr);
    EXPECT_EQ(level->getStatics()->size(), 0u);
    EXPECT_EQ(LevelProbe::data(*level).statics.size(), 3u);
    car->put(D3DXVECTOR3(0, 0.5f, 0));
    frame(0.05);
    EXPECT_TRUE(level->isLost());
}

}  // namespace

namespace {

using namespace level_testing;

TEST_F(LevelTest, OtherLoadingFailuresLeaveTheConstructor) {
    kesh::data::LevelData data = basicLevel();
    data.statics.push_back(staticRecord(9, "nowhere", placedAt(0, 0, 0), 4));
    writeLevel(data);
    EXPECT_THROW(build(), std::runtime_error);
    EXPECT_EQ(CountedVehicle::alive(), 0);

    writeLevel(basicLevel());
    writeArt("config/physics.lua", "return 5\n");
    EXPECT_ANY_THROW(build());
    EXPECT_EQ(level, nullptr);
}

}  // namespace
