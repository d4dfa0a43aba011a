// A null device in a scene, one mesh under test released at the end, and read-backs of
// the mesh's buffers.
#pragma once

#include <d3dx9.h>

#include <vector>

#include "tests/d3d9/d3d9_fixture.h"

class MeshDeviceTest : public d3d9::testing::DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        ASSERT_EQ(device->BeginScene(), D3D_OK);
    }

    void TearDown() override {
        if (mesh != nullptr) {
            EXPECT_EQ(mesh->Release(), 0u);
        }
        DeviceTest::TearDown();
    }

    // Indices widened to 32 bits, whatever the mesh stores.
    std::vector<DWORD> readIndices() {
        void* data = nullptr;
        EXPECT_EQ(mesh->LockIndexBuffer(D3DLOCK_READONLY, &data), D3D_OK);
        std::vector<DWORD> indices(mesh->GetNumFaces() * 3);
        for (size_t i = 0; i < indices.size(); ++i) {
            indices[i] = (mesh->GetOptions() & D3DXMESH_32BIT) ? static_cast<DWORD*>(data)[i]
                                                               : static_cast<WORD*>(data)[i];
        }
        mesh->UnlockIndexBuffer();
        return indices;
    }

    template <class Vertex>
    std::vector<Vertex> readVertices() {
        void* data = nullptr;
        EXPECT_EQ(mesh->LockVertexBuffer(D3DLOCK_READONLY, &data), D3D_OK);
        std::vector<Vertex> vertices(static_cast<Vertex*>(data),
                                     static_cast<Vertex*>(data) + mesh->GetNumVertices());
        mesh->UnlockVertexBuffer();
        return vertices;
    }

    ID3DXMesh* mesh = nullptr;
};
