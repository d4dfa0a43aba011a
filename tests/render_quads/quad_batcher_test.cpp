// The quad batcher over the null device with the art folder's "billboard.fx": chunking,
// bucket order, the flags-to-parameters rule, the corners of both kinds of quad, clear,
// a device reset and the heap in a steady frame.
#include "engine/render/quad/quad_batcher.h"

#include <gmock/gmock.h>

#include <cstring>
#include <memory>

#include "engine/render/effect/effect_cache.h"
#include "tests/render_quads/quads_fixture.h"
#include "tests/support/allocation_counter.h"

namespace kesh::testing {
namespace {

class QuadBatcherTest : public QuadsTest {
protected:
    void SetUp() override {
        QuadsTest::SetUp();
        batcher = std::make_unique<QuadBatcher>(dx.get());
        effect = theEffectCache->fetch(ResourceId("billboard.fx"));
        ASSERT_NE(effect, nullptr);
        record().clear();
    }
    void TearDown() override {
        batcher.reset();
        QuadsTest::TearDown();
    }
    void renderFrame() {
        device->BeginScene();
        batcher->render(camera, effect);
        device->EndScene();
    }
    void addBillboard(const std::string& texture, std::uint32_t colour, std::uint32_t flags,
                      float x = 0.0f) {
        const float position[3] = {x, 0.0f, 5.0f};
        const float size[2] = {1.0f, 1.0f};
        batcher->addBillboard(texture, position, size, colour, flags);
    }
    // The drawn vertex i of a draw (primitive order: 0, 1, 2, 0, 2, 3 per quad).
    static QuadVertex drawnVertex(const d3d9::RecordedDraw& draw, size_t i) {
        QuadVertex vertex;
        std::memcpy(&vertex, draw.vertex(i), sizeof vertex);
        return vertex;
    }
    // The vertex buffer locks since the last clear of the record.
    std::vector<d3d9::RecordedLock> vertexLocks() {
        std::vector<d3d9::RecordedLock> locks;
        for (const auto& lock : record().locks) {
            if (lock.resource == batcher->quadRenderer().vertexBuffer()) {
                locks.push_back(lock);
            }
        }
        return locks;
    }

