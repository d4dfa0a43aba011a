#include <cstring>

#include "d3d9_fixture.h"

namespace d3d9::testing {
namespace {

class DrawTest : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        vertices = makeVertices(8);
        float* data = nullptr;
        ASSERT_EQ(vertices->Lock(0, 0, reinterpret_cast<void**>(&data), D3DLOCK_DISCARD), D3D_OK);
        for (int v = 0; v < 8; ++v) {
            data[v * 5] = static_cast<float>(v);  // x names the vertex
        }
        ASSERT_EQ(vertices->Unlock(), D3D_OK);
        ASSERT_EQ(device->SetStreamSource(0, vertices, 0, 20), D3D_OK);
        ASSERT_EQ(device->SetFVF(0x102), D3D_OK);
        ASSERT_EQ(device->BeginScene(), D3D_OK);
    }

    void TearDown() override {
        device->SetStreamSource(0, nullptr, 0, 0);
        device->SetIndices(nullptr);
        vertices->Release();
        DeviceTest::TearDown();
    }

    static float xOf(const RecordedDraw& draw, size_t i) {
        float x = 0.0f;
        std::memcpy(&x, draw.vertex(i), sizeof x);
        return x;
    }

    IDirect3DVertexBuffer9* vertices = nullptr;
};

TEST_F(DrawTest, IndexedDrawReadsEveryIndexPlusBaseVertexWhateverTheHints) {
    IDirect3DIndexBuffer9* indices = makeIndices({0, 1, 2, 0, 2, 3});
    ASSERT_EQ(device->SetIndices(indices), D3D_OK);
    ASSERT_EQ(device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW), D3D_OK);
    setDebugName(vertices, "quad");
    setDrawTag(device, "gui.fx/t0/p0");
    // The hints claim one vertex only: all four are still drawn.
    ASSERT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 4, 0, 1, 0, 2), D3D_OK);
    ASSERT_EQ(record->draws.size(), 1u);
    const RecordedDraw& draw = record->draws[0];
    EXPECT_EQ(draw.kind, DrawKind::Indexed);
    EXPECT_EQ(draw.vertexNumbers, (std::vector<UINT>{4, 5, 6, 4, 6, 7}));
    EXPECT_EQ(xOf(draw, 5), 7.0f);
    EXPECT_EQ(draw.stride, 20u);
    ASSERT_EQ(draw.layout.size(), 2u);
    EXPECT_EQ(draw.layout[1].Usage, D3DDECLUSAGE_TEXCOORD);
    EXPECT_EQ(draw.state.renderState(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CW));
    EXPECT_EQ(draw.state.indices, indices);
    EXPECT_EQ(draw.tag, "gui.fx/t0/p0");

    // Base 5 reaches vertex 8, one past the buffer.
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 5, 0, 4, 0, 2), D3DERR_INVALIDCALL);
    // Seven indices do not exist.
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 3, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, -1, 0, 4, 0, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(record->draws.size(), 1u);
    indices->Release();
}

TEST_F(DrawTest, DrawsNeedALayoutBuffersAndAScene) {
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 6), D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 1, 6), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 1),
              D3DERR_INVALIDCALL);  // no index buffer

    // A stride smaller than the layout's vertex.
    ASSERT_EQ(device->SetStreamSource(0, vertices, 0, 12), D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->SetStreamSource(0, vertices, 0, 20), D3D_OK);

    ASSERT_EQ(device->SetFVF(0), D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->SetFVF(0x102), D3D_OK);

    ASSERT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->EndScene(), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->BeginScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(record->draws.size(), 1u);
    EXPECT_EQ(record->draws[0].vertexNumbers.size(), 8u);
}

