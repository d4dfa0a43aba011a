// The decaler over the null device with the art folder's "decal.fx": the vertex cursor and
// its lock modes, the per-texture cap, the corners laid on the ground, unbinding, failures
// and a device reset.
#include "engine/render/quad/decaler.h"

#include <gmock/gmock.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include "engine/render/effect/effect_cache.h"
#include "engine/render/texture/texture_loader.h"
#include "tests/render_quads/quads_fixture.h"
#include "tests/support/allocation_counter.h"

namespace kesh::testing {
namespace {

using ::testing::HasSubstr;

// A ground at one height, counting its questions.
class FlatGround : public GroundHeightSource {
public:
    float groundHeight(const float point[2]) override {
        ++asked;
        lastX = point[0];
        lastZ = point[1];
        return height;
    }
    float height = 0.0f;
    int asked = 0;
    float lastX = 0.0f, lastZ = 0.0f;
};

class DecalerTest : public QuadsTest {
protected:
    void SetUp() override {
        QuadsTest::SetUp();
        for (int i = 0; i < 4; ++i) {
            writeArt("texture/hi/mark" + std::to_string(i) + ".dds",
                     solidDds(2, 2, 0xFF000000u | (0x40u << (8 * (i % 3)))));
        }
        decaler = std::make_unique<Decaler>(dx.get(), &ground);
        effect = theEffectCache->fetch(ResourceId("decal.fx"));
        ASSERT_NE(effect, nullptr);
        record().clear();
    }
    void TearDown() override {
        decaler.reset();
        QuadsTest::TearDown();
    }
    void renderFrame() {
        device->BeginScene();
        decaler->render(camera, effect);
        device->EndScene();
    }
    void addMarks(const std::string& texture, int count, float angle = 0.0f, float size = 1.0f) {
        const D3DXVECTOR3 centre(0, 7, 0);
        for (int i = 0; i < count; ++i) {
            decaler->addDecal(texture, &centre, angle, 0x80FFFFFF, size);
        }
    }
    std::vector<d3d9::RecordedLock> vertexLocks() {
        std::vector<d3d9::RecordedLock> locks;
        for (const auto& lock : record().locks) {
            if (lock.resource == decaler->vertexBuffer()) {
                locks.push_back(lock);
            }
        }
        return locks;
    }
    static QuadVertex drawnVertex(const d3d9::RecordedDraw& draw, size_t i) {
        QuadVertex vertex;
        std::memcpy(&vertex, draw.vertex(i), sizeof vertex);
        return vertex;
    }

    FlatGround ground;
    std::unique_ptr<Decaler> decaler;
    ID3DXEffect* effect = nullptr;
    CameraView camera;
};

TEST_F(DecalerTest, TheBuffersAsMade) {
    D3DINDEXBUFFER_DESC indexDesc{};
    decaler->indexBuffer()->GetDesc(&indexDesc);
    EXPECT_EQ(indexDesc.Size, 24000u);
    EXPECT_EQ(indexDesc.Pool, D3DPOOL_MANAGED);
    EXPECT_EQ(readIndices(decaler->indexBuffer()), quadPattern(2000));
    D3DVERTEXBUFFER_DESC vertexDesc{};
    decaler->vertexBuffer()->GetDesc(&vertexDesc);
    EXPECT_EQ(vertexDesc.Size, 192000u);
    EXPECT_EQ(vertexDesc.Usage, static_cast<DWORD>(D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY));
    EXPECT_EQ(vertexDesc.FVF, QuadVertex::kFvf);
    EXPECT_EQ(vertexDesc.Pool, D3DPOOL_DEFAULT);
}

TEST_F(DecalerTest, BucketsAppendWithNoOverwriteUntilTheBufferWouldBeFull) {
    for (int i = 0; i < 4; ++i) {
        addMarks("mark" + std::to_string(i) + ".dds", 500);
    }
    renderFrame();
    const auto locks = vertexLocks();
    ASSERT_EQ(locks.size(), 4u);
    // The fourth would end at exactly 8000: it discards and starts over.
    const UINT offsets[4] = {0, 2000 * 24, 4000 * 24, 0};
    const UINT sizes[4] = {0, 2000 * 24, 2000 * 24, 0};
    const DWORD flags[4] = {D3DLOCK_DISCARD, D3DLOCK_NOOVERWRITE, D3DLOCK_NOOVERWRITE,
                            D3DLOCK_DISCARD};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(locks[i].offset, offsets[i]);
        EXPECT_EQ(locks[i].size, sizes[i]);
        EXPECT_EQ(locks[i].flags, flags[i]);
    }
    ASSERT_EQ(draws().size(), 4u);  // one drawing pass
    const INT bases[4] = {0, 2000, 4000, 0};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(draws()[i].baseVertex, bases[i]);
        EXPECT_EQ(draws()[i].minIndex, 0u);
        EXPECT_EQ(draws()[i].numVertices, 2000u);
        EXPECT_EQ(draws()[i].startIndex, 0u);
        EXPECT_EQ(draws()[i].primitiveCount, 1000u);
        EXPECT_EQ(draws()[i].state.fvf, QuadVertex::kFvf);
    }
    // Each bucket is drawn with its own texture.
    EXPECT_NE(draws()[0].state.textures[0], draws()[1].state.textures[0]);

