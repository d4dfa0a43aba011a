// The sprite batch on the null device: the order of the queue, the quad and the parameters
// each sprite is drawn with, texts between the sprites, and the renderer across a reset.
#include "engine/render/gui/sprite_batch.h"

#include <d3dx9/effect_seams.h>
#include <d3dx9effect.h>

#include <cstring>

#include "engine/render/effect/effect_cache.h"
#include "tests/render_gui/gui_fixture.h"

namespace kesh::testing {
namespace {

constexpr float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};

struct Corner {
    float x, y, z, u, v;
};

// The vertex numbered n in stream 0 as the draw read it.
Corner vertexOf(const d3d9::RecordedDraw& draw, UINT n) {
    Corner corner{};
    for (size_t i = 0; i < draw.vertexNumbers.size(); ++i) {
        if (draw.vertexNumbers[i] == n) {
            std::memcpy(&corner, draw.vertex(i), sizeof corner);
            break;
        }
    }
    return corner;
}

// The texture the draw sampled; the effect chooses the sampler stage.
IDirect3DBaseTexture9* boundTexture(const d3d9::RecordedDraw& draw) {
    for (IDirect3DBaseTexture9* texture : draw.state.textures) {
        if (texture != nullptr) {
            return texture;
        }
    }
    return nullptr;
}

class SpriteBatchTest : public GuiTest {
protected:
    SpriteBatchTest() : GuiTest(morvale_testing::DeviceKind::Null, 800, 600) {}

    void SetUp() override {
        GuiTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        batch = std::make_unique<SpriteBatch>(dx.get(), "gui.fx");
        effect = theEffectCache->fetch("gui.fx");
    }
    void TearDown() override {
        batch.reset();
        GuiTest::TearDown();
    }

    static SpriteFrame frameOf(const std::string& name, int width, int height) {
        const int size[2] = {width, height};
        return SpriteFrame(name, size);
    }
    void flush() {
        record().clear();
        d3dx9::clearTextDraws();
        device->BeginScene();
        batch->flush();
        device->EndScene();
    }
    std::vector<const d3d9::RecordedDraw*> spriteDraws() {
        std::vector<const d3d9::RecordedDraw*> found;
        for (const d3d9::RecordedDraw& draw : draws()) {
            if (draw.kind == d3d9::DrawKind::Indexed) {
                found.push_back(&draw);
            }
        }
        return found;
    }

