// The level's two grids (the statics' query grid and the effect cells): their cells and the
// cell numbers of a point, computed so that no coordinate, however far outside or degenerate,
// reaches an int conversion unclamped.
#pragma once

#include <d3dx9math.h>

#include <cmath>
#include <cstddef>
#include <vector>

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

// Where a cell of either grid lies: its box over the whole height of the grid, and the sphere
// around that box.
struct CellBounds {
    kesh::BoundingBox box;
    D3DXVECTOR3 centre;
    float radius;
};

// cellsX by cellsZ cells over box on x and z, z outer and x inner, each knowing its bounds.
// Cell is a CellBounds with what the grid keeps in each cell.
template <typename Cell>
class Grid {
public:
    Grid(const kesh::BoundingBox& box, int cellsX, int cellsZ)
        : box(box),
          cellSizeX((box.max.x - box.min.x) / static_cast<float>(cellsX)),
          cellSizeZ((box.max.z - box.min.z) / static_cast<float>(cellsZ)),
          cellsX(cellsX),
          cellsZ(cellsZ) {
        cells.resize(static_cast<std::size_t>(cellsX * cellsZ));
        for (int iz = 0; iz < cellsZ; ++iz) {
            for (int ix = 0; ix < cellsX; ++ix) {
                CellBounds& bounds = cell(ix, iz);
                bounds.box.min =
                    D3DXVECTOR3(box.min.x + static_cast<float>(ix) * cellSizeX, box.min.y,
                                box.min.z + static_cast<float>(iz) * cellSizeZ);
                bounds.box.max =
                    D3DXVECTOR3(box.min.x + static_cast<float>(ix + 1) * cellSizeX, box.max.y,
                                box.min.z + static_cast<float>(iz + 1) * cellSizeZ);
                bounds.centre = (bounds.box.min + bounds.box.max) * 0.5f;
                const D3DXVECTOR3 diagonal = bounds.box.max - bounds.box.min;
                bounds.radius = D3DXVec3Length(&diagonal) * 0.5f;
            }
        }
    }

    Cell& cell(int ix, int iz) { return cells[static_cast<std::size_t>(cellsX * iz + ix)]; }
    const Cell& cell(int ix, int iz) const {
        return cells[static_cast<std::size_t>(cellsX * iz + ix)];
    }

    kesh::BoundingBox box;
    float cellSizeX;
    float cellSizeZ;
    int cellsX;
    int cellsZ;
    std::vector<Cell> cells;  // z outer, x inner
};

}  // namespace grid_index
