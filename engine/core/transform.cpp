#include "engine/core/transform.h"

#include <cmath>

namespace kesh {

const Transform identityTransform;

namespace {

// Rotation of an orthonormal basis (rows r) as a quaternion; r[R][C] is rRC, 0-based.
D3DXQUATERNION quaternionFromBasis(const float r[3][3]) {
    const float t = r[0][0] + r[1][1] + r[2][2] + 1.0f;
    if (t >= 1e-6f) {
        const float s = 2.0f * std::sqrt(t);
        return D3DXQUATERNION((r[1][2] - r[2][1]) / s, (r[2][0] - r[0][2]) / s,
                              (r[0][1] - r[1][0]) / s, s / 4.0f);
    }
    if (r[0][0] > r[1][1] && r[0][0] > r[2][2]) {
        const float s = 2.0f * std::sqrt(r[0][0] + 1.0f - r[1][1] - r[2][2]);
        return D3DXQUATERNION(s / 4.0f, (r[0][1] + r[1][0]) / s, (r[0][2] + r[2][0]) / s,
                              (r[1][2] - r[2][1]) / s);
    }
    if (r[1][1] > r[2][2]) {
        const float s = 2.0f * std::sqrt(r[1][1] + 1.0f - r[0][0] - r[2][2]);
        return D3DXQUATERNION((r[0][1] + r[1][0]) / s, s / 4.0f, (r[1][2] + r[2][1]) / s,
                              (r[2][0] - r[0][2]) / s);
    }
    const float s = 2.0f * std::sqrt(r[2][2] + 1.0f - r[0][0] - r[1][1]);
    return D3DXQUATERNION((r[0][2] + r[2][0]) / s, (r[1][2] + r[2][1]) / s, s / 4.0f,
                          (r[0][1] - r[1][0]) / s);
}

}  // namespace

Transform::Transform(const D3DXMATRIX& m) : Transform() {
    position = D3DXVECTOR3(m._41, m._42, m._43);
    float* scales = scale;
    bool degenerate = false;
    float r[3][3];
    for (int row = 0; row < 3; ++row) {
        const float length = std::sqrt(m.m[row][0] * m.m[row][0] + m.m[row][1] * m.m[row][1] +
                                       m.m[row][2] * m.m[row][2]);
        scales[row] = length;
        if (length == 0.0f) {
            degenerate = true;
            continue;
        }
        for (int col = 0; col < 3; ++col) {
            r[row][col] = m.m[row][col] / length;
        }
    }
    // A collapsed axis leaves no basis to read a rotation from; dividing by its zero
    // scale would spread NaN through every later use of the transform.
    rotation = degenerate ? D3DXQUATERNION(0.0f, 0.0f, 0.0f, 1.0f) : quaternionFromBasis(r);
}

void Transform::toMatrix(D3DXMATRIX* out) const {
    D3DXMatrixRotationQuaternion(out, &rotation);
    const float* scales = scale;
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            out->m[row][col] *= scales[row];
        }
    }
    out->_41 = position.x;
    out->_42 = position.y;
    out->_43 = position.z;
    out->_44 = 1.0f;
}

void Transform::rotateVector(D3DXVECTOR3* out, const D3DXVECTOR3* v) const {
    rotateByQuaternion(out, *v, rotation);
}

namespace {

// D3DXQuaternionMultiply(a, b) term for term, in its order, so that the rounding is the same;
// here the compiler keeps it in registers (the car rotates a dozen vectors a physics step).
struct Product {
    float x, y, z, w;
};
inline Product multiply(const Product& q, const Product& p) {
    return {p.w * q.x + p.x * q.w + p.y * q.z - p.z * q.y,
            p.w * q.y - p.x * q.z + p.y * q.w + p.z * q.x,
            p.w * q.z + p.x * q.y - p.y * q.x + p.z * q.w,
            p.w * q.w - p.x * q.x - p.y * q.y - p.z * q.z};
}

}  // namespace

void rotateByQuaternion(D3DXVECTOR3* out, const D3DXVECTOR3& v, const D3DXQUATERNION& q) {
    const Product p{v.x, v.y, v.z, 0.0f};
    const Product conjugate{-q.x, -q.y, -q.z, q.w};
    const Product t = multiply(conjugate, p);
    const Product r = multiply(t, Product{q.x, q.y, q.z, q.w});
    *out = D3DXVECTOR3(r.x, r.y, r.z);
}

D3DXQUATERNION makeRotationQuaternion(const D3DXVECTOR3& axis, float angle) {
    D3DXQUATERNION q;
    D3DXQuaternionRotationAxis(&q, &axis, angle);
    return q;
}

}  // namespace kesh