    std::unique_ptr<SpriteBatch> batch;
    ID3DXEffect* effect = nullptr;
};

TEST_F(SpriteBatchTest, LowerLayersComeFirstAndOneLayerKeepsTheQueuedOrder) {
    batch->addSprite(0, 0, 2, frameOf("red.dds", 1, 1));
    batch->addSprite(1, 0, 1, frameOf("red.dds", 1, 1));
    batch->addSprite(2, 0, 2, frameOf("red.dds", 1, 1));
    for (int i = 3; i < 20; ++i) {
        batch->addSprite(i, 0, 1, frameOf("red.dds", 1, 1));
    }
    batch->addSprite(20, 0, 0, frameOf("red.dds", 1, 1));
    const std::vector<SpriteItem>& queue = batch->queue();
    ASSERT_EQ(queue.size(), 21u);
    EXPECT_EQ(queue[0].x, 20);
    EXPECT_EQ(queue[1].x, 1);
    for (int i = 2; i < 19; ++i) {
        EXPECT_EQ(queue[i].layer, 1u);
        EXPECT_EQ(queue[i].x, i + 1);
    }
    EXPECT_EQ(queue[19].x, 0);
    EXPECT_EQ(queue[20].x, 2);

    flush();
    const auto sprites = spriteDraws();
    ASSERT_EQ(sprites.size(), 21u);
    EXPECT_FLOAT_EQ(vertexOf(*sprites[0], 0).x, 20.0f);
    EXPECT_FLOAT_EQ(vertexOf(*sprites[1], 0).x, 1.0f);
    EXPECT_FLOAT_EQ(vertexOf(*sprites[20], 0).x, 2.0f);

    batch->clear();
    EXPECT_TRUE(batch->queue().empty());
}

TEST_F(SpriteBatchTest, ASpriteIsOneQuadWithItsFramesCornersTextureAndTint) {
    std::istringstream index("needle hud 0.5 0 0.25 0.5\n");
    TextureAtlas atlas;
    atlas.load(index);
    writeTexture("hud.dds", 0xFFFFFFFF);
    const SpriteSource source(theTextureCache, &atlas);
    const int size[2] = {64, 32};
    const float tint[4] = {0.25f, 0.5f, 0.75f, 1.0f};
    batch->addTintedSprite(10, 20, 0, source.frame("needle", size), tint);
    flush();

    const auto sprites = spriteDraws();
    ASSERT_EQ(sprites.size(), 1u);
    const d3d9::RecordedDraw& draw = *sprites[0];
    EXPECT_EQ(draw.state.fvf, static_cast<DWORD>(D3DFVF_XYZ | D3DFVF_TEX1));
    EXPECT_EQ(draw.stride, 20u);
    EXPECT_EQ(draw.primitiveCount, 2u);
    EXPECT_EQ(draw.numVertices, 4u);
    const Corner expected[4] = {{10, 20, 0, 0.5f, 0.0f},
                                {74, 20, 0, 0.75f, 0.0f},
                                {74, 52, 0, 0.75f, 0.5f},
                                {10, 52, 0, 0.5f, 0.5f}};
    for (UINT n = 0; n < 4; ++n) {
        const Corner corner = vertexOf(draw, n);
        EXPECT_FLOAT_EQ(corner.x, expected[n].x) << n;
        EXPECT_FLOAT_EQ(corner.y, expected[n].y) << n;
        EXPECT_FLOAT_EQ(corner.z, 0.0f) << n;
        EXPECT_FLOAT_EQ(corner.u, expected[n].u) << n;
        EXPECT_FLOAT_EQ(corner.v, expected[n].v) << n;
    }
    EXPECT_EQ(boundTexture(draw), texture("hud.dds"));
    D3DXVECTOR4 colour;
    ASSERT_EQ(effect->GetVector("sprite_color", &colour), D3D_OK);
    EXPECT_FLOAT_EQ(colour.x, 0.25f);
    EXPECT_FLOAT_EQ(colour.z, 0.75f);
    // The batch leaves no texture in the effect.
    IDirect3DBaseTexture9* left = reinterpret_cast<IDirect3DBaseTexture9*>(1);
    ASSERT_EQ(effect->GetTexture("tex_0", &left), D3D_OK);
    EXPECT_EQ(left, nullptr);
}

TEST_F(SpriteBatchTest, PixelsMapToClipSpaceWithTheHalfPixelShift) {
    batch->addSprite(0, 0, 0, frameOf("red.dds", 1, 1));
    flush();
    D3DXMATRIX screen;
    ASSERT_EQ(effect->GetMatrix("matrix_world_view_projection", &screen), D3D_OK);
    const D3DXMATRIX expected = screenMatrix(800.0f, 600.0f);
    EXPECT_EQ(std::memcmp(&screen, &expected, sizeof screen), 0);
    const auto clip = [&](float x, float y) {
        D3DXVECTOR3 out;
        const D3DXVECTOR3 in(x, y, 0.0f);
        D3DXVec3TransformCoord(&out, &in, &screen);
        return out;
    };
    EXPECT_FLOAT_EQ(clip(0.5f, 0.5f).x, -1.0f);
    EXPECT_FLOAT_EQ(clip(0.5f, 0.5f).y, 1.0f);
    EXPECT_FLOAT_EQ(clip(800.5f, 600.5f).x, 1.0f);
    EXPECT_FLOAT_EQ(clip(800.5f, 600.5f).y, -1.0f);
    EXPECT_FLOAT_EQ(clip(400.5f, 300.5f).x, 0.0f);
    EXPECT_FLOAT_EQ(clip(400.5f, 300.5f).z, 0.0f);
}

TEST_F(SpriteBatchTest, AnEmptyFlushDrawsNothingAndOnlyNullsTheTexture) {
    D3DXMATRIX marker;
    D3DXMatrixScaling(&marker, 3.0f, 3.0f, 3.0f);
    ASSERT_EQ(effect->SetMatrix("matrix_world_view_projection", &marker), D3D_OK);
    ASSERT_EQ(effect->SetTexture("tex_0", texture("red.dds")), D3D_OK);
    const d3dx9::EffectCalls before = d3dx9::effectCalls(effect);
    flush();
    EXPECT_TRUE(draws().empty());
    EXPECT_EQ(d3dx9::effectCalls(effect).begins, before.begins);
    IDirect3DBaseTexture9* left = nullptr;
    ASSERT_EQ(effect->GetTexture("tex_0", &left), D3D_OK);
    EXPECT_EQ(left, nullptr);
    D3DXMATRIX kept;
    ASSERT_EQ(effect->GetMatrix("matrix_world_view_projection", &kept), D3D_OK);
    EXPECT_FLOAT_EQ(kept._11, 3.0f);
}

TEST_F(SpriteBatchTest, TextsAndSpritesAreDrawnInQueueOrder) {
    Font font(dx.get(), FontDesc{10, "Tahoma"});
    const int box[4] = {0, 0, 200, 50};
    const float red[4] = {1.0f, 0.0f, 0.0f, 1.0f};
    batch->addSprite(5, 5, 1, frameOf("green.dds", 8, 8));
    batch->addText(box, 2, L"over", &font, red, DT_LEFT);
    batch->addText(box, 0, L"under", &font, kWhite, DT_CENTER);
    batch->addSprite(6, 6, 2, frameOf("blue.dds", 8, 8));
    flush();

    // The font draws its glyphs from user memory, the batch from its own buffers.
    std::vector<d3d9::DrawKind> kinds;
    for (const d3d9::RecordedDraw& draw : draws()) {
        kinds.push_back(draw.kind);
    }
    using d3d9::DrawKind;
    EXPECT_EQ(kinds, (std::vector<DrawKind>{DrawKind::UserPointer, DrawKind::Indexed,
                                            DrawKind::UserPointer, DrawKind::Indexed}));
    const auto& texts = d3dx9::textDraws();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, L"under");
    EXPECT_EQ(texts[0].format, static_cast<DWORD>(DT_CENTER | DT_EXPANDTABS));
    EXPECT_EQ(texts[0].color, 0xFFFFFFFFu);
    EXPECT_EQ(texts[1].text, L"over");
    EXPECT_EQ(texts[1].color, 0xFFFF0000u);
    EXPECT_EQ(texts[1].rect.right, 200);
    const auto sprites = spriteDraws();
    ASSERT_EQ(sprites.size(), 2u);
    EXPECT_EQ(boundTexture(*sprites[0]), texture("green.dds"));
    EXPECT_EQ(boundTexture(*sprites[1]), texture("blue.dds"));
}

