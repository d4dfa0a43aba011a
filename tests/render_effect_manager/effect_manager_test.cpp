// The effect manager over the null device: the effect list, making effects by name, which
// effects are drawn and counted each frame, and its statistics line.
#include <gtest/gtest.h>

#include "engine/core/publish.h"
#include "engine/render/visual_effects/effect_manager.h"
#include "tests/render_effect_manager/effect_art.h"

namespace {

using effect_testing::EffectServicesTest;
using effect_testing::logged;
using effect_testing::placedAt;
using kesh::theEffectManager;
using kesh::effect::EffectHandle;
using kesh::effect::kHidden;
using kesh::effect::kWorldMatrix;

const char* const kBothKinds =
    ":PlainMesh\nmesh glow.wfm\ntexture glow.dds\n"
    ":Billboard\ntexture flare.dds\n:Billboard\ntexture spark.dds\norientation 1\n";

class EffectManagerTest : public EffectServicesTest {
protected:
    void SetUp() override {
        EffectServicesTest::SetUp();
        writeArt("config/both.txt", kBothKinds);
        writeArt("config/flare.txt", ":Billboard\ntexture flare.dds\n");
    }

    EffectHandle placed(const std::string& name, float z) {
        EffectHandle handle = theEffectManager->createEffect(name);
        EXPECT_TRUE(handle) << name;
        if (handle) {
            handle->setMatrix(kWorldMatrix, placedAt(0, 0, z));
        }
        return handle;
    }
};

TEST_F(EffectManagerTest, WithNoEffectsTheStatisticsLineReadsZero) {
    EXPECT_EQ(renderFrame(), "Effects: 0; vis. component: 0 - 0 mesh, 0 billboard");
}

TEST_F(EffectManagerTest, ReadsTheListedEffectTexts) {
    readList("# effects of the level\r\n\nboth both.txt\r\nflare   flare.txt\n");
    EXPECT_EQ(theEffectManager->getLibrary().size(), 2u);
    EXPECT_TRUE(logged("debug", "Reading `effect_config.cmd'"));
    EXPECT_TRUE(logged("debug", "Reading `flare' from `" + artRoot() + "config/flare.txt'"));
    const auto* both = theEffectManager->getLibrary().find("both");
    ASSERT_NE(both, nullptr);
    EXPECT_EQ(both->plainMeshes.size(), 1u);
    EXPECT_EQ(both->billboards.size(), 2u);
}

TEST_F(EffectManagerTest, AListLineHoldingOnlyANameStopsTheList) {
    readList("flare flare.txt\nlonely\nboth both.txt\n");
    EXPECT_NE(theEffectManager->getLibrary().find("flare"), nullptr);
    EXPECT_EQ(theEffectManager->getLibrary().find("lonely"), nullptr);
    EXPECT_EQ(theEffectManager->getLibrary().find("both"), nullptr);
    EXPECT_TRUE(logged(
        "debug", "Failed to load config 'effect_config.cmd': effect param extraction failed"));
}

TEST_F(EffectManagerTest, AMissingListOrEffectFileIsLoggedAndSurvived) {
    theEffectManager->readEffectList(configFolder(), L"absent.cmd");
    EXPECT_TRUE(logged("debug", "Failed to load config 'absent.cmd': Stream read failed"));
    readList("flare flare.txt\ngone gone.txt\nboth both.txt\n");
    EXPECT_EQ(theEffectManager->getLibrary().size(), 1u);
}

TEST_F(EffectManagerTest, ANameListedTwiceKeepsItsFirstText) {
    readList("fx flare.txt\nfx both.txt\n");
    EXPECT_TRUE(theEffectManager->getLibrary().find("fx")->plainMeshes.empty());
}

TEST_F(EffectManagerTest, ReadingTheListAgainReplacesItButKeepsEarlierEffects) {
    readList("both both.txt\nflare flare.txt\n");
    EffectHandle early = placed("both", 10);
    writeArt("config/both.txt", ":Billboard\ntexture other.dds\n");
    readList("both both.txt\n");
    EXPECT_EQ(theEffectManager->getLibrary().find("flare"), nullptr);
    EXPECT_EQ(theEffectManager->getLibrary().find("both")->plainMeshes.size(), 0u);
    EXPECT_EQ(early->components.size(), 3u);
    EffectHandle late = placed("both", 10);
    EXPECT_EQ(late->components.size(), 1u);
    EXPECT_EQ(renderFrame(), "Effects: 2; vis. component: 4 - 1 mesh, 3 billboard");
}

TEST_F(EffectManagerTest, AnUnknownNameGivesAnEmptyHandle) {
    readList("flare flare.txt\n");
    const EffectHandle handle = theEffectManager->createEffect("nothing");
    EXPECT_FALSE(handle);
    EXPECT_EQ(handle.get(), nullptr);
    EXPECT_TRUE(logged("debug", "EMPTY effect: nothing"));
    EXPECT_EQ(theEffectManager->liveEffects(), 0u);
    EXPECT_TRUE(kesh::createEffect("flare"));
    kesh::withdraw(kesh::theEffectManager);
    EXPECT_FALSE(kesh::createEffect("flare"));
}

TEST_F(EffectManagerTest, AnEffectWhoseMeshCannotBeFetchedIsNotMade) {
    writeArt("config/bad.txt", ":Billboard\n:PlainMesh\nmesh missing.wfm\n");
    readList("bad bad.txt\n");
    EXPECT_FALSE(theEffectManager->createEffect("bad"));
    EXPECT_TRUE(
        logged("resource", "Failed to create effect `bad': Failed to fetch resource: missing.wfm"));
    EXPECT_EQ(renderFrame(), "Effects: 0; vis. component: 0 - 0 mesh, 0 billboard");
}

TEST_F(EffectManagerTest, CountsVisibleComponentsOfEffectsNotHidden) {
    readList("both both.txt\n");
    EffectHandle shown = placed("both", 10);
    EffectHandle hidden = placed("both", 10);
    EffectHandle behind = placed("both", -10);
    hidden->setInt(kHidden, 1);
    EXPECT_EQ(renderFrame(), "Effects: 3; vis. component: 3 - 1 mesh, 2 billboard");
    // Hiding keeps the components as they are: shown again, it counts again.
    hidden->setInt(kHidden, 0);
    EXPECT_EQ(renderFrame(), "Effects: 3; vis. component: 6 - 2 mesh, 4 billboard");
}

TEST_F(EffectManagerTest, AReleasedEffectIsDroppedBeforeItIsDrawn) {
    readList("both both.txt\n");
    EffectHandle handle = placed("both", 10);
    EffectHandle copy = handle;
    EXPECT_EQ(handle.useCount(), 3);  // the manager's, and two here
    handle.reset();
    EXPECT_EQ(renderFrame(), "Effects: 1; vis. component: 3 - 1 mesh, 2 billboard");
    const std::size_t drawsBefore = draws().size();
    copy.reset();
    EXPECT_EQ(renderFrame(), "Effects: 0; vis. component: 0 - 0 mesh, 0 billboard");
    EXPECT_EQ(draws().size(), drawsBefore);
}

TEST_F(EffectManagerTest, EverythingSurvivesADeviceReset) {
    readList("both both.txt\n");
    EffectHandle handle = placed("both", 10);
    renderFrame();
    const std::size_t firstFrame = draws().size();
    EXPECT_GT(firstFrame, 0u);
    device->EndScene();
    d3d9::scriptCooperativeLevel(device, {D3DERR_DEVICENOTRESET, D3DERR_DEVICENOTRESET});
    dx->checkCooperativeLevel();
    ASSERT_FALSE(dx->isLost());
    device->BeginScene();
    draws().clear();
    EXPECT_EQ(renderFrame(), "Effects: 1; vis. component: 3 - 1 mesh, 2 billboard");
    EXPECT_EQ(draws().size(), firstFrame);
    EXPECT_TRUE(theEffectManager->createEffect("both"));
}

TEST_F(EffectManagerTest, PublishingAManagerDestroysTheOneBefore) {
    readList("flare flare.txt\n");
    EffectHandle survivor = placed("flare", 10);
    kesh::publish(kesh::theEffectManager,
                  std::make_unique<kesh::EffectManager>(dx.get(), quads.get()));
    EXPECT_EQ(theEffectManager->getLibrary().size(), 0u);
    // A handle outliving its manager still holds its effect.
    EXPECT_EQ(survivor.useCount(), 1);
    EXPECT_EQ(survivor->components.size(), 1u);
}

}  // namespace
