// The quad renderer of both vertex types: its buffers as the device makes them, a chunk as
// it is drawn, its life across a device reset, and a vertex whose FVF lies about its size.
#include "engine/render/quad/particle_quad_renderer.h"

#include <gmock/gmock.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include "engine/render/device/listener_registration.h"
#include "engine/render/quad/quad_vertices.h"
#include "tests/render_quads/quads_fixture.h"
#include "tests/support/log_capture.h"

namespace kesh::testing {
namespace {

using ::testing::HasSubstr;

class ParticleQuadRendererTest : public QuadsTest {};

template <class V>
void expectBuffers(const particle_quad_renderer<V>& renderer, UINT quads) {
    ASSERT_NE(renderer.vertexBuffer(), nullptr);
    ASSERT_NE(renderer.indexBuffer(), nullptr);
    D3DVERTEXBUFFER_DESC vertexDesc{};
    renderer.vertexBuffer()->GetDesc(&vertexDesc);
    EXPECT_EQ(vertexDesc.Size, quads * 4 * sizeof(V));
    EXPECT_EQ(vertexDesc.FVF, V::kFvf);
    EXPECT_EQ(vertexDesc.Usage, static_cast<DWORD>(D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY));
    EXPECT_EQ(vertexDesc.Pool, D3DPOOL_DEFAULT);
    D3DINDEXBUFFER_DESC indexDesc{};
    renderer.indexBuffer()->GetDesc(&indexDesc);
    EXPECT_EQ(indexDesc.Format, D3DFMT_INDEX16);
    EXPECT_EQ(indexDesc.Pool, D3DPOOL_DEFAULT);
    EXPECT_EQ(readIndices(renderer.indexBuffer()), quadPattern(quads));
}

TEST_F(ParticleQuadRendererTest, BothVertexTypesGetTheirBuffersOnRegistration) {
    particle_quad_renderer<QuadVertex> quads(dx.get(), 64);
    particle_quad_renderer<SpriteVertex> sprites(dx.get(), 128);
    EXPECT_EQ(quads.vertexBuffer(), nullptr);
    {
        ListenerRegistration quadsRegistered(dx.get(), &quads);
        ListenerRegistration spritesRegistered(dx.get(), &sprites);
        expectBuffers(quads, 64);
        expectBuffers(sprites, 128);
    }
    // Leaving the device's list released them.
    EXPECT_EQ(quads.vertexBuffer(), nullptr);
    EXPECT_EQ(sprites.indexBuffer(), nullptr);
}

TEST_F(ParticleQuadRendererTest, AChunkIsDrawnFromItsBuffersAndLeavesNothingBound) {
    particle_quad_renderer<SpriteVertex> renderer(dx.get(), 128);
    ListenerRegistration registered(dx.get(), &renderer);
    SpriteVertex* v = renderer.lock(3);
    for (int i = 0; i < 12; ++i) {
        v[i] = SpriteVertex{static_cast<float>(i), 0, 0, 0, 0};
    }
    renderer.unlock();
    ASSERT_FALSE(record().locks.empty());
    EXPECT_EQ(record().locks.back().size, 3u * 4 * 20);
    EXPECT_EQ(record().locks.back().flags, static_cast<DWORD>(D3DLOCK_DISCARD));

    device->BeginScene();
    renderer.draw(3);
    device->EndScene();
    ASSERT_EQ(draws().size(), 1u);
    const d3d9::RecordedDraw& draw = draws().front();
    EXPECT_EQ(draw.kind, d3d9::DrawKind::Indexed);
    EXPECT_EQ(draw.primitiveCount, 6u);
    EXPECT_EQ(draw.numVertices, 12u);
    EXPECT_EQ(draw.stride, 20u);
    EXPECT_EQ(draw.state.fvf, SpriteVertex::kFvf);
    // Quad 2 is drawn as its vertices 8, 9, 10 and 8, 10, 11.
    ASSERT_EQ(draw.vertexNumbers.size(), 18u);
    EXPECT_EQ(std::vector<UINT>(draw.vertexNumbers.begin() + 12, draw.vertexNumbers.end()),
              std::vector<UINT>({8, 9, 10, 8, 10, 11}));

    DWORD fvf = 1;
    device->GetFVF(&fvf);
    EXPECT_EQ(fvf, 0u);
    IDirect3DIndexBuffer9* indices = nullptr;
    device->GetIndices(&indices);
    EXPECT_EQ(indices, nullptr);
    IDirect3DVertexBuffer9* stream = nullptr;
    UINT offset = 0, stride = 0;
    device->GetStreamSource(0, &stream, &offset, &stride);
    EXPECT_EQ(stream, nullptr);
}

TEST_F(ParticleQuadRendererTest, ADeviceResetMakesTheBuffersAgain) {
    particle_quad_renderer<QuadVertex> renderer(dx.get(), 64);
    ListenerRegistration registered(dx.get(), &renderer);
    loseAndResetDevice();
    expectBuffers(renderer, 64);
    EXPECT_NE(renderer.lock(64), nullptr);
    renderer.unlock();
}

TEST_F(ParticleQuadRendererTest, LockingBeyondTheBufferOrWithoutOneThrows) {
    particle_quad_renderer<QuadVertex> renderer(dx.get(), 4);
    EXPECT_THROW(renderer.lock(1), std::runtime_error);  // never registered: no buffer
    ListenerRegistration registered(dx.get(), &renderer);
    try {
        renderer.lock(5);
        renderer.unlock();
        ADD_FAILURE() << "a lock beyond the buffer succeeded";
    } catch (const std::runtime_error& e) {
        EXPECT_THAT(e.what(), HasSubstr("Vertex buffer lock failed"));
    }
}

TEST_F(ParticleQuadRendererTest, IndexBufferFailuresThrowTheSharedHelpersTexts) {
    const std::pair<void (*)(IDirect3DDevice9*, HRESULT), std::string> failures[] = {
        {d3d9::failNextIndexBufferCreate, "create_index_buffer: cannot create buffer ("},
        {d3d9::failNextIndexBufferLock, "lock_whole_ib: Failed to lock index buffer ("},
    };
    particle_quad_renderer<QuadVertex> renderer(dx.get(), 4);
    for (const auto& failure : failures) {
        failure.first(device, D3DERR_OUTOFVIDEOMEMORY);
        try {
            renderer.OnResetDevice();
            ADD_FAILURE() << failure.second;
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()).rfind(failure.second, 0), 0u) << e.what();
        }
        renderer.OnLostDevice();
    }
}

// Claims the coloured layout but is four bytes short of it.
struct ShortVertex {
    static constexpr DWORD kFvf = QuadVertex::kFvf;
    float x, y, z;
    float u, v;
};

TEST_F(ParticleQuadRendererTest, AVertexSizeMismatchIsLoggedThrownAndLeavesNoListener) {
    auto renderer = std::make_unique<particle_quad_renderer<ShortVertex>>(dx.get(), 8);
    morvale_testing::captureLog({"error"});
    try {
        ListenerRegistration registered(dx.get(), renderer.get());
        ADD_FAILURE() << "registration succeeded";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "particle_quad_renderer: Invalid FVF for vertex in renderer");
    }
    EXPECT_EQ(renderer->vertexBuffer(), nullptr);
    // A reset now must not reach the renderer, which is gone.
    renderer.reset();
    loseAndResetDevice();
    EXPECT_EQ(morvale_testing::linesOf("error"),
              std::vector<std::string>({"Declared vertex size (20)!= as of FVF size (24)",
                                        "vector2 size = 8", "vector3 size = 12"}));
}

}  // namespace
}  // namespace kesh::testing
