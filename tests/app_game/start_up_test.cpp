// What the game object builds, in which order, and what it leaves behind.
#include <gtest/gtest.h>

#include <string>

#include "engine/core/log.h"
#include "engine/core/lua/lua_config.h"
#include "engine/render/debug/debug_renderer.h"
#include "engine/render/effect/effect_cache.h"
#include "engine/render/log_lines.h"
#include "engine/render/mesh/mesh_loaders.h"
#include "engine/render/texture/texture_loader.h"
#include "game/app/stages/video_stage.h"
#include "game/audio/music_segment_cache.h"
#include "game/audio/performance.h"
#include "game/audio/sound_bank.h"
#include "tests/app_game/game_fixture.h"

namespace game_testing {
namespace {

class StartUpTest : public GameTest {
protected:
    bool luaKnows(const std::string& expression) {
        const std::string chunk = "return " + expression + " ~= nil";
        EXPECT_EQ(luaL_dostring(lua.get(), chunk.c_str()), 0) << lua_tostring(lua.get(), -1);
        const bool known = lua_toboolean(lua.get(), -1) != 0;
        lua_pop(lua.get(), 1);
        return known;
    }
};

TEST_F(StartUpTest, PublishesEveryServiceAndStartsTheFirstVideoSilently) {
    ASSERT_GE(kesh::LuaBinderRegistry::instance().size(), 7u);
    start();

    EXPECT_EQ(morvale_testing::publishedServices(),
              "textures effects meshes mesh-infos music debug-renderer scripts");

    EXPECT_FLOAT_EQ(probe().camera().fov, 0.9424778f);
    EXPECT_FLOAT_EQ(probe().camera().farPlane, 150.0f);

    // Stage 2, its sound asked for and the music silent.
    auto* video = dynamic_cast<VideoStage*>(probe().stage());
    ASSERT_NE(video, nullptr);
    EXPECT_NE(video->currentVideo(), nullptr) << "the first video comes from the art folder";
    EXPECT_EQ(probe().audio()->queuedStarts(), 1u);
    EXPECT_FLOAT_EQ(probe().audio()->getBank()->getMusicPerformance()->getMasterVolume(), 0.0f);
}

TEST_F(StartUpTest, RunsABinderOfEveryLinkedLibraryOnceAndEmptiesTheRegistry) {
    start();
    EXPECT_TRUE(kesh::LuaBinderRegistry::instance().empty());
    EXPECT_TRUE(luaKnows("Effect")) << "render engine";
    EXPECT_TRUE(luaKnows("SoundsPerformance")) << "audio";
    EXPECT_TRUE(luaKnows("CombinedSound")) << "audio";
    EXPECT_TRUE(luaKnows("CarController")) << "vehicle";
    EXPECT_TRUE(luaKnows("physics.Surface")) << "vehicle physics";
    EXPECT_TRUE(luaKnows("vec3")) << "the script host's own types";
}

TEST_F(StartUpTest, TheCameraOptionMovesTheFarPlaneAndPutsTheScreenLogOnScreen) {
    GameOptions options;
    options.camera = true;
    start(options);
    EXPECT_FLOAT_EQ(probe().camera().farPlane, 500.0f);

    kesh::theDebugRenderer->clear();
    kesh::writeLine(boost::log::logScreen(), "on screen");
    ASSERT_EQ(kesh::theDebugRenderer->screenTexts().size(), 1u);
    EXPECT_EQ(kesh::theDebugRenderer->screenTexts().front().text, L"on screen\n");
    EXPECT_EQ(kesh::theDebugRenderer->screenTexts().front().color, 0xFF40FF40u);
}

TEST_F(StartUpTest, WithoutTheFpsOrCameraOptionScreenLinesAreNotEvenFormatted) {
    start();
    boost::log::LogLine line(boost::log::logScreen());
    EXPECT_EQ(line.stream(), nullptr);
}

// The texture cache's folder and extension, as its loader reports a file it cannot load.
std::string missingTexturePath() {
    static std::vector<std::string> lines;
    static const bool attached = [] {
        boost::log::addLogAppender(
            "resource", [](const std::string&, const std::string& text) { lines.push_back(text); },
            0);
        return true;
    }();
    (void)attached;
    lines.clear();
    kesh::theTextureCache->fetch("gui/not_there.dds");
    return lines.empty() ? "" : lines.back();
}

TEST_F(StartUpTest, TexturesAreDdsFilesBelowTextureHi) {
    start();
    EXPECT_EQ(missingTexturePath(), "Cannot load resource " + std::string(MORVALE_TEST_ART_DIR) +
                                        "texture/hi/gui/not_there.dds\n");
}

TEST_F(StartUpTest, TheTgaOptionAsksForTgaFiles) {
    GameOptions tga;
    tga.tga = true;
    start(tga);
    EXPECT_EQ(missingTexturePath(), "Cannot load resource " + std::string(MORVALE_TEST_ART_DIR) +
                                        "texture/hi/gui/not_there.tga\n");
}

TEST_F(StartUpTest, DestructionWithdrawsEveryService) {
    start();
    game.reset();
    EXPECT_EQ(morvale_testing::publishedServices(), "");
    // Nothing is left on the screen channel to reach a debug renderer that is gone.
    kesh::writeLine(boost::log::logScreen(), "after the game");
}

TEST_F(StartUpTest, AFailingConstructorWithdrawsWhatItPublished) {
    kesh::LuaBinderRegistry::add([](lua_State*) { throw std::runtime_error("binder failed"); }, 99);
    EXPECT_THROW(start(), std::runtime_error);
    EXPECT_EQ(morvale_testing::publishedServices(), "");
}

}  // namespace
}  // namespace game_testing
