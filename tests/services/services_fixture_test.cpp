// The shared fixture publishes every service the game publishes and takes them back.
#include <gtest/gtest.h>

#include <luabind/luabind.hpp>

#include "engine/core/resource/resource_id.h"
#include "tests/support/services_fixture.h"

namespace {

using morvale_testing::ServicesTest;

class ServicesFixtureTest : public ServicesTest {};

TEST_F(ServicesFixtureTest, PublishesEveryServiceOverTheArtFolder) {
    EXPECT_EQ(kesh::theTextureCache, textures.get());
    EXPECT_EQ(kesh::theEffectCache, effects.get());
    EXPECT_EQ(kesh::theMeshCache, meshes.get());
    EXPECT_EQ(kesh::theMeshInfoCache, meshInfos.get());
    EXPECT_EQ(kesh::theMusicCache, music.get());
    EXPECT_EQ(kesh::theDebugRenderer, debugRenderer.get());
    EXPECT_EQ(kesh::theLuaConfig, scripts.get());
    ASSERT_NE(kesh::theEffectManager, nullptr);
    EXPECT_EQ(kesh::theEffectManager->getContext().batcher, quads.get());
    // The repository's effect files are there to fetch.
    EXPECT_NE(kesh::theEffectCache->fetch(kesh::ResourceId("gui.fx")), nullptr);
}

TEST_F(ServicesFixtureTest, ScriptsSeeTheBindersOfEveryLinkedLibrary) {
    writeArt("config/probe.lua",
             "local s = SoundsPerformance()\n"
             "return type(physics) == 'table' and type(Car) ~= 'nil' and s ~= nil\n"
             "    and type(Effect) ~= 'nil'\n");
    const luabind::object result = kesh::theLuaConfig->runFileResult(L"probe.lua");
    EXPECT_TRUE(luabind::object_cast<bool>(result));
}

TEST(ServicesFixtureTeardownTest, LeavesNoServicePublished) {
    class Probe : public ServicesTest {
    public:
        using ServicesTest::SetUp;
        using ServicesTest::TearDown;
        void TestBody() override {}
    } probe;
    probe.SetUp();
    ASSERT_NE(kesh::theLuaConfig, nullptr);
    probe.TearDown();
    EXPECT_EQ(morvale_testing::publishedServices(), "");
    EXPECT_EQ(kesh::theEffectManager, nullptr);
}

}  // namespace
