#include "engine/core/transform.h"

#include <gtest/gtest.h>

#include <cmath>

using kesh::Transform;

namespace {

void expectNear(const D3DXVECTOR3& actual, float x, float y, float z, float tolerance = 1e-5f) {
    EXPECT_NEAR(actual.x, x, tolerance);
    EXPECT_NEAR(actual.y, y, tolerance);
    EXPECT_NEAR(actual.z, z, tolerance);
}

void expectNear(const D3DXQUATERNION& actual, float x, float y, float z, float w) {
    EXPECT_NEAR(actual.x, x, 1e-5f);
    EXPECT_NEAR(actual.y, y, 1e-5f);
    EXPECT_NEAR(actual.z, z, 1e-5f);
    EXPECT_NEAR(actual.w, w, 1e-5f);
}

D3DXMATRIX basis(float r11, float r12, float r13, float r21, float r22, float r23, float r31,
                 float r32, float r33) {
    return D3DXMATRIX(r11, r12, r13, 0, r21, r22, r23, 0, r31, r32, r33, 0, 0, 0, 0, 1);
}

}  // namespace

TEST(Transform, DefaultAndIdentityAreNeutral) {
    const Transform t;
    expectNear(t.position, 0, 0, 0);
    expectNear(t.rotation, 0, 0, 0, 1);
    expectNear(t.scale, 1, 1, 1);
    expectNear(kesh::identityTransform.scale, 1, 1, 1);
    expectNear(kesh::identityTransform.rotation, 0, 0, 0, 1);

    D3DXMATRIX m;
    kesh::identityTransform.toMatrix(&m);
    EXPECT_TRUE(D3DXMatrixIsIdentity(&m));
}

TEST(Transform, DecomposesPureScaling) {
    D3DXMATRIX m;
    D3DXMatrixScaling(&m, 2, 3, 4);
    const Transform t(m);
    expectNear(t.scale, 2, 3, 4);
    expectNear(t.rotation, 0, 0, 0, 1);
    expectNear(t.position, 0, 0, 0);
}

TEST(Transform, DecomposesHalfTurnsThroughTheLargestDiagonalBranch) {
    // 180 degrees about y: the trace test fails and the y branch applies.
    expectNear(Transform(basis(-1, 0, 0, 0, 1, 0, 0, 0, -1)).rotation, 0, 1, 0, 0);
    expectNear(Transform(basis(1, 0, 0, 0, -1, 0, 0, 0, -1)).rotation, 1, 0, 0, 0);
    expectNear(Transform(basis(-1, 0, 0, 0, -1, 0, 0, 0, 1)).rotation, 0, 0, 1, 0);
    // 180 degrees about (1, 1, 0): r11 = r22 > r33, the tie goes to y.
    const float h = std::sqrt(0.5f);
    expectNear(Transform(basis(0, 1, 0, 1, 0, 0, 0, 0, -1)).rotation, h, h, 0, 0);
}

TEST(Transform, MatrixRoundTripForRotationScaleTranslation) {
    D3DXMATRIX scale, rotation, translation;
    D3DXMatrixScaling(&scale, 0.5f, 2.0f, 3.0f);
    D3DXMatrixRotationYawPitchRoll(&rotation, 2.5f, -0.4f, 1.2f);
    D3DXMatrixTranslation(&translation, -7, 8, 9);
    const D3DXMATRIX original = scale * rotation * translation;

    const Transform t(original);
    expectNear(t.position, -7, 8, 9);
    expectNear(t.scale, 0.5f, 2.0f, 3.0f);
    EXPECT_NEAR(D3DXQuaternionLength(&t.rotation), 1.0f, 1e-5f);

    D3DXMATRIX rebuilt;
    t.toMatrix(&rebuilt);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(rebuilt.m[r][c], original.m[r][c], 1e-5f) << r << "," << c;
        }
    }
}

TEST(Transform, ZeroLengthBasisRowGivesZeroScaleAndIdentityRotation) {
    D3DXMATRIX m;
    D3DXMatrixRotationY(&m, 0.8f);
    m._21 = m._22 = m._23 = 0.0f;
    m._41 = 3.0f;
    const Transform t(m);
    expectNear(t.rotation, 0, 0, 0, 1);
    EXPECT_EQ(t.scale.y, 0.0f);
    EXPECT_NEAR(t.scale.x, 1.0f, 1e-6f);
    EXPECT_EQ(t.position.x, 3.0f);

    const Transform collapsed(D3DXMATRIX{});
    EXPECT_FALSE(std::isnan(collapsed.rotation.w));
    expectNear(collapsed.scale, 0, 0, 0);
}

TEST(Transform, ToMatrixScalesThenRotatesThenTranslates) {
    Transform t;
    t.scale = D3DXVECTOR3(2, 1, 1);
    t.rotation = kesh::makeRotationQuaternion(D3DXVECTOR3(0, 0, 1), D3DX_PI / 2.0f);
    t.position = D3DXVECTOR3(10, 0, 0);
    D3DXMATRIX m;
    t.toMatrix(&m);
    D3DXVECTOR3 out;
    const D3DXVECTOR3 x(1, 0, 0);
    // Scaled to (2, 0, 0), turned onto y, then moved.
    expectNear(*D3DXVec3TransformCoord(&out, &x, &m), 10, 2, 0);
}

TEST(Transform, RotateVectorAgreesWithTheRotationMatrix) {
    const D3DXQUATERNION q = kesh::makeRotationQuaternion(D3DXVECTOR3(1, 2, -1), 1.3f);
    D3DXMATRIX m;
    D3DXMatrixRotationQuaternion(&m, &q);
    const D3DXVECTOR3 v(0.3f, -2.0f, 5.0f);
    D3DXVECTOR3 byMatrix, byQuaternion;
    D3DXVec3TransformNormal(&byMatrix, &v, &m);
    kesh::rotateByQuaternion(&byQuaternion, v, q);
    expectNear(byQuaternion, byMatrix.x, byMatrix.y, byMatrix.z);

    Transform t;
    t.rotation = kesh::makeRotationQuaternion(D3DXVECTOR3(0, 1, 0), D3DX_PI / 2.0f);
    D3DXVECTOR3 turned(1, 0, 0);
    t.rotateVector(&turned, &turned);  // in place
    expectNear(turned, 0, 0, -1);
}

TEST(Transform, RotationRoundsExactlyAsTheTwoQuaternionProducts) {
    // The car's path depends on every bit of it.
    D3DXQUATERNION q;
    const D3DXVECTOR3 axis(0.3f, -1.0f, 0.7f);
    for (float angle : {0.0f, 0.1f, 1.3f, 3.1f, -2.2f}) {
        D3DXQuaternionRotationAxis(&q, &axis, angle);
        for (const D3DXVECTOR3& v :
             {D3DXVECTOR3(1e-3f, 2.0f, -7.5f), D3DXVECTOR3(-30.0f, 0.25f, 1e4f)}) {
            const D3DXQUATERNION p(v.x, v.y, v.z, 0.0f);
            const D3DXQUATERNION conjugate(-q.x, -q.y, -q.z, q.w);
            D3DXQUATERNION t, r;
            D3DXQuaternionMultiply(&t, &conjugate, &p);
            D3DXQuaternionMultiply(&r, &t, &q);
            D3DXVECTOR3 out;
            kesh::rotateByQuaternion(&out, v, q);
            EXPECT_EQ(out.x, r.x) << angle;
            EXPECT_EQ(out.y, r.y) << angle;
            EXPECT_EQ(out.z, r.z) << angle;
        }
    }
}