    // The next frame discards again for its first bucket.
    record().clear();
    renderFrame();
    ASSERT_FALSE(vertexLocks().empty());
    EXPECT_EQ(vertexLocks()[0].flags, static_cast<DWORD>(D3DLOCK_DISCARD));
}

TEST_F(DecalerTest, TwoFullBucketsBothStartAtTheFront) {
    addMarks("mark0.dds", 1024);
    addMarks("mark1.dds", 1024);
    renderFrame();
    const auto locks = vertexLocks();
    ASSERT_EQ(locks.size(), 2u);
    EXPECT_EQ(locks[0].flags, static_cast<DWORD>(D3DLOCK_DISCARD));
    EXPECT_EQ(locks[1].flags, static_cast<DWORD>(D3DLOCK_DISCARD));
    ASSERT_EQ(draws().size(), 2u);
    EXPECT_EQ(draws()[1].baseVertex, 0);
    EXPECT_EQ(draws()[1].numVertices, 4096u);
}

TEST_F(DecalerTest, TheThousandAndTwentyFifthMarkOfATextureIsDropped) {
    addMarks("mark0.dds", 1025);
    addMarks("mark1.dds", 1);
    ASSERT_EQ(decaler->buckets().size(), 2u);
    IDirect3DTexture9* first = theTextureCache->fetch(ResourceId("mark0.dds"));
    IDirect3DTexture9* second = theTextureCache->fetch(ResourceId("mark1.dds"));
    EXPECT_EQ(decaler->buckets().at(first).size(), 1024u);
    EXPECT_EQ(decaler->buckets().at(second).size(), 1u);
    // Cleared, a bucket takes marks again and keeps its storage.
    decaler->clear();
    EXPECT_TRUE(decaler->buckets().at(first).empty());
    EXPECT_GE(decaler->buckets().at(first).capacity(), 1024u);
    addMarks("mark0.dds", 1);
    EXPECT_EQ(decaler->buckets().at(first).size(), 1u);
}

TEST_F(DecalerTest, NothingQueuedLocksAndDrawsNothing) {
    renderFrame();
    addMarks("mark0.dds", 3);
    decaler->clear();
    renderFrame();
    EXPECT_TRUE(vertexLocks().empty());
    EXPECT_TRUE(draws().empty());
}

TEST_F(DecalerTest, AnUnturnedMarkStandsOnItsCornersAtTheGroundsHeight) {
    ground.height = 2.5f;
    const D3DXVECTOR3 centre(0, 100, 0);  // its own y is not used
    decaler->addDecal("mark0.dds", &centre, 0.0f, 0x60FFFFFF, 1.0f);
    renderFrame();
    ASSERT_EQ(draws().size(), 1u);
    const size_t drawn[4] = {0, 1, 2, 5};  // 0, 1, 2, 0, 2, 3
    const float corners[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const QuadVertex v = drawnVertex(draws()[0], drawn[i]);
        EXPECT_FLOAT_EQ(v.x, corners[i][0]);
        EXPECT_FLOAT_EQ(v.y, 2.5f);
        EXPECT_FLOAT_EQ(v.z, corners[i][1]);
        EXPECT_EQ(v.u, uv[i][0]);
        EXPECT_EQ(v.v, uv[i][1]);
        EXPECT_EQ(v.colour, 0x60FFFFFFu);
    }
    EXPECT_EQ(ground.asked, 4);
    EXPECT_FLOAT_EQ(ground.lastX, 0.0f);  // corner 3, at (0, -1)
    EXPECT_FLOAT_EQ(ground.lastZ, -1.0f);
}

TEST_F(DecalerTest, AQuarterTurnMovesTheFirstCornersAsTheTableSays) {
    const D3DXVECTOR3 centre(10, 0, 20);
    decaler->addDecal("mark0.dds", &centre, D3DX_PI / 2, 0xFFFFFFFF, 3.0f);
    const DecalRecord& mark = decaler->buckets().begin()->second.front();
    EXPECT_EQ(mark.kind, 1u);
    EXPECT_FLOAT_EQ(mark.sinHalf, std::sin(D3DX_PI / 4));
    EXPECT_FLOAT_EQ(mark.cosHalf, std::cos(D3DX_PI / 4));
    renderFrame();
    ASSERT_EQ(draws().size(), 1u);
    const QuadVertex v0 = drawnVertex(draws()[0], 0), v1 = drawnVertex(draws()[0], 1);
    EXPECT_NEAR(v0.x, 10.0f, 1e-5f);
    EXPECT_NEAR(v0.z, 17.0f, 1e-5f);
    EXPECT_NEAR(v1.x, 13.0f, 1e-5f);
    EXPECT_NEAR(v1.z, 20.0f, 1e-5f);
}

