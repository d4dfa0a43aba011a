// Level placements made fit for the physics: straightened when a rotation can be had from
// them, refused with the placement's name when not.
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

D3DXMATRIX scaling(float x, float y, float z) {
    D3DXMATRIX m;
    D3DXMatrixScaling(&m, x, y, z);
    return m;
}

// The placement as the physics takes it, as a matrix again.
D3DXMATRIX placed(const D3DXMATRIX& m, PlacementScale scale) {
    D3DXMATRIX out;
    checkedPlacement(m, scale, "a").toMatrix(&out);
    return out;
}

void expectNear(const D3DXMATRIX& a, const D3DXMATRIX& b, float within) {
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(a[i], b[i], within) << i;
    }
}

TEST(Placement, ScaleIsDroppedOrKeptSkewIsStraightenedMirrorAndFlatnessKeptInTheScale) {
    const D3DXMATRIX sound = turnedAndPlaced();
    expectNear(placed(sound, PlacementScale::Drop), sound, 1e-6f);
    const D3DXMATRIX scaled = scaling(2.0f, 0.5f, 30.0f) * sound;
    expectNear(placed(scaled, PlacementScale::Drop), sound, 1e-5f);
    expectNear(placed(scaled, PlacementScale::Keep), scaled, 1e-4f);

    // The second axis leaning towards the first and a projective column: the first axis and
    // the place stay, the rest is the rotation they started from.
    D3DXMATRIX bent = sound;
    bent._14 = 0.5f;
    for (int col = 0; col < 3; ++col) {
        bent.m[1][col] += 0.4f * sound.m[0][col];
    }
    expectNear(placed(bent, PlacementScale::Drop), sound, 1e-5f);

    // Mirrored in x: the car faces along the file's z axis, and a static's boxes lie where
    // the mirrored static is drawn.
    const D3DXMATRIX mirrored = scaling(-1.0f, 1.0f, 1.0f) * sound;
    expectNear(placed(mirrored, PlacementScale::Drop), sound, 1e-5f);
    expectNear(placed(mirrored, PlacementScale::Keep), mirrored, 1e-4f);
    EXPECT_NEAR(checkedPlacement(mirrored, PlacementScale::Keep, "a").scale.x, -1.0f, 1e-6f);

    // Flat in any one axis (a sign, a sheet): the missing axis is made from the other two.
    for (const D3DXMATRIX& squash :
         {scaling(0.0f, 2.0f, 3.0f), scaling(2.0f, 0.0f, 3.0f), scaling(2.0f, 3.0f, 0.0f)}) {
        expectNear(placed(squash * sound, PlacementScale::Keep), squash * sound, 1e-4f);
        expectNear(placed(squash * sound, PlacementScale::Drop), sound, 1e-5f);
    }
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
        {spoilt([](D3DXMATRIX& m) { m._21 = m._22 = m._23 = m._31 = m._32 = m._33 = 0.0f; }),
         degenerate},
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
    // What is drawn as the file gives it must still be numbers, the projective column too.
    EXPECT_THROW(
        kesh::data::requireFinitePlacement(
            spoilt([](D3DXMATRIX& m) { m._34 = std::numeric_limits<float>::infinity(); }), "a"),
        std::runtime_error);
}

TEST(Placement, HugeAxesPassUntilStraighteningWouldOverflow) {
    D3DXMATRIX huge;
    D3DXMatrixScaling(&huge, FLT_MAX, FLT_MAX, FLT_MAX);
    huge._41 = -FLT_MAX;
    EXPECT_EQ(checkedPlacement(huge, PlacementScale::Keep, "a").scale.x, FLT_MAX);
    huge._21 = FLT_MAX;  // kept at its length, the straightened second axis is no float
    EXPECT_THROW(checkedPlacement(huge, PlacementScale::Keep, "a"), std::runtime_error);
    EXPECT_EQ(checkedPlacement(huge, PlacementScale::Drop, "a").scale.y, 1.0f);
}

}  // namespace
