#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "engine/core/bounding_box.h"
#include "engine/core/oriented_box.h"
#include "engine/core/vector_io.h"

using kesh::BoundingBox;
using kesh::OrientedBox;

namespace {

void expectNear(const D3DXVECTOR3& actual, float x, float y, float z, float tolerance = 1e-4f) {
    EXPECT_NEAR(actual.x, x, tolerance);
    EXPECT_NEAR(actual.y, y, tolerance);
    EXPECT_NEAR(actual.z, z, tolerance);
}

// The view volume -1..1 on every axis, normals pointing in.
struct CubeFrustum {
    D3DXPLANE planes[6] = {{1, 0, 0, 1}, {-1, 0, 0, 1}, {0, -1, 0, 1},
                           {0, 1, 0, 1}, {0, 0, 1, 1},  {0, 0, -1, 1}};
};

}  // namespace

TEST(BoundingBox, CornersInAnyOrderExtendAndMerge) {
    BoundingBox box(D3DXVECTOR3(3, -1, 5), D3DXVECTOR3(1, 2, -5));
    EXPECT_EQ(box.min, D3DXVECTOR3(1, -1, -5));
    EXPECT_EQ(box.max, D3DXVECTOR3(3, 2, 5));

    box.extend(D3DXVECTOR3(10, 0, -6));
    EXPECT_EQ(box.min, D3DXVECTOR3(1, -1, -6));
    EXPECT_EQ(box.max, D3DXVECTOR3(10, 2, 5));

    box.merge(BoundingBox(D3DXVECTOR3(-4, 0, 0), D3DXVECTOR3(0, 9, 0)));
    EXPECT_EQ(box.min, D3DXVECTOR3(-4, -1, -6));
    EXPECT_EQ(box.max, D3DXVECTOR3(10, 9, 5));

    const BoundingBox zero;
    EXPECT_EQ(zero.min, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(zero.max, D3DXVECTOR3(0, 0, 0));
}

TEST(BoundingBox, ContainsIncludesBoundsAndToleranceWidensThem) {
    const BoundingBox box(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(1, 1, 1));
    EXPECT_TRUE(box.contains(D3DXVECTOR3(1, 1, 1)));
    EXPECT_TRUE(box.contains(D3DXVECTOR3(0, 0.5f, 0)));
    EXPECT_FALSE(box.contains(D3DXVECTOR3(1.005f, 0.5f, 0.5f)));
    EXPECT_TRUE(box.containsWithin(0.01f, D3DXVECTOR3(1.005f, 0.5f, 0.5f)));
    EXPECT_TRUE(box.containsWithin(0.01f, D3DXVECTOR3(0.5f, -0.005f, 0.5f)));
    EXPECT_FALSE(box.containsWithin(0.01f, D3DXVECTOR3(0.5f, 0.5f, 1.02f)));
}

TEST(Frustum, SphereTouchingFromOutsideCountsAsInside) {
    const CubeFrustum f;
    EXPECT_FALSE(kesh::sphereInFrustum(f.planes, D3DXVECTOR3(-3, 0, 0), 1.0f));  // 2 behind
    EXPECT_TRUE(kesh::sphereInFrustum(f.planes, D3DXVECTOR3(-3, 0, 0), 2.0f));
    EXPECT_TRUE(kesh::sphereInFrustum(f.planes, D3DXVECTOR3(0, 0, 0), 0.1f));
    EXPECT_FALSE(kesh::sphereInFrustum(f.planes, D3DXVECTOR3(0, 0, 5), 3.9f));
}

TEST(Frustum, BoxIsRejectedOnlyWhenOnePlaneHasItWhollyBehind) {
    const CubeFrustum f;
    EXPECT_TRUE(BoundingBox(D3DXVECTOR3(-0.5f, -0.5f, -0.5f), D3DXVECTOR3(0.5f, 0.5f, 0.5f))
                    .intersectsFrustum(f.planes));
    EXPECT_TRUE(BoundingBox(D3DXVECTOR3(0.5f, 0.5f, 0.5f), D3DXVECTOR3(3, 3, 3))
                    .intersectsFrustum(f.planes));
    for (int axis = 0; axis < 3; ++axis) {
        D3DXVECTOR3 lo(-0.5f, -0.5f, -0.5f), hi(0.5f, 0.5f, 0.5f);
        static_cast<float*>(lo)[axis] = 2.0f;
        static_cast<float*>(hi)[axis] = 3.0f;
        EXPECT_FALSE(BoundingBox(lo, hi).intersectsFrustum(f.planes)) << "axis " << axis;
        static_cast<float*>(lo)[axis] = -3.0f;
        static_cast<float*>(hi)[axis] = -2.0f;
        EXPECT_FALSE(BoundingBox(lo, hi).intersectsFrustum(f.planes)) << "axis " << axis;
    }
    // A box around the whole view straddles every plane and is visible.
    EXPECT_TRUE(BoundingBox(D3DXVECTOR3(-10, -10, -10), D3DXVECTOR3(10, 10, 10))
                    .intersectsFrustum(f.planes));
}

TEST(SegmentIntersectsBox, HitsTheNearFaceOfAnOffCentreBox) {
    const BoundingBox box(D3DXVECTOR3(1, -1, -1), D3DXVECTOR3(3, 1, 1));
    const D3DXVECTOR3 origin(0, 0, 0);
    expectNear(kesh::segmentIntersectsBox(box, origin, D3DXVECTOR3(10, 0, 0)), 1, 0, 0);
    expectNear(kesh::segmentIntersectsBox(box, D3DXVECTOR3(10, 0.5f, 0), D3DXVECTOR3(-10, 0, 0)), 3,
               0.5f, 0);
    expectNear(kesh::segmentIntersectsBox(box, D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(4, 0.4f, 0)), 1,
               0.1f, 0);
}

TEST(SegmentIntersectsBox, ReturnsTheOriginWhenNothingLiesOnTheSegment) {
    const BoundingBox box(D3DXVECTOR3(1, -1, -1), D3DXVECTOR3(3, 1, 1));
    const D3DXVECTOR3 origin(0, 0, 0);
    // Too short to reach the box.
    EXPECT_EQ(kesh::segmentIntersectsBox(box, origin, D3DXVECTOR3(0.5f, 0, 0)), origin);
    // Pointing away: the line meets the box behind the origin.
    EXPECT_EQ(kesh::segmentIntersectsBox(box, origin, D3DXVECTOR3(-10, 0, 0)), origin);
    // Passing beside it.
    const D3DXVECTOR3 above(0, 5, 0);
    EXPECT_EQ(kesh::segmentIntersectsBox(box, above, D3DXVECTOR3(10, 0, 0)), above);
    // No direction at all: every axis is parallel.
    const D3DXVECTOR3 hit = kesh::segmentIntersectsBox(box, origin, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(hit, origin);
}

TEST(SegmentIntersectsBox, SkipsParallelAxesAndTriesTheNext) {
    const BoundingBox box(D3DXVECTOR3(-1, -1, -1), D3DXVECTOR3(1, 1, 1));
    expectNear(kesh::segmentIntersectsBox(box, D3DXVECTOR3(0.2f, -5, 0), D3DXVECTOR3(0, 10, 0)),
               0.2f, -1, 0);
    expectNear(kesh::segmentIntersectsBox(box, D3DXVECTOR3(0, 0.3f, 5), D3DXVECTOR3(0, 0, -10)), 0,
               0.3f, 1);
}

TEST(OrientedBox, WorldBoundsEncloseTheTurnedCorners) {
    const OrientedBox plain;
    EXPECT_TRUE(D3DXMatrixIsIdentity(&plain.world));
    EXPECT_TRUE(D3DXMatrixIsIdentity(&plain.inverseWorld));

    D3DXMATRIX turn, move;
    D3DXMatrixRotationY(&turn, D3DX_PI / 4.0f);
    D3DXMatrixTranslation(&move, 10, 0, 0);
    const OrientedBox box(D3DXVECTOR3(-1, -1, -1), D3DXVECTOR3(1, 1, 1), turn * move);
    const BoundingBox bounds = box.worldBounds();
    const float r = std::sqrt(2.0f);
    expectNear(bounds.min, 10 - r, -1, -r);
    expectNear(bounds.max, 10 + r, 1, r);
}

TEST(OrientedBox, IntersectsSegmentInWorldSpace) {
    D3DXMATRIX move;
    D3DXMatrixTranslation(&move, 10, 0, 0);
    OrientedBox box(D3DXVECTOR3(-1, -1, -1), D3DXVECTOR3(1, 1, 1), move);
    expectNear(box.intersectsSegment(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(20, 0, 0)), 9, 0, 0);
    expectNear(box.intersectsSegment(D3DXVECTOR3(0, 5, 0), D3DXVECTOR3(20, 5, 0)), 0, 5, 0);

    D3DXMATRIX turn;
    D3DXMatrixRotationY(&turn, D3DX_PI / 2.0f);
    box.setWorld(turn * move);
    D3DXMATRIX product = box.world * box.inverseWorld;
    EXPECT_NEAR(product._11, 1.0f, 1e-5f);
    EXPECT_NEAR(product._41, 0.0f, 1e-5f);
    expectNear(box.intersectsSegment(D3DXVECTOR3(10, 0, -5), D3DXVECTOR3(10, 0, 5)), 10, 0, -1);
}

TEST(VectorText, WritesParenthesesAndReadsBareNumbers) {
    std::ostringstream out;
    out << D3DXVECTOR2(1, 2) << D3DXVECTOR4(1, 2.5f, -3, 4);
    EXPECT_EQ(out.str(), "(1 2)(1 2.5 -3 4)");
    std::wostringstream wide;
    wide << D3DXVECTOR3(1, 2, 3);
    EXPECT_EQ(wide.str(), L"(1 2 3)");

    std::istringstream in("1 2  3\n4 5 6");
    D3DXVECTOR2 v2;
    D3DXVECTOR4 v4;
    in >> v2 >> v4;
    EXPECT_EQ(v2, D3DXVECTOR2(1, 2));
    EXPECT_EQ(v4, D3DXVECTOR4(3, 4, 5, 6));
    std::istringstream bad("x");
    EXPECT_FALSE(static_cast<bool>(bad >> v2));
}
