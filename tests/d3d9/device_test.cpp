#include "d3d9_fixture.h"

namespace d3d9::testing {
namespace {

using LostDeviceTest = DeviceTest;

TEST_F(LostDeviceTest, WindowedDeviceTakesTheClientAreaAndDefaults) {
    EXPECT_EQ(parameters.BackBufferWidth, 320u);
    EXPECT_EQ(parameters.BackBufferHeight, 240u);
    EXPECT_EQ(parameters.BackBufferFormat, D3DFMT_X8R8G8B8);  // the desktop's
    D3DVIEWPORT9 viewport{};
    ASSERT_EQ(device->GetViewport(&viewport), D3D_OK);
    EXPECT_EQ(viewport.Width, 320u);
    EXPECT_EQ(viewport.Height, 240u);
    EXPECT_EQ(viewport.MinZ, 0.0f);
    EXPECT_EQ(viewport.MaxZ, 1.0f);
    DWORD value = 0;
    device->GetRenderState(D3DRS_CULLMODE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DCULL_CCW));
    device->GetRenderState(D3DRS_ZENABLE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DZB_TRUE));
    device->GetTextureStageState(0, D3DTSS_COLOROP, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DTOP_MODULATE));
    device->GetTextureStageState(1, D3DTSS_COLOROP, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DTOP_DISABLE));
    device->GetSamplerState(0, D3DSAMP_MINFILTER, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DTEXF_POINT));
}

TEST_F(LostDeviceTest, ScriptedLossThenNotResetThenReset) {
    scriptCooperativeLevel(device, {D3DERR_DEVICELOST, D3DERR_DEVICELOST, D3DERR_DEVICENOTRESET});
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    // While lost, calls succeed silently and nothing is drawn; Present reports the loss.
    EXPECT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->Clear(0, nullptr, 3, 0, 1.0f, 0), D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3D_OK);
    EXPECT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    EXPECT_TRUE(record->clears.empty());
    EXPECT_EQ(device->Reset(&parameters), D3DERR_DEVICELOST);

    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(device->Reset(&parameters), D3D_OK);
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
    EXPECT_EQ(record->resets, 1);
}

