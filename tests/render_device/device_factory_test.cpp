#include "engine/render/device/device_factory.h"

#include <stdexcept>

#include "engine/render/device/format_name.h"
#include "tests/support/render_fixture.h"

namespace kesh::testing {
namespace {

using d3d9::AdapterDescription;
using d3d9::setAdapters;

class DeviceFactoryTest : public RenderTest {
protected:
    DWORD flagsFor(const AdapterDescription& adapter) {
        setAdapters({adapter});
        IDirect3D9* direct3d = Direct3DCreate9(D3D_SDK_VERSION);
        const DWORD flags = DxDeviceFactory(direct3d).behaviourFlags();
        direct3d->Release();
        return flags;
    }
};

TEST_F(DeviceFactoryTest, BehaviourFlagsNeedPureDeviceAndVertexShaders) {
    EXPECT_EQ(flagsFor(adapterWith(true, D3DVS_VERSION(1, 1))), 0x54u);
    EXPECT_EQ(flagsFor(adapterWith(false, D3DVS_VERSION(3, 0))), 0x24u);
    EXPECT_EQ(flagsFor(adapterWith(true, D3DVS_VERSION(0, 0))), 0x24u);
}

TEST_F(DeviceFactoryTest, DefaultSettingsFollowTheDesktop) {
    AdapterDescription adapter = d3d9::defaultAdapter();
    adapter.desktopMode.Format = D3DFMT_R5G6B5;
    setAdapters({adapter});
    IDirect3D9* direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    {
        DxDeviceFactory factory(direct3d);
        const D3DPRESENT_PARAMETERS& parameters = factory.presentParameters();
        EXPECT_EQ(parameters.Windowed, TRUE);
        EXPECT_EQ(parameters.BackBufferWidth, 0u);
        EXPECT_EQ(parameters.BackBufferFormat, D3DFMT_R5G6B5);
        EXPECT_EQ(parameters.BackBufferCount, 1u);
        EXPECT_EQ(parameters.SwapEffect, D3DSWAPEFFECT_DISCARD);
        EXPECT_EQ(parameters.PresentationInterval, D3DPRESENT_INTERVAL_IMMEDIATE);
        EXPECT_EQ(parameters.EnableAutoDepthStencil, FALSE);
        EXPECT_FALSE(factory.isFullscreen());
    }
    adapter.desktopModeFails = true;
    setAdapters({adapter});
    IDirect3D9* failing = Direct3DCreate9(D3D_SDK_VERSION);
    {
        DxDeviceFactory factory(failing);
        EXPECT_TRUE(logged("GetAdapterDisplayMode for 0 adapter failed"));
        EXPECT_EQ(factory.presentParameters().BackBufferFormat, D3DFMT_UNKNOWN);
    }
    failing->Release();
    direct3d->Release();
}

TEST_F(DeviceFactoryTest, DepthStencilTakesExactBitsPreferringLaterCandidates) {
    AdapterDescription adapter = d3d9::defaultAdapter();
    adapter.depthStencilFormats = {D3DFMT_D16, D3DFMT_D24S8, D3DFMT_D24FS8, D3DFMT_D32};
    setAdapters({adapter});
    IDirect3D9* direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    DxDeviceFactory factory(direct3d);
    EXPECT_EQ(factory.findDepthStencilFormat(0, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, 24, 8),
              D3DFMT_D24FS8);
    EXPECT_TRUE(logged("  Supported depth/stencil formats: D32 D24FS8 D24S8 D16 "));
    EXPECT_EQ(factory.findDepthStencilFormat(0, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, 24, 0),
              D3DFMT_UNKNOWN);
    EXPECT_FALSE(factory.selectDepthStencil(24, 0));
    EXPECT_EQ(factory.presentParameters().EnableAutoDepthStencil, FALSE);

    // A format that passes the first check but does not match the target is dropped.
    adapter.depthStencilFormats.push_back(D3DFMT_D24X8);
    adapter.depthStencilMismatches = {D3DFMT_D24FS8};
    setAdapters({adapter});
    IDirect3D9* second = Direct3DCreate9(D3D_SDK_VERSION);
    DxDeviceFactory other(second);
    EXPECT_EQ(other.findDepthStencilFormat(0, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, 24, 8),
              D3DFMT_D24S8);
    EXPECT_TRUE(other.selectDepthStencil(24, 0));
    EXPECT_TRUE(logged("  Depth/Stencil selected: D24X8"));
    EXPECT_EQ(other.presentParameters().AutoDepthStencilFormat, D3DFMT_D24X8);
    EXPECT_EQ(other.presentParameters().EnableAutoDepthStencil, TRUE);
    second->Release();
    direct3d->Release();
}

TEST_F(DeviceFactoryTest, ModeSearchPrefersSmallestFormatThenHighestRefresh) {
    AdapterDescription adapter = d3d9::defaultAdapter();
    adapter.modes.clear();
    adapter.modes[D3DFMT_X8R8G8B8] = {{1024, 768, 60, D3DFMT_X8R8G8B8},
                                      {1024, 768, 85, D3DFMT_X8R8G8B8},
                                      {800, 600, 100, D3DFMT_X8R8G8B8}};
    adapter.modes[D3DFMT_R5G6B5] = {{1024, 768, 75, D3DFMT_R5G6B5}};
    setAdapters({adapter});
    IDirect3D9* direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    DxDeviceFactory factory(direct3d);
    const D3DDISPLAYMODE mode = factory.findModeByResolution(0, 1024, 768, -1);
    EXPECT_EQ(mode.RefreshRate, 85u);
    EXPECT_EQ(mode.Format, D3DFMT_X8R8G8B8);
    EXPECT_TRUE(logged("DxDeviceFactory::findModeByResolution(0): 1024 x 768 @ -1 : 3"));
    EXPECT_EQ(factory.findModeByResolution(0, 1024, 768, 75).Format, D3DFMT_R5G6B5);
    EXPECT_EQ(factory.findModeByResolution(0, 640, 480, -1).Format, D3DFMT_UNKNOWN);
    EXPECT_EQ(factory.findModeByResolution(1, 1024, 768, -1).Format, D3DFMT_UNKNOWN);

    EXPECT_FALSE(factory.selectFullscreen(1280, 1024, -1, 0));
    EXPECT_TRUE(factory.selectFullscreen(1024, 768, -1, 0));
    const D3DPRESENT_PARAMETERS& parameters = factory.presentParameters();
    EXPECT_EQ(parameters.Windowed, FALSE);
    EXPECT_EQ(parameters.BackBufferWidth, 1024u);
    EXPECT_EQ(parameters.FullScreen_RefreshRateInHz, 85u);
    EXPECT_EQ(parameters.BackBufferFormat, D3DFMT_X8R8G8B8);
    EXPECT_TRUE(factory.isFullscreen());
    EXPECT_TRUE(logged("  Fullscreen selected: 1024 x 768 @ 85 : X8R8G8B8"));
    direct3d->Release();
}

TEST_F(DeviceFactoryTest, ModeReportListsAtMostEightModesALine) {
    AdapterDescription adapter = d3d9::defaultAdapter();
    adapter.deviceName = "\\\\.\\DISPLAY7";
    adapter.modes.clear();
    for (UINT i = 0; i < 3; ++i) {
        adapter.modes[D3DFMT_R5G6B5].push_back({640 + i, 480, 60, D3DFMT_R5G6B5});
    }
    for (UINT i = 0; i < 9; ++i) {
        adapter.modes[D3DFMT_A1R5G5B5].push_back({800 + i, 600, 75, D3DFMT_A1R5G5B5});
    }
    setAdapters({adapter});
    IDirect3D9* direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    DxDeviceFactory factory(direct3d);
    EXPECT_TRUE(logged("Adapter 0: \\\\.\\DISPLAY7"));
    EXPECT_TRUE(logged("  Vertex Shader: 3.0"));
    EXPECT_TRUE(logged("  Fullscreen Formats: 2"));
    EXPECT_TRUE(logged("R5G6B5:"));
    EXPECT_TRUE(logged("       640x480@60, 641x480@60, 642x480@60"));
    EXPECT_TRUE(logged("A1R5G5B5:"));
    EXPECT_TRUE(
        logged("       800x600@75, 801x600@75, 802x600@75, 803x600@75, 804x600@75, "
               "805x600@75, 806x600@75, 807x600@75"));
    EXPECT_TRUE(logged("       808x600@75"));
    // Formats in ascending value: R5G6B5 (23) before A1R5G5B5 (25).
    size_t r5 = 0;
    size_t a1 = 0;
    const std::vector<std::string> lines = morvale_testing::linesOf("video");
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == "R5G6B5:")
            r5 = i;
        if (lines[i] == "A1R5G5B5:")
            a1 = i;
    }
    EXPECT_LT(r5, a1);
    ASSERT_EQ(factory.adapters().size(), 1u);
    EXPECT_EQ(factory.adapters()[0]->modes.at(D3DFMT_A1R5G5B5).size(), 9u);
    direct3d->Release();
}

