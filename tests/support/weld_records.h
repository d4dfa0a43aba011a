// Mesh records of many distinct corners, one vertex each after welding. The colliding kind
// gives corner n the position index 4n and the normal index n, keys that a hash of shifted
// fields sends to one bucket; the ordinary kind gives it position and normal n.
#pragma once

#include <cstdint>

#include "engine/render/mesh/mesh_records.h"

namespace morvale_testing {

inline maya_common::data::tri_mesh weldRecords(std::uint32_t triangles, bool colliding) {
    maya_common::data::tri_mesh mesh;
    const std::uint32_t corners = triangles * 3;
    const std::uint32_t spread = colliding ? 4 : 1;
    mesh.positions.resize(corners * spread, {0, 0, 0});
    for (std::uint32_t n = 0; n < corners; ++n) {
        mesh.positions[n * spread] = {static_cast<float>(n), 0, 0};
    }
    mesh.normals.resize(corners, {0, 1, 0});
    maya_common::data::uv_set uv;
    uv.dim = 2;
    uv.values = {0, 0};
    mesh.uv_sets = {uv};
    mesh.uv_tris.resize(1);
    for (std::uint32_t t = 0; t < triangles; ++t) {
        const std::uint32_t n = t * 3;
        mesh.position_tris.push_back({n * spread, (n + 1) * spread, (n + 2) * spread});
        mesh.normal_tris.push_back({n, n + 1, n + 2});
        mesh.uv_tris[0].push_back({0, 0, 0});
    }
    return mesh;
}

}  // namespace morvale_testing
