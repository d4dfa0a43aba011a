// Plane and colour operations of the D3DX math library.
#include <cmath>

#include "d3dx9math.h"

float D3DXPlaneDot(const D3DXPLANE* p, const D3DXVECTOR4* v) {
    return p->a * v->x + p->b * v->y + p->c * v->z + p->d * v->w;
}

float D3DXPlaneDotCoord(const D3DXPLANE* p, const D3DXVECTOR3* v) {
    return p->a * v->x + p->b * v->y + p->c * v->z + p->d;
}

float D3DXPlaneDotNormal(const D3DXPLANE* p, const D3DXVECTOR3* v) {
    return p->a * v->x + p->b * v->y + p->c * v->z;
}

D3DXPLANE* D3DXPlaneNormalize(D3DXPLANE* out, const D3DXPLANE* p) {
    const float length = std::sqrt(p->a * p->a + p->b * p->b + p->c * p->c);
    // A plane without a normal has no distance scale; return it as all zeros, not NaN.
    *out = length > 0.0f ? *p / length : D3DXPLANE();
    return out;
}

D3DXPLANE* D3DXPlaneFromPointNormal(D3DXPLANE* out, const D3DXVECTOR3* point,
                                    const D3DXVECTOR3* normal) {
    *out = D3DXPLANE(normal->x, normal->y, normal->z, -D3DXVec3Dot(point, normal));
    return out;
}

D3DXVECTOR3* D3DXPlaneIntersectLine(D3DXVECTOR3* out, const D3DXPLANE* p, const D3DXVECTOR3* p1,
                                    const D3DXVECTOR3* p2) {
    const D3DXVECTOR3 direction = *p2 - *p1;
    const float along = D3DXPlaneDotNormal(p, &direction);
    if (along == 0.0f) {
        return nullptr;
    }
    const float t = -D3DXPlaneDotCoord(p, p1) / along;
    *out = *p1 + direction * t;
    return out;
}

D3DXCOLOR::D3DXCOLOR(D3DCOLOR argb)
    : r(static_cast<float>((argb >> 16) & 0xffu) / 255.0f),
      g(static_cast<float>((argb >> 8) & 0xffu) / 255.0f),
      b(static_cast<float>(argb & 0xffu) / 255.0f),
      a(static_cast<float>((argb >> 24) & 0xffu) / 255.0f) {}

namespace {

std::uint32_t toByte(float f) {
    if (f >= 1.0f) {
        return 255u;
    }
    if (!(f > 0.0f)) {  // also NaN
        return 0u;
    }
    return static_cast<std::uint32_t>(f * 255.0f + 0.5f);
}

}  // namespace

D3DXCOLOR::operator D3DCOLOR() const {
    return (toByte(a) << 24) | (toByte(r) << 16) | (toByte(g) << 8) | toByte(b);
}

D3DXCOLOR& D3DXCOLOR::operator+=(const D3DXCOLOR& c) {
    return *this = *this + c;
}
D3DXCOLOR& D3DXCOLOR::operator-=(const D3DXCOLOR& c) {
    return *this = *this - c;
}
D3DXCOLOR& D3DXCOLOR::operator*=(float f) {
    return *this = *this * f;
}
D3DXCOLOR& D3DXCOLOR::operator/=(float f) {
    return *this = *this / f;
}

D3DXCOLOR* D3DXColorLerp(D3DXCOLOR* out, const D3DXCOLOR* a, const D3DXCOLOR* b, float s) {
    *out = *a + (*b - *a) * s;
    return out;
}

D3DXCOLOR* D3DXColorModulate(D3DXCOLOR* out, const D3DXCOLOR* a, const D3DXCOLOR* b) {
    *out = D3DXCOLOR(a->r * b->r, a->g * b->g, a->b * b->b, a->a * b->a);
    return out;
}
