// Art for the world tests: box meshes with part boxes, level records and the effect list,
// written into the services fixture's art folder.
#pragma once

#include <d3dx9math.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/render/mesh/mesh_records.h"
#include "game/data/level_data.h"
#include "tests/support/box_records.h"
#include "tools/artlib/level_writer.h"
#include "tools/artlib/mesh_writer.h"

namespace world_testing {

using maya_common::data::bbox;

// A box mesh from lo to hi as the modelling tool exports it (the mesh builder turns z
// round), every side drawn with one material, with the part boxes given.
inline std::vector<std::uint8_t> boxMeshFile(const D3DXVECTOR3& lo, const D3DXVECTOR3& hi,
                                             const std::vector<bbox>& parts = {},
                                             const std::string& material = "wall.tga") {
    maya_common::data::tri_mesh mesh =
        morvale_testing::boxRecords({lo.x, lo.y, lo.z}, {hi.x, hi.y, hi.z});
    if (!material.empty()) {
        mesh.face_materials.assign(mesh.position_tris.size(), 0);
        mesh.materials.materials.push_back({material});
    }
    mesh.bboxes = parts;
    return artlib::meshFileBytes(mesh);
}

// A 2 x 2 uncompressed 32-bit TGA of one colour (B, G, R, A bytes).
inline std::vector<std::uint8_t> tgaFile(std::uint32_t argb = 0xFF808080) {
    std::vector<std::uint8_t> bytes = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 32, 8};
    for (int i = 0; i < 4; ++i) {
        for (int shift : {0, 8, 16, 24}) {
            bytes.push_back(static_cast<std::uint8_t>(argb >> shift));
        }
    }
    return bytes;
}

inline bbox partBox(float x0, float y0, float z0, float x1, float y1, float z1) {
    return bbox{x0, y0, z0, x1, y1, z1};
}

inline D3DXMATRIX placedAt(float x, float y, float z) {
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, x, y, z);
    return m;
}

inline kesh::data::StaticObject staticRecord(std::uint32_t id, const std::string& mesh,
                                             const D3DXMATRIX& transform, std::uint16_t flags,
                                             std::vector<std::string> lightmaps = {}) {
    kesh::data::StaticObject object;
    object.id = id;
    object.name = "static" + std::to_string(id);
    object.mesh = mesh;
    object.transform = transform;
    object.flags = flags;
    object.lightmaps = std::move(lightmaps);
    return object;
}

inline kesh::data::EffectObject effectRecord(const std::string& name, const std::string& effect,
                                             const D3DXMATRIX& transform, std::uint16_t flags) {
    kesh::data::EffectObject object;
    object.name = name;
    object.effect = effect;
    object.transform = transform;
    object.flags = flags;
    return object;
}

inline kesh::data::LocatorObject locatorRecord(const std::string& name, const std::string& tag,
                                               const D3DXMATRIX& transform) {
    kesh::data::LocatorObject object;
    object.name = name;
    object.tag = tag;
    object.transform = transform;
    return object;
}

// One billboard description for every name, read into the effect manager.
inline std::string effectList(const std::vector<std::string>& names) {
    std::string list;
    for (const std::string& name : names) {
        list += name + " flare.txt\n";
    }
    return list;
}

}  // namespace world_testing
