#include "engine/render/mesh/mesh_builder.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <utility>

#include "engine/core/errors.h"
#include "engine/render/mesh/mesh_checks.h"

namespace kesh {

using maya_common::data::tri_index;
using maya_common::data::tri_mesh;

bool operator==(const WeldKey& a, const WeldKey& b) {
    return std::equal(std::begin(a.k), std::end(a.k), std::begin(b.k));
}

// Every field is mixed into all the bits: a hash of shifted fields lets keys that differ only
// in fields whose shifts cancel (position 4n with normal n) all fall into one bucket, and a
// file of such corners turns the weld quadratic.
std::size_t WeldKeyHash::operator()(const WeldKey& key) const {
    std::uint64_t h = 0xCBF29CE484222325ull;
    for (const std::int32_t field : key.k) {
        h ^= static_cast<std::uint32_t>(field);
        h *= 0x9E3779B97F4A7C15ull;
        h ^= h >> 32;
    }
    return static_cast<std::size_t>(h);
}

const D3DVERTEXELEMENT9 meshVertexLayout[5] = {
    {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
    {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_NORMAL, 0},
    {0, 24, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
    {0, 32, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 1},
    D3DDECL_END()};

std::string textureNameOf(const std::string& materialName) {
    std::size_t cut = std::string::npos;
    for (const char* extension : {".tga", ".dds", ".bmp"}) {
        cut = materialName.find(extension);
        if (cut != std::string::npos) {
            break;
        }
    }
    return materialName.substr(0, cut) + ".dds";
}

namespace {

std::uint32_t corner(const tri_index& triangle, int c) {
    return c == 0 ? triangle.a : (c == 1 ? triangle.b : triangle.c);
}

// The welded vertices and indices of a mesh, and its ranges, in drawing order.
struct Welded {
    std::vector<WeldKey> keys;
    std::vector<std::uint32_t> indices;
    std::vector<D3DXATTRIBUTERANGE> ranges;
    std::vector<int> rangeMaterials;
};

Welded weld(const tri_mesh& mesh) {
    const bool hasNormals = !mesh.normal_tris.empty();
    const bool hasUv0 = !mesh.uv_tris.empty() && !mesh.uv_tris[0].empty();
    const bool hasUv1 = mesh.uv_tris.size() > 1 && !mesh.uv_tris[1].empty();
    const bool hasMaterials = !mesh.face_materials.empty();

    // (material, triangle); a stable sort keeps the triangles of one material in order.
    std::vector<std::pair<int, std::uint32_t>> faces;
    const std::size_t faceCount =
        hasMaterials ? mesh.face_materials.size() : mesh.position_tris.size();
    faces.reserve(faceCount);
    for (std::size_t t = 0; t < faceCount; ++t) {
        faces.emplace_back(hasMaterials ? mesh.face_materials[t] : 0,
                           static_cast<std::uint32_t>(t));
    }
    std::stable_sort(faces.begin(), faces.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });

    Welded out;
    out.indices.reserve(faces.size() * 3);
    std::unordered_map<WeldKey, std::uint32_t, WeldKeyHash> table;
    table.reserve(faces.size() * 3);

    D3DXATTRIBUTERANGE range{1, 0, 0, 0, 0};
    int material = faces.front().first;
    DWORD madeBefore = 0;
    DWORD madeInRange = 0;
    for (std::size_t f = 0; f <= faces.size(); ++f) {
        if (f == faces.size() || faces[f].first != material) {
            out.ranges.push_back(range);
            out.rangeMaterials.push_back(material);
            if (f == faces.size()) {
                break;
            }
            material = faces[f].first;
            range.AttribId += 1;
            range.FaceStart += range.FaceCount;
            madeBefore += madeInRange;
            range.VertexStart = madeBefore;
            range.FaceCount = 0;
            range.VertexCount = 0;
            madeInRange = 0;
        }
        const std::uint32_t t = faces[f].second;
        for (int c = 0; c < 3; ++c) {
            const WeldKey key{{
                static_cast<std::int32_t>(corner(mesh.position_tris[t], c)),
                hasNormals ? static_cast<std::int32_t>(corner(mesh.normal_tris[t], c)) : -1,
                hasUv0 ? static_cast<std::int32_t>(corner(mesh.uv_tris[0][t], c)) : -1,
                hasUv1 ? static_cast<std::int32_t>(corner(mesh.uv_tris[1][t], c)) : -1,
                hasMaterials ? faces[f].first : -1,
            }};
            const auto found = table.emplace(key, static_cast<std::uint32_t>(out.keys.size()));
            const std::uint32_t vertex = found.first->second;
            if (found.second) {
                out.keys.push_back(key);
                range.VertexCount += 1;
                madeInRange += 1;
            } else if (vertex <= range.VertexStart) {
                // A vertex made before this range: widen the range down to it.
                range.VertexCount += range.VertexStart - vertex;
                range.VertexStart = vertex;
            }
            out.indices.push_back(vertex);
        }
        range.FaceCount += 1;
    }
    return out;
}

void writeUv(const std::vector<maya_common::data::uv_set>& sets, std::size_t set, std::int32_t k,
             float* out) {
    if (k < 0) {
        out[0] = out[1] = 0.0f;
        return;
    }
    const auto& uv = sets[set];
    const std::size_t first = static_cast<std::size_t>(uv.dim) * static_cast<std::size_t>(k);
    out[0] = uv.values[first];
    out[1] = uv.values[first + 1];
}

void writeVertices(ID3DXMesh* target, const tri_mesh& mesh, const std::vector<WeldKey>& keys) {
    void* data = nullptr;
    HRESULT result = target->LockVertexBuffer(0, &data);
    if (FAILED(result)) {
        throwDxError(result, L"Failed to lock vertex buffer");
    }
    auto* bytes = static_cast<unsigned char*>(data);
    for (const WeldKey& key : keys) {
        float vertex[10] = {};
        if (key.k[0] >= 0) {
            const auto& p = mesh.positions[key.k[0]];
            vertex[0] = p.x, vertex[1] = p.y, vertex[2] = p.z;
        }
        if (key.k[1] >= 0) {
            const auto& n = mesh.normals[key.k[1]];
            vertex[3] = n.x, vertex[4] = n.y, vertex[5] = n.z;
        }
        writeUv(mesh.uv_sets, 0, key.k[2], vertex + 6);
        writeUv(mesh.uv_sets, 1, key.k[3], vertex + 8);
        std::memcpy(bytes, vertex, meshVertexSize);
        bytes += meshVertexSize;
    }
    result = target->UnlockVertexBuffer();
    if (FAILED(result)) {
        throwDxError(result, L"Failed to unlock vertex buffer");
    }
}

void writeIndices(ID3DXMesh* target, const std::vector<std::uint32_t>& indices, bool wide) {
    void* data = nullptr;
    HRESULT result = target->LockIndexBuffer(0, &data);
    if (FAILED(result)) {
        throwDxError(result, L"Failed to lock index buffer");
    }
    if (wide) {
        std::memcpy(data, indices.data(), indices.size() * sizeof(std::uint32_t));
    } else {
        auto* narrow = static_cast<std::uint16_t*>(data);
        for (std::size_t i = 0; i < indices.size(); ++i) {
            narrow[i] = static_cast<std::uint16_t>(indices[i]);
        }
    }
    result = target->UnlockIndexBuffer();
    if (FAILED(result)) {
        throwDxError(result, L"Failed to unlock index buffer");
    }
}

}  // namespace

win32::ComPtr<ID3DXMesh> buildD3DXMesh(const tri_mesh& mesh, DxDevice* device,
                                       std::vector<int>* rangeMaterials) {
    if (mesh.positions.empty() || mesh.normals.empty() || mesh.uv_sets.empty() ||
        mesh.position_tris.empty()) {
        throwRuntimeError(L"Invalid mesh");
    }
    checkMeshRecords(mesh);

    Welded welded = weld(mesh);
    const DWORD vertexCount = static_cast<DWORD>(welded.keys.size());
    const bool wide = vertexCount > 65534;
    win32::ComPtr<ID3DXMesh> built;
    const HRESULT result =
        D3DXCreateMesh(static_cast<DWORD>(welded.indices.size() / 3), vertexCount,
                       D3DXMESH_MANAGED | (wide ? D3DXMESH_32BIT : 0), meshVertexLayout,
                       device->getDevice(), built.out());
    if (FAILED(result)) {
        throwDxError(result, L"Failed to create mesh");
    }
    writeVertices(built.get(), mesh, welded.keys);
    writeIndices(built.get(), welded.indices, wide);
    const HRESULT tableResult =
        built->SetAttributeTable(welded.ranges.empty() ? nullptr : welded.ranges.data(),
                                 static_cast<DWORD>(welded.ranges.size()));
    if (FAILED(tableResult)) {
        throwDxError(tableResult, L"Failed to set attribute table");
    }
    if (rangeMaterials) {
        *rangeMaterials = std::move(welded.rangeMaterials);
    }
    return built;
}

MeshInfo* buildMeshInfo(DxDevice* device, const tri_mesh& mesh) {
    std::vector<int> rangeMaterials;
    win32::ComPtr<ID3DXMesh> built = buildD3DXMesh(mesh, device, &rangeMaterials);
    std::vector<std::string> names;
    names.reserve(mesh.materials.materials.size());
    for (const auto& material : mesh.materials.materials) {
        names.push_back(textureNameOf(material.name));
    }
    auto info = std::make_unique<MeshInfo>(std::move(built), names);
    info->rangeMaterials = std::move(rangeMaterials);
    for (const auto& box : mesh.bboxes) {
        info->partBoxes.emplace_back(D3DXVECTOR3(box.minX, box.minY, -box.minZ),
                                     D3DXVECTOR3(box.maxX, box.maxY, -box.maxZ));
    }
    return info.release();
}

MeshInfo* readTriMesh(DxDevice* device, StreamReader& reader) {
    tri_mesh mesh;
    maya_common::data::readMeshFile(reader, mesh);
    return buildMeshInfo(device, mesh);
}

}  // namespace kesh
