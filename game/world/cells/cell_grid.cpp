#include "game/world/cells/cell_grid.h"

#include "game/world/grid_index.h"

CellGrid::CellGrid(const kesh::BoundingBox& box, int cellsX, int cellsZ)
    : box(box),
      cellSizeX((box.max.x - box.min.x) / static_cast<float>(cellsX)),
      cellSizeZ((box.max.z - box.min.z) / static_cast<float>(cellsZ)),
      cellsX(cellsX),
      cellsZ(cellsZ) {
    cells.resize(static_cast<std::size_t>(cellsX * cellsZ));
    for (int iz = 0; iz < cellsZ; ++iz) {
        for (int ix = 0; ix < cellsX; ++ix) {
            LevelCell& cell = cells[static_cast<std::size_t>(cellsX * iz + ix)];
            cell.box = grid_index::cellBox(box, cellSizeX, cellSizeZ, ix, iz);
            cell.centre = (cell.box.min + cell.box.max) * 0.5f;
            const D3DXVECTOR3 diagonal = cell.box.max - cell.box.min;
            cell.radius = D3DXVec3Length(&diagonal) * 0.5f;
        }
    }
}

LevelCell& CellGrid::cellAt(const D3DXVECTOR3& p) {
    const int ix =
        grid_index::clampedCell(grid_index::cellCoordinate(p.x, box.min.x, cellSizeX), cellsX);
    const int iz =
        grid_index::clampedCell(grid_index::cellCoordinate(p.z, box.min.z, cellSizeZ), cellsZ);
    return cells[static_cast<std::size_t>(cellsX * iz + ix)];
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
