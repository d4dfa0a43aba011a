#include <d3dx9math.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>

namespace {

const float kHalfPi = D3DX_PI / 2.0f;

void expectNear(const D3DXVECTOR3& actual, float x, float y, float z) {
    EXPECT_NEAR(actual.x, x, 1e-5f);
    EXPECT_NEAR(actual.y, y, 1e-5f);
    EXPECT_NEAR(actual.z, z, 1e-5f);
}

void expectNear(const D3DXMATRIX& actual, const D3DXMATRIX& expected, float tolerance = 1e-5f) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(actual.m[r][c], expected.m[r][c], tolerance) << "at " << r << "," << c;
        }
    }
}

D3DXVECTOR3 transform(const D3DXVECTOR3& v, const D3DXMATRIX& m) {
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &v, &m);
    return out;
}

D3DXMATRIX sequence(float first) {
    D3DXMATRIX m;
    for (int i = 0; i < 16; ++i) {
        m.m[i / 4][i % 4] = first + static_cast<float>(i);
    }
    return m;
}

}  // namespace

TEST(D3DXMatrixLayout, RowMajorNamedAndIndexedElementsAlias) {
    EXPECT_EQ(sizeof(D3DXMATRIX), 64u);
    EXPECT_EQ(sizeof(D3DXVECTOR3), 12u);
    EXPECT_EQ(sizeof(D3DXQUATERNION), 16u);
    EXPECT_EQ(sizeof(D3DXPLANE), 16u);
    D3DXMATRIX m = sequence(1.0f);
    EXPECT_EQ(m._12, 2.0f);
    EXPECT_EQ(m._21, 5.0f);
    EXPECT_EQ(m._44, 16.0f);
    EXPECT_EQ(m(1, 2), m._23);
    EXPECT_EQ(static_cast<const float*>(m)[4], m._21);
    D3DXMATRIX zero;
    EXPECT_EQ(zero, D3DXMATRIX(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0));
}

TEST(D3DXMatrix, MultiplyIsRowByColumnWithTheLeftFactorAppliedFirst) {
    const D3DXMATRIX a = sequence(1.0f), b = sequence(17.0f);
    D3DXMATRIX product;
    ASSERT_EQ(D3DXMatrixMultiply(&product, &a, &b), &product);
    EXPECT_FLOAT_EQ(product._11, 250.0f);  // 1*17 + 2*21 + 3*25 + 4*29
    EXPECT_FLOAT_EQ(product._12, 260.0f);
    EXPECT_FLOAT_EQ(product._21, 618.0f);
    EXPECT_FLOAT_EQ(product._44, 1528.0f);
    EXPECT_EQ(a * b, product);

    // Aliased output: the result must not be computed from a half-written matrix.
    D3DXMATRIX aliased = a;
    D3DXMatrixMultiply(&aliased, &aliased, &b);
    EXPECT_EQ(aliased, product);

    D3DXMATRIX translate, scale;
    D3DXMatrixTranslation(&translate, 1, 2, 3);
    D3DXMatrixScaling(&scale, 2, 2, 2);
    expectNear(transform(D3DXVECTOR3(1, 1, 1), translate * scale), 4, 6, 8);
    expectNear(transform(D3DXVECTOR3(1, 1, 1), scale * translate), 3, 4, 5);
}

TEST(D3DXMatrix, InverseOfKnownMatrices) {
    D3DXMATRIX translate, inverse, expected;
    D3DXMatrixTranslation(&translate, 1, 2, 3);
    ASSERT_NE(D3DXMatrixInverse(&inverse, nullptr, &translate), nullptr);
    expectNear(inverse, *D3DXMatrixTranslation(&expected, -1, -2, -3));

    D3DXMATRIX scale;
    float determinant = 0.0f;
    D3DXMatrixScaling(&scale, 2, 4, 8);
    ASSERT_EQ(D3DXMatrixInverse(&inverse, &determinant, &scale), &inverse);
    EXPECT_FLOAT_EQ(determinant, 64.0f);
    expectNear(inverse, *D3DXMatrixScaling(&expected, 0.5f, 0.25f, 0.125f));

    D3DXMATRIX rotation, world, identity;
    D3DXMatrixRotationYawPitchRoll(&rotation, 0.3f, -1.1f, 2.0f);
    world = scale * rotation * translate;
    ASSERT_NE(D3DXMatrixInverse(&inverse, nullptr, &world), nullptr);
    expectNear(world * inverse, *D3DXMatrixIdentity(&identity), 1e-5f);

    // In place.
    D3DXMatrixInverse(&world, nullptr, &world);
    expectNear(world, inverse);
}

TEST(D3DXMatrix, SingularInverseReturnsNullAndLeavesOutputsUntouched) {
    D3DXMATRIX flat;
    D3DXMatrixScaling(&flat, 1, 0, 1);
    D3DXMATRIX out = sequence(7.0f);
    const D3DXMATRIX before = out;
    float determinant = 42.0f;
    EXPECT_EQ(D3DXMatrixInverse(&out, &determinant, &flat), nullptr);
    EXPECT_EQ(out, before);
    EXPECT_EQ(determinant, 42.0f);

    const D3DXMATRIX dependentRows = sequence(1.0f);  // rows in arithmetic progression
    EXPECT_EQ(D3DXMatrixInverse(&out, nullptr, &dependentRows), nullptr);
    EXPECT_EQ(out, before);
}

