#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "dinput8/test_seam.h"
#include "game/vehicle/input/input_system.h"
#include "tests/vehicle_car/car_fixture.h"
#include "tests/world_level/level_fixture.h"
#include "win32/window_seams.h"

namespace {

using namespace level_testing;

// The real car on a small generated level: a slab for ground, two buildings, a start and an
// end, an effect; five seconds of play with the accelerate key held, at the game's key
// sensitivity.
class LevelRun : public LevelTest {
protected:
    void SetUp() override {
        LevelTest::SetUp();
        useRealCar();
        kesh::data::LevelData data = basicLevel();
        data.statics.push_back(staticRecord(4, "house", placedAt(-25, 0, -10), 4, {"solid"}));
        data.locators = {locatorRecord("spawn", "start", placedAt(0, 3, -80)),
                         locatorRecord("goal", "end", placedAt(0, 0, 80))};
        data.effects = {effectRecord("camp", "fire", placedAt(5, 0, 5), 1)};
        writeLevel(data);
        dinput8_test::reset();
        input = std::make_unique<InputSystem>(window);
        input->keySensitivity = 0.25;
    }
    void TearDown() override {
        level.reset();
        input.reset();
        dinput8_test::reset();
        LevelTest::TearDown();
    }

    std::unique_ptr<InputSystem> input;
};

TEST_F(LevelRun, TheCarDrivesForwardOnTheGroundForFiveSeconds) {
    build(L"levels/test.slev", input.get());
    CVehicle* vehicle = LevelProbe::vehicle(*level);
    ASSERT_NE(vehicle, nullptr);
    D3DXVECTOR3 start;
    vehicle->position(start);
    EXPECT_NEAR(start.z, -80.0f, 1e-4f);
    D3DXVECTOR3 heading;
    vehicle->orientation(heading);

    win32::simulateKey(window, VK_UP, true);
    const kesh::BoundingBox& box = level->getStatics()->bounds();
    for (int i = 0; i < 5 * 60; ++i) {
        frame(1.0 / 60.0);
        device->BeginScene();
        level->render(level->view(), clock);
        device->EndScene();
        D3DXVECTOR3 p;
        vehicle->position(p);
        ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) << i;
        ASSERT_TRUE(box.contains(p)) << i;
        ASSERT_GT(p.y, 0.0f) << i;  // never through the ground
    }
    win32::simulateKey(window, VK_UP, false);

    D3DXVECTOR3 end;
    vehicle->position(end);
    EXPECT_FALSE(level->isLost());
    EXPECT_TRUE(vehicle->isStable());
    EXPECT_LT(end.y, 3.5f);  // resting on its wheels, not flying
    // The held key opens the throttle along its sine curve in 0.47 s, then the engine gains
    // accel_power (10) a second: 10 x (5 - 0.47 x (1 - 2 / pi)) = 48.3 after five seconds,
    // and the car keeps up with it, covering about 5 x 4.83^2 = 116.6 units straight ahead.
    const float engine = 10.0f * (5.0f - 0.4712f * (1.0f - 2.0f / 3.14159265f));
    EXPECT_NEAR(level->getEnginePower(), engine, 0.5f);
    D3DXVECTOR3 velocity;
    vehicle->velocity(velocity);
    EXPECT_NEAR(D3DXVec3Length(&velocity), engine, 1.0f);
    const D3DXVECTOR3 moved = end - start;
    EXPECT_NEAR(D3DXVec3Dot(&moved, &heading), 5.0f * (engine / 10.0f) * (engine / 10.0f), 2.0f);
    EXPECT_LT(std::fabs(moved.x), 0.1f);
    D3DXVECTOR3 facing;
    vehicle->orientation(facing);
    EXPECT_GT(D3DXVec3Dot(&facing, &heading), 0.9999f) << "still heading the way it started";
    // The chase camera follows behind the car.
    EXPECT_LT(level->view().camera._43, end.z);
}

// The path of the car driven into a house and steered away, as the code stepped it when the
// positions were recorded: a cheaper step must still make the same contacts and forces.
TEST_F(LevelRun, TheCarKeepsItsPathStepForStep) {
    kesh::data::LevelData data = basicLevel();
    data.statics.push_back(staticRecord(4, "house", placedAt(5, 0, -60), 4, {"solid"}));
    data.locators = {locatorRecord("spawn", "start", placedAt(0, 3, -80)),
                     locatorRecord("goal", "end", placedAt(0, 0, 80))};
    writeLevel(data);
    build(L"levels/test.slev", input.get());
    CVehicle* vehicle = LevelProbe::vehicle(*level);
    ASSERT_NE(vehicle, nullptr);
    const D3DXVECTOR3 recorded[] = {{0.0000f, 1.8375f, -76.4309f},  {-0.0714f, 1.5801f, -66.9979f},
                                    {-1.0673f, 1.5229f, -66.6858f}, {-1.9594f, 1.4021f, -65.0320f},
                                    {-1.9926f, 1.5189f, -64.9705f}, {-1.9911f, 1.5139f, -64.9789f}};
    win32::simulateKey(window, VK_UP, true);
    for (int second = 0; second < 6; ++second) {
        if (second == 2) {
            win32::simulateKey(window, VK_LEFT, true);
        }
        for (int i = 0; i < 60; ++i) {
            frame(1.0 / 60.0);
        }
        D3DXVECTOR3 p;
        vehicle->position(p);
        const D3DXVECTOR3 off = p - recorded[second];
        EXPECT_LT(D3DXVec3Length(&off), 0.01f)
            << "after " << second + 1 << " s at " << p.x << ", " << p.y << ", " << p.z;
    }
    win32::simulateKey(window, VK_LEFT, false);
    win32::simulateKey(window, VK_UP, false);
}

}  // namespace
