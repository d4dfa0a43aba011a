// Axis-aligned boxes and the visibility and segment queries built on them.
#pragma once

#include <d3dx9math.h>

namespace kesh {

struct BoundingBox {
    BoundingBox() = default;
    // The box spanned by two opposite corners, in any order.
    BoundingBox(const D3DXVECTOR3& a, const D3DXVECTOR3& b);

    void extend(const D3DXVECTOR3& p);
    void merge(const BoundingBox& other);
    // Bounds included.
    bool contains(const D3DXVECTOR3& p) const;
    // As contains, with the box grown by tolerance on every side.
    bool containsWithin(float tolerance, const D3DXVECTOR3& p) const;
    // planes: the six frustum planes with inward normals. False only when one plane has
    // the whole box behind it; true is "possibly visible".
    bool intersectsFrustum(const D3DXPLANE planes[6]) const;

    D3DXVECTOR3 min;
    D3DXVECTOR3 max;
};

// False only when the sphere lies entirely behind one of the six planes.
bool sphereInFrustum(const D3DXPLANE planes[6], const D3DXVECTOR3& centre, float radius);

// Where the segment from origin to origin + dir first enters box through one of the faces
// it faces; origin when it does not.
D3DXVECTOR3 segmentIntersectsBox(const BoundingBox& box, const D3DXVECTOR3& origin,
                                 const D3DXVECTOR3& dir);

}  // namespace kesh
