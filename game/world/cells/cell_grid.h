// The level's box cut into cells on the horizontal plane, each with the effects that may
// appear in it and those alive while it is in view.
#pragma once

#include <d3dx9math.h>

#include <string>
#include <vector>

#include "engine/core/bounding_box.h"
#include "engine/render/camera_view.h"
#include "engine/render/visual_effects/effect_handle.h"
#include "game/world/grid_index.h"

struct CellEffect {
    D3DXMATRIX transform;
    std::string effect;
};

struct LevelCell : grid_index::CellBounds {
    std::vector<CellEffect> effects;                    // in the order stored
    std::vector<kesh::effect::EffectHandle> instances;  // alive while visible
};

class CellGrid : public grid_index::Grid<LevelCell> {
public:
    using Grid::Grid;

    // The cell of p's x and z; a point outside the box lands in the nearest border cell.
    LevelCell& cellAt(const D3DXVECTOR3& p);
    // Appends the cells in the camera's view to out, in cell order: by box with boxTest,
    // else by bounding sphere.
    void cull(const kesh::CameraView& camera, std::vector<LevelCell*>& out, bool boxTest);
};