TEST_F(DeviceFactoryTest, CreateDeviceWritesTheSizeBackAndThrowsOnFailure) {
    IDirect3D9* direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    const HWND window = makeWindow(800, 600);
    DxDeviceFactory factory(direct3d);
    ASSERT_TRUE(factory.selectDepthStencil(24, 0));
    IDirect3DDevice9* device = factory.createDevice(window).release();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(factory.presentParameters().BackBufferWidth, 800u);
    EXPECT_EQ(factory.presentParameters().BackBufferHeight, 600u);
    EXPECT_TRUE(logged("Device created"));
    EXPECT_EQ(device->Release(), 0u);

    d3d9::failNextCreateDevice(D3DERR_NOTAVAILABLE);
    try {
        factory.createDevice(window);
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()).rfind("Cannot create Direct3D9 device", 0), 0u);
    }
    direct3d->Release();
}

TEST(FormatNameTest, NamesTheFormatsAndNothingElse) {
    EXPECT_EQ(formatName(D3DFMT_X8R8G8B8), L"X8R8G8B8");
    EXPECT_EQ(formatName(D3DFMT_D24X8), L"D24X8");
    EXPECT_EQ(formatName(D3DFMT_DXT5), L"DXT5");
    EXPECT_EQ(formatName(D3DFMT_R8G8_B8G8), L"R8G8_B8G8");
    EXPECT_EQ(formatName(D3DFMT_MULTI2_ARGB8), L"MULTI2_ARGB8");
    EXPECT_EQ(formatName(D3DFMT_CxV8U8), L"CxV8U8");
    EXPECT_EQ(formatName(static_cast<D3DFORMAT>(0)), L"UNKNOWN");
    EXPECT_EQ(formatName(static_cast<D3DFORMAT>(99)), L"UNKNOWN");
}

}  // namespace
}  // namespace kesh::testing
