#include "game/world/statics/statics_grid.h"

#include "game/world/grid_index.h"

using grid_index::cellCoordinate;

StaticsGrid::CellRange StaticsGrid::overlapped(const kesh::BoundingBox& b) const {
    const CellRange none{0, -1, 0, -1};
    const float x0 = cellCoordinate(b.min.x, box.min.x, cellSizeX);
    const float z0 = cellCoordinate(b.min.z, box.min.z, cellSizeZ);
    if (x0 >= static_cast<float>(cellsX) || z0 >= static_cast<float>(cellsZ)) {
        return none;
    }
    const float x1 = cellCoordinate(b.max.x, box.min.x, cellSizeX);
    const float z1 = cellCoordinate(b.max.z, box.min.z, cellSizeZ);
    if (x1 < 0.0f || z1 < 0.0f) {
        return none;
    }
    return CellRange{grid_index::clampedCell(x0, cellsX), grid_index::clampedCell(x1, cellsX),
                     grid_index::clampedCell(z0, cellsZ), grid_index::clampedCell(z1, cellsZ)};
}

void StaticsGrid::insert(StaticInstance* s, const kesh::BoundingBox& worldBox) {
    const CellRange range = overlapped(worldBox);
    for (int ix = range.x0; ix <= range.x1; ++ix) {
        for (int iz = range.z0; iz <= range.z1; ++iz) {
            cell(ix, iz).statics.push_back(s);
        }
    }
}
