#include "engine/core/oriented_box.h"

namespace kesh {

OrientedBox::OrientedBox() {
    D3DXMatrixIdentity(&world);
    D3DXMatrixIdentity(&inverseWorld);
}

OrientedBox::OrientedBox(const D3DXVECTOR3& min, const D3DXVECTOR3& max, const D3DXMATRIX& world)
    : OrientedBox() {
    localBox = BoundingBox(min, max);
    setWorld(world);
}

void OrientedBox::setWorld(const D3DXMATRIX& newWorld) {
    world = newWorld;
    D3DXMatrixInverse(&inverseWorld, nullptr, &world);
}

BoundingBox OrientedBox::worldBounds() const {
    const D3DXVECTOR3 centre = (localBox.min + localBox.max) * 0.5f;
    BoundingBox bounds;
    D3DXVec3TransformCoord(&bounds.min, &centre, &world);
    bounds.max = bounds.min;
    for (int corner = 0; corner < 8; ++corner) {
        const D3DXVECTOR3 local((corner & 1) ? localBox.min.x : localBox.max.x,
                                (corner & 2) ? localBox.min.y : localBox.max.y,
                                (corner & 4) ? localBox.min.z : localBox.max.z);
        D3DXVECTOR3 placed;
        D3DXVec3TransformCoord(&placed, &local, &world);
        bounds.extend(placed);
    }
    return bounds;
}

D3DXVECTOR3 OrientedBox::intersectsSegment(D3DXVECTOR3 start, D3DXVECTOR3 end) const {
    D3DXVECTOR3 localStart, localEnd, result;
    D3DXVec3TransformCoord(&localStart, &start, &inverseWorld);
    D3DXVec3TransformCoord(&localEnd, &end, &inverseWorld);
    const D3DXVECTOR3 hit = segmentIntersectsBox(localBox, localStart, localEnd - localStart);
    D3DXVec3TransformCoord(&result, &hit, &world);
    return result;
}

}  // namespace kesh
