#include <d3dx9math.h>
#include <gtest/gtest.h>

#include <cmath>

namespace {

void expectNear(const D3DXVECTOR3& actual, float x, float y, float z) {
    EXPECT_NEAR(actual.x, x, 1e-5f);
    EXPECT_NEAR(actual.y, y, 1e-5f);
    EXPECT_NEAR(actual.z, z, 1e-5f);
}

void expectNear(const D3DXQUATERNION& actual, float x, float y, float z, float w) {
    EXPECT_NEAR(actual.x, x, 1e-5f);
    EXPECT_NEAR(actual.y, y, 1e-5f);
    EXPECT_NEAR(actual.z, z, 1e-5f);
    EXPECT_NEAR(actual.w, w, 1e-5f);
}

}  // namespace

TEST(D3DXVector, LengthDotCross) {
    const D3DXVECTOR3 a(1, 2, 3), b(4, 5, 6), v(3, 4, 0);
    EXPECT_FLOAT_EQ(D3DXVec3Length(&v), 5.0f);
    EXPECT_FLOAT_EQ(D3DXVec3LengthSq(&v), 25.0f);
    EXPECT_FLOAT_EQ(D3DXVec3Dot(&a, &b), 32.0f);
    D3DXVECTOR3 cross;
    expectNear(*D3DXVec3Cross(&cross, &a, &b), -3, 6, -3);
    const D3DXVECTOR3 x(1, 0, 0), y(0, 1, 0);
    expectNear(*D3DXVec3Cross(&cross, &x, &y), 0, 0, 1);
    // In place, with the output aliasing an input.
    D3DXVECTOR3 aliased = a;
    D3DXVec3Cross(&aliased, &aliased, &b);
    expectNear(aliased, -3, 6, -3);

    const D3DXVECTOR2 flat(6, 8);
    EXPECT_FLOAT_EQ(D3DXVec2Length(&flat), 10.0f);
}

TEST(D3DXVector, NormaliseGivesUnitLengthAndZeroStaysZero) {
    D3DXVECTOR3 out;
    const D3DXVECTOR3 v(0, 3, 4);
    expectNear(*D3DXVec3Normalize(&out, &v), 0, 0.6f, 0.8f);

    D3DXVECTOR3 zero(0, 0, 0);
    D3DXVec3Normalize(&zero, &zero);
    EXPECT_EQ(zero, D3DXVECTOR3(0, 0, 0));
    EXPECT_FALSE(std::isnan(zero.x));

    const D3DXVECTOR3 tiny(1e-30f, 0, 0);
    expectNear(*D3DXVec3Normalize(&out, &tiny), 1, 0, 0);

    D3DXVECTOR2 zero2;
    D3DXVec2Normalize(&zero2, &zero2);
    EXPECT_EQ(zero2, D3DXVECTOR2(0, 0));
    D3DXVECTOR4 zero4;
    D3DXVec4Normalize(&zero4, &zero4);
    EXPECT_EQ(zero4, D3DXVECTOR4(0, 0, 0, 0));
}

TEST(D3DXVector, TransformCoordDividesByWAndTransformNormalIgnoresTranslation) {
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, 5, 5, 5);
    const D3DXVECTOR3 x(1, 0, 0);
    D3DXVECTOR3 out;
    expectNear(*D3DXVec3TransformCoord(&out, &x, &m), 6, 5, 5);
    expectNear(*D3DXVec3TransformNormal(&out, &x, &m), 1, 0, 0);

    D3DXMatrixIdentity(&m);
    m._44 = 2.0f;
    const D3DXVECTOR3 p(2, 4, 6);
    expectNear(*D3DXVec3TransformCoord(&out, &p, &m), 1, 2, 3);

    D3DXVECTOR4 full;
    D3DXVec3Transform(&full, &p, &m);
    EXPECT_EQ(full, D3DXVECTOR4(2, 4, 6, 2));
}

TEST(D3DXVector, Lerp) {
    const D3DXVECTOR3 a(0, 10, -4), b(4, 20, 4);
    D3DXVECTOR3 out;
    expectNear(*D3DXVec3Lerp(&out, &a, &b, 0.25f), 1, 12.5f, -2);
    expectNear(*D3DXVec3Lerp(&out, &a, &b, 1.0f), 4, 20, 4);
}

TEST(D3DXQuaternion, RotationAxisIsHalfAngleSineAndCosine) {
    D3DXQUATERNION q;
    const D3DXVECTOR3 y(0, 2, 0);
    expectNear(*D3DXQuaternionRotationAxis(&q, &y, D3DX_PI), 0, 1, 0, 0);
    D3DXQuaternionRotationAxis(&q, &y, D3DX_PI / 3.0f);
    expectNear(q, 0, 0.5f, 0, std::sqrt(3.0f) / 2.0f);
}

