// Level placements made fit for the physics and the cameras: straightened when sound,
// refused with the placement's name when they place nothing.
#include <gtest/gtest.h>

#include <cfloat>
#include <limits>
#include <stdexcept>
#include <string>
#include <utility>

#include "game/data/placement.h"

namespace {

using kesh::data::checkedPlacement;
using kesh::data::PlacementScale;

D3DXMATRIX turnedAndPlaced() {
    D3DXMATRIX turn, place;
    D3DXMatrixRotationYawPitchRoll(&turn, 0.7f, -0.3f, 0.2f);
    D3DXMatrixTranslation(&place, 1e5f, -3.0f, 250.5f);
    return turn * place;
}

void expectNear(const D3DXMATRIX& a, const D3DXMATRIX& b, float within) {
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(a[i], b[i], within) << i;
    }
}

TEST(Placement, RotationsPassScaleIsDroppedOrKeptSkewAndMirrorAreStraightened) {
    const D3DXMATRIX sound = turnedAndPlaced();
    expectNear(checkedPlacement(sound, PlacementScale::Drop, "a"), sound, 1e-6f);
    D3DXMATRIX scaling;
    D3DXMatrixScaling(&scaling, 2.0f, 0.5f, 30.0f);
    expectNear(checkedPlacement(scaling * sound, PlacementScale::Drop, "a"), sound, 1e-5f);
    expectNear(checkedPlacement(scaling * sound, PlacementScale::Keep, "a"), scaling * sound,
               1e-4f);

    // The second axis leaning towards the first, a projective column, the third axis mirrored:
    // the first axis and the place stay, the rest is the rotation they started from.
    D3DXMATRIX bent = sound;
    bent._14 = 0.5f;
    for (int col = 0; col < 3; ++col) {
        bent.m[1][col] += 0.4f * sound.m[0][col];
        bent.m[2][col] = -sound.m[2][col];
    }
    expectNear(checkedPlacement(bent, PlacementScale::Drop, "a"), sound, 1e-5f);
}

TEST(Placement, MatricesThatPlaceNothingAreRefusedByName) {
    const auto spoilt = [](auto spoil) {
        D3DXMATRIX m = turnedAndPlaced();
        spoil(m);
        return m;
    };
    const char* const degenerate = "degenerate transform";
    const char* const notFinite = "transform that is not finite";
    const std::pair<D3DXMATRIX, const char*> cases[] = {
        {spoilt([](D3DXMATRIX& m) {
             m._11 = m._12 = m._13 = m._21 = m._22 = m._23 = m._31 = m._32 = m._33 = 0.0f;
         }),
         degenerate},
        {spoilt([](D3DXMATRIX& m) { m._21 = m._22 = m._23 = 0.0f; }), degenerate},
        {spoilt([](D3DXMATRIX& m) {
             for (int col = 0; col < 3; ++col) {
                 m.m[2][col] = m.m[0][col] + 2.0f * m.m[1][col];  // in the others' plane
             }
         }),
         degenerate},
        {spoilt([](D3DXMATRIX& m) { m._42 = std::numeric_limits<float>::quiet_NaN(); }), notFinite},
        {spoilt([](D3DXMATRIX& m) { m._13 = std::numeric_limits<float>::infinity(); }), notFinite},
    };
    for (const auto& [m, why] : cases) {
        for (PlacementScale scale : {PlacementScale::Drop, PlacementScale::Keep}) {
            try {
                checkedPlacement(m, scale, "locator \"a\"");
                ADD_FAILURE() << why;
            } catch (const std::runtime_error& e) {
                EXPECT_EQ(std::string(e.what()), std::string("locator \"a\" has a ") + why);
            }
        }
    }
}

TEST(Placement, HugeAxesPassUntilStraighteningWouldOverflow) {
    D3DXMATRIX huge;
    D3DXMatrixScaling(&huge, FLT_MAX, FLT_MAX, FLT_MAX);
    huge._41 = -FLT_MAX;
    EXPECT_EQ(checkedPlacement(huge, PlacementScale::Keep, "a")._11, FLT_MAX);
    huge._21 = FLT_MAX;  // kept at its length, the straightened second axis is no float
    EXPECT_THROW(checkedPlacement(huge, PlacementScale::Keep, "a"), std::runtime_error);
    EXPECT_EQ(checkedPlacement(huge, PlacementScale::Drop, "a")._22, 1.0f);
}

}  // namespace
