#include "game/world/cells/level_cell_grid.h"

#include <win32/crt.h>

#include <algorithm>
#include <iterator>

#include "engine/core/log.h"
#include "engine/render/log_lines.h"
#include "engine/render/visual_effects/effect_component.h"
#include "engine/render/visual_effects/effect_manager.h"

namespace {

kesh::effect::EffectHandle placedEffect(kesh::EffectManager* manager, const std::string& name,
                                        const D3DXMATRIX& transform) {
    kesh::effect::EffectHandle handle =
        manager ? manager->createEffect(name) : kesh::effect::EffectHandle();
    if (handle.get()) {
        handle->setMatrix(kesh::effect::kWorldMatrix, transform);
    }
    return handle;
}

}  // namespace

LevelCellGrid::LevelCellGrid(kesh::EffectManager* effectManager, const kesh::BoundingBox& box,
                             int cellsX, int cellsZ)
    : box(box), grid(box, cellsX, cellsZ), effectManager(effectManager) {
    // No list of cells can outgrow the grid: a frame never makes them grow.
    for (std::vector<LevelCell*>* cells :
         {&visibleCells, &nowVisible, &gotVisible, &gotInvisible}) {
        cells->reserve(grid.cells.size());
    }
}

LevelCellGrid::~LevelCellGrid() {
    globalEffects.clear();
    visibleCells.clear();
}

void LevelCellGrid::insertEffect(const D3DXMATRIX& transform, const std::string& effect) {
    const D3DXVECTOR3 position(transform._41, transform._42, transform._43);
    grid.cellAt(position).effects.push_back(CellEffect{transform, effect});
}

void LevelCellGrid::addEffect(const D3DXMATRIX& transform, const std::string& effect) {
    globalEffects.push_back(placedEffect(effectManager, effect, transform));
}

void LevelCellGrid::updateVisibility(const kesh::CameraView& camera) {
    nowVisible.clear();
    grid.cull(camera, nowVisible, true);
    // Cells are stored in cell order, so their addresses sort the same way.
    std::sort(nowVisible.begin(), nowVisible.end());
    gotInvisible.clear();
    gotVisible.clear();
    std::set_difference(visibleCells.begin(), visibleCells.end(), nowVisible.begin(),
                        nowVisible.end(), std::back_inserter(gotInvisible));
    std::set_difference(nowVisible.begin(), nowVisible.end(), visibleCells.begin(),
                        visibleCells.end(), std::back_inserter(gotVisible));
    kesh::writeLine(boost::log::logScreen(), "visiblePartitions: ", nowVisible.size(),
                    " gotVisible: ", gotVisible.size(), " gotInvisible: ", gotInvisible.size());
    for (LevelCell* cell : gotInvisible) {
        cell->instances.clear();
    }
    for (LevelCell* cell : gotVisible) {
        const std::size_t n = cell->effects.size();
        if (n == 0) {
            continue;
        }
        const std::size_t shown = std::min(n, kMaxEffectsPerCell);
        const unsigned start =
            (static_cast<unsigned>(msvcrt_rand()) * static_cast<unsigned>(n)) >> 15;
        for (std::size_t j = 0; j < shown; ++j) {
            const CellEffect& entry = cell->effects[(start + j) % n];
            cell->instances.push_back(placedEffect(effectManager, entry.effect, entry.transform));
        }
    }
    visibleCells.swap(nowVisible);
}