TEST_F(DecalerTest, TheBuffersAreUnboundAfterDrawing) {
    addMarks("mark0.dds", 2);
    renderFrame();
    ASSERT_EQ(draws().size(), 1u);
    EXPECT_EQ(draws()[0].state.indices, decaler->indexBuffer());
    IDirect3DIndexBuffer9* indices = nullptr;
    device->GetIndices(&indices);
    EXPECT_EQ(indices, nullptr);
    IDirect3DVertexBuffer9* stream = nullptr;
    UINT offset = 0, stride = 0;
    device->GetStreamSource(0, &stream, &offset, &stride);
    EXPECT_EQ(stream, nullptr);
}

TEST_F(DecalerTest, AFailedDrawAndAMissingBufferThrowTheirMessages) {
    addMarks("mark0.dds", 1);
    // Outside a scene the device refuses to draw.
    try {
        decaler->render(camera, effect);
        ADD_FAILURE() << "drawn outside a scene";
    } catch (const std::runtime_error& e) {
        EXPECT_THAT(e.what(), HasSubstr("Decaler: DrawIndexedPrimitive failed"));
    }
    IDirect3DIndexBuffer9* indices = nullptr;
    device->GetIndices(&indices);
    EXPECT_EQ(indices, nullptr);  // unbound on the way out too

    decaler->OnLostDevice();
    try {
        renderFrame();
        ADD_FAILURE() << "drawn without a vertex buffer";
    } catch (const std::runtime_error& e) {
        EXPECT_THAT(e.what(), HasSubstr("Decaler: failed to lock vertex buffer"));
    }
    device->EndScene();
    decaler->OnResetDevice();
}

TEST_F(DecalerTest, IndexBufferFailuresThrowTheDecalersTexts) {
    const std::pair<void (*)(IDirect3DDevice9*, HRESULT), std::string> failures[] = {
        {d3d9::failNextIndexBufferCreate, "Decaler: failed to create index buffer ("},
        {d3d9::failNextIndexBufferLock, "Decaler: failed to lock index buffer ("},
    };
    for (const auto& failure : failures) {
        failure.first(device, D3DERR_OUTOFVIDEOMEMORY);
        try {
            Decaler another(dx.get(), &ground);
            ADD_FAILURE() << failure.second;
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()).rfind(failure.second, 0), 0u) << e.what();
        }
    }
}

TEST_F(DecalerTest, ADeviceResetLeavesTheDecalerDrawing) {
    addMarks("mark0.dds", 5);
    IDirect3DIndexBuffer9* indices = decaler->indexBuffer();
    loseAndResetDevice();
    ASSERT_NE(decaler->vertexBuffer(), nullptr);
    EXPECT_EQ(decaler->indexBuffer(), indices);  // managed: kept
    EXPECT_EQ(decaler->buckets().begin()->second.size(), 5u);
    record().clear();
    renderFrame();
    ASSERT_EQ(draws().size(), 1u);
    EXPECT_EQ(draws()[0].primitiveCount, 10u);
}

// The device layer takes heap memory for a discarding lock and each draw, so a frame is
// measured against the same device calls made without the decaler.
TEST_F(DecalerTest, ASteadyFrameTakesNoHeapBeyondTheDevicesOwn) {
    const ResourceId texture("marks/a_texture_name_longer_than_any_short_string.dds");
    const D3DXVECTOR3 centre(1, 0, 1);
    auto queue = [&] {
        decaler->clear();
        for (int i = 0; i < 100; ++i) {
            decaler->addDecal(texture, &centre, 0.5f, 0xFFFFFFFF, 2.0f);
        }
    };
    queue();
    renderFrame();
    d3d9::setDrawRecording(false);  // the null device's records would count

    allocation_counter::start();
    queue();
    const std::size_t queued = allocation_counter::stop();
    allocation_counter::start();
    renderFrame();
    const std::size_t rendered = allocation_counter::stop();

    allocation_counter::start();
    device->BeginScene();
    void* data = nullptr;
    decaler->vertexBuffer()->Lock(0, 0, &data, D3DLOCK_DISCARD);
    decaler->vertexBuffer()->Unlock();
    device->SetFVF(QuadVertex::kFvf);
    device->SetIndices(decaler->indexBuffer());
    device->SetStreamSource(0, decaler->vertexBuffer(), 0, sizeof(QuadVertex));
    device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 400, 0, 200);
    device->SetStreamSource(0, nullptr, 0, 0);
    device->SetIndices(nullptr);
    device->EndScene();
    const std::size_t deviceOwn = allocation_counter::stop();
    d3d9::setDrawRecording(true);

    EXPECT_EQ(queued, 0u);
    EXPECT_EQ(rendered, deviceOwn);
}

}  // namespace
}  // namespace kesh::testing
