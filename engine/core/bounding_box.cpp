#include "engine/core/bounding_box.h"

#include <cmath>

namespace kesh {

BoundingBox::BoundingBox(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
    : min(std::fmin(a.x, b.x), std::fmin(a.y, b.y), std::fmin(a.z, b.z)),
      max(std::fmax(a.x, b.x), std::fmax(a.y, b.y), std::fmax(a.z, b.z)) {}

void BoundingBox::extend(const D3DXVECTOR3& p) {
    float* lo = min;
    float* hi = max;
    const float* point = p;
    for (int axis = 0; axis < 3; ++axis) {
        if (point[axis] > hi[axis]) {
            hi[axis] = point[axis];
        }
        if (point[axis] < lo[axis]) {
            lo[axis] = point[axis];
        }
    }
}

void BoundingBox::merge(const BoundingBox& other) {
    float* lo = min;
    float* hi = max;
    const float* otherLo = other.min;
    const float* otherHi = other.max;
    for (int axis = 0; axis < 3; ++axis) {
        if (otherHi[axis] > hi[axis]) {
            hi[axis] = otherHi[axis];
        }
        if (otherLo[axis] < lo[axis]) {
            lo[axis] = otherLo[axis];
        }
    }
}

bool BoundingBox::contains(const D3DXVECTOR3& p) const {
    return p.x >= min.x && p.y >= min.y && p.z >= min.z && p.x <= max.x && p.y <= max.y &&
           p.z <= max.z;
}

bool BoundingBox::containsWithin(float tolerance, const D3DXVECTOR3& p) const {
    const D3DXVECTOR3 below = p - min;
    const D3DXVECTOR3 above = max - p;
    return below.x >= -tolerance && below.y >= -tolerance && below.z >= -tolerance &&
           above.x >= -tolerance && above.y >= -tolerance && above.z >= -tolerance;
}

bool BoundingBox::intersectsFrustum(const D3DXPLANE planes[6]) const {
    for (int plane = 0; plane < 6; ++plane) {
        int behind = 0;
        for (int corner = 0; corner < 8; ++corner) {
            const D3DXVECTOR3 p((corner & 1) ? min.x : max.x, (corner & 2) ? min.y : max.y,
                                (corner & 4) ? min.z : max.z);
            if (D3DXPlaneDotCoord(&planes[plane], &p) < 0.0f) {
                ++behind;
            }
        }
        if (behind == 8) {
            return false;
        }
    }
    // No plane rejects the box: it may be visible, including when it encloses the whole
    // view volume and so straddles every plane.
    return true;
}

bool sphereInFrustum(const D3DXPLANE planes[6], const D3DXVECTOR3& centre, float radius) {
    for (int plane = 0; plane < 6; ++plane) {
        if (D3DXPlaneDotCoord(&planes[plane], &centre) < -radius) {
            return false;
        }
    }
    return true;
}

D3DXVECTOR3 segmentIntersectsBox(const BoundingBox& box, const D3DXVECTOR3& origin,
                                 const D3DXVECTOR3& dir) {
    const D3DXVECTOR3 end = origin + dir;
    const float length = D3DXVec3Length(&dir);
    const float* direction = dir;
    const float* lo = box.min;
    const float* hi = box.max;
    for (int axis = 0; axis < 3; ++axis) {
        // The face the segment meets first on this axis: the lower bound when it travels
        // up the axis, the upper bound when it travels down.
        float normal[3] = {0.0f, 0.0f, 0.0f};
        normal[axis] = 1.0f;
        const float bound = direction[axis] >= 0.0f ? lo[axis] : hi[axis];
        const D3DXPLANE face(normal[0], normal[1], normal[2], -bound);
        D3DXVECTOR3 hit;
        if (!D3DXPlaneIntersectLine(&hit, &face, &origin, &end)) {
            continue;  // the segment runs parallel to this face
        }
        const D3DXVECTOR3 offset = hit - origin;
        // The line extends both ways; only points between origin and origin + dir count.
        if (D3DXVec3Dot(&offset, &dir) < 0.0f) {
            continue;
        }
        if (box.containsWithin(0.01f, hit) && D3DXVec3Length(&offset) < length) {
            return hit;
        }
    }
    return origin;
}

}  // namespace kesh
