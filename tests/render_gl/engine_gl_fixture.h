// The engine's rendering objects on a device of the drawing backend: a DxDevice made by the
// device factory in a 160 x 120 SDL window (offscreen driver), the texture, effect and
// ".wfm" caches over their real loaders (effects from the art folder's "fx/", textures and
// meshes from a temporary folder the tests write), published as the process-wide caches,
// and the debug renderer. Each picture is kept as a PNG named after the test.
#pragma once

#include <gtest/gtest.h>

#include <d3d9.h>
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "d3d9/drawing.h"
#include "engine/render/camera_view.h"
#include "engine/render/debug/debug_renderer.h"
#include "engine/render/device/device_factory.h"
#include "engine/render/device/dx_device.h"
#include "engine/render/effect/effect_cache.h"
#include "engine/render/mesh/mesh_loaders.h"
#include "engine/render/texture/texture_loader.h"
#include "tests/win32/temp_folder.h"

namespace render_gl {

// The pixels of a picture that differ from one colour, as a box (empty when none do).
struct PixelBox {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
    bool empty() const { return right <= left || bottom <= top; }
};
PixelBox boxOfPixelsUnlike(const d3d9::BackBufferImage& image, D3DCOLOR background);

inline std::uint32_t rgb(D3DCOLOR colour) {
    return colour & 0x00FFFFFF;
}

class EngineGlTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 160;
    static constexpr int kHeight = 120;
    static constexpr D3DCOLOR kBackground = 0xFF102030;

    void SetUp() override;
    void TearDown() override;

    // The art folder's effect files: $MORVALE_SOURCE_DIR/art/fx/.
    static std::string effectFolder();
    void writeFile(const std::string& name, const std::vector<std::uint8_t>& bytes);

    // Clears to the background and begins the scene.
    void beginFrame();
    // Ends the scene, reads the back buffer and keeps it as <suite>.<test><suffix>.png.
    d3d9::BackBufferImage picture(const std::string& suffix = "");

    // At the origin looking down +z, the aspect of the viewport.
    kesh::CameraView camera() const;

    HWND window = nullptr;
    IDirect3D9* direct3d = nullptr;
    std::unique_ptr<kesh::DxDeviceFactory> factory;
    IDirect3DDevice9* device = nullptr;
    std::unique_ptr<kesh::DxDevice> dx;
    TempFolder folder;
    std::unique_ptr<kesh::TextureCache> textures;
    std::unique_ptr<kesh::EffectCache> effects;
    std::unique_ptr<kesh::MeshInfoCache> meshInfos;
    std::unique_ptr<kesh::DebugRenderer> debugRenderer;

private:
    bool inScene = false;
};

}  // namespace render_gl
