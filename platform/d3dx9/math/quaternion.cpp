// Quaternion operations of the D3DX math library.
#include <cmath>

#include "d3dx9math.h"

D3DXQUATERNION& D3DXQUATERNION::operator+=(const D3DXQUATERNION& q) {
    return *this = *this + q;
}
D3DXQUATERNION& D3DXQUATERNION::operator-=(const D3DXQUATERNION& q) {
    return *this = *this - q;
}
D3DXQUATERNION& D3DXQUATERNION::operator*=(const D3DXQUATERNION& q) {
    D3DXQuaternionMultiply(this, this, &q);
    return *this;
}
D3DXQUATERNION& D3DXQUATERNION::operator*=(float f) {
    return *this = *this * f;
}
D3DXQUATERNION& D3DXQUATERNION::operator/=(float f) {
    return *this = *this / f;
}

D3DXQUATERNION D3DXQUATERNION::operator*(const D3DXQUATERNION& q) const {
    D3DXQUATERNION result;
    D3DXQuaternionMultiply(&result, this, &q);
    return result;
}

D3DXQUATERNION* D3DXQuaternionIdentity(D3DXQUATERNION* out) {
    *out = D3DXQUATERNION(0.0f, 0.0f, 0.0f, 1.0f);
    return out;
}

float D3DXQuaternionDot(const D3DXQUATERNION* a, const D3DXQUATERNION* b) {
    return a->x * b->x + a->y * b->y + a->z * b->z + a->w * b->w;
}

float D3DXQuaternionLength(const D3DXQUATERNION* q) {
    return std::sqrt(D3DXQuaternionDot(q, q));
}

D3DXQUATERNION* D3DXQuaternionConjugate(D3DXQUATERNION* out, const D3DXQUATERNION* q) {
    *out = D3DXQUATERNION(-q->x, -q->y, -q->z, q->w);
    return out;
}

D3DXQUATERNION* D3DXQuaternionNormalize(D3DXQUATERNION* out, const D3DXQUATERNION* q) {
    const float length = D3DXQuaternionLength(q);
    *out = length > 0.0f ? *q / length : D3DXQUATERNION();
    return out;
}

D3DXQUATERNION* D3DXQuaternionMultiply(D3DXQUATERNION* out, const D3DXQUATERNION* a,
                                       const D3DXQUATERNION* b) {
    // Hamilton product p q with p = b and q = a, so that a applies first.
    const D3DXQUATERNION p = *b, q = *a;
    *out = D3DXQUATERNION(p.w * q.x + p.x * q.w + p.y * q.z - p.z * q.y,
                          p.w * q.y - p.x * q.z + p.y * q.w + p.z * q.x,
                          p.w * q.z + p.x * q.y - p.y * q.x + p.z * q.w,
                          p.w * q.w - p.x * q.x - p.y * q.y - p.z * q.z);
    return out;
}

D3DXQUATERNION* D3DXQuaternionRotationAxis(D3DXQUATERNION* out, const D3DXVECTOR3* axis,
                                           float angle) {
    D3DXVECTOR3 n;
    D3DXVec3Normalize(&n, axis);
    const float s = std::sin(angle / 2.0f);
    *out = D3DXQUATERNION(n.x * s, n.y * s, n.z * s, std::cos(angle / 2.0f));
    return out;
}
