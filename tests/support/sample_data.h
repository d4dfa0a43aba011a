// A level and a mesh that use every record, list and field, and field-by-field equality
// for comparing what was read with what was written.
#pragma once

#include <tuple>

#include "engine/render/mesh/mesh_records.h"
#include "game/data/level_data.h"

namespace kesh {
namespace data {

inline auto fields(const PlacedObject& o) {
    return std::tie(o.id, o.name, o.transform, o.flags);
}
inline bool operator==(const StaticObject& a, const StaticObject& b) {
    return fields(a) == fields(b) &&
           std::tie(a.mesh, a.lightmaps, a.extra) == std::tie(b.mesh, b.lightmaps, b.extra);
}
inline bool operator==(const EffectObject& a, const EffectObject& b) {
    return fields(a) == fields(b) && a.effect == b.effect;
}
inline bool operator==(const WaterObject& a, const WaterObject& b) {
    return fields(a) == fields(b) && a.mesh == b.mesh && a.textures == b.textures;
}
inline bool operator==(const TreeObject& a, const TreeObject& b) {
    return fields(a) == fields(b) && a.mesh == b.mesh && a.textures == b.textures;
}
inline bool operator==(const LocatorObject& a, const LocatorObject& b) {
    return fields(a) == fields(b) && a.tag == b.tag;
}
inline bool operator==(const DecalObject& a, const DecalObject& b) {
    return fields(a) == fields(b) && std::tie(a.mesh, a.textures, a.kind, a.param1, a.param2) ==
                                         std::tie(b.mesh, b.textures, b.kind, b.param1, b.param2);
}
inline bool operator==(const LevelData& a, const LevelData& b) {
    return std::tie(a.name, a.statics, a.effects, a.waters, a.trees, a.locators, a.decals) ==
           std::tie(b.name, b.statics, b.effects, b.waters, b.trees, b.locators, b.decals);
}

}  // namespace data
}  // namespace kesh

namespace maya_common {
namespace data {

inline bool operator==(const vector3& a, const vector3& b) {
    return std::tie(a.x, a.y, a.z) == std::tie(b.x, b.y, b.z);
}
inline bool operator==(const tri_index& a, const tri_index& b) {
    return std::tie(a.a, a.b, a.c) == std::tie(b.a, b.b, b.c);
}
inline bool operator==(const bbox& a, const bbox& b) {
    return std::tie(a.minX, a.minY, a.minZ, a.maxX, a.maxY, a.maxZ) ==
           std::tie(b.minX, b.minY, b.minZ, b.maxX, b.maxY, b.maxZ);
}
inline bool operator==(const uv_set& a, const uv_set& b) {
    return std::tie(a.dim, a.values, a.name) == std::tie(b.dim, b.values, b.name);
}
inline bool operator==(const material& a, const material& b) {
    return a.name == b.name;
}
inline bool operator==(const tri_mesh& a, const tri_mesh& b) {
    return std::tie(a.positions, a.normals, a.uv_sets, a.materials.materials, a.position_tris,
                    a.normal_tris, a.uv_tris, a.face_materials, a.bboxes) ==
           std::tie(b.positions, b.normals, b.uv_sets, b.materials.materials, b.position_tris,
                    b.normal_tris, b.uv_tris, b.face_materials, b.bboxes);
}

}  // namespace data
}  // namespace maya_common

namespace testing_support {

inline D3DXMATRIX placement(float x, float y, float z) {
    D3DXMATRIX turn, move;
    D3DXMatrixRotationY(&turn, 0.25f * x);
    D3DXMatrixTranslation(&move, x, y, z);
    return turn * move;
}

inline kesh::data::LevelData sampleLevel() {
    using namespace kesh::data;
    LevelData level;
    level.name = "harbour";

    StaticObject crane;
    crane.id = 11;
    crane.name = "crane";
    crane.transform = placement(1, 2, 3);
    crane.flags = StaticObject::solidFlag;
    crane.mesh = "crane_01";
    crane.lightmaps = {"crane_01_lm.tga", "spare"};
    crane.extra = 0xCAFE;
    StaticObject shed = crane;
    shed.id = 12;
    shed.name = "shed";
    shed.flags = 0;
    shed.lightmaps.clear();
    shed.extra = 7;
    level.statics = {crane, shed};

    EffectObject smoke;
    smoke.id = 20;
    smoke.name = "smoke";
    smoke.transform = placement(-5, 0, 5);
    smoke.flags = EffectObject::enabledFlag | 0x100;
    smoke.effect = "chimney_smoke";
    level.effects = {smoke};

    WaterObject sea;
    sea.id = 30;
    sea.name = "sea";
    sea.mesh = "sea_plane";
    sea.textures = {"water.dds", "foam.dds"};
    level.waters = {sea};

    TreeObject pine;
    pine.id = 40;
    pine.name = "pine";
    pine.transform = placement(8, 0, -8);
    pine.mesh = "pine_a";
    level.trees = {pine};

    LocatorObject start, end;
    start.id = 50;
    start.name = "start";
    start.tag = "start_1";
    start.transform = placement(0, 1, 0);
    start.flags = 0xFFFF;
    end = start;
    end.id = 51;
    end.name = "end";
    end.tag = "end_1";
    level.locators = {start, end};

    DecalObject skid;
    skid.id = 60;
    skid.name = "skid";
    skid.mesh = "decal_quad";
    skid.textures = {"skid.dds"};
    skid.kind = 3;
    skid.param1 = "p1";
    skid.param2 = "";
    level.decals = {skid};
    return level;
}

inline maya_common::data::tri_mesh sampleMesh() {
    using namespace maya_common::data;
    tri_mesh mesh;
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0.5f}};
    mesh.normals = {{0, 0, -1}, {0, 0.6f, -0.8f}};
    uv_set base;
    base.dim = 2;
    base.values = {0, 0, 1, 0, 0, 1, 1, 1};
    base.name = "map1";
    uv_set light;
    light.dim = 2;
    light.values = {0.5f, 0.5f, 0.25f, 0.75f};
    light.name = "lightmap";
    mesh.uv_sets = {base, light};
    mesh.materials.materials = {{"brick.tga"}, {"roof.dds"}, {""}};
    mesh.position_tris = {{0, 1, 2}, {1, 3, 2}};
    mesh.normal_tris = {{0, 0, 0}, {1, 1, 1}};
    mesh.uv_tris = {{{0, 1, 2}, {1, 3, 2}}, {{0, 1, 0}, {1, 1, 0}}};
    mesh.face_materials = {0, -1};
    mesh.bboxes = {{-1, -2, -3, 1, 2, 3}, {5, 5, 5, 4, 4, 4}};
    return mesh;
}

}  // namespace testing_support
