// The coarse grid over the level's statics that answers which statics lie near a box
// (the chase camera's view segment) without testing every one.
#pragma once

#include <d3dx9math.h>

#include <vector>

#include "engine/core/bounding_box.h"

class StaticInstance;

struct StaticsGridCell {
    kesh::BoundingBox box;
    D3DXVECTOR3 centre;
    float radius;
    std::vector<StaticInstance*> statics;  // not owned
};

class StaticsGrid {
public:
    // The cells of a range, x outer and z inner; empty when x1 < x0 or z1 < z0.
    struct CellRange {
        int x0, x1, z0, z1;
    };

    // cellsX x cellsZ cells over box on x and z, each over the whole of box in y.
    StaticsGrid(const kesh::BoundingBox& box, int cellsX = 40, int cellsZ = 40);

    // The cells box overlaps on x and z; a box beyond the grid on either side of an axis
    // overlaps none, one reaching past an edge stops at the border cells.
    CellRange overlapped(const kesh::BoundingBox& box) const;
    // Registers s in every cell its world box overlaps.
    void insert(StaticInstance* s, const kesh::BoundingBox& worldBox);

    StaticsGridCell& cell(int ix, int iz) {
        return cells[static_cast<std::size_t>(cellsX * iz + ix)];
    }
    const StaticsGridCell& cell(int ix, int iz) const {
        return cells[static_cast<std::size_t>(cellsX * iz + ix)];
    }

    kesh::BoundingBox box;
    float cellSizeX;
    float cellSizeZ;
    int cellsX;
    int cellsZ;
    std::vector<StaticsGridCell> cells;  // z outer, x inner
};
