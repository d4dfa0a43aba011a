// Turns mesh records, which index positions, normals and texture coordinates separately,
// into a Direct3D mesh with one index per vertex ("welding"), faces grouped by material and
// one attribute range per material.
#pragma once

#include <d3dx9mesh.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/stream_reader.h"
#include "engine/render/device/dx_device.h"
#include "engine/render/mesh/mesh_info.h"
#include "engine/render/mesh/mesh_records.h"
#include "win32/com_ptr.h"

namespace kesh {

// Five indices that make one vertex: position, normal, uv set 0, uv set 1 and the
// triangle's material; -1 where the list is missing.
struct WeldKey {
    std::int32_t k[5];
};

bool operator==(const WeldKey& a, const WeldKey& b);

struct WeldKeyHash {
    std::size_t operator()(const WeldKey& key) const;
};

// The 40-byte vertex of built meshes: position, normal, two texture coordinate pairs.
extern const D3DVERTEXELEMENT9 meshVertexLayout[5];
constexpr UINT meshVertexSize = 40;

// "a.tga" and "a.bmp" become "a.dds"; a name without one of the three extensions gets
// ".dds" appended.
std::string textureNameOf(const std::string& materialName);

// The new mesh, its one reference held by the caller. Throws std::runtime_error "Invalid mesh"
// when positions, normals, uv sets or triangles are missing, kesh::stream::error 1 when an
// index, a list length, a uv dimension or a material index does not fit the records.
// rangeMaterials, when given, receives the material index of each attribute range.
win32::ComPtr<ID3DXMesh> buildD3DXMesh(const maya_common::data::tri_mesh& mesh, DxDevice* device,
                                       std::vector<int>* rangeMaterials = nullptr);

// The built mesh with its texture names and part boxes (z negated); owned by the caller.
MeshInfo* buildMeshInfo(DxDevice* device, const maya_common::data::tri_mesh& mesh);

// Reads a whole mesh file from reader and builds it. Stream errors and the builder's errors
// pass through.
MeshInfo* readTriMesh(DxDevice* device, StreamReader& reader);

}  // namespace kesh