TEST_F(LostDeviceTest, ResetFailsWhileDefaultPoolResourcesLive) {
    IDirect3DVertexBuffer9* dynamic = makeVertices(4);
    IDirect3DIndexBuffer9* managed = makeIndices({0, 1, 2});
    EXPECT_EQ(device->Reset(&parameters), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    dynamic->Release();

    addResetBlocker(device);  // e.g. an effect not yet told about the loss
    EXPECT_EQ(device->Reset(&parameters), D3DERR_INVALIDCALL);
    removeResetBlocker(device);

    ASSERT_EQ(device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE), D3D_OK);
    ASSERT_EQ(device->SetIndices(managed), D3D_OK);
    EXPECT_EQ(device->Reset(&parameters), D3D_OK);
    DWORD cull = 0;
    device->GetRenderState(D3DRS_CULLMODE, &cull);
    EXPECT_EQ(cull, static_cast<DWORD>(D3DCULL_CCW));
    IDirect3DIndexBuffer9* bound = managed;
    ASSERT_EQ(device->GetIndices(&bound), D3D_OK);
    EXPECT_EQ(bound, nullptr);
    // The managed buffer survived the reset with its contents.
    WORD* data = nullptr;
    ASSERT_EQ(managed->Lock(0, 0, reinterpret_cast<void**>(&data), D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(data[2], 2);
    managed->Unlock();
    EXPECT_EQ(managed->Release(), 0u);
}

TEST_F(LostDeviceTest, ResetWithZeroSizeFollowsTheWindowAndWritesTheSizeBack) {
    ASSERT_TRUE(morvale_testing::resizeClient(window, 640, 400));
    parameters.BackBufferWidth = 0;
    parameters.BackBufferHeight = 0;
    ASSERT_EQ(device->Reset(&parameters), D3D_OK);
    EXPECT_EQ(parameters.BackBufferWidth, 640u);
    EXPECT_EQ(parameters.BackBufferHeight, 400u);
    D3DVIEWPORT9 viewport{};
    device->GetViewport(&viewport);
    EXPECT_EQ(viewport.Width, 640u);
    EXPECT_EQ(viewport.Height, 400u);
}

TEST_F(LostDeviceTest, InjectedResetFailures) {
    failNextReset(device, D3DERR_DEVICELOST);
    EXPECT_EQ(device->Reset(&parameters), D3DERR_DEVICELOST);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    setDeviceCondition(device, D3DERR_DEVICENOTRESET);
    failNextReset(device, D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Reset(&parameters), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Reset(&parameters), D3D_OK);
}

class AdapterTest : public ::testing::Test {
protected:
    void SetUp() override { win32::useWindowBackend(win32::WindowBackendKind::Headless); }
    void TearDown() override {
        setAdapters({});
        win32::resetWindowSystem();
    }
};

TEST_F(AdapterTest, DescribedAdaptersAreReported) {
    AdapterDescription first = defaultAdapter();
    first.description = "First";
    first.modes.clear();
    first.modes[D3DFMT_R5G6B5] = {{800, 600, 75, D3DFMT_R5G6B5}};
    first.depthStencilFormats = {D3DFMT_D16, D3DFMT_D24S8};
    first.depthStencilMismatches = {D3DFMT_D24S8};
    AdapterDescription second = defaultAdapter();
    second.desktopModeFails = true;
    setAdapters({first, second});

    IDirect3D9* direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(direct3d, nullptr);
    EXPECT_EQ(Direct3DCreate9(31), nullptr);
    EXPECT_EQ(direct3d->GetAdapterCount(), 2u);
    D3DADAPTER_IDENTIFIER9 identifier{};
    ASSERT_EQ(direct3d->GetAdapterIdentifier(0, 0, &identifier), D3D_OK);
    EXPECT_STREQ(identifier.Description, "First");
    EXPECT_EQ(direct3d->GetAdapterModeCount(0, D3DFMT_X8R8G8B8), 0u);
    ASSERT_EQ(direct3d->GetAdapterModeCount(0, D3DFMT_R5G6B5), 1u);
    D3DDISPLAYMODE mode{};
    ASSERT_EQ(direct3d->EnumAdapterModes(0, D3DFMT_R5G6B5, 0, &mode), D3D_OK);
    EXPECT_EQ(mode.RefreshRate, 75u);
    EXPECT_EQ(direct3d->EnumAdapterModes(0, D3DFMT_R5G6B5, 1, &mode), D3DERR_INVALIDCALL);
    EXPECT_EQ(direct3d->GetAdapterDisplayMode(1, &mode), D3DERR_INVALIDCALL);
    EXPECT_EQ(direct3d->GetAdapterDisplayMode(2, &mode), D3DERR_INVALIDCALL);

    const auto depthOk = [&](D3DFORMAT format) {
        return direct3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8,
                                           D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, format);
    };
    EXPECT_EQ(depthOk(D3DFMT_D16), D3D_OK);
    EXPECT_EQ(depthOk(D3DFMT_D24X8), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(direct3d->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8,
                                               D3DFMT_D24S8),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(direct3d->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8,
                                               D3DFMT_D16),
              D3D_OK);
    EXPECT_EQ(direct3d->Release(), 0u);
}

TEST_F(AdapterTest, CreateDeviceChecksFlagsModesAndInjectedFailures) {
    AdapterDescription plain = defaultAdapter();
    plain.caps.DevCaps = 0;
    setAdapters({plain});
    IDirect3D9* direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    HWND window = makeWindow(200, 100);
    D3DPRESENT_PARAMETERS parameters = windowedParameters();
    IDirect3DDevice9* device = nullptr;
    EXPECT_EQ(direct3d->CreateDevice(0, D3DDEVTYPE_HAL, window, 0x54, &parameters, &device),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(direct3d->CreateDevice(0, D3DDEVTYPE_HAL, window, 0x60, &parameters, &device),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(direct3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0x24, &parameters, &device),
              D3DERR_INVALIDCALL);
    failNextCreateDevice(D3DERR_NOTAVAILABLE);
    EXPECT_EQ(direct3d->CreateDevice(0, D3DDEVTYPE_HAL, window, 0x24, &parameters, &device),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(device, nullptr);

    // Full screen: the size, format and refresh rate (0: any) must be a mode.
    parameters.Windowed = FALSE;
    parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters.BackBufferWidth = 1024;
    parameters.BackBufferHeight = 768;
    parameters.FullScreen_RefreshRateInHz = 75;
    EXPECT_EQ(direct3d->CreateDevice(0, D3DDEVTYPE_HAL, window, 0x24, &parameters, &device),
              D3DERR_INVALIDCALL);
    for (UINT refresh : {60u, 0u}) {
        parameters.FullScreen_RefreshRateInHz = refresh;
        ASSERT_EQ(direct3d->CreateDevice(0, D3DDEVTYPE_HAL, window, 0x24, &parameters, &device),
                  D3D_OK);
        EXPECT_EQ(device->Release(), 0u);
    }
    parameters.BackBufferWidth = 1000;
    EXPECT_EQ(direct3d->CreateDevice(0, D3DDEVTYPE_HAL, window, 0x24, &parameters, &device),
              D3DERR_INVALIDCALL);
    parameters = windowedParameters();
    parameters.AutoDepthStencilFormat = D3DFMT_D24FS8;
    EXPECT_EQ(direct3d->CreateDevice(0, D3DDEVTYPE_HAL, window, 0x24, &parameters, &device),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(direct3d->Release(), 0u);
    EXPECT_EQ(liveObjects(ObjectType::Device), 0);
}

}  // namespace
}  // namespace d3d9::testing
