#include "engine/render/mesh/mesh_checks.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/core/stream_error.h"

namespace kesh {

using maya_common::data::tri_index;

namespace {

[[noreturn]] void fail() {
    throw stream::error(1);
}

void checkTriangles(const std::vector<tri_index>& triangles, std::size_t expected,
                    std::size_t listSize) {
    if (triangles.size() != expected) {
        fail();
    }
    for (const tri_index& t : triangles) {
        if (t.a >= listSize || t.b >= listSize || t.c >= listSize) {
            fail();
        }
    }
}

void checkUv(const maya_common::data::tri_mesh& mesh, std::size_t set) {
    if (mesh.uv_tris.size() <= set || mesh.uv_tris[set].empty()) {
        return;
    }
    if (mesh.uv_sets.size() <= set || mesh.uv_sets[set].dim < 2) {
        fail();
    }
    // Entries that have both of their first two floats.
    const auto& uv = mesh.uv_sets[set];
    const std::size_t size = uv.values.size();
    const std::size_t entries = size < 2 ? 0 : (size - 2) / uv.dim + 1;
    checkTriangles(mesh.uv_tris[set], mesh.position_tris.size(), entries);
}

bool finite(const maya_common::data::vector3& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// The mesh's box is that of the positions its triangles use: one that is not a number
// reaches the level's bounds, and its first frame fails with nothing to say why.
void checkPositionsUsed(const maya_common::data::tri_mesh& mesh) {
    for (const tri_index& t : mesh.position_tris) {
        if (!finite(mesh.positions[t.a]) || !finite(mesh.positions[t.b]) ||
            !finite(mesh.positions[t.c])) {
            fail();
        }
    }
}

void checkPartBoxes(const std::vector<maya_common::data::bbox>& boxes) {
    for (const maya_common::data::bbox& b : boxes) {
        if (!finite({b.minX, b.minY, b.minZ}) || !finite({b.maxX, b.maxY, b.maxZ})) {
            fail();
        }
    }
}

}  // namespace

void checkMeshRecords(const maya_common::data::tri_mesh& mesh) {
    const std::size_t faces = mesh.position_tris.size();
    checkTriangles(mesh.position_tris, faces, mesh.positions.size());
    checkPositionsUsed(mesh);
    checkPartBoxes(mesh.bboxes);
    if (!mesh.normal_tris.empty()) {
        checkTriangles(mesh.normal_tris, faces, mesh.normals.size());
    }
    checkUv(mesh, 0);
    checkUv(mesh, 1);
    if (!mesh.face_materials.empty()) {
        if (mesh.face_materials.size() != faces) {
            fail();
        }
        const std::size_t materials = mesh.materials.materials.size();
        for (int material : mesh.face_materials) {
            if (material < 0 || static_cast<std::size_t>(material) >= materials) {
                fail();
            }
        }
    }
}

}  // namespace kesh
