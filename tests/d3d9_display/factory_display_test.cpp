#include <gtest/gtest.h>

#include <cstdlib>

#include "d3d9/display.h"
#include "engine/render/device/device_factory.h"
#include "tests/support/render_fixture.h"

namespace kesh::testing {
namespace {

class FactoryDisplayTest : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        d3d9::clearRecordedModeCalls();
        window = makeWindow(800, 600);
    }
    void TearDown() override {
        d3d9::setDescribedAdapters(true);
        d3d9::clearRecordedModeCalls();
        RenderTest::TearDown();
    }

    HWND window = nullptr;
};

TEST_F(FactoryDisplayTest, TheFullScreenModeKeepsItsEnumeratedRefreshRate) {
    // 75 Hz is chosen only where the mode offers it.
    for (UINT offered : {60u, 75u}) {
        d3d9::AdapterDescription adapter = d3d9::defaultAdapter();
        adapter.modes.clear();
        adapter.modes[D3DFMT_X8R8G8B8] = {{800, 600, 75, D3DFMT_X8R8G8B8},
                                          {1024, 768, offered, D3DFMT_X8R8G8B8}};
        d3d9::setAdapters({adapter});
        d3d9::clearRecordedModeCalls();
        win32::ComPtr<IDirect3D9> direct3d(Direct3DCreate9(D3D_SDK_VERSION));
        DxDeviceFactory factory(direct3d.get());
        ASSERT_TRUE(factory.selectDepthStencil(24, 0));
        ASSERT_TRUE(factory.selectFullscreen(1024, 768, -1, 0));
        EXPECT_EQ(factory.presentParameters().FullScreen_RefreshRateInHz, offered);
        {
            win32::ComPtr<IDirect3DDevice9> device = factory.createDevice(window);
            ASSERT_TRUE(device);
            EXPECT_EQ(factory.presentParameters().FullScreen_RefreshRateInHz, offered);
            const auto calls = d3d9::recordedModeCalls();
            ASSERT_FALSE(calls.empty());
            EXPECT_EQ(calls.front().call, d3d9::ModeCall::SetDisplayMode);
            EXPECT_EQ(calls.front().refreshRate, offered);
        }
        EXPECT_EQ(d3d9::recordedModeCalls().back().call, d3d9::ModeCall::LeaveFullscreen);
    }
}

TEST_F(FactoryDisplayTest, WithoutADisplayTheGameStaysWindowed) {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver == nullptr || std::string(driver) != "offscreen") {
        GTEST_SKIP() << "runs under the offscreen driver";
    }
    d3d9::setDescribedAdapters(false);
    d3d9::setAdapters({});
    win32::ComPtr<IDirect3D9> direct3d(Direct3DCreate9(D3D_SDK_VERSION));
    DxDeviceFactory factory(direct3d.get());
    EXPECT_TRUE(logged("  Fullscreen Formats: 0"));
    ASSERT_TRUE(factory.selectDepthStencil(24, 0));
    EXPECT_FALSE(factory.selectFullscreen(1024, 768, -1, 0));
    EXPECT_FALSE(factory.isFullscreen());
    EXPECT_EQ(factory.presentParameters().Windowed, TRUE);
    EXPECT_EQ(factory.presentParameters().BackBufferFormat, D3DFMT_X8R8G8B8);
    {
        win32::ComPtr<IDirect3DDevice9> device = factory.createDevice(window);
        ASSERT_TRUE(device);
        EXPECT_EQ(factory.presentParameters().BackBufferWidth, 800u);
        EXPECT_EQ(factory.presentParameters().BackBufferHeight, 600u);
    }
    EXPECT_TRUE(d3d9::recordedModeCalls().empty());
}

}  // namespace
}  // namespace kesh::testing
