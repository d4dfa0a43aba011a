// The camera record keeps its derived matrices in step, its frustum planes face inwards,
// and a drag is relative to where it began.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "engine/render/camera_view.h"

namespace {

using kesh::CameraDrag;
using kesh::CameraView;
using kesh::Frustum;

void expectPlane(const D3DXPLANE& p, float a, float b, float c, float d) {
    EXPECT_NEAR(p.a, a, 1e-4f);
    EXPECT_NEAR(p.b, b, 1e-4f);
    EXPECT_NEAR(p.c, c, 1e-4f);
    EXPECT_NEAR(p.d, d, 1e-2f);
}

float side(const D3DXPLANE& p, float x, float y, float z) {
    return p.a * x + p.b * y + p.c * z + p.d;
}

void expectInvariant(const CameraView& view) {
    D3DXMATRIX product;
    D3DXMatrixMultiply(&product, &view.camera, &view.view);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(product.m[r][c], r == c ? 1.0f : 0.0f, 1e-5f);
        }
    }
    D3DXMATRIX vp;
    D3DXMatrixMultiply(&vp, &view.view, &view.projection);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_FLOAT_EQ(vp.m[r][c], view.viewProjection.m[r][c]);
        }
    }
}

TEST(CameraView, DefaultFrustumAtTheOriginLookingDownZ) {
    CameraView view;
    EXPECT_FLOAT_EQ(view.fov, D3DX_PI / 2.0f);
    EXPECT_FLOAT_EQ(view.aspect, 1.3f);
    EXPECT_FLOAT_EQ(view.invProjX, 1.0f / view.projection._11);
    Frustum frustum;
    computeFrustumPlanes(view, frustum, true);
    expectPlane(frustum.planes[Frustum::Near], 0, 0, 1, -1);
    expectPlane(frustum.planes[Frustum::Far], 0, 0, -1, 1000);
    // 90 degrees vertically: the top and bottom planes lean 45 degrees.
    const float h = std::sqrt(0.5f);
    expectPlane(frustum.planes[Frustum::Top], 0, -h, h, 0);
    expectPlane(frustum.planes[Frustum::Bottom], 0, h, h, 0);

    // A point ahead is inside every plane; points behind, beyond or off to the side are not.
    for (const D3DXPLANE& p : frustum.planes) {
        EXPECT_GE(side(p, 0, 0, 10), 0.0f);
    }
    EXPECT_LT(side(frustum.planes[Frustum::Near], 0, 0, 0.5f), 0.0f);
    EXPECT_LT(side(frustum.planes[Frustum::Far], 0, 0, 1001), 0.0f);
    EXPECT_LT(side(frustum.planes[Frustum::Left], -100, 0, 10), 0.0f);
    EXPECT_LT(side(frustum.planes[Frustum::Right], 100, 0, 10), 0.0f);
    EXPECT_LT(side(frustum.planes[Frustum::Top], 0, 100, 10), 0.0f);
}

TEST(CameraView, PlanesFollowTheCameraAndStayUnnormalisedOnRequest) {
    CameraView view;
    view.setPosition(D3DXVECTOR3(0, 0, 50));
    expectInvariant(view);
    Frustum frustum;
    computeFrustumPlanes(view, frustum, true);
    expectPlane(frustum.planes[Frustum::Near], 0, 0, 1, -51);
    Frustum raw;
    computeFrustumPlanes(view, raw, false);
    const float q = 1000.0f / 999.0f;
    EXPECT_NEAR(raw.planes[Frustum::Near].c, q, 1e-5f);
}

TEST(CameraView, ProjectionSettersKeepTheOtherValues) {
    CameraView view;
    view.setProjection(1.0f, 2.0f, 3.0f, 400.0f);
    view.setClipPlanes(5.0f, 600.0f);
    EXPECT_FLOAT_EQ(view.fov, 1.0f);
    EXPECT_FLOAT_EQ(view.aspect, 2.0f);
    EXPECT_FLOAT_EQ(view.nearPlane, 5.0f);
    view.setFov(0.5f);
    EXPECT_FLOAT_EQ(view.aspect, 2.0f);
    EXPECT_FLOAT_EQ(view.nearPlane, 5.0f);
    EXPECT_FLOAT_EQ(view.farPlane, 600.0f);
    EXPECT_FLOAT_EQ(view.invProjY, 1.0f / view.projection._22);
    D3DXMATRIX turned;
    D3DXMatrixRotationYawPitchRoll(&turned, 0.3f, 0.2f, 0.1f);
    turned._41 = 4.0f;
    view.setTransform(turned);
    expectInvariant(view);
}

TEST(CameraDrag, EachModeReturnsExactlyToItsStart) {
    for (int mode = 0; mode < 3; ++mode) {
        CameraView view;
        D3DXMATRIX start;
        D3DXMatrixRotationYawPitchRoll(&start, 0.7f, -0.2f, 0.0f);
        start._41 = 3.0f;
        start._42 = -2.0f;
        start._43 = 9.0f;
        view.setTransform(start);
        const int at[2] = {100, 200};
        CameraDrag drag(&view, at, mode);
        drag.update(160, 150);
        EXPECT_NE(std::memcmp(&view.camera, &start, sizeof start), 0) << "mode " << mode;
        drag.update(100, 200);
        EXPECT_EQ(std::memcmp(&view.camera, &start, sizeof start), 0) << "mode " << mode;
    }
}

TEST(CameraDrag, RotationIsAQuarterDegreeStepAndPanFollowsTheCameraAxes) {
    CameraView view;
    const int at[2] = {0, 0};
    CameraDrag rotate(&view, at, 0);
    rotate.update(400, 0);  // 400 px x 0.0025 = 1 radian of yaw
    EXPECT_NEAR(view.camera._31, std::sin(1.0f), 1e-5f);
    EXPECT_NEAR(view.camera._33, std::cos(1.0f), 1e-5f);

    CameraView panned;
    CameraDrag pan(&panned, at, 1);
    pan.update(20, 40);  // v = (-1, 2, 0) in the camera's frame
    EXPECT_FLOAT_EQ(panned.camera._41, -1.0f);
    EXPECT_FLOAT_EQ(panned.camera._42, 2.0f);
    CameraView moved;
    CameraDrag along(&moved, at, 2);
    along.update(20, 40);
    EXPECT_FLOAT_EQ(moved.camera._43, 3.0f);
}

TEST(CameraDrag, StoppedUnknownAndTargetlessDragsChangeNothing) {
    CameraView view;
    const CameraView before = view;
    const int at[2] = {5, 5};
    CameraDrag drag(&view, at, 1);
    drag.stop();
    drag.update(50, 80);
    CameraDrag odd(&view, at, 7);
    odd.update(50, 80);
    CameraDrag none(nullptr, at, 0);
    EXPECT_FALSE(none.active());
    none.update(50, 80);
    EXPECT_EQ(std::memcmp(&view.camera, &before.camera, sizeof view.camera), 0);
}

}  // namespace
