// Vector operations of the D3DX math library.
#include <cmath>

#include "d3dx9math.h"

D3DXVECTOR2& D3DXVECTOR2::operator+=(const D3DXVECTOR2& v) {
    x += v.x;
    y += v.y;
    return *this;
}
D3DXVECTOR2& D3DXVECTOR2::operator-=(const D3DXVECTOR2& v) {
    x -= v.x;
    y -= v.y;
    return *this;
}
D3DXVECTOR2& D3DXVECTOR2::operator*=(float f) {
    x *= f;
    y *= f;
    return *this;
}
D3DXVECTOR2& D3DXVECTOR2::operator/=(float f) {
    x /= f;
    y /= f;
    return *this;
}

D3DXVECTOR3& D3DXVECTOR3::operator+=(const D3DXVECTOR3& v) {
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
}
D3DXVECTOR3& D3DXVECTOR3::operator-=(const D3DXVECTOR3& v) {
    x -= v.x;
    y -= v.y;
    z -= v.z;
    return *this;
}
D3DXVECTOR3& D3DXVECTOR3::operator*=(float f) {
    x *= f;
    y *= f;
    z *= f;
    return *this;
}
D3DXVECTOR3& D3DXVECTOR3::operator/=(float f) {
    x /= f;
    y /= f;
    z /= f;
    return *this;
}

D3DXVECTOR4& D3DXVECTOR4::operator+=(const D3DXVECTOR4& v) {
    x += v.x;
    y += v.y;
    z += v.z;
    w += v.w;
    return *this;
}
D3DXVECTOR4& D3DXVECTOR4::operator-=(const D3DXVECTOR4& v) {
    x -= v.x;
    y -= v.y;
    z -= v.z;
    w -= v.w;
    return *this;
}
D3DXVECTOR4& D3DXVECTOR4::operator*=(float f) {
    x *= f;
    y *= f;
    z *= f;
    w *= f;
    return *this;
}
D3DXVECTOR4& D3DXVECTOR4::operator/=(float f) {
    x /= f;
    y /= f;
    z /= f;
    w /= f;
    return *this;
}

float D3DXVec2LengthSq(const D3DXVECTOR2* v) {
    return v->x * v->x + v->y * v->y;
}
float D3DXVec2Length(const D3DXVECTOR2* v) {
    return std::sqrt(D3DXVec2LengthSq(v));
}
float D3DXVec2Dot(const D3DXVECTOR2* a, const D3DXVECTOR2* b) {
    return a->x * b->x + a->y * b->y;
}

namespace {

// In double, so that the squares of very short vectors do not underflow to a zero length.
double normaliseScale(double x, double y, double z, double w) {
    const double length = std::sqrt(x * x + y * y + z * z + w * w);
    // A zero vector stays zero instead of becoming NaN.
    return length > 0.0 ? 1.0 / length : 0.0;
}

}  // namespace

D3DXVECTOR2* D3DXVec2Normalize(D3DXVECTOR2* out, const D3DXVECTOR2* v) {
    const double scale = normaliseScale(v->x, v->y, 0.0, 0.0);
    *out = D3DXVECTOR2(static_cast<float>(v->x * scale), static_cast<float>(v->y * scale));
    return out;
}

float D3DXVec3LengthSq(const D3DXVECTOR3* v) {
    return v->x * v->x + v->y * v->y + v->z * v->z;
}
float D3DXVec3Length(const D3DXVECTOR3* v) {
    return std::sqrt(D3DXVec3LengthSq(v));
}
float D3DXVec3Dot(const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    return a->x * b->x + a->y * b->y + a->z * b->z;
}

D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    *out = D3DXVECTOR3(a->y * b->z - a->z * b->y, a->z * b->x - a->x * b->z,
                       a->x * b->y - a->y * b->x);
    return out;
}

D3DXVECTOR3* D3DXVec3Add(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    *out = *a + *b;
    return out;
}

D3DXVECTOR3* D3DXVec3Subtract(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    *out = *a - *b;
    return out;
}

D3DXVECTOR3* D3DXVec3Scale(D3DXVECTOR3* out, const D3DXVECTOR3* v, float s) {
    *out = *v * s;
    return out;
}

D3DXVECTOR3* D3DXVec3Minimize(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    *out = D3DXVECTOR3(std::fmin(a->x, b->x), std::fmin(a->y, b->y), std::fmin(a->z, b->z));
    return out;
}

D3DXVECTOR3* D3DXVec3Maximize(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    *out = D3DXVECTOR3(std::fmax(a->x, b->x), std::fmax(a->y, b->y), std::fmax(a->z, b->z));
    return out;
}

D3DXVECTOR3* D3DXVec3Lerp(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b, float s) {
    *out = *a + (*b - *a) * s;
    return out;
}

D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v) {
    const double scale = normaliseScale(v->x, v->y, v->z, 0.0);
    *out = D3DXVECTOR3(static_cast<float>(v->x * scale), static_cast<float>(v->y * scale),
                       static_cast<float>(v->z * scale));
    return out;
}

D3DXVECTOR4* D3DXVec3Transform(D3DXVECTOR4* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    const D3DXVECTOR4 point(*v, 1.0f);
    return D3DXVec4Transform(out, &point, m);
}

D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    D3DXVECTOR4 r;
    D3DXVec3Transform(&r, v, m);
    // A point at infinity has no projection; keep the undivided values rather than
    // handing out infinities.
    *out = r.w != 0.0f ? D3DXVECTOR3(r.x / r.w, r.y / r.w, r.z / r.w) : D3DXVECTOR3(r.x, r.y, r.z);
    return out;
}

D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    const D3DXVECTOR4 direction(*v, 0.0f);
    D3DXVECTOR4 r;
    D3DXVec4Transform(&r, &direction, m);
    *out = D3DXVECTOR3(r.x, r.y, r.z);
    return out;
}

float D3DXVec4Dot(const D3DXVECTOR4* a, const D3DXVECTOR4* b) {
    return a->x * b->x + a->y * b->y + a->z * b->z + a->w * b->w;
}
float D3DXVec4Length(const D3DXVECTOR4* v) {
    return std::sqrt(D3DXVec4Dot(v, v));
}

D3DXVECTOR4* D3DXVec4Normalize(D3DXVECTOR4* out, const D3DXVECTOR4* v) {
    const double scale = normaliseScale(v->x, v->y, v->z, v->w);
    *out = D3DXVECTOR4(static_cast<float>(v->x * scale), static_cast<float>(v->y * scale),
                       static_cast<float>(v->z * scale), static_cast<float>(v->w * scale));
    return out;
}

D3DXVECTOR4* D3DXVec4Transform(D3DXVECTOR4* out, const D3DXVECTOR4* v, const D3DXMATRIX* m) {
    const D3DXVECTOR4 in = *v;  // out may alias v
    D3DXVECTOR4 r;
    float* result = r;
    for (int c = 0; c < 4; ++c) {
        result[c] = in.x * m->m[0][c] + in.y * m->m[1][c] + in.z * m->m[2][c] + in.w * m->m[3][c];
    }
    *out = r;
    return out;
}
