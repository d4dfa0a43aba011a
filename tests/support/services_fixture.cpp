#include "tests/support/services_fixture.h"

#include <objbase.h>
#include <boost/make_shared.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "d3d9/drawing.h"
#include "d3d9/seams.h"
#include "engine/core/lua/lua_binder_registry.h"
#include "engine/core/publish.h"
#include "engine/core/strings.h"
#include "engine/render/effect/effect_loader.h"
#include "game/audio/music_segment_loader.h"
#include "tests/support/test_window.h"
#include "win32/window_seams.h"

namespace morvale_testing {
namespace {

void copyFolder(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::filesystem::create_directories(to);
    if (std::filesystem::is_directory(from)) {
        std::filesystem::copy(from, to,
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
    }
}

}  // namespace

std::string publishedServices() {
    const std::pair<const char*, const void*> services[] = {
        {"textures", kesh::theTextureCache}, {"effects", kesh::theEffectCache},
        {"meshes", kesh::theMeshCache},      {"mesh-infos", kesh::theMeshInfoCache},
        {"music", kesh::theMusicCache},      {"debug-renderer", kesh::theDebugRenderer},
        {"scripts", kesh::theLuaConfig}};
    std::string names;
    for (const auto& [name, service] : services) {
        if (service != nullptr) {
            names += names.empty() ? name : std::string(" ") + name;
        }
    }
    return names;
}

ServicesTest::ServicesTest(DeviceKind kind, int width, int height)
    : kind(kind), width(width), height(height) {}

std::string ServicesTest::sourceArtFolder() {
    const char* source = std::getenv("MORVALE_SOURCE_DIR");
    const std::string root =
        source != nullptr && *source != '\0' ? source : MORVALE_BUILT_SOURCE_DIR;
    return root + "/art/";
}

std::string ServicesTest::artRoot() const {
    return existingArt.empty() ? folder.path().string() + "/" : existingArt;
}

void ServicesTest::useArtFolder(const std::string& root) {
    existingArt = root;
}

void ServicesTest::writeArt(const std::string& relativePath,
                            const std::vector<std::uint8_t>& bytes) {
    if (!existingArt.empty()) {
        ADD_FAILURE() << "writeArt(" << relativePath << ") into the existing art folder "
                      << existingArt;
        return;
    }
    const std::filesystem::path path = folder.path() / relativePath;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

void ServicesTest::writeArt(const std::string& relativePath, const std::string& text) {
    writeArt(relativePath, std::vector<std::uint8_t>(text.begin(), text.end()));
}

void ServicesTest::SetUp() {
    if (existingArt.empty()) {
        for (const char* sub : {"texture/hi/gui", "mesh", "audio", "levels", "video"}) {
            std::filesystem::create_directories(folder.path() / sub);
        }
        copyFolder(sourceArtFolder() + "fx", folder.path() / "fx");
        copyFolder(sourceArtFolder() + "config", folder.path() / "config");
    }

    if (kind == DeviceKind::Gl) {
        win32::useWindowBackend(win32::WindowBackendKind::Sdl);
        d3d9::useBackend(d3d9::BackendKind::Gl);
    } else {
        win32::useWindowBackend(win32::WindowBackendKind::Headless);
        d3d9::useBackend(d3d9::BackendKind::Null);
    }
    d3d9::setAdapters({});
    window = makeWindow(width, height);
    ASSERT_NE(window, nullptr);
    if (kind == DeviceKind::Gl) {
        ASSERT_NE(win32::sdlWindow(window), nullptr) << "no SDL window: is a video driver there?";
    }
    direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(direct3d, nullptr);
    factory = std::make_unique<kesh::DxDeviceFactory>(direct3d);
    ASSERT_TRUE(factory->selectDepthStencil(24, 0));
    device = factory->createDevice(window).release();
    ASSERT_NE(device, nullptr);
    // A recording device draws nothing: a picture test on it would read an empty frame.
    ASSERT_EQ(d3d9::deviceRecord(device) == nullptr, kind == DeviceKind::Gl);
    dx = std::make_unique<kesh::DxDevice>(device, factory.get());

    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    comStarted = true;
    lua = kesh::openGameLuaState(kesh::toWide(artRoot()));
    if (publishesServices) {
        publishServices();
        publishPlayServices();
    }
}

void ServicesTest::publishPlayServices() {
    // The play stage's order: the batcher, then the manager over it.
    quads = std::make_unique<kesh::QuadBatcher>(dx.get());
    kesh::publish(kesh::theEffectManager,
                  std::make_unique<kesh::EffectManager>(dx.get(), quads.get()));
}

void ServicesTest::withdrawPlayServices() {
    kesh::withdraw(kesh::theEffectManager);
    quads.reset();
}

void ServicesTest::publishServices() {
    const std::string root = artRoot();
    // The game object's order.
    const auto textureFiles =
        boost::make_shared<kesh::TextureLoader>(dx.get(), root + "texture/hi/");
    textureLoader = textureFiles.get();
    textures = std::make_unique<kesh::TextureCache>(textureFiles);
    kesh::theTextureCache = textures.get();
    effects = std::make_unique<kesh::EffectCache>(
        boost::make_shared<kesh::EffectLoader>(dx.get(), 0, root + "fx/"), dx.get());
    kesh::theEffectCache = effects.get();
    meshes = std::make_unique<kesh::MeshCache>(
        boost::make_shared<kesh::MeshLoader>(dx.get(), root + "mesh/"));
    kesh::theMeshCache = meshes.get();
    meshInfos = std::make_unique<kesh::MeshInfoCache>(
        boost::make_shared<kesh::MeshInfoLoader>(dx.get(), root + "mesh/"));
    kesh::theMeshInfoCache = meshInfos.get();
    music = std::make_unique<kesh::MusicSegmentCache>(
        boost::make_shared<kesh::MusicSegmentLoader>(kesh::toWide(root + "audio/"), false));
    kesh::theMusicCache = music.get();
    debugRenderer = std::make_unique<kesh::DebugRenderer>(dx.get(), "debug_render.fx");
    kesh::theDebugRenderer = debugRenderer.get();
    scripts = std::make_unique<kesh::LuaConfig>(lua.get(), kesh::toWide(root + "config/"));
    kesh::theLuaConfig = scripts.get();
    // Unlike the game, the registry is kept: every test runs the binders on its own state.
    kesh::LuaBinderRegistry::runAll(lua.get());
}

void ServicesTest::withdrawServices() {
    kesh::theDebugRenderer = nullptr;
    debugRenderer.reset();
    kesh::theMusicCache = nullptr;
    music.reset();
    kesh::theMeshCache = nullptr;
    meshes.reset();
    kesh::theMeshInfoCache = nullptr;
    meshInfos.reset();
    kesh::theTextureCache = nullptr;
    textures.reset();
    textureLoader = nullptr;
    kesh::theEffectCache = nullptr;
    effects.reset();
    kesh::theLuaConfig = nullptr;
    scripts.reset();
}

void ServicesTest::TearDown() {
    // The play stage ends before the game's services go.
    withdrawPlayServices();
    withdrawServices();
    lua.reset();
    if (comStarted) {
        CoUninitialize();
        comStarted = false;
    }
    dx.reset();
    if (device != nullptr) {
        EXPECT_EQ(device->Release(), 0u);
        device = nullptr;
    }
    factory.reset();
    if (direct3d != nullptr) {
        direct3d->Release();
        direct3d = nullptr;
    }
    win32::resetWindowSystem();
    d3d9::useBackend(d3d9::BackendKind::Null);
    d3d9::setAdapters({});
    for (int type = 0; type < static_cast<int>(d3d9::ObjectType::Count); ++type) {
        EXPECT_EQ(d3d9::liveObjects(static_cast<d3d9::ObjectType>(type)), 0)
            << "object type " << type;
    }
}

}  // namespace morvale_testing
