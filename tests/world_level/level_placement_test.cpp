// Placements from the level file on their way to the physics and the cameras: the real car
// at a start that is scaled and skewed, or that places nothing, and statics likewise.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

#include "game/vehicle/car/car.h"
#include "tests/world_level/level_fixture.h"

namespace {

using namespace level_testing;

class LevelPlacements : public LevelTest {
protected:
    void SetUp() override {
        LevelTest::SetUp();
        useRealCar();
    }

    // The basic level with a start and an end; the message the level fails with, or "".
    std::string buildWith(const D3DXMATRIX& start, const D3DXMATRIX& end,
                          const D3DXMATRIX& house = placedAt(20, 0, 30)) {
        kesh::data::LevelData data = basicLevel();
        data.statics[1].transform = house;
        data.locators = {locatorRecord("spawn", "start", start), locatorRecord("goal", "end", end)};
        writeLevel(data);
        try {
            build();
        } catch (const std::runtime_error& e) {
            return e.what();
        }
        return "";
    }
};

TEST_F(LevelPlacements, AScaledAndSkewedStartPlacesTheRealCarUpright) {
    D3DXMATRIX start;
    D3DXMatrixScaling(&start, 3.0f, 0.5f, 2.0f);
    start._21 = 0.3f;  // the up axis leans forward along x
    start._41 = 5.0f;
    start._42 = 1.0f;
    ASSERT_EQ(buildWith(start, placedAt(0, 0, 60)), "");
    // ODE's body holds a rotation: its columns are of unit length.
    const dReal* r = dBodyGetRotation(static_cast<CCar*>(LevelProbe::vehicle(*level))->body);
    for (int col = 0; col < 3; ++col) {
        EXPECT_NEAR(r[col] * r[col] + r[4 + col] * r[4 + col] + r[8 + col] * r[8 + col], 1.0, 1e-5)
            << col;
    }
    EXPECT_TRUE(LevelProbe::vehicle(*level)->isStable());
    D3DXVECTOR3 position;
    level->getCarPosition(position);
    EXPECT_EQ(position, D3DXVECTOR3(5.0f, 1.0f, 0.0f));
}

TEST_F(LevelPlacements, PlacementsThatPlaceNothingFailTheLevelByName) {
    const float zeros[16] = {};
    const D3DXMATRIX zero(zeros);
    const D3DXMATRIX ahead = placedAt(0, 0, 60);
    EXPECT_EQ(buildWith(zero, ahead),
              "Level levels/test.slev: locator \"spawn\" has a degenerate transform");
    EXPECT_EQ(buildWith(placedAt(0, 1, 0), placedAt(0, std::numeric_limits<float>::infinity(), 0)),
              "Level levels/test.slev: locator \"goal\" has a transform that is not finite");
    EXPECT_EQ(buildWith(placedAt(0, 1, 0), ahead,
                        placedAt(std::numeric_limits<float>::quiet_NaN(), 0, 0)),
              "Level levels/test.slev: static \"static2\" has a transform that is not finite");
    EXPECT_EQ(level, nullptr);
}

}  // namespace
