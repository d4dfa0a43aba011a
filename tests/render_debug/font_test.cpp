// Font: its height in points at the screen's 96 dpi, its colour from four floats, its face
// name cut to the description's field, and its life across a device reset.
#include "engine/render/gui/font.h"

#include <d3dx9/seams.h>

#include "tests/render_effects/effect_fixture.h"

namespace kesh::testing {
namespace {

using FontTest = EffectDeviceTest;

TEST_F(FontTest, HeightInPointsAtTheScreenResolution) {
    Font ten(dx.get(), FontDesc{10, "Arial"});
    EXPECT_EQ(ten.getHeight(), 13);
    D3DXFONT_DESCW desc{};
    ASSERT_EQ(ten.getFont()->GetDescW(&desc), D3D_OK);
    EXPECT_EQ(desc.Height, -13);
    EXPECT_EQ(desc.Weight, 700u);
    EXPECT_EQ(desc.Quality, 4);
    Font eight(dx.get(), FontDesc{8, "Lucida"});
    EXPECT_EQ(eight.getHeight(), 10);
}

TEST_F(FontTest, ALongFaceNameIsCutTo31Characters) {
    const std::string face(40, 'x');
    Font font(dx.get(), FontDesc{10, face});
    D3DXFONT_DESCW desc{};
    ASSERT_EQ(font.getFont()->GetDescW(&desc), D3D_OK);
    EXPECT_EQ(std::wstring(desc.FaceName), std::wstring(31, L'x'));
}

TEST_F(FontTest, ColoursAreClampedAndRoundedToArgb) {
    const float over[4] = {1.5f, 0.5f, -0.2f, 1.0f};
    EXPECT_EQ(colorFromFloats(over), 0xFFFF8000u);
    const float dim[4] = {0.0f, 0.0f, 0.0f, 0.25f};
    EXPECT_EQ(colorFromFloats(dim), 0x40000000u);

    Font font(dx.get(), FontDesc{10, "Arial"});
    d3dx9::clearTextDraws();
    RECT rect{10, 20, 300, 200};
    device->BeginScene();
    font.drawText(L"Hello", -1, &rect, over, DT_LEFT);
    RECT measured{10, 20, 10, 20};
    const int height = font.measureText(L"Hello", -1, &measured, DT_SINGLELINE);
    device->EndScene();
    const auto& draws = d3dx9::textDraws();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].text, L"Hello");
    EXPECT_EQ(draws[0].color, 0xFFFF8000u);
    EXPECT_EQ(draws[0].format, static_cast<DWORD>(DT_EXPANDTABS));
    EXPECT_EQ(draws[1].format, static_cast<DWORD>(DT_SINGLELINE | DT_CALCRECT | DT_EXPANDTABS));
    EXPECT_EQ(draws[1].color, 0u);
    EXPECT_GT(height, 0);
    EXPECT_GT(measured.right, 10);
    EXPECT_EQ(measured.bottom - measured.top, height);
}

TEST_F(FontTest, TheFontLivesThroughALossAndResetOfTheDevice) {
    Font font(dx.get(), FontDesc{10, "Arial"});
    ID3DXFont* same = font.getFont();
    d3d9::scriptCooperativeLevel(device, {D3DERR_DEVICENOTRESET, D3DERR_DEVICENOTRESET});
    dx->checkCooperativeLevel();
    EXPECT_FALSE(dx->isLost());
    EXPECT_EQ(font.getFont(), same);
    const float white[4] = {1, 1, 1, 1};
    RECT rect{0, 0, 100, 100};
    device->BeginScene();
    EXPECT_GT(font.drawText(L"x", -1, &rect, white, 0), 0);
    device->EndScene();
}

}  // namespace
}  // namespace kesh::testing
