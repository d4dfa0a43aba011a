// Placements from the level file: statics drawn as the file places them, and what reaches
// the physics straightened or refused: the real car at a start that is scaled and skewed, or
// that places nothing, and solid statics likewise.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

#include "d3d9/seams.h"
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
    EXPECT_EQ(buildWith(placedAt(0, std::numeric_limits<float>::infinity(), 0), ahead),
              "Level levels/test.slev: locator \"spawn\" has a transform that is not finite");
    // The end never reaches the physics: a flat one only marks where the target is.
    D3DXMATRIX flatGoal = ahead;
    flatGoal._22 = 0.0f;
    EXPECT_EQ(buildWith(placedAt(0, 1, 0), flatGoal), "");
    D3DXVECTOR3 goal;
    level->getTargetPosition(goal);
    EXPECT_EQ(goal, D3DXVECTOR3(0.0f, 0.0f, 60.0f));
    EXPECT_EQ(buildWith(placedAt(0, 1, 0), ahead,
                        placedAt(std::numeric_limits<float>::quiet_NaN(), 0, 0)),
              "Level levels/test.slev: static \"static2\" has a transform that is not finite");
    EXPECT_EQ(level, nullptr);
}

TEST_F(LevelTest, StaticsAreDrawnWithTheFilesMatrixMirroredShearedOrFlat) {
    // x 0..4: a mirror in x shows on which side of its place the wing is drawn.
    writeArt("mesh/wing.wfm", boxMeshFile({0, 0, 0}, {4, 2, 1}, {partBox(0, 0, 0, 4, 2, 1)}));
    D3DXMATRIX mirror, shear, flat;
    D3DXMatrixScaling(&mirror, -1.0f, 1.0f, 1.0f);
    D3DXMatrixIdentity(&shear);
    shear._21 = 0.5f;
    D3DXMatrixScaling(&flat, 3.0f, 0.0f, 1.0f);
    const D3DXMATRIX placements[] = {mirror * placedAt(-10, 0, 40), shear * placedAt(0, 0, 40),
                                     flat * placedAt(10, 0, 40), flat * placedAt(20, 0, 40)};
    const char* const lightmaps[] = {"mirrored", "sheared", "flat", "flatwall"};
    const std::uint16_t flags[] = {4, 4, 0, 4};
    kesh::data::LevelData data = basicLevel();
    for (int i = 0; i < 4; ++i) {
        writeArt(std::string("texture/hi/lightmaps/") + lightmaps[i] + ".tga", tgaFile());
        data.statics.push_back(
            staticRecord(4 + i, "wing", placements[i], flags[i], {lightmaps[i]}));
    }
    writeLevel(data);
    build();

    device->BeginScene();
    d3d9::deviceRecord(device)->clear();
    level->render(camera, clock);
    device->EndScene();
    for (int i = 0; i < 4; ++i) {
        const D3DXMATRIX expected = placements[i] * camera.viewProjection;
        int drawn = 0;
        for (const d3d9::RecordedDraw& draw : d3d9::deviceRecord(device)->draws) {
            if (draw.textureNames[1].find(std::string("/") + lightmaps[i] + ".tga") ==
                std::string::npos) {
                continue;
            }
            ++drawn;
            // The effect's matrix fills the first four registers, row by row.
            for (int k = 0; k < 16; ++k) {
                EXPECT_NEAR(draw.state.vertexConstants[k], expected.m[k / 4][k % 4], 1e-4f)
                    << lightmaps[i] << " " << k;
            }
        }
        EXPECT_GT(drawn, 0) << lightmaps[i];
    }

    // The boxes that collide lie where the statics are drawn: the mirrored wing reaches to
    // the left of its place, the flat one is a sheet; the sheared wing's sphere, which
    // decides whether it is drawn, holds all of it.
    const auto& statics = level->getStatics()->statics();
    for (int i : {0, 3}) {
        const kesh::BoundingBox drawn =
            kesh::OrientedBox({0, 0, 0}, {4, 2, 1}, placements[i]).worldBounds();
        const kesh::BoundingBox collides =
            statics[3 + i]->collisionMesh->obstacleBoxes[0].worldBounds();
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_NEAR(collides.min[axis], drawn.min[axis], 1e-4f) << i << " " << axis;
            EXPECT_NEAR(collides.max[axis], drawn.max[axis], 1e-4f) << i << " " << axis;
        }
    }
    EXPECT_NEAR(statics[3]->collisionMesh->obstacleBoxes[0].worldBounds().min.x, -14.0f, 1e-4f);
    const StaticInstance& sheared = *statics[4];
    for (int corner = 0; corner < 8; ++corner) {
        const D3DXVECTOR3 local(corner & 1 ? 4.0f : 0.0f, corner & 2 ? 2.0f : 0.0f,
                                corner & 4 ? 1.0f : 0.0f);
        D3DXVECTOR3 placed;
        D3DXVec3TransformCoord(&placed, &local, &placements[1]);
        const D3DXVECTOR3 off = placed - sheared.centre;
        EXPECT_LE(D3DXVec3Length(&off), sheared.radius + 1e-4f) << corner;
    }
}

}  // namespace
