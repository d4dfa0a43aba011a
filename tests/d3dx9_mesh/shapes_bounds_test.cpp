// Box and sphere meshes, bounding volumes and vertex sizes, by hand-worked values.
#include <d3dx9.h>

#include <cmath>
#include <vector>

#include "tests/d3dx9_mesh/mesh_fixture.h"

namespace {

struct ShapeVertex {
    D3DXVECTOR3 position;
    D3DXVECTOR3 normal;
};

class ShapeTest : public MeshDeviceTest {
protected:
    std::vector<ShapeVertex> vertices() { return readVertices<ShapeVertex>(); }

    // Every triangle winds clockwise seen from outside: with left-handed axes the cross
    // product of its edges points away from the centre.
    void expectOutwardWinding() {
        const auto v = vertices();
        const auto i = readIndices();
        for (size_t f = 0; f < i.size() / 3; ++f) {
            const D3DXVECTOR3& a = v[i[f * 3]].position;
            const D3DXVECTOR3& b = v[i[f * 3 + 1]].position;
            const D3DXVECTOR3& c = v[i[f * 3 + 2]].position;
            D3DXVECTOR3 ab = b - a;
            D3DXVECTOR3 ac = c - a;
            D3DXVECTOR3 cross;
            D3DXVec3Cross(&cross, &ab, &ac);
            D3DXVECTOR3 centre = (a + b + c) / 3.0f;
            EXPECT_GT(D3DXVec3Dot(&cross, &centre), 0.0f) << "face " << f;
        }
    }
};

TEST_F(ShapeTest, BoxHasFourVerticesPerSideWithTheSideNormal) {
    ID3DXBuffer* adjacency = nullptr;
    ASSERT_EQ(D3DXCreateBox(device, 1.0f, 4.0f, 2.0f, &mesh, &adjacency), D3D_OK);
    EXPECT_EQ(mesh->GetNumVertices(), 24u);
    EXPECT_EQ(mesh->GetNumFaces(), 12u);
    EXPECT_EQ(mesh->GetFVF(), static_cast<DWORD>(D3DFVF_XYZ | D3DFVF_NORMAL));
    for (const ShapeVertex& vertex : vertices()) {
        EXPECT_FLOAT_EQ(std::abs(vertex.position.x), 0.5f);
        EXPECT_FLOAT_EQ(std::abs(vertex.position.y), 2.0f);
        EXPECT_FLOAT_EQ(std::abs(vertex.position.z), 1.0f);
        // The normal names the side the vertex lies on.
        const float along = vertex.normal.x * vertex.position.x * 2.0f +
                            vertex.normal.y * vertex.position.y * 0.5f +
                            vertex.normal.z * vertex.position.z;
        EXPECT_FLOAT_EQ(along, 1.0f);
    }
    expectOutwardWinding();
    // Closed surface: every edge has a neighbour.
    ASSERT_NE(adjacency, nullptr);
    ASSERT_EQ(adjacency->GetBufferSize(), 12u * 3u * 4u);
    const DWORD* neighbours = static_cast<const DWORD*>(adjacency->GetBufferPointer());
    for (int i = 0; i < 36; ++i) {
        EXPECT_LT(neighbours[i], 12u);
    }
    adjacency->Release();

    record->clear();
    ASSERT_EQ(mesh->DrawSubset(0), D3D_OK);
    ASSERT_EQ(record->draws.size(), 1u);
    EXPECT_EQ(record->draws[0].primitiveCount, 12u);
    EXPECT_EQ(record->draws[0].stride, 24u);
}

TEST_F(ShapeTest, SphereOfFiveSlicesAndStacks) {
    ASSERT_EQ(D3DXCreateSphere(device, 2.0f, 5, 5, &mesh, nullptr), D3D_OK);
    // Two poles and four rings of five; five triangles per cap, ten per band.
    EXPECT_EQ(mesh->GetNumVertices(), 22u);
    EXPECT_EQ(mesh->GetNumFaces(), 40u);
    for (const ShapeVertex& vertex : vertices()) {
        EXPECT_NEAR(D3DXVec3Length(&vertex.position), 2.0f, 1e-5f);
        const D3DXVECTOR3 direction = vertex.position / 2.0f;
        EXPECT_NEAR(direction.x, vertex.normal.x, 1e-5f);
        EXPECT_NEAR(direction.y, vertex.normal.y, 1e-5f);
        EXPECT_NEAR(direction.z, vertex.normal.z, 1e-5f);
    }
    expectOutwardWinding();
    record->clear();
    ASSERT_EQ(mesh->DrawSubset(0), D3D_OK);
    ASSERT_EQ(record->draws.size(), 1u);
    EXPECT_EQ(record->draws[0].primitiveCount, 40u);
}

TEST_F(ShapeTest, ShapesRejectDegenerateRequests) {
    EXPECT_EQ(D3DXCreateSphere(device, 1.0f, 1, 5, &mesh, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateSphere(device, -1.0f, 5, 5, &mesh, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateSphere(device, 1.0f, 5000, 5000, &mesh, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateBox(device, NAN, 1.0f, 1.0f, &mesh, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateBox(nullptr, 1.0f, 1.0f, 1.0f, &mesh, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(mesh, nullptr);
}

// Positions 20 bytes apart, as in an xyz + uv vertex.
struct PositionWithUv {
    D3DXVECTOR3 position;
    float u, v;
};

TEST(Bounds, BoxAndSphereOverStridedPositions) {
    const PositionWithUv points[] = {{D3DXVECTOR3(0, 0, 0), 9, 9},
                                     {D3DXVECTOR3(2, 0, 0), 9, 9},
                                     {D3DXVECTOR3(0, 4, 0), 9, 9},
                                     {D3DXVECTOR3(2, 4, 6), 9, 9}};
    D3DXVECTOR3 low, high;
    ASSERT_EQ(D3DXComputeBoundingBox(&points[0].position, 4, sizeof(PositionWithUv), &low, &high),
              D3D_OK);
    EXPECT_EQ(low, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(high, D3DXVECTOR3(2, 4, 6));

    // Centre: the mean (1, 2, 1.5); radius: the distance to (2, 4, 6), sqrt(1 + 4 + 20.25).
    D3DXVECTOR3 centre;
    float radius = 0.0f;
    ASSERT_EQ(
        D3DXComputeBoundingSphere(&points[0].position, 4, sizeof(PositionWithUv), &centre, &radius),
        D3D_OK);
    EXPECT_FLOAT_EQ(centre.x, 1.0f);
    EXPECT_FLOAT_EQ(centre.y, 2.0f);
    EXPECT_FLOAT_EQ(centre.z, 1.5f);
    EXPECT_FLOAT_EQ(radius, std::sqrt(25.25f));

    EXPECT_EQ(D3DXComputeBoundingBox(nullptr, 4, 20, &low, &high), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXComputeBoundingBox(&points[0].position, 0, 20, &low, &high), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXComputeBoundingSphere(&points[0].position, 4, 20, &centre, nullptr),
              D3DERR_INVALIDCALL);
}

TEST(VertexFormat, SizesAndDeclarationsOfFvfCodes) {
    EXPECT_EQ(D3DXGetFVFVertexSize(0x102), 20u);
    EXPECT_EQ(D3DXGetFVFVertexSize(0x142), 24u);
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX2), 40u);
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZRHW | D3DFVF_DIFFUSE), 20u);
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZ | D3DFVF_TEX1 | D3DFVF_TEXCOORDSIZE3(0)), 24u);
    EXPECT_EQ(D3DXGetFVFVertexSize(0), 0u);  // no position

    D3DVERTEXELEMENT9 elements[MAX_FVF_DECL_SIZE];
    ASSERT_EQ(D3DXDeclaratorFromFVF(0x142, elements), D3D_OK);
    EXPECT_EQ(elements[1].Offset, 12);
    EXPECT_EQ(elements[1].Type, D3DDECLTYPE_D3DCOLOR);
    EXPECT_EQ(elements[2].Offset, 16);
    EXPECT_EQ(elements[2].Usage, D3DDECLUSAGE_TEXCOORD);
    EXPECT_EQ(elements[3].Stream, 0xFF);
    EXPECT_EQ(D3DXGetDeclVertexSize(elements, 0), 24u);
    EXPECT_EQ(D3DXDeclaratorFromFVF(0x800 | D3DFVF_XYZ | 0x100 * 9, elements), D3DERR_INVALIDCALL);
}

}  // namespace
