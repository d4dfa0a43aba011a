// Every process-wide service of the game over a temporary art folder, as the game object
// publishes them: the texture, effect, ".x" and ".wfm" mesh and music caches, the debug
// renderer and the script host with every linked Lua binder run, and then, as the play stage
// does, a quad batcher and the effect manager over it. The device is a null device in a
// headless window unless a test asks for the drawing backend (SDL's offscreen driver).
//
// The art folder holds the repository's effect files in "fx/" and its scripts in "config/";
// tests add what else they need with writeArt. A test may instead read a complete art folder
// that exists already (useArtFolder), which it then only reads. Services are torn down in the
// game's order, the play stage's (effect manager, then quad batcher) before the game's.
#pragma once

#include <gtest/gtest.h>

#include <d3d9.h>
#include <windows.h>
#include <lua.hpp>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/lua/lua_config.h"
#include "engine/core/lua/lua_state.h"
#include "engine/render/debug/debug_renderer.h"
#include "engine/render/device/device_factory.h"
#include "engine/render/device/dx_device.h"
#include "engine/render/effect/effect_cache.h"
#include "engine/render/mesh/mesh_loaders.h"
#include "engine/render/quad/quad_batcher.h"
#include "engine/render/texture/texture_loader.h"
#include "engine/render/visual_effects/effect_manager.h"
#include "game/audio/music_segment_cache.h"
#include "tests/win32/temp_folder.h"

namespace morvale_testing {

enum class DeviceKind { Null, Gl };

// The game object's services that are published, by name in the game's order and separated
// by spaces ("" when none is): what a test expects of them fits one line, and a failure
// names the ones that differ.
std::string publishedServices();

class ServicesTest : public ::testing::Test {
protected:
    explicit ServicesTest(DeviceKind kind = DeviceKind::Null, int width = 320, int height = 240);

    void SetUp() override;
    void TearDown() override;

    // The art folder with its trailing '/', as the game's root.
    std::string artRoot() const;
    // Writes a file below the art folder, making its folders.
    void writeArt(const std::string& relativePath, const std::vector<std::uint8_t>& bytes);
    void writeArt(const std::string& relativePath, const std::string& text);
    // The repository's own art/ (scripts, effect files).
    static std::string sourceArtFolder();
    // Called before SetUp (from the test's constructor): the services read root (with its
    // trailing '/') as it stands instead of a fresh temporary folder; nothing is copied
    // into it, and writeArt fails the test rather than change it.
    void useArtFolder(const std::string& root);

    const DeviceKind kind;
    const int width;
    const int height;
    // Set to false in a derived constructor for a test whose code publishes the services
    // itself (the game object): the fixture then gives it only the window, device and Lua
    // state over the art folder.
    bool publishesServices = true;

    HWND window = nullptr;
    IDirect3D9* direct3d = nullptr;
    std::unique_ptr<kesh::DxDeviceFactory> factory;
    IDirect3DDevice9* device = nullptr;
    std::unique_ptr<kesh::DxDevice> dx;
    kesh::LuaStatePtr lua;

    std::unique_ptr<kesh::TextureCache> textures;
    // The loader behind the texture cache, owned by it: its extension and its checkerboard.
    kesh::TextureLoader* textureLoader = nullptr;
    std::unique_ptr<kesh::EffectCache> effects;
    std::unique_ptr<kesh::MeshCache> meshes;
    std::unique_ptr<kesh::MeshInfoCache> meshInfos;
    std::unique_ptr<kesh::MusicSegmentCache> music;
    std::unique_ptr<kesh::DebugRenderer> debugRenderer;
    std::unique_ptr<kesh::LuaConfig> scripts;
    // The play stage's: the effect manager itself is owned by kesh::theEffectManager.
    std::unique_ptr<kesh::QuadBatcher> quads;

private:
    void publishServices();
    void withdrawServices();
    void publishPlayServices();
    void withdrawPlayServices();

    TempFolder folder;
    std::string existingArt;  // empty: the temporary folder is the art folder
    bool comStarted = false;
};

}  // namespace morvale_testing