    std::unique_ptr<QuadBatcher> batcher;
    ID3DXEffect* effect = nullptr;
    CameraView camera;  // at the origin looking down +z: right (1, 0, 0), up (0, 1, 0)
};

TEST_F(QuadBatcherTest, OneHundredAndFiftyBillboardsDrawInChunksOf64And64And22) {
    for (int i = 0; i < 150; ++i) {
        addBillboard("smoke.dds", 0xFF000000u | static_cast<std::uint32_t>(i), QuadAlphaBlend);
    }
    renderFrame();
    ASSERT_EQ(draws().size(), 3u);  // one drawing pass
    EXPECT_EQ(draws()[0].primitiveCount, 128u);
    EXPECT_EQ(draws()[1].primitiveCount, 128u);
    EXPECT_EQ(draws()[2].primitiveCount, 44u);
    EXPECT_EQ(draws()[2].numVertices, 88u);
    // Each chunk starts at the buffer's front, written from where the last one stopped.
    EXPECT_EQ(drawnVertex(draws()[1], 0).colour, 0xFF000000u | 64);
    EXPECT_EQ(drawnVertex(draws()[2], 0).colour, 0xFF000000u | 128);
    EXPECT_EQ(drawnVertex(draws()[2], draws()[2].vertexNumbers.size() - 1).colour,
              0xFF000000u | 149);
    const auto locks = vertexLocks();
    ASSERT_EQ(locks.size(), 3u);
    EXPECT_EQ(locks[0].size, 64u * 96);
    EXPECT_EQ(locks[2].size, 22u * 96);
    for (const auto& lock : locks) {
        EXPECT_EQ(lock.offset, 0u);
        EXPECT_EQ(lock.flags, static_cast<DWORD>(D3DLOCK_DISCARD));
    }
    EXPECT_EQ(draws()[0].state.fvf, QuadVertex::kFvf);
    EXPECT_EQ(draws()[0].stride, 24u);
}

TEST_F(QuadBatcherTest, BucketsDrawByTextureNameThenFlagsAndQuadsAfterBillboards) {
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, 0, 0, 5);
    batcher->addQuad("a.dds", &world, 0xFF000005, 0);
    addBillboard("b.dds", 0xFF000004, QuadAlphaBlend | QuadDepthTest);
    addBillboard("b.dds", 0xFF000003, QuadDepthTest);
    addBillboard("a.dds", 0xFF000002, QuadDepthTest | QuadDepthWrite);
    addBillboard("a.dds", 0xFF000001, QuadAdditive);
    renderFrame();
    std::vector<std::uint32_t> order;
    for (const auto& draw : draws()) {
        order.push_back(drawnVertex(draw, 0).colour & 0xFF);
    }
    EXPECT_EQ(order, std::vector<std::uint32_t>({1, 2, 3, 4, 5}));
    ASSERT_EQ(draws().size(), 5u);
    EXPECT_EQ(draws()[0].state.renderState(D3DRS_ZENABLE), 0u);
    EXPECT_EQ(draws()[1].state.renderState(D3DRS_ZWRITEENABLE), 1u);
    EXPECT_EQ(draws()[2].state.renderState(D3DRS_ALPHABLENDENABLE), 0u);
    EXPECT_EQ(draws()[3].state.renderState(D3DRS_ALPHABLENDENABLE), 1u);
    EXPECT_EQ(batcher->billboardBuckets().size(), 4u);
    EXPECT_EQ(batcher->quadBuckets().size(), 1u);
}

TEST_F(QuadBatcherTest, FlagsBecomeTheEffectsStateParameters) {
    struct Case {
        std::uint32_t flags;
        BOOL zTest, zWrite, blend;
        INT cull, src, dst;
    };
    // src and dst of -1: blending is off and leaves them as they were (7 and 8).
    const Case cases[] = {
        {0x3, FALSE, FALSE, TRUE, D3DCULL_CCW, 5, 6},
        {0x2, FALSE, FALSE, TRUE, D3DCULL_CCW, 5, 2},
        {0x1 | 0x400, FALSE, FALSE, TRUE, D3DCULL_NONE, 5, 6},
        {0x100, TRUE, FALSE, FALSE, D3DCULL_CCW, -1, -1},
        {0x200 | 0x400, FALSE, TRUE, FALSE, D3DCULL_NONE, -1, -1},
        {0, FALSE, FALSE, FALSE, D3DCULL_CCW, -1, -1},
        {0xF0F8, FALSE, FALSE, FALSE, D3DCULL_CCW, -1, -1},  // no bit the drawing knows
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        effect->SetBool("zTest", !c.zTest);
        effect->SetBool("zWrite", !c.zWrite);
        effect->SetInt("srcBlend", 7);
        effect->SetInt("dstBlend", 8);
        applyQuadStateFlags(effect, c.flags);
        BOOL zTest = 0, zWrite = 0, blend = 0;
        INT cull = 0, src = 0, dst = 0;
        effect->GetBool("zTest", &zTest);
        effect->GetBool("zWrite", &zWrite);
        effect->GetBool("alphaBlendEnable", &blend);
        effect->GetInt("cullMode", &cull);
        effect->GetInt("srcBlend", &src);
        effect->GetInt("dstBlend", &dst);
        EXPECT_EQ(zTest, c.zTest);
        EXPECT_EQ(zWrite, c.zWrite);
        EXPECT_EQ(blend, c.blend);
        EXPECT_EQ(cull, c.cull);
        EXPECT_EQ(src, c.src < 0 ? 7 : c.src);
        EXPECT_EQ(dst, c.dst < 0 ? 8 : c.dst);
    }
}

void expectCorners(const d3d9::RecordedDraw& draw, const float corners[4][3]) {
    // Drawn as 0, 1, 2, 0, 2, 3: vertex 3 is the sixth drawn.
    const size_t drawn[4] = {0, 1, 2, 5};
    const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        QuadVertex v;
        std::memcpy(&v, draw.vertex(drawn[i]), sizeof v);
        EXPECT_NEAR(v.x, corners[i][0], 1e-6f);
        EXPECT_NEAR(v.y, corners[i][1], 1e-6f);
        EXPECT_NEAR(v.z, corners[i][2], 1e-6f);
        EXPECT_EQ(v.u, uv[i][0]);
        EXPECT_EQ(v.v, uv[i][1]);
        EXPECT_EQ(v.colour, 0x80402010u);
    }
}