TEST_F(DrawTest, UserPointerDrawRecordsItsVerticesAndUnbindsStreamZero) {
    float quad[4][6] = {};
    for (int v = 0; v < 4; ++v) {
        quad[v][0] = 10.0f + v;
        quad[v][3] = 0;
        DWORD colour = 0xFF112233u;
        std::memcpy(&quad[v][3], &colour, sizeof colour);
    }
    ASSERT_EQ(device->SetFVF(0x142), D3D_OK);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, 24), D3D_OK);
    IDirect3DVertexBuffer9* bound = vertices;
    UINT offset = 1;
    UINT stride = 1;
    ASSERT_EQ(device->GetStreamSource(0, &bound, &offset, &stride), D3D_OK);
    EXPECT_EQ(bound, nullptr);
    EXPECT_EQ(stride, 0u);
    ASSERT_EQ(record->draws.size(), 1u);
    const RecordedDraw& draw = record->draws[0];
    EXPECT_EQ(draw.kind, DrawKind::UserPointer);
    EXPECT_EQ(xOf(draw, 3), 13.0f);
    ASSERT_EQ(draw.layout.size(), 3u);
    EXPECT_EQ(draw.layout[1].Offset, 12);
    EXPECT_EQ(draw.layout[2].Offset, 16);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, 20), D3DERR_INVALIDCALL);
}

TEST_F(DrawTest, TexturesInForceAreRecordedWithTheirNames) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(
        device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
        D3D_OK);
    setDebugName(texture, "texture/hi/road.dds");
    EXPECT_EQ(debugName(texture), "texture/hi/road.dds");
    ASSERT_EQ(device->SetTexture(1, texture), D3D_OK);
    ASSERT_EQ(device->SetSamplerState(1, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR), D3D_OK);
    ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2), D3D_OK);
    ASSERT_EQ(device->SetTexture(1, nullptr), D3D_OK);
    EXPECT_EQ(texture->Release(), 0u);
    ASSERT_EQ(record->draws.size(), 1u);
    EXPECT_EQ(record->draws[0].textureNames[1], "texture/hi/road.dds");
    EXPECT_EQ(record->draws[0].textureNames[0], "");
    EXPECT_EQ(record->draws[0].state.samplerState(1, D3DSAMP_MAGFILTER),
              static_cast<DWORD>(D3DTEXF_LINEAR));
    EXPECT_EQ(record->draws[0].vertexNumbers, (std::vector<UINT>{0, 1, 2, 3, 4, 5}));
}

TEST_F(DrawTest, ClearsAndPresentsAreRecorded) {
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF202020u, 1.0f, 0),
              D3D_OK);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    ASSERT_EQ(record->clears.size(), 1u);
    EXPECT_EQ(record->clears[0].color, 0xFF202020u);
    EXPECT_EQ(record->clears[0].flags, 3u);
    EXPECT_EQ(record->beginScenes, 1);
    EXPECT_EQ(record->endScenes, 1);
    EXPECT_EQ(record->presents, 1);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
}

// The game's setting: draws, clears and locks leave no record (the counts stay); turned
// back on, recording picks up with the next draw.
TEST_F(DrawTest, WithRecordingOffTheNullDeviceKeepsNoRecords) {
    record->clear();
    setDrawRecording(false);
    EXPECT_FALSE(drawRecording());
    float* data = nullptr;
    EXPECT_EQ(vertices->Lock(0, 0, reinterpret_cast<void**>(&data), 0), D3D_OK);
    EXPECT_EQ(vertices->Unlock(), D3D_OK);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2), D3D_OK);
    const float user[3][5] = {};
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, user, 20), D3D_OK);
    EXPECT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(device->BeginScene(), D3D_OK);
    setDrawRecording(true);
    EXPECT_TRUE(record->draws.empty());
    EXPECT_TRUE(record->clears.empty());
    EXPECT_TRUE(record->locks.empty());
    EXPECT_EQ(record->endScenes, 1);
    EXPECT_EQ(record->beginScenes, 1);

    ASSERT_EQ(device->SetStreamSource(0, vertices, 0, 20), D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 3, 1), D3D_OK);
    ASSERT_EQ(record->draws.size(), 1u);
    EXPECT_EQ(record->draws[0].vertexNumbers, (std::vector<UINT>{3, 4, 5}));
}

}  // namespace
}  // namespace d3d9::testing
