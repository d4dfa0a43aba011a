#include "gl_fixture.h"

#include <cstring>
#include <string>

#include "tests/support/test_window.h"

namespace d3d9::testing {

void GlDeviceTest::SetUp() {
    win32::useWindowBackend(win32::WindowBackendKind::Sdl);
    setAdapters({});
    useBackend(BackendKind::Gl);
    window = morvale_testing::makeWindow(kWidth, kHeight);
    ASSERT_NE(window, nullptr);
    ASSERT_NE(win32::sdlWindow(window), nullptr) << "no SDL window: is a video driver there?";
    direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(direct3d, nullptr);
    parameters.Windowed = TRUE;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D24X8;
    parameters.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    ASSERT_EQ(direct3d->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                     &parameters, &device),
              D3D_OK);
    ASSERT_EQ(parameters.BackBufferWidth, static_cast<UINT>(kWidth));
    ASSERT_EQ(parameters.BackBufferHeight, static_cast<UINT>(kHeight));
    ASSERT_EQ(deviceRecord(device), nullptr) << "the device does not draw";
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    inScene = true;
}

void GlDeviceTest::TearDown() {
    if (device != nullptr) {
        if (inScene) {
            device->EndScene();
        }
        EXPECT_EQ(device->Release(), 0u);
    }
    if (direct3d != nullptr) {
        direct3d->Release();
    }
    win32::resetWindowSystem();
    useBackend(BackendKind::Null);
    for (int type = 0; type < static_cast<int>(ObjectType::Count); ++type) {
        EXPECT_EQ(liveObjects(static_cast<ObjectType>(type)), 0) << "object type " << type;
    }
}

void GlDeviceTest::drawQuad(float left, float top, float right, float bottom, D3DCOLOR colour,
                            float z) {
    const ColourVertex quad[4] = {{clipX(left), clipY(top), z, colour},
                                  {clipX(right), clipY(top), z, colour},
                                  {clipX(left), clipY(bottom), z, colour},
                                  {clipX(right), clipY(bottom), z, colour}};
    ASSERT_EQ(device->SetFVF(kColourFvf), D3D_OK);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ColourVertex)), D3D_OK);
}

void GlDeviceTest::drawTexturedQuad(float left, float top, float right, float bottom,
                                    D3DCOLOR colour, float z) {
    const TexturedVertex quad[4] = {{clipX(left), clipY(top), z, colour, 0.0f, 0.0f},
                                    {clipX(right), clipY(top), z, colour, 1.0f, 0.0f},
                                    {clipX(left), clipY(bottom), z, colour, 0.0f, 1.0f},
                                    {clipX(right), clipY(bottom), z, colour, 1.0f, 1.0f}};
    ASSERT_EQ(device->SetFVF(kTexturedFvf), D3D_OK);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(TexturedVertex)),
              D3D_OK);
}

void GlDeviceTest::useDiffuse() {
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
}

IDirect3DTexture9* GlDeviceTest::makeTexture(UINT width, UINT height, D3DFORMAT format,
                                             const std::vector<DWORD>& texels, UINT levels) {
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(
        device->CreateTexture(width, height, levels, 0, format, D3DPOOL_MANAGED, &texture, nullptr),
        D3D_OK);
    if (texture == nullptr) {
        return nullptr;
    }
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (UINT y = 0; y < height; ++y) {
        std::memcpy(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch, &texels[y * width],
                    width * 4);
    }
    EXPECT_EQ(texture->UnlockRect(0), D3D_OK);
    return texture;
}

BackBufferImage GlDeviceTest::picture() {
    if (inScene) {
        device->EndScene();
        inScene = false;
    }
    BackBufferImage image;
    EXPECT_TRUE(readBackBuffer(device, image));
    if (image.width != 0) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "." + info->name();
        for (char& c : name) {
            c = c == '/' ? '_' : c;
        }
        EXPECT_TRUE(writePng(image, std::string(MORVALE_PICTURES) + "/" + name + ".png"));
    }
    return image;
}

DrawingStats GlDeviceTest::stats() {
    DrawingStats result;
    EXPECT_TRUE(drawingStats(device, result));
    return result;
}

}  // namespace d3d9::testing
