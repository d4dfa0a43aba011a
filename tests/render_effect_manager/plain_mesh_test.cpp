// Plain-mesh components drawn through "effect_plain_mesh.fx" on the null device: the states
// their blend mode gives, every range of the ".wfm" mesh, culling by the placed sphere, and
// the texture scrolling with the effect's age.
#include <gtest/gtest.h>

#include "engine/core/publish.h"
#include "engine/render/effect/effect_cache.h"
#include "engine/render/visual_effects/effect.h"
#include "engine/render/visual_effects/effect_manager.h"
#include "tests/render_effect_manager/effect_art.h"
#include "win32/seams.h"

namespace {

using effect_testing::EffectServicesTest;
using effect_testing::placedAt;
using kesh::effect::EffectHandle;
using kesh::effect::kWorldMatrix;

class PlainMeshTest : public EffectServicesTest {
protected:
    EffectHandle meshEffect(const std::string& properties, const D3DXMATRIX& world) {
        writeArt("config/mesh.txt", ":PlainMesh\nmesh glow.wfm\n" + properties);
        readList("mesh mesh.txt\n");
        EffectHandle handle = kesh::theEffectManager->createEffect("mesh");
        EXPECT_TRUE(handle);
        if (handle) {
            handle->setMatrix(kWorldMatrix, world);
        }
        return handle;
    }
    // The states of the first drawing pass of the frame.
    const d3d9::RecordedDraw& firstDraw() {
        EXPECT_FALSE(draws().empty());
        return draws().front();
    }
};

TEST_F(PlainMeshTest, BlendModesGiveTheirBlendStates) {
    struct Case {
        const char* text;
        DWORD alphaBlend, source, destination;
    };
    const Case cases[] = {{"blendMode 0\n", FALSE, 0, 0},
                          {"blendMode 1\n", TRUE, D3DBLEND_SRCALPHA, D3DBLEND_ONE},
                          {"blendMode 2\n", TRUE, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA}};
    for (const Case& c : cases) {
        EffectHandle handle = meshEffect(c.text, placedAt(0, 0, 10));
        draws().clear();
        renderFrame();
        ASSERT_EQ(draws().size(), 1u) << c.text;
        const d3d9::DeviceState& state = firstDraw().state;
        EXPECT_EQ(state.renderState(D3DRS_ALPHABLENDENABLE), c.alphaBlend) << c.text;
        if (c.alphaBlend) {
            EXPECT_EQ(state.renderState(D3DRS_SRCBLEND), c.source) << c.text;
            EXPECT_EQ(state.renderState(D3DRS_DESTBLEND), c.destination) << c.text;
        }
    }
}

TEST_F(PlainMeshTest, DepthStatesFollowTheText) {
    EffectHandle handle = meshEffect("zTest 0\nzWrite 1\n", placedAt(0, 0, 10));
    renderFrame();
    EXPECT_EQ(firstDraw().state.renderState(D3DRS_ZENABLE), 0u);
    EXPECT_EQ(firstDraw().state.renderState(D3DRS_ZWRITEENABLE), 1u);
}

TEST_F(PlainMeshTest, DrawsEveryRangeOfTheMeshWithItsTexture) {
    EffectHandle handle = meshEffect("texture glow.dds\n", placedAt(0, 0, 10));
    renderFrame();
    ASSERT_EQ(draws().size(), 1u);
    EXPECT_EQ(firstDraw().primitiveCount, 2u);
    EXPECT_EQ(firstDraw().state.textures[0], kesh::theTextureCache->fetch("glow.dds"));
}

TEST_F(PlainMeshTest, OnlyItsLayerAndPassBitDrawIt) {
    EffectHandle handle = meshEffect("layer 2\n", placedAt(0, 0, 10));
    kesh::theEffectManager->render(camera, 0, 0xffffffffu);
    kesh::theEffectManager->render(camera, 2, kesh::effect::kBillboardPass);
    EXPECT_TRUE(draws().empty());
    kesh::theEffectManager->render(camera, 2, kesh::effect::kPlainMeshPass);
    EXPECT_EQ(draws().size(), 1u);
}

TEST_F(PlainMeshTest, CullingPlacesTheSphereByTheWholeMatrix) {
    // A mesh 20 units along x of its own origin, turned so that x points forwards: only the
    // rotation brings it into view.
    writeArt("mesh/aside.wfm", effect_testing::quadMeshFile(20, 0, 0));
    D3DXMATRIX turned;
    D3DXMatrixIdentity(&turned);
    turned._11 = 0, turned._13 = 1;
    turned._31 = -1, turned._33 = 0;
    writeArt("config/aside.txt", ":PlainMesh\nmesh aside.wfm\n");
    readList("aside aside.txt\n");
    EffectHandle aside = kesh::theEffectManager->createEffect("aside");
    aside->setMatrix(kWorldMatrix, turned);
    EXPECT_EQ(renderFrame(), "Effects: 1; vis. component: 1 - 1 mesh, 0 billboard");

    // Scaled by 100 with its centre 50 behind the eye, it still reaches into view.
    D3DXMATRIX scaled, behind;
    D3DXMatrixScaling(&scaled, 100, 100, 100);
    const D3DXMATRIX back = placedAt(0, 0, -50);
    D3DXMatrixMultiply(&behind, &scaled, &back);
    aside.reset();
    EffectHandle big = meshEffect("", behind);
    EXPECT_EQ(renderFrame(), "Effects: 1; vis. component: 1 - 1 mesh, 0 billboard");
    big->setMatrix(kWorldMatrix, placedAt(0, 0, -50));
    EXPECT_EQ(renderFrame(), "Effects: 1; vis. component: 0 - 0 mesh, 0 billboard");
}

TEST_F(PlainMeshTest, TheTextureScrollsWithTheEffectsAge) {
    LONGLONG now = 1000;
    const auto previousSource = win32::setPerformanceCounterSource([&now] { return now; });
    const LONGLONG previousFrequency = win32::setPerformanceFrequency(100);
    // The manager's clock reads the counter the test drives.
    kesh::publish(kesh::theEffectManager,
                  std::make_unique<kesh::EffectManager>(dx.get(), quads.get()));
    renderFrame();
    EffectHandle handle = meshEffect("uSpeed 0.5\nvSpeed -1\n", placedAt(0, 0, 10));
    now += 250;  // 2.5 seconds
    renderFrame();
    D3DXVECTOR4 uv;
    ID3DXEffect* effect = kesh::theEffectCache->fetch("effect_plain_mesh.fx");
    ASSERT_EQ(effect->GetVector("uvparams", &uv), D3D_OK);
    EXPECT_FLOAT_EQ(uv.x, 1.25f);
    EXPECT_FLOAT_EQ(uv.y, 1.0f);
    EXPECT_FLOAT_EQ(uv.z, -2.5f);
    EXPECT_FLOAT_EQ(uv.w, 1.0f);
    win32::setPerformanceCounterSource(previousSource);
    win32::setPerformanceFrequency(previousFrequency);
}

}  // namespace
