#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <tuple>

#include <d3d9.h>

#include "d3d9/display.h"
#include "d3d9/seams.h"

namespace d3d9::testing {
namespace {

const D3DFORMAT kDisplayFormats[] = {D3DFMT_A1R5G5B5, D3DFMT_A2R10G10B10, D3DFMT_A8R8G8B8,
                                     D3DFMT_R5G6B5,   D3DFMT_X1R5G5B5,    D3DFMT_X8R8G8B8};

bool isDisplayFormat(D3DFORMAT format) {
    for (D3DFORMAT known : kDisplayFormats) {
        if (format == known) {
            return true;
        }
    }
    return false;
}

// The game's view of the display: Direct3D with no described adapter.
class DisplayAdapterTest : public ::testing::Test {
protected:
    void SetUp() override {
        setDescribedAdapters(false);
        setAdapters({});
    }
    void TearDown() override { setDescribedAdapters(true); }
};

TEST_F(DisplayAdapterTest, DirectThreeDReportsTheDisplayConsistently) {
    const AdapterDescription display = displayAdapter();
    IDirect3D9* direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(direct3d, nullptr);
    ASSERT_EQ(direct3d->GetAdapterCount(), 1u);

    D3DDISPLAYMODE desktop{};
    if (display.desktopModeFails) {
        EXPECT_EQ(direct3d->GetAdapterDisplayMode(0, &desktop), D3DERR_INVALIDCALL);
    } else {
        ASSERT_EQ(direct3d->GetAdapterDisplayMode(0, &desktop), D3D_OK);
        EXPECT_GT(desktop.Width, 0u);
        EXPECT_GT(desktop.Height, 0u);
        EXPECT_TRUE(isDisplayFormat(desktop.Format)) << desktop.Format;
    }
    for (D3DFORMAT format : kDisplayFormats) {
        const UINT count = direct3d->GetAdapterModeCount(0, format);
        const auto listed = display.modes.find(format);
        EXPECT_EQ(count, listed == display.modes.end() ? 0u : listed->second.size());
        std::set<std::tuple<UINT, UINT, UINT>> seen;
        for (UINT k = 0; k < count; ++k) {
            D3DDISPLAYMODE mode{};
            ASSERT_EQ(direct3d->EnumAdapterModes(0, format, k, &mode), D3D_OK);
            EXPECT_EQ(mode.Format, format);
            EXPECT_GT(mode.Width, 0u);
            EXPECT_GT(mode.Height, 0u);
            EXPECT_TRUE(seen.insert({mode.Width, mode.Height, mode.RefreshRate}).second)
                << "listed twice: " << mode.Width << "x" << mode.Height << "@" << mode.RefreshRate;
        }
    }
    // The device's own abilities stay those of the layer.
    D3DCAPS9 caps{};
    ASSERT_EQ(direct3d->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps), D3D_OK);
    EXPECT_EQ(caps.VertexShaderVersion, defaultAdapter().caps.VertexShaderVersion);
    EXPECT_EQ(direct3d->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, desktop.Format, desktop.Format,
                                               D3DFMT_D24X8),
              D3D_OK);
    EXPECT_EQ(direct3d->Release(), 0u);
}

TEST_F(DisplayAdapterTest, TheOffscreenDriverOffersOnlyItsDesktop) {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver == nullptr || std::string(driver) != "offscreen") {
        GTEST_SKIP() << "runs under the offscreen driver";
    }
    const AdapterDescription display = displayAdapter();
    EXPECT_TRUE(display.modes.empty());
    EXPECT_FALSE(display.desktopModeFails);
    EXPECT_GT(display.desktopMode.Width, 0u);
    EXPECT_EQ(display.desktopMode.Format, D3DFMT_X8R8G8B8);
}

TEST_F(DisplayAdapterTest, DescribedAdaptersStillWin) {
    AdapterDescription described = defaultAdapter();
    described.desktopMode = {640, 480, 72, D3DFMT_R5G6B5};
    setAdapters({described});
    IDirect3D9* direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    D3DDISPLAYMODE desktop{};
    ASSERT_EQ(direct3d->GetAdapterDisplayMode(0, &desktop), D3D_OK);
    EXPECT_EQ(desktop.Width, 640u);
    EXPECT_EQ(desktop.RefreshRate, 72u);
    direct3d->Release();
    setAdapters({});
}

// SDL's pixel format codes, as SDL_pixels.h defines them.
constexpr unsigned kRgb888 = 0x16161804;
constexpr unsigned kArgb8888 = 0x16362004;
constexpr unsigned kBgr24 = 0x17401803;
constexpr unsigned kRgb565 = 0x15151002;
constexpr unsigned kRgb555 = 0x15130F02;
constexpr unsigned kArgb2101010 = 0x16372004;
constexpr unsigned kIndex8 = 0x13000801;

TEST(DisplayFormatTest, OnlyFormatsADeviceCanShow) {
    EXPECT_EQ(displayFormatOf(kRgb888), D3DFMT_X8R8G8B8);
    EXPECT_EQ(displayFormatOf(kArgb8888), D3DFMT_X8R8G8B8);
    EXPECT_EQ(displayFormatOf(kBgr24), D3DFMT_X8R8G8B8);
    EXPECT_EQ(displayFormatOf(kRgb565), D3DFMT_R5G6B5);
    EXPECT_EQ(displayFormatOf(kRgb555), D3DFMT_X1R5G5B5);
    EXPECT_EQ(displayFormatOf(kArgb2101010), D3DFMT_A2R10G10B10);
    EXPECT_EQ(displayFormatOf(kIndex8), D3DFMT_UNKNOWN);
    EXPECT_EQ(displayFormatOf(0), D3DFMT_UNKNOWN);
}

}  // namespace
}  // namespace d3d9::testing
