#include "game/world/cells/cell_grid.h"

#include "game/world/grid_index.h"

LevelCell& CellGrid::cellAt(const D3DXVECTOR3& p) {
    const int ix =
        grid_index::clampedCell(grid_index::cellCoordinate(p.x, box.min.x, cellSizeX), cellsX);
    const int iz =
        grid_index::clampedCell(grid_index::cellCoordinate(p.z, box.min.z, cellSizeZ), cellsZ);
    return cell(ix, iz);
}

void CellGrid::cull(const kesh::CameraView& camera, std::vector<LevelCell*>& out, bool boxTest) {
    kesh::Frustum frustum;
    kesh::computeFrustumPlanes(camera, frustum, true);
    for (LevelCell& cell : cells) {
        const bool visible = boxTest
                                 ? cell.box.intersectsFrustum(frustum.planes)
                                 : kesh::sphereInFrustum(frustum.planes, cell.centre, cell.radius);
        if (visible) {
            out.push_back(&cell);
        }
    }
}
