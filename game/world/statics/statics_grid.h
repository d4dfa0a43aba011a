// The coarse grid over the level's statics that answers which statics lie near a box
// (the chase camera's view segment) without testing every one.
#pragma once

#include <d3dx9math.h>

#include <vector>

#include "engine/core/bounding_box.h"
#include "game/world/grid_index.h"

class StaticInstance;

struct StaticsGridCell : grid_index::CellBounds {
    std::vector<StaticInstance*> statics;  // not owned
};

class StaticsGrid : public grid_index::Grid<StaticsGridCell> {
public:
    // The cells of a range, x outer and z inner; empty when x1 < x0 or z1 < z0.
    struct CellRange {
        int x0, x1, z0, z1;
    };

    // cellsX x cellsZ cells over box on x and z, each over the whole of box in y.
    explicit StaticsGrid(const kesh::BoundingBox& box, int cellsX = 40, int cellsZ = 40)
        : Grid(box, cellsX, cellsZ) {}

    // The cells box overlaps on x and z; a box beyond the grid on either side of an axis
    // overlaps none, one reaching past an edge stops at the border cells.
    CellRange overlapped(const kesh::BoundingBox& box) const;
    // Registers s in every cell its world box overlaps.
    void insert(StaticInstance* s, const kesh::BoundingBox& worldBox);
};
