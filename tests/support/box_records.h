// The records of a box from lo to hi as the modelling tool exports them: eight corners, each
// side two triangles with its own outward normal and the texture's corners.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/render/mesh/mesh_records.h"

namespace morvale_testing {

inline maya_common::data::tri_mesh boxRecords(const maya_common::data::vector3& lo,
                                              const maya_common::data::vector3& hi) {
    maya_common::data::tri_mesh mesh;
    for (int i = 0; i < 8; ++i) {
        mesh.positions.push_back(
            {(i & 1) ? hi.x : lo.x, ((i >> 1) & 1) ? hi.y : lo.y, ((i >> 2) & 1) ? hi.z : lo.z});
    }
    maya_common::data::uv_set uv;
    uv.dim = 2;
    uv.values = {0, 0, 1, 0, 1, 1, 0, 1};
    mesh.uv_sets = {uv};
    mesh.uv_tris.resize(1);
    for (int axis = 0; axis < 3; ++axis) {
        for (int side = 0; side < 2; ++side) {
            std::vector<std::uint32_t> quad;
            for (std::uint32_t i = 0; i < 8; ++i) {
                if (((i >> axis) & 1) == std::uint32_t(side)) {
                    quad.push_back(i);
                }
            }
            maya_common::data::vector3 normal{0, 0, 0};
            (&normal.x)[axis] = side ? 1.0f : -1.0f;
            const auto n = static_cast<std::uint32_t>(mesh.normals.size());
            mesh.normals.push_back(normal);
            mesh.position_tris.push_back({quad[0], quad[1], quad[3]});
            mesh.position_tris.push_back({quad[0], quad[3], quad[2]});
            mesh.normal_tris.push_back({n, n, n});
            mesh.normal_tris.push_back({n, n, n});
            mesh.uv_tris[0].push_back({0, 1, 2});
            mesh.uv_tris[0].push_back({0, 2, 3});
        }
    }
    return mesh;
}

}  // namespace morvale_testing