TEST_F(QuadBatcherTest, ABillboardSpansTheCameraAxesAroundItsCentre) {
    const float origin[3] = {0, 0, 0};
    const float size[2] = {2, 1};
    batcher->addBillboard("dot.dds", origin, size, 0x80402010, QuadNoCull);
    renderFrame();
    ASSERT_EQ(draws().size(), 1u);
    const float corners[4][3] = {{-1, 0.5f, 0}, {1, 0.5f, 0}, {1, -0.5f, 0}, {-1, -0.5f, 0}};
    expectCorners(draws()[0], corners);

    // A camera turned a quarter about y has (0, 0, -1) as its right: the quad turns with it.
    D3DXMATRIX turned;
    D3DXMatrixRotationY(&turned, D3DX_PI / 2);
    camera.setTransform(turned);
    record().clear();
    renderFrame();
    ASSERT_EQ(draws().size(), 1u);
    const float turnedCorners[4][3] = {{0, 0.5f, 1}, {0, 0.5f, -1}, {0, -0.5f, -1}, {0, -0.5f, 1}};
    expectCorners(draws()[0], turnedCorners);
}

TEST_F(QuadBatcherTest, AQuadIsTheUnitSquareInItsMatrixsXAndY) {
    D3DXMATRIX scaling, translation, world;
    D3DXMatrixScaling(&scaling, 4, 2, 7);  // z of the matrix does not matter: the square is flat
    D3DXMatrixTranslation(&translation, 1, 2, 3);
    D3DXMatrixMultiply(&world, &scaling, &translation);
    batcher->addQuad("q.dds", &world, 0x80402010, QuadNoCull);
    renderFrame();
    ASSERT_EQ(draws().size(), 1u);
    const float corners[4][3] = {{-1, 3, 3}, {3, 3, 3}, {3, 1, 3}, {-1, 1, 3}};
    expectCorners(draws()[0], corners);
}

TEST_F(QuadBatcherTest, ClearKeepsTheBucketsAndARenderAfterItOnlySetsTheMatrix) {
    for (int i = 0; i < 100; ++i) {
        addBillboard("smoke.dds", 0xFFFFFFFF, 0);
    }
    D3DXMATRIX world;
    D3DXMatrixIdentity(&world);
    batcher->addQuad("q.dds", &world, 0xFFFFFFFF, 0);
    batcher->clear();
    ASSERT_EQ(batcher->billboardBuckets().size(), 1u);
    const auto& bucket = batcher->billboardBuckets().begin()->second;
    EXPECT_TRUE(bucket.records.empty());
    EXPECT_GE(bucket.records.capacity(), 100u);
    EXPECT_TRUE(batcher->quadBuckets().begin()->second.records.empty());
    EXPECT_GE(batcher->quadBuckets().begin()->second.records.capacity(), 64u);

    const D3DXMATRIX zero;  // all zeros
    effect->SetMatrix("matrix_world_view_projection", &zero);
    renderFrame();
    EXPECT_TRUE(draws().empty());
    EXPECT_TRUE(vertexLocks().empty());
    D3DXMATRIX set;
    effect->GetMatrix("matrix_world_view_projection", &set);
    EXPECT_EQ(std::memcmp(&set, &camera.viewProjection, sizeof set), 0);
}

TEST_F(QuadBatcherTest, ADeviceResetLeavesTheBatcherDrawing) {
    addBillboard("smoke.dds", 0xFFFFFFFF, 0);
    loseAndResetDevice();
    EXPECT_EQ(readIndices(batcher->quadRenderer().indexBuffer()), quadPattern(64));
    record().clear();
    renderFrame();
    EXPECT_EQ(draws().size(), 1u);
}

// Queuing and drawing, the device's discarding locks included, once the first frame has made
// the buckets, loaded the texture and discarded once.
TEST_F(QuadBatcherTest, ASteadyFrameTakesNoHeap) {
    const std::string longName = "particles/a_texture_name_longer_than_any_short_string.dds";
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, 0, 0, 5);
    auto queue = [&] {
        batcher->clear();
        for (int i = 0; i < 100; ++i) {
            addBillboard(longName, 0xFFFFFFFF, QuadAlphaBlend);
        }
        batcher->addQuad(longName, &world, 0xFFFFFFFF, QuadAdditive);
    };
    queue();                        // makes the buckets
    renderFrame();                  // loads the texture
    d3d9::setDrawRecording(false);  // the null device's records would count

    allocation_counter::start();
    queue();
    const std::size_t queued = allocation_counter::stop();
    allocation_counter::start();
    renderFrame();
    const std::size_t rendered = allocation_counter::stop();

    d3d9::setDrawRecording(true);

    EXPECT_EQ(queued, 0u);
    EXPECT_EQ(rendered, 0u);
}

}  // namespace
}  // namespace kesh::testing