TEST_F(SpriteBatchTest, AZeroWidthFrameIsADegenerateQuadAndATextWithoutFontIsSkipped) {
    const int box[4] = {0, 0, 10, 10};
    batch->addText(box, 0, L"lost", nullptr, kWhite, 0);
    batch->addSprite(7, 7, 0, frameOf("red.dds", 0, 5));
    flush();
    const auto sprites = spriteDraws();
    ASSERT_EQ(sprites.size(), 1u);
    EXPECT_FLOAT_EQ(vertexOf(*sprites[0], 1).x, 7.0f);
    EXPECT_TRUE(d3dx9::textDraws().empty());
}

TEST_F(SpriteBatchTest, AFlushDrawsTheSameQueueAgain) {
    batch->addSprite(1, 2, 0, frameOf("red.dds", 3, 4));
    flush();
    flush();
    EXPECT_EQ(spriteDraws().size(), 1u);
    EXPECT_EQ(batch->queue().size(), 1u);
}

TEST_F(SpriteBatchTest, AResetRecreatesTheRenderersBuffers) {
    auto* quads = batch->quadRenderer();
    ASSERT_NE(quads->vertexBuffer(), nullptr);
    EXPECT_EQ(quads->getCapacity(), 128u);
    loseAndResetDevice();
    ASSERT_NE(quads->vertexBuffer(), nullptr);
    ASSERT_NE(quads->indexBuffer(), nullptr);
    EXPECT_EQ(readIndices(quads->indexBuffer()), quadPattern(128));

    batch->addSprite(3, 4, 0, frameOf("red.dds", 5, 6));
    flush();
    const auto sprites = spriteDraws();
    ASSERT_EQ(sprites.size(), 1u);
    EXPECT_EQ(sprites[0]->state.streams[0].buffer, quads->vertexBuffer());
    EXPECT_FLOAT_EQ(vertexOf(*sprites[0], 2).x, 8.0f);
    EXPECT_FLOAT_EQ(vertexOf(*sprites[0], 2).y, 10.0f);
}

}  // namespace
}  // namespace kesh::testing
