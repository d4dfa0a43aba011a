// Level placements made fit for the physics and the cameras: straightened when sound,
// refused with the placement's name when they place nothing.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

#include "game/world/data/placement.h"

namespace {

using kesh::data::checkedPlacement;
using kesh::data::PlacementScale;

D3DXVECTOR3 axis(const D3DXMATRIX& m, int row) {
    return D3DXVECTOR3(m.m[row][0], m.m[row][1], m.m[row][2]);
}

// Rows of unit length at right angles, turning the right way.
void expectRotation(const D3DXMATRIX& m) {
    for (int row = 0; row < 3; ++row) {
        const D3DXVECTOR3 a = axis(m, row);
        EXPECT_NEAR(D3DXVec3Length(&a), 1.0f, 1e-6f) << row;
    }
    const D3DXVECTOR3 x = axis(m, 0), y = axis(m, 1), z = axis(m, 2);
    EXPECT_NEAR(D3DXVec3Dot(&x, &y), 0.0f, 1e-6f);
    D3DXVECTOR3 xy;
    D3DXVec3Cross(&xy, &x, &y);
    EXPECT_NEAR(D3DXVec3Dot(&xy, &z), 1.0f, 1e-6f);
}

void expectRefused(const D3DXMATRIX& m, const std::string& why) {
    for (PlacementScale scale : {PlacementScale::Drop, PlacementScale::Keep}) {
        try {
            checkedPlacement(m, scale, "locator \"a\"");
            ADD_FAILURE() << why;
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()), "locator \"a\" has a " + why);
        }
    }
}

D3DXMATRIX turnedAndPlaced() {
    D3DXMATRIX turn, place;
    D3DXMatrixRotationYawPitchRoll(&turn, 0.7f, -0.3f, 0.2f);
    D3DXMatrixTranslation(&place, 1e5f, -3.0f, 250.5f);
    return turn * place;
}

TEST(Placement, ARotationPassesAsItIsAndScaleIsDroppedOrKept) {
    const D3DXMATRIX sound = turnedAndPlaced();
    const D3DXMATRIX same = checkedPlacement(sound, PlacementScale::Drop, "a");
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(same[i], sound[i], 1e-6f) << i;
    }
    D3DXMATRIX scaling;
    D3DXMatrixScaling(&scaling, 2.0f, 0.5f, 30.0f);
    const D3DXMATRIX scaled = scaling * sound;
    const D3DXMATRIX rigid = checkedPlacement(scaled, PlacementScale::Drop, "a");
    const D3DXMATRIX kept = checkedPlacement(scaled, PlacementScale::Keep, "a");
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(rigid[i], sound[i], 1e-5f) << i;
        EXPECT_NEAR(kept[i], scaled[i], 1e-4f) << i;
    }
}

TEST(Placement, SkewAndMirrorAreStraightenedKeepingTheFirstAxisAndThePlace) {
    D3DXMATRIX skewed = turnedAndPlaced();
    skewed._21 += 0.4f;  // the second axis leans towards the first
    skewed._14 = 0.5f;   // and a projective column that places nothing
    const D3DXMATRIX straight = checkedPlacement(skewed, PlacementScale::Drop, "a");
    expectRotation(straight);
    EXPECT_EQ(axis(straight, 0), axis(skewed, 0));
    EXPECT_EQ(D3DXVECTOR4(straight._41, straight._42, straight._43, straight._44),
              D3DXVECTOR4(1e5f, -3.0f, 250.5f, 1.0f));
    EXPECT_EQ(straight._14, 0.0f);

    D3DXMATRIX mirrored = turnedAndPlaced();
    for (int col = 0; col < 3; ++col) {
        mirrored.m[2][col] = -mirrored.m[2][col];
    }
    const D3DXMATRIX turned = checkedPlacement(mirrored, PlacementScale::Keep, "a");
    expectRotation(turned);
    const D3DXMATRIX sound = turnedAndPlaced();
    EXPECT_NEAR(turned._33, sound._33, 1e-6f) << "the rotation the mirror mirrors";
}

TEST(Placement, MatricesThatPlaceNothingAreRefusedByName) {
    const float zeros[16] = {};
    const D3DXMATRIX zero(zeros);
    expectRefused(zero, "degenerate transform");
    D3DXMATRIX flat = turnedAndPlaced();
    flat._21 = flat._22 = flat._23 = 0.0f;
    expectRefused(flat, "degenerate transform");
    D3DXMATRIX coplanar = turnedAndPlaced();
    for (int col = 0; col < 3; ++col) {
        coplanar.m[2][col] = coplanar.m[0][col] + 2.0f * coplanar.m[1][col];
    }
    expectRefused(coplanar, "degenerate transform");
    D3DXMATRIX parallel = turnedAndPlaced();
    for (int col = 0; col < 3; ++col) {
        parallel.m[1][col] = -3.0f * parallel.m[0][col];
    }
    expectRefused(parallel, "degenerate transform");

    for (const float bad :
         {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        D3DXMATRIX lost = turnedAndPlaced();
        lost._42 = bad;
        expectRefused(lost, "transform that is not finite");
        D3DXMATRIX turnedBadly = turnedAndPlaced();
        turnedBadly._23 = bad;
        expectRefused(turnedBadly, "transform that is not finite");
    }
}

TEST(Placement, HugeButFiniteAxesPassOrAreRefusedWhereTheyOverflow) {
    D3DXMATRIX huge;
    D3DXMatrixScaling(&huge, FLT_MAX, FLT_MAX, FLT_MAX);
    huge._41 = -FLT_MAX;
    EXPECT_EQ(checkedPlacement(huge, PlacementScale::Keep, "a")._11, FLT_MAX);
    EXPECT_EQ(checkedPlacement(huge, PlacementScale::Drop, "a")._22, 1.0f);
    // Straightened, the second axis would be longer than a float.
    huge._21 = FLT_MAX;
    EXPECT_THROW(checkedPlacement(huge, PlacementScale::Keep, "a"), std::runtime_error);
    EXPECT_NO_THROW(checkedPlacement(huge, PlacementScale::Drop, "a"));
}

}  // namespace
