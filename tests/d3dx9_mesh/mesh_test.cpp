// ID3DXMesh: creation limits, buffers, attribute table, DrawSubset against the null
// device's records, in-place optimisation and adjacency.
#include <d3dx9.h>

#include <algorithm>
#include <array>
#include <set>
#include <vector>

#include "tests/d3dx9_mesh/mesh_fixture.h"

namespace {

using d3d9::DrawKind;

// The layout the game builds its meshes with: 40 bytes.
const D3DVERTEXELEMENT9 kGameLayout[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
    {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_NORMAL, 0},
    {0, 24, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
    {0, 32, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 1},
    D3DDECL_END()};

struct Vertex {
    float x, y, z;
};

class MeshTest : public MeshDeviceTest {
protected:
    // A mesh of xyz vertices with the given positions, triangles and attributes.
    void build(const std::vector<Vertex>& vertices, const std::vector<DWORD>& indices,
               const std::vector<DWORD>& attributes, DWORD options = D3DXMESH_MANAGED) {
        ASSERT_EQ(D3DXCreateMeshFVF(static_cast<DWORD>(indices.size() / 3),
                                    static_cast<DWORD>(vertices.size()), options, D3DFVF_XYZ,
                                    device, &mesh),
                  D3D_OK);
        void* data = nullptr;
        ASSERT_EQ(mesh->LockVertexBuffer(0, &data), D3D_OK);
        std::copy(vertices.begin(), vertices.end(), static_cast<Vertex*>(data));
        mesh->UnlockVertexBuffer();
        ASSERT_EQ(mesh->LockIndexBuffer(0, &data), D3D_OK);
        for (size_t i = 0; i < indices.size(); ++i) {
            if (options & D3DXMESH_32BIT) {
                static_cast<DWORD*>(data)[i] = indices[i];
            } else {
                static_cast<WORD*>(data)[i] = static_cast<WORD>(indices[i]);
            }
        }
        mesh->UnlockIndexBuffer();
        DWORD* attributeData = nullptr;
        ASSERT_EQ(mesh->LockAttributeBuffer(0, &attributeData), D3D_OK);
        std::copy(attributes.begin(), attributes.end(), attributeData);
        mesh->UnlockAttributeBuffer();
    }

    std::vector<D3DXATTRIBUTERANGE> table() {
        DWORD count = 0;
        EXPECT_EQ(mesh->GetAttributeTable(nullptr, &count), D3D_OK);
        std::vector<D3DXATTRIBUTERANGE> ranges(count);
        EXPECT_EQ(mesh->GetAttributeTable(ranges.data(), &count), D3D_OK);
        return ranges;
    }
};

D3DFORMAT indexFormat(ID3DXMesh* mesh) {
    IDirect3DIndexBuffer9* indices = nullptr;
    EXPECT_EQ(mesh->GetIndexBuffer(&indices), D3D_OK);
    D3DINDEXBUFFER_DESC desc{};
    indices->GetDesc(&desc);
    indices->Release();
    return desc.Format;
}

TEST_F(MeshTest, SixteenBitIndicesReachVertex65535AndNoFurther) {
    ASSERT_EQ(D3DXCreateMesh(1, 65535, D3DXMESH_MANAGED, kGameLayout, device, &mesh), D3D_OK);
    EXPECT_EQ(indexFormat(mesh), D3DFMT_INDEX16);
    mesh->Release();
    mesh = nullptr;

    EXPECT_EQ(D3DXCreateMesh(1, 65536, D3DXMESH_MANAGED, kGameLayout, device, &mesh),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(mesh, nullptr);

    ASSERT_EQ(
        D3DXCreateMesh(1, 65536, D3DXMESH_MANAGED | D3DXMESH_32BIT, kGameLayout, device, &mesh),
        D3D_OK);
    EXPECT_EQ(indexFormat(mesh), D3DFMT_INDEX32);
}

TEST_F(MeshTest, KeepsTheDeclarationAndItsSizes) {
    ASSERT_EQ(D3DXCreateMesh(2, 4, D3DXMESH_MANAGED, kGameLayout, device, &mesh), D3D_OK);
    EXPECT_EQ(mesh->GetNumBytesPerVertex(), 40u);
    EXPECT_EQ(mesh->GetNumVertices(), 4u);
    EXPECT_EQ(mesh->GetNumFaces(), 2u);
    EXPECT_EQ(mesh->GetFVF(), static_cast<DWORD>(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX2));
    D3DVERTEXELEMENT9 elements[MAX_FVF_DECL_SIZE];
    ASSERT_EQ(mesh->GetDeclaration(elements), D3D_OK);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(elements[i].Offset, kGameLayout[i].Offset) << i;
        EXPECT_EQ(elements[i].Type, kGameLayout[i].Type) << i;
        EXPECT_EQ(elements[i].Usage, kGameLayout[i].Usage) << i;
        EXPECT_EQ(elements[i].UsageIndex, kGameLayout[i].UsageIndex) << i;
    }
    EXPECT_EQ(elements[4].Stream, 0xFF);
}

TEST_F(MeshTest, RejectsEmptyOrUnterminatedRequests) {
    EXPECT_EQ(D3DXCreateMesh(0, 4, D3DXMESH_MANAGED, kGameLayout, device, &mesh),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateMesh(2, 0, D3DXMESH_MANAGED, kGameLayout, device, &mesh),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateMesh(2, 4, D3DXMESH_MANAGED, nullptr, device, &mesh), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateMesh(2, 4, D3DXMESH_MANAGED, kGameLayout, nullptr, &mesh),
              D3DERR_INVALIDCALL);
    std::vector<D3DVERTEXELEMENT9> unterminated(80, kGameLayout[0]);
    EXPECT_EQ(D3DXCreateMesh(2, 4, D3DXMESH_MANAGED, unterminated.data(), device, &mesh),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(mesh, nullptr);
}

TEST_F(MeshTest, HandsOutItsBuffersWithAReferenceEach) {
    ASSERT_EQ(D3DXCreateMesh(2, 4, D3DXMESH_MANAGED, kGameLayout, device, &mesh), D3D_OK);
    IDirect3DVertexBuffer9* vertices = nullptr;
    IDirect3DIndexBuffer9* indices = nullptr;
    ASSERT_EQ(mesh->GetVertexBuffer(&vertices), D3D_OK);
    ASSERT_EQ(mesh->GetIndexBuffer(&indices), D3D_OK);
    // The mesh keeps its own reference: releasing ours leaves the buffers alive.
    EXPECT_EQ(vertices->Release(), 1u);
    EXPECT_EQ(indices->Release(), 1u);
    EXPECT_EQ(d3d9::liveObjects(d3d9::ObjectType::VertexBuffer), 1);
    EXPECT_EQ(mesh->Release(), 0u);
    mesh = nullptr;
    EXPECT_EQ(d3d9::liveObjects(d3d9::ObjectType::VertexBuffer), 0);
    EXPECT_EQ(d3d9::liveObjects(d3d9::ObjectType::IndexBuffer), 0);
}

TEST_F(MeshTest, AttributeTableIsReadBackAsSetAndChecked) {
    build({{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}}, {0, 1, 2, 0, 2, 3}, {0, 0});
    const D3DXATTRIBUTERANGE ranges[] = {{1, 0, 1, 0, 3}, {2, 1, 1, 0, 4}};
    ASSERT_EQ(mesh->SetAttributeTable(ranges, 2), D3D_OK);
    const auto read = table();
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[1].AttribId, 2u);
    EXPECT_EQ(read[1].VertexCount, 4u);

    // A range beyond the faces or vertices would read past the buffers.
    const D3DXATTRIBUTERANGE tooManyFaces{3, 1, 2, 0, 4};
    EXPECT_EQ(mesh->SetAttributeTable(&tooManyFaces, 1), D3DERR_INVALIDCALL);
    const D3DXATTRIBUTERANGE tooManyVertices{3, 0, 1, 2, 3};
    EXPECT_EQ(mesh->SetAttributeTable(&tooManyVertices, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(table().size(), 2u);

    ASSERT_EQ(mesh->SetAttributeTable(nullptr, 0), D3D_OK);
    EXPECT_TRUE(table().empty());
}

TEST_F(MeshTest, DrawSubsetDrawsTheTableRangeOfTheId) {
    build({{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}, {2, 0, 0}}, {0, 1, 2, 0, 2, 3, 3, 2, 4},
          {0, 0, 0});
    const D3DXATTRIBUTERANGE ranges[] = {{1, 0, 2, 0, 4}, {2, 2, 1, 2, 3}};
    ASSERT_EQ(mesh->SetAttributeTable(ranges, 2), D3D_OK);
    record->clear();

    ASSERT_EQ(mesh->DrawSubset(2), D3D_OK);
    ASSERT_EQ(record->draws.size(), 1u);
    const auto& draw = record->draws.back();
    EXPECT_EQ(draw.kind, DrawKind::Indexed);
    EXPECT_EQ(draw.type, D3DPT_TRIANGLELIST);
    EXPECT_EQ(draw.baseVertex, 0);
    EXPECT_EQ(draw.minIndex, 2u);
    EXPECT_EQ(draw.numVertices, 3u);
    EXPECT_EQ(draw.startIndex, 6u);
    EXPECT_EQ(draw.primitiveCount, 1u);
    EXPECT_EQ(draw.stride, 12u);
    EXPECT_EQ(draw.vertexNumbers, (std::vector<UINT>{3, 2, 4}));

    // The attribute buffer says 0 for every face, but with a table only the table counts.
    ASSERT_EQ(mesh->DrawSubset(0), D3D_OK);
    EXPECT_EQ(record->draws.size(), 1u);
}

TEST_F(MeshTest, DrawSubsetWithoutTableDrawsEachRunOfTheAttribute) {
    build({{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}}, {0, 1, 2, 0, 2, 3, 1, 2, 3, 0, 1, 3},
          {5, 7, 5, 5});
    record->clear();
    ASSERT_EQ(mesh->DrawSubset(5), D3D_OK);
    ASSERT_EQ(record->draws.size(), 2u);
    EXPECT_EQ(record->draws[0].startIndex, 0u);
    EXPECT_EQ(record->draws[0].primitiveCount, 1u);
    EXPECT_EQ(record->draws[1].startIndex, 6u);
    EXPECT_EQ(record->draws[1].primitiveCount, 2u);

    record->clear();
    EXPECT_EQ(mesh->DrawSubset(6), D3D_OK);
    EXPECT_TRUE(record->draws.empty());
}

TEST_F(MeshTest, OptimizeSortsFacesByAttributeAndBuildsTheTable) {
    // A strip of quads; faces carry attributes 2, 0, 2, 1, 0.
    const std::vector<Vertex> vertices = {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, 1, 0},
                                          {2, 0, 0}, {2, 1, 0}, {3, 0, 0}};
    const std::vector<DWORD> indices = {0, 1, 3, 0, 3, 2, 2, 3, 5, 2, 5, 4, 4, 5, 6};
    const std::vector<DWORD> attributes = {2, 0, 2, 1, 0};
    build(vertices, indices, attributes);
    std::vector<DWORD> adjacency(15);
    ASSERT_EQ(mesh->GenerateAdjacency(0.0f, adjacency.data()), D3D_OK);

    std::vector<DWORD> faceRemap(5);
    std::vector<DWORD> newAdjacency(15);
    ID3DXBuffer* vertexRemap = nullptr;
    ASSERT_EQ(mesh->OptimizeInplace(D3DXMESHOPT_VERTEXCACHE, adjacency.data(), newAdjacency.data(),
                                    faceRemap.data(), &vertexRemap),
              D3D_OK);
    ASSERT_NE(vertexRemap, nullptr);
    ASSERT_EQ(vertexRemap->GetBufferSize(), 7u * 4u);
    const DWORD* oldVertexOf = static_cast<const DWORD*>(vertexRemap->GetBufferPointer());

    const auto ranges = table();
    ASSERT_EQ(ranges.size(), 3u);
    const DWORD expectedCounts[] = {2, 1, 2};
    DWORD faceStart = 0;
    for (DWORD i = 0; i < 3; ++i) {
        EXPECT_EQ(ranges[i].AttribId, i);
        EXPECT_EQ(ranges[i].FaceStart, faceStart);
        EXPECT_EQ(ranges[i].FaceCount, expectedCounts[i]);
        faceStart += expectedCounts[i];
    }

    // Every new face is its old face, corners in order, through the vertex remap; the
    // vertex data moved with it.
    const auto newIndices = readIndices();
    const auto newVertices = readVertices<Vertex>();
    std::set<DWORD> seen;
    for (DWORD f = 0; f < 5; ++f) {
        const DWORD old = faceRemap[f];
        seen.insert(old);
        for (int c = 0; c < 3; ++c) {
            const DWORD newVertex = newIndices[f * 3 + c];
            EXPECT_EQ(oldVertexOf[newVertex], indices[old * 3 + c]);
            EXPECT_EQ(newVertices[newVertex].x, vertices[indices[old * 3 + c]].x);
            EXPECT_EQ(newVertices[newVertex].y, vertices[indices[old * 3 + c]].y);
            // The range of the face covers its vertices.
            const auto& range = *std::find_if(ranges.begin(), ranges.end(), [&](const auto& r) {
                return f >= r.FaceStart && f < r.FaceStart + r.FaceCount;
            });
            EXPECT_GE(newVertex, range.VertexStart);
            EXPECT_LT(newVertex, range.VertexStart + range.VertexCount);
            // Adjacency follows the faces.
            const DWORD oldNeighbour = adjacency[old * 3 + c];
            const DWORD newNeighbour = newAdjacency[f * 3 + c];
            if (oldNeighbour == 0xFFFFFFFFu) {
                EXPECT_EQ(newNeighbour, 0xFFFFFFFFu);
            } else {
                ASSERT_LT(newNeighbour, 5u);
                EXPECT_EQ(faceRemap[newNeighbour], oldNeighbour);
            }
        }
    }
    EXPECT_EQ(seen.size(), 5u);
    vertexRemap->Release();

    record->clear();
    ASSERT_EQ(mesh->DrawSubset(1), D3D_OK);
    ASSERT_EQ(record->draws.size(), 1u);
    EXPECT_EQ(record->draws[0].startIndex, 6u);
    EXPECT_EQ(record->draws[0].primitiveCount, 1u);
}

TEST_F(MeshTest, OptimizeRejectsIndicesOutsideTheVertices) {
    build({{0, 0, 0}, {0, 1, 0}, {1, 1, 0}}, {0, 1, 2}, {0});
    void* data = nullptr;
    ASSERT_EQ(mesh->LockIndexBuffer(0, &data), D3D_OK);
    static_cast<WORD*>(data)[2] = 9;
    mesh->UnlockIndexBuffer();
    EXPECT_EQ(mesh->OptimizeInplace(D3DXMESHOPT_VERTEXCACHE, nullptr, nullptr, nullptr, nullptr),
              D3DERR_INVALIDCALL);
}

TEST_F(MeshTest, AdjacencyLinksFacesAcrossSharedPositions) {
    // Two triangles of a quad whose shared edge uses separate but equal vertices.
    build({{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {0, 0, 0}, {1, 1, 0}, {1, 0, 0}}, {0, 1, 2, 3, 4, 5},
          {0, 0});
    std::vector<DWORD> adjacency(6);
    ASSERT_EQ(mesh->GenerateAdjacency(0.0f, adjacency.data()), D3D_OK);
    EXPECT_EQ(adjacency,
              (std::vector<DWORD>{0xFFFFFFFFu, 0xFFFFFFFFu, 1, 0, 0xFFFFFFFFu, 0xFFFFFFFFu}));

    // Moved slightly apart, the edge joins only within the tolerance.
    void* data = nullptr;
    ASSERT_EQ(mesh->LockVertexBuffer(0, &data), D3D_OK);
    static_cast<Vertex*>(data)[4].x = 1.001f;
    mesh->UnlockVertexBuffer();
    ASSERT_EQ(mesh->GenerateAdjacency(0.0f, adjacency.data()), D3D_OK);
    EXPECT_EQ(adjacency[2], 0xFFFFFFFFu);
    ASSERT_EQ(mesh->GenerateAdjacency(0.01f, adjacency.data()), D3D_OK);
    EXPECT_EQ(adjacency[2], 1u);
}

}  // namespace