TEST(D3DXMatrix, RotationsAreLeftHandedForRowVectors) {
    D3DXMATRIX m;
    expectNear(transform(D3DXVECTOR3(0, 1, 0), *D3DXMatrixRotationX(&m, kHalfPi)), 0, 0, 1);
    expectNear(transform(D3DXVECTOR3(1, 0, 0), *D3DXMatrixRotationY(&m, kHalfPi)), 0, 0, -1);
    expectNear(transform(D3DXVECTOR3(0, 0, 1), *D3DXMatrixRotationY(&m, kHalfPi)), 1, 0, 0);
    expectNear(transform(D3DXVECTOR3(1, 0, 0), *D3DXMatrixRotationZ(&m, kHalfPi)), 0, 1, 0);

    // The axis is normalised first.
    D3DXMATRIX aroundAxis, aroundZ;
    const D3DXVECTOR3 longZ(0, 0, 2);
    D3DXMatrixRotationAxis(&aroundAxis, &longZ, 0.7f);
    expectNear(aroundAxis, *D3DXMatrixRotationZ(&aroundZ, 0.7f));
    const D3DXVECTOR3 diagonal(1, 1, 1);
    D3DXMatrixRotationAxis(&aroundAxis, &diagonal, 2.0f * D3DX_PI / 3.0f);
    expectNear(transform(D3DXVECTOR3(1, 0, 0), aroundAxis), 0, 1, 0);
}

TEST(D3DXMatrix, YawPitchRollAppliesRollThenPitchThenYaw) {
    D3DXMATRIX m, y;
    expectNear(*D3DXMatrixRotationYawPitchRoll(&m, kHalfPi, 0, 0),
               *D3DXMatrixRotationY(&y, kHalfPi));
    // Roll takes x to y, then pitch takes y to z. The other order would give y.
    D3DXMatrixRotationYawPitchRoll(&m, 0, kHalfPi, kHalfPi);
    expectNear(transform(D3DXVECTOR3(1, 0, 0), m), 0, 0, 1);
    // Then yaw takes z to x.
    D3DXMatrixRotationYawPitchRoll(&m, kHalfPi, kHalfPi, kHalfPi);
    expectNear(transform(D3DXVECTOR3(1, 0, 0), m), 1, 0, 0);
}

TEST(D3DXMatrix, RotationQuaternionMatchesTheAxisRotations) {
    D3DXQUATERNION q;
    D3DXMATRIX fromQuaternion, expected;
    const D3DXVECTOR3 xAxis(1, 0, 0);
    D3DXQuaternionRotationAxis(&q, &xAxis, 0.9f);
    expectNear(*D3DXMatrixRotationQuaternion(&fromQuaternion, &q),
               *D3DXMatrixRotationX(&expected, 0.9f));

    // 120 degrees about (1, 1, 1): the quaternion (0.5, 0.5, 0.5, 0.5) cycles x to y to z.
    const D3DXQUATERNION cycle(0.5f, 0.5f, 0.5f, 0.5f);
    D3DXMatrixRotationQuaternion(&fromQuaternion, &cycle);
    expectNear(fromQuaternion, D3DXMATRIX(0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 1));
}

TEST(D3DXMatrix, PerspectiveFovLHMapsNearAndFarToZeroAndOne) {
    D3DXMATRIX p;
    D3DXMatrixPerspectiveFovLH(&p, kHalfPi, 2.0f, 1.0f, 101.0f);
    EXPECT_NEAR(p._22, 1.0f, 1e-6f);
    EXPECT_NEAR(p._11, 0.5f, 1e-6f);
    EXPECT_NEAR(p._33, 1.01f, 1e-6f);
    EXPECT_EQ(p._34, 1.0f);
    EXPECT_NEAR(p._43, -1.01f, 1e-6f);
    EXPECT_EQ(p._44, 0.0f);
    EXPECT_NEAR(transform(D3DXVECTOR3(0, 0, 1), p).z, 0.0f, 1e-6f);
    EXPECT_NEAR(transform(D3DXVECTOR3(0, 0, 101), p).z, 1.0f, 1e-6f);
    // The top edge of the view at depth 10 lands on y = 1.
    EXPECT_NEAR(transform(D3DXVECTOR3(0, 10, 10), p).y, 1.0f, 1e-5f);
}

TEST(D3DXMatrix, LookAtLHPutsTheTargetOnPositiveZ) {
    D3DXMATRIX view;
    const D3DXVECTOR3 up(0, 1, 0), origin(0, 0, 0);
    const D3DXVECTOR3 behind(0, 0, -5);
    D3DXMatrixLookAtLH(&view, &behind, &origin, &up);
    expectNear(transform(origin, view), 0, 0, 5);

    const D3DXVECTOR3 side(5, 0, 0);
    D3DXMatrixLookAtLH(&view, &side, &origin, &up);
    expectNear(transform(origin, view), 0, 0, 5);
    // Looking down -x with y up, +z lies to the right.
    expectNear(transform(D3DXVECTOR3(0, 0, 1), view), 1, 0, 5);
    expectNear(transform(D3DXVECTOR3(0, 1, 0), view), 0, 1, 5);
}