TEST(D3DXQuaternion, MultiplyAppliesTheFirstArgumentFirst) {
    const float s = std::sqrt(0.5f);
    const D3DXQUATERNION a(s, 0, 0, s);  // 90 degrees about x
    const D3DXQUATERNION b(0, s, 0, s);  // 90 degrees about y
    D3DXQUATERNION ab;
    // The Hamilton product b a; the product a b would be (0.5, 0.5, 0.5, 0.5).
    expectNear(*D3DXQuaternionMultiply(&ab, &a, &b), 0.5f, 0.5f, -0.5f, 0.5f);
    expectNear(a * b, 0.5f, 0.5f, -0.5f, 0.5f);

    D3DXMATRIX fromProduct, ma, mb;
    D3DXMatrixRotationQuaternion(&fromProduct, &ab);
    D3DXMatrixRotationQuaternion(&ma, &a);
    D3DXMatrixRotationQuaternion(&mb, &b);
    const D3DXMATRIX chained = ma * mb;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(fromProduct.m[r][c], chained.m[r][c], 1e-5f);
        }
    }

    D3DXQUATERNION aliased = a;
    D3DXQuaternionMultiply(&aliased, &aliased, &b);
    expectNear(aliased, 0.5f, 0.5f, -0.5f, 0.5f);
}

TEST(D3DXQuaternion, NormaliseKeepsZeroAtZero) {
    D3DXQUATERNION q(0, 0, 0, 2);
    expectNear(*D3DXQuaternionNormalize(&q, &q), 0, 0, 0, 1);
    D3DXQUATERNION zero;
    D3DXQuaternionNormalize(&zero, &zero);
    expectNear(zero, 0, 0, 0, 0);
}

TEST(D3DXPlane, DotCoordAndNormalise) {
    const D3DXPLANE y2(0, 1, 0, -2);
    const D3DXVECTOR3 p(5, 3, 5);
    EXPECT_FLOAT_EQ(D3DXPlaneDotCoord(&y2, &p), 1.0f);
    EXPECT_FLOAT_EQ(D3DXPlaneDotNormal(&y2, &p), 3.0f);

    D3DXPLANE n;
    const D3DXPLANE scaled(0, 2, 0, 4);
    D3DXPlaneNormalize(&n, &scaled);
    EXPECT_EQ(n, D3DXPLANE(0, 1, 0, 2));
    const D3DXPLANE tilted(3, 0, 4, 10);
    D3DXPlaneNormalize(&n, &tilted);
    EXPECT_NEAR(n.a, 0.6f, 1e-6f);
    EXPECT_NEAR(n.c, 0.8f, 1e-6f);
    EXPECT_NEAR(n.d, 2.0f, 1e-6f);

    const D3DXVECTOR3 point(0, 0, 7), normal(0, 0, 1);
    D3DXPlaneFromPointNormal(&n, &point, &normal);
    EXPECT_EQ(n, D3DXPLANE(0, 0, 1, -7));
}

TEST(D3DXPlane, IntersectLineUsesTheInfiniteLineAndRefusesParallelOnes) {
    const D3DXPLANE y2(0, 1, 0, -2);
    const D3DXVECTOR3 origin(0, 0, 0), diagonal(1, 1, 1), up(0, 1, 0), along(1, 0, 0);
    D3DXVECTOR3 hit;
    ASSERT_EQ(D3DXPlaneIntersectLine(&hit, &y2, &origin, &diagonal), &hit);
    expectNear(hit, 2, 2, 2);
    // The hit lies beyond p2: the line, not the segment, is intersected.
    ASSERT_NE(D3DXPlaneIntersectLine(&hit, &y2, &origin, &up), nullptr);
    expectNear(hit, 0, 2, 0);

    D3DXVECTOR3 untouched(9, 9, 9);
    EXPECT_EQ(D3DXPlaneIntersectLine(&untouched, &y2, &origin, &along), nullptr);
    EXPECT_EQ(untouched, D3DXVECTOR3(9, 9, 9));
}

TEST(D3DXColor, PacksAndUnpacksArgb) {
    EXPECT_EQ(D3DCOLOR_ARGB(0x80, 0x12, 0x34, 0x56), 0x80123456u);
    EXPECT_EQ(D3DCOLOR_XRGB(1, 2, 3), 0xFF010203u);

    const D3DXCOLOR c(0x80FF0000u);
    EXPECT_FLOAT_EQ(c.r, 1.0f);
    EXPECT_FLOAT_EQ(c.g, 0.0f);
    EXPECT_NEAR(c.a, 128.0f / 255.0f, 1e-6f);
    EXPECT_EQ(static_cast<D3DCOLOR>(c), 0x80FF0000u);

    // Out-of-range channels clamp; others round to the nearest byte.
    EXPECT_EQ(static_cast<D3DCOLOR>(D3DXCOLOR(1.5f, -1.0f, 0.5f, 1.0f)), 0xFFFF0080u);
    EXPECT_EQ(static_cast<D3DCOLOR>(D3DXCOLOR(NAN, 0.0f, 0.0f, 0.0f)), 0u);
}
