// A box in an object's own space together with the object's placement in the world.
#pragma once

#include <d3dx9math.h>

#include "engine/core/bounding_box.h"

namespace kesh {

struct OrientedBox {
    OrientedBox();
    OrientedBox(const D3DXVECTOR3& min, const D3DXVECTOR3& max, const D3DXMATRIX& world);

    // Replaces world and its inverse. A singular matrix keeps the previous inverse.
    void setWorld(const D3DXMATRIX& world);
    // The world-space box enclosing the eight transformed corners.
    BoundingBox worldBounds() const;
    // The world point where the segment from start to end meets the box; start when it
    // does not.
    D3DXVECTOR3 intersectsSegment(D3DXVECTOR3 start, D3DXVECTOR3 end) const;

    BoundingBox localBox;
    D3DXMATRIX world;
    D3DXMATRIX inverseWorld;
};

}  // namespace kesh
