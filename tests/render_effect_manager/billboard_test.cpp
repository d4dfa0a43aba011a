// Billboard components queue their quads on the play stage's batcher: camera-facing at the
// matrix's position, or the unit square placed by the size-scaled matrix, with the state
// flags and the colour their description gives.
#include <gtest/gtest.h>

#include "engine/render/quad/quad_batcher.h"
#include "engine/render/visual_effects/effect_manager.h"
#include "tests/render_effect_manager/effect_art.h"

namespace {

using effect_testing::EffectServicesTest;
using effect_testing::placedAt;
using kesh::effect::EffectHandle;
using kesh::effect::kWorldMatrix;

class BillboardTest : public EffectServicesTest {
protected:
    EffectHandle billboardEffect(const std::string& properties, const D3DXMATRIX& world) {
        writeArt("config/board.txt", ":Billboard\ntexture flare.dds\n" + properties);
        readList("board board.txt\n");
        EffectHandle handle = kesh::theEffectManager->createEffect("board");
        EXPECT_TRUE(handle);
        if (handle) {
            handle->setMatrix(kWorldMatrix, world);
        }
        return handle;
    }
    // The flags of the one bucket holding records.
    std::uint32_t queuedFlags() const {
        for (const auto& bucket : quads->billboardBuckets()) {
            if (!bucket.second.records.empty()) {
                return bucket.first.flags;
            }
        }
        for (const auto& bucket : quads->quadBuckets()) {
            if (!bucket.second.records.empty()) {
                return bucket.first.flags;
            }
        }
        ADD_FAILURE() << "nothing queued";
        return 0;
    }
};

TEST_F(BillboardTest, FacesTheCameraAtTheMatrixPosition) {
    EffectHandle handle = billboardEffect("size 2 3\ncolor 1 0.5 0 0.25\n", placedAt(1, 2, 10));
    EXPECT_EQ(renderFrame(), "Effects: 1; vis. component: 1 - 0 mesh, 1 billboard");
    const auto& buckets = quads->billboardBuckets();
    ASSERT_EQ(buckets.size(), 1u);
    EXPECT_EQ(buckets.begin()->first.texture, "flare.dds");
    ASSERT_EQ(buckets.begin()->second.records.size(), 1u);
    const kesh::BillboardRecord& record = buckets.begin()->second.records[0];
    EXPECT_EQ((std::vector<float>(record.position, record.position + 3)),
              (std::vector<float>{1, 2, 10}));
    EXPECT_EQ((std::vector<float>(record.size, record.size + 2)), (std::vector<float>{2, 3}));
    // 0.5 rounds to 128, 0.25 to 64.
    EXPECT_EQ(record.colour, 0x40FF8000u);
}

TEST_F(BillboardTest, AnOrientedQuadIsScaledBySizeThenPlaced) {
    EffectHandle handle = billboardEffect("size 2 3\norientation 1\n", placedAt(1, 2, 10));
    renderFrame();
    ASSERT_EQ(quads->quadBuckets().size(), 1u);
    const kesh::QuadRecord& record = quads->quadBuckets().begin()->second.records.at(0);
    EXPECT_FLOAT_EQ(record.world._11, 2.0f);
    EXPECT_FLOAT_EQ(record.world._22, 3.0f);
    EXPECT_FLOAT_EQ(record.world._33, 1.0f);
    EXPECT_FLOAT_EQ(record.world._43, 10.0f);
    EXPECT_EQ(record.colour, 0xFFFFFFFFu);
}

TEST_F(BillboardTest, FlagsFollowBlendModeAndDepthSettings) {
    struct Case {
        const char* text;
        std::uint32_t flags;
    };
    const Case cases[] = {{"", 0x100},
                          {"blendMode 1\n", 0x102},
                          {"blendMode 2\n", 0x100},  // no blending at all
                          {"zTest 0\nzWrite 1\nnoCull 1\n", 0x600}};
    for (const Case& c : cases) {
        quads->clear();
        EffectHandle handle = billboardEffect(c.text, placedAt(0, 0, 10));
        renderFrame();
        EXPECT_EQ(queuedFlags(), c.flags) << c.text;
    }
}

TEST_F(BillboardTest, CulledByTheSphereOfItsScaledMatrix) {
    // Ten wide, its centre 4 behind the eye: the sphere still reaches into view.
    EffectHandle handle = billboardEffect("size 10 10\n", placedAt(0, 0, -4));
    EXPECT_EQ(renderFrame(), "Effects: 1; vis. component: 1 - 0 mesh, 1 billboard");
    handle->setMatrix(kWorldMatrix, placedAt(0, 0, -20));
    EXPECT_EQ(renderFrame(), "Effects: 1; vis. component: 0 - 0 mesh, 0 billboard");
}

TEST_F(BillboardTest, QueuedBillboardsDrawThroughTheBatcher) {
    EffectHandle handle = billboardEffect("", placedAt(0, 0, 10));
    renderFrame();
    draws().clear();
    quads->render(camera, kesh::theEffectCache->fetch("billboard.fx"));
    ASSERT_EQ(draws().size(), 1u);
    EXPECT_EQ(draws().front().primitiveCount, 2u);
}

}  // namespace
