#include "tests/render_gl/engine_gl_fixture.h"

#include <boost/make_shared.hpp>

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "d3d9/seams.h"
#include "engine/render/effect/effect_loader.h"
#include "tests/support/test_window.h"
#include "win32/window_seams.h"

namespace render_gl {
PixelBox boxOfPixelsUnlike(const d3d9::BackBufferImage& image, D3DCOLOR background) {
    PixelBox box{static_cast<int>(image.width), static_cast<int>(image.height), 0, 0};
    for (UINT y = 0; y < image.height; ++y) {
        for (UINT x = 0; x < image.width; ++x) {
            if (rgb(image.pixel(x, y)) == rgb(background)) {
                continue;
            }
            box.left = std::min(box.left, static_cast<int>(x));
            box.top = std::min(box.top, static_cast<int>(y));
            box.right = std::max(box.right, static_cast<int>(x) + 1);
            box.bottom = std::max(box.bottom, static_cast<int>(y) + 1);
        }
    }
    return box;
}

void EngineGlTest::SetUp() {
    win32::useWindowBackend(win32::WindowBackendKind::Sdl);
    d3d9::setAdapters({});
    d3d9::useBackend(d3d9::BackendKind::Gl);
    window = morvale_testing::makeWindow(kWidth, kHeight);
    ASSERT_NE(window, nullptr);
    ASSERT_NE(win32::sdlWindow(window), nullptr) << "no SDL window: is a video driver there?";
    direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(direct3d, nullptr);
    factory = std::make_unique<kesh::DxDeviceFactory>(direct3d);
    ASSERT_TRUE(factory->selectDepthStencil(24, 0));
    device = factory->createDevice(window).release();
    ASSERT_EQ(d3d9::deviceRecord(device), nullptr) << "the device does not draw";
    dx = std::make_unique<kesh::DxDevice>(device, factory.get());
    ASSERT_EQ(dx->getViewport().Width, static_cast<DWORD>(kWidth));
    ASSERT_EQ(dx->getViewport().Height, static_cast<DWORD>(kHeight));

    const std::string artFolder = folder.path().string() + "/";
    textures = std::make_unique<kesh::TextureCache>(
        boost::make_shared<kesh::TextureLoader>(dx.get(), artFolder));
    effects = std::make_unique<kesh::EffectCache>(
        boost::make_shared<kesh::EffectLoader>(dx.get(), 0, effectFolder()), dx.get());
    meshInfos = std::make_unique<kesh::MeshInfoCache>(
        boost::make_shared<kesh::MeshInfoLoader>(dx.get(), artFolder));
    kesh::theTextureCache = textures.get();
    kesh::theEffectCache = effects.get();
    kesh::theMeshInfoCache = meshInfos.get();
    debugRenderer = std::make_unique<kesh::DebugRenderer>(dx.get(), "debug_render.fx");
    kesh::theDebugRenderer = debugRenderer.get();
}

void EngineGlTest::TearDown() {
    if (inScene) {
        device->EndScene();
    }
    // The game's own order: debug renderer, meshes, textures, effects.
    kesh::theDebugRenderer = nullptr;
    debugRenderer.reset();
    kesh::theMeshInfoCache = nullptr;
    meshInfos.reset();
    kesh::theTextureCache = nullptr;
    textures.reset();
    kesh::theEffectCache = nullptr;
    effects.reset();
    dx.reset();
    if (device != nullptr) {
        EXPECT_EQ(device->Release(), 0u);
    }
    factory.reset();
    if (direct3d != nullptr) {
        direct3d->Release();
    }
    win32::resetWindowSystem();
    d3d9::useBackend(d3d9::BackendKind::Null);
    d3d9::setAdapters({});
    for (int type = 0; type < static_cast<int>(d3d9::ObjectType::Count); ++type) {
        EXPECT_EQ(d3d9::liveObjects(static_cast<d3d9::ObjectType>(type)), 0)
            << "object type " << type;
    }
}

std::string EngineGlTest::effectFolder() {
    const char* source = std::getenv("MORVALE_SOURCE_DIR");
    const std::string root =
        source != nullptr && *source != '\0' ? source : MORVALE_BUILT_SOURCE_DIR;
    return root + "/art/fx/";
}

void EngineGlTest::writeFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(folder.path() / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

void EngineGlTest::beginFrame() {
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0),
              D3D_OK);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    inScene = true;
}

d3d9::BackBufferImage EngineGlTest::picture(const std::string& suffix) {
    if (inScene) {
        device->EndScene();
        inScene = false;
    }
    d3d9::BackBufferImage image;
    EXPECT_TRUE(d3d9::readBackBuffer(device, image));
    EXPECT_EQ(image.width, dx->getViewport().Width);
    EXPECT_EQ(image.height, dx->getViewport().Height);
    if (image.width != 0) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string name =
            std::string(info->test_suite_name()) + "." + info->name() + suffix + ".png";
        EXPECT_TRUE(d3d9::writePng(image, std::string(MORVALE_PICTURES) + "/" + name));
    }
    return image;
}

kesh::CameraView EngineGlTest::camera() const {
    kesh::CameraView view;
    const D3DVIEWPORT9& viewport = dx->getViewport();
    view.setProjection(view.fov, static_cast<float>(viewport.Width) / viewport.Height, 1.0f,
                       100.0f);
    return view;
}

}  // namespace render_gl
