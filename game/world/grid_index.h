// Cell numbers of the level's two grids (the statics' query grid and the effect cells),
// computed so that no coordinate, however far outside or degenerate, reaches an int
// conversion unclamped.
#pragma once

#include <cmath>

#include "engine/core/bounding_box.h"

namespace grid_index {

// floor((value - origin) / size) as a float; 0 for a cell size of 0 or less and for a
// coordinate that is not a number.
inline float cellCoordinate(float value, float origin, float size) {
    if (!(size > 0.0f)) {
        return 0.0f;
    }
    const float coordinate = std::floor((value - origin) / size);
    return std::isnan(coordinate) ? 0.0f : coordinate;
}

// coordinate clamped to 0 .. count - 1 before it becomes an int.
inline int clampedCell(float coordinate, int count) {
    if (coordinate < 0.0f) {
        return 0;
    }
    const float last = static_cast<float>(count - 1);
    return coordinate > last ? count - 1 : static_cast<int>(coordinate);
}

// Cell (ix, iz) of a grid over box with cells of sizeX by sizeZ: the full height of box.
inline kesh::BoundingBox cellBox(const kesh::BoundingBox& box, float sizeX, float sizeZ, int ix,
                                 int iz) {
    kesh::BoundingBox cell;
    cell.min = D3DXVECTOR3(box.min.x + static_cast<float>(ix) * sizeX, box.min.y,
                           box.min.z + static_cast<float>(iz) * sizeZ);
    cell.max = D3DXVECTOR3(box.min.x + static_cast<float>(ix + 1) * sizeX, box.max.y,
                           box.min.z + static_cast<float>(iz + 1) * sizeZ);
    return cell;
}

}  // namespace grid_index
