// Brings the level's effects in and out of view. Effects whose name begins with "win" (lit
// windows) are stored in the cell that holds them and live only while that cell is in view,
// at most six per cell from a random start; every other effect is made once and kept.
#pragma once

#include <d3dx9math.h>

#include <string>
#include <vector>

#include "engine/core/bounding_box.h"
#include "engine/render/camera_view.h"
#include "engine/render/visual_effects/effect_handle.h"
#include "game/world/cells/cell_grid.h"

namespace kesh {
class EffectManager;
}

class LevelCellGrid {
public:
    static constexpr std::size_t kMaxEffectsPerCell = 6;

    // The manager is not owned and must outlive the grid.
    LevelCellGrid(kesh::EffectManager* effectManager, const kesh::BoundingBox& box, int cellsX = 16,
                  int cellsZ = 16);
    ~LevelCellGrid();
    LevelCellGrid(const LevelCellGrid&) = delete;
    LevelCellGrid& operator=(const LevelCellGrid&) = delete;

    // Stores the effect in the cell of the matrix's translation, for when that cell shows.
    void insertEffect(const D3DXMATRIX& transform, const std::string& effect);
    // Makes the effect now, placed at transform, and keeps it as long as the grid.
    void addEffect(const D3DXMATRIX& transform, const std::string& effect);
    // Once a frame: cells that left the view lose their effects, cells that came into view
    // get theirs.
    void updateVisibility(const kesh::CameraView& camera);

    kesh::BoundingBox box;
    CellGrid grid;
    std::vector<LevelCell*> visibleCells;  // in cell order
    std::vector<kesh::effect::EffectHandle> globalEffects;
    kesh::EffectManager* effectManager;

private:
    std::vector<LevelCell*> nowVisible;
    std::vector<LevelCell*> gotVisible;
    std::vector<LevelCell*> gotInvisible;
};
