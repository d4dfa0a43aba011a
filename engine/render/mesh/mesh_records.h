// The records of a mesh file: one triangle mesh as the modelling tool exported it, with
// separate index lists for positions, normals and each texture-coordinate set.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/archive.h"

namespace maya_common {
namespace data {

// Stored inline in vectors, without a version word.
struct vector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

// Three corners of one triangle, as indices into one list.
struct tri_index {
    std::uint32_t a = 0;
    std::uint32_t b = 0;
    std::uint32_t c = 0;
};

// A part box as two opposite corners, in the order exported.
struct bbox {
    float minX = 0.0f, minY = 0.0f, minZ = 0.0f;
    float maxX = 0.0f, maxY = 0.0f, maxZ = 0.0f;
};

struct uv_set {
    std::uint32_t dim = 0;      // floats per entry
    std::vector<float> values;  // dim floats per entry
    std::string name;
};

struct material {
    std::string name;  // texture file name as exported
};

struct material_list {
    std::vector<material> materials;
};

struct tri_mesh {
    std::vector<vector3> positions;
    std::vector<vector3> normals;
    std::vector<uv_set> uv_sets;
    material_list materials;
    std::vector<tri_index> position_tris;
    std::vector<tri_index> normal_tris;
    std::vector<std::vector<tri_index>> uv_tris;  // uv_tris[s] indexes uv_sets[s]
    std::vector<int> face_materials;
    std::vector<bbox> bboxes;  // stored from version 1 on
};

// The tag words the tool writes; the reader does not compare them.
constexpr std::uint32_t triMeshTag = 0x48534D54;       // "TMSH"
constexpr std::uint32_t materialListTag = 0x4D4C5354;  // "TSLM"
constexpr std::uint32_t uvSetTag = 0x54455843;         // "CXET"

void readElement(kesh::InputArchive& archive, vector3& value);
void readElement(kesh::InputArchive& archive, tri_index& value);

void readBody(kesh::InputArchive& archive, bbox& value, std::uint32_t version);
void readBody(kesh::InputArchive& archive, uv_set& value, std::uint32_t version);
void readBody(kesh::InputArchive& archive, material& value, std::uint32_t version);
void readBody(kesh::InputArchive& archive, material_list& value, std::uint32_t version);
void readBody(kesh::InputArchive& archive, tri_mesh& value, std::uint32_t version);

// The whole mesh file: header and tri_mesh record. Throws kesh::stream::error (code 1
// also when the data ends inside the record) or kesh::serialization::version_error.
void readMeshFile(kesh::StreamReader& reader, tri_mesh& mesh);

using kesh::serialization::readVersioned;

}  // namespace data
}  // namespace maya_common

namespace kesh {
namespace serialization {
template <>
struct supported_version<maya_common::data::tri_mesh> : std::integral_constant<std::uint32_t, 1> {};
template <>
struct min_encoded_size<maya_common::data::vector3> : std::integral_constant<std::uint32_t, 12> {};
template <>
struct min_encoded_size<maya_common::data::tri_index> : std::integral_constant<std::uint32_t, 12> {
};
}  // namespace serialization
}  // namespace kesh
