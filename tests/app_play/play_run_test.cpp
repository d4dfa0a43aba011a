// One run of the real car on the generated level: load, close the map, drive with the
// accelerate key held, end the stage.
#include <gtest/gtest.h>

#include <cmath>

#include "game/vehicle/car/vehicle.h"
#include "tests/app_play/play_fixture.h"
#include "win32/window_seams.h"

namespace {

using namespace play_testing;

class PlayRun : public PlayTest {
protected:
    void SetUp() override {
        PlayTest::SetUp();
        useRealCar();
    }
};

TEST_F(PlayRun, FiftyFramesWithTheAcceleratorHeld) {
    buildAndPlay();
    Level* level = probe().level();
    CVehicle* vehicle = LevelProbe::vehicle(*level);
    ASSERT_NE(vehicle, nullptr);
    frame();
    D3DXVECTOR3 start;
    vehicle->position(start);
    D3DXVECTOR3 heading;
    vehicle->orientation(heading);

    win32::simulateKey(window, VK_UP, true);
    for (int i = 0; i < 50; ++i) {
        frame();
        D3DXVECTOR3 p;
        vehicle->position(p);
        ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) << i;
    }
    win32::simulateKey(window, VK_UP, false);

    EXPECT_EQ(probe().picture(), nullptr);
    EXPECT_FALSE(level->isLost());
    EXPECT_GT(level->getEnginePower(), 0.0f);
    D3DXVECTOR3 end;
    vehicle->position(end);
    const D3DXVECTOR3 moved = end - start;
    EXPECT_GT(D3DXVec3Dot(&moved, &heading), 0.1f);
    // The game's camera follows the level's.
    EXPECT_EQ(camera.camera._41, level->view().camera._41);

    stage.reset();
    EXPECT_EQ(kesh::theEffectManager, nullptr);
}

}  // namespace
