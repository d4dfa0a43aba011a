// Render states, fixed-function stages and the filtering of state changes that change
// nothing.
#include "gl_fixture.h"

namespace d3d9::testing {
namespace {

constexpr D3DCOLOR kBlack = 0xFF000000;

using States = GlDeviceTest;

// Channel-wise distance, for results blending rounds.
bool near(D3DCOLOR a, D3DCOLOR b, int tolerance = 2) {
    for (int shift = 0; shift < 32; shift += 8) {
        const int x = static_cast<int>((a >> shift) & 0xFF);
        const int y = static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(x - y) > tolerance) {
            return false;
        }
    }
    return true;
}

TEST_F(States, AlphaBlendingMixesWithTheBackBuffer) {
    useDiffuse();
    drawQuad(0, 0, 20, 20, 0xFF0000FF);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    drawQuad(0, 0, 20, 20, 0x80FF0000, 0.4f);
    const BackBufferImage image = picture();
    EXPECT_TRUE(near(image.pixel(10, 10), 0xFF80007F)) << std::hex << image.pixel(10, 10);
}

TEST_F(States, ColourWritesKeepMaskedChannels) {
    useDiffuse();
    drawQuad(0, 0, 20, 20, 0xFF0000FF);
    device->SetRenderState(D3DRS_COLORWRITEENABLE, 1);  // red only
    drawQuad(0, 0, 20, 20, 0xFFFFFF00, 0.4f);
    EXPECT_EQ(picture().pixel(10, 10), 0xFFFF00FFu);
}

TEST_F(States, ClearIgnoresColourWritesAndDepthWrites) {
    device->SetRenderState(D3DRS_COLORWRITEENABLE, 0);
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF123456, 0.3f, 0);
    device->SetRenderState(D3DRS_COLORWRITEENABLE, 0xF);
    useDiffuse();
    drawQuad(0, 0, 10, 10, 0xFFFFFFFF, 0.5f);  // behind the cleared depth
    const BackBufferImage image = picture();
    EXPECT_EQ(image.pixel(5, 5), 0xFF123456u);
    EXPECT_EQ(image.pixel(30, 30), 0xFF123456u);
}

TEST_F(States, DrawsAfterAClearKeepTheirMasksAndScissorOff) {
    useDiffuse();
    device->SetRenderState(D3DRS_COLORWRITEENABLE, 1);  // red only
    drawQuad(0, 0, 10, 10, 0xFFFFFFFF);
    const D3DRECT rect{20, 20, 30, 30};
    device->Clear(1, &rect, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    // The clear unmasked the channels and cut to its rectangle; the draws' states did not
    // change, and must hold again.
    drawQuad(0, 20, 40, 40, 0xFFFFFFFF);
    const BackBufferImage image = picture();
    EXPECT_EQ(image.pixel(5, 5), 0xFFFF0000u);
    EXPECT_EQ(image.pixel(25, 25), 0xFFFF00FFu);
    EXPECT_EQ(image.pixel(35, 35), 0xFFFF0000u);
}

TEST_F(States, ClearRectanglesClearOnlyThemselves) {
    const D3DRECT rect{4, 6, 10, 12};
    device->Clear(1, &rect, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0);
    const BackBufferImage image = picture();
    EXPECT_EQ(image.pixel(4, 6), 0xFFFFFFFFu);
    EXPECT_EQ(image.pixel(9, 11), 0xFFFFFFFFu);
    EXPECT_EQ(image.pixel(10, 11), kBlack);
    EXPECT_EQ(image.pixel(9, 12), kBlack);
}

TEST_F(States, DepthWritesOffLeaveTheDepthBuffer) {
    useDiffuse();
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    drawQuad(0, 0, 20, 20, 0xFFFF0000, 0.2f);
    device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    drawQuad(0, 0, 20, 20, 0xFF00FF00, 0.6f);
    EXPECT_EQ(picture().pixel(10, 10), 0xFF00FF00u);
}

TEST_F(States, WireframeDrawsEdgesOnly) {
    useDiffuse();
    device->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    drawQuad(4.5f, 4.5f, 40.5f, 40.5f, 0xFFFFFFFF);
    const BackBufferImage image = picture();
    EXPECT_EQ(image.pixel(30, 12), kBlack);
    // The top edge lies between rows 4 and 5: one of them carries it.
    int lit = 0;
    for (UINT y : {4u, 5u}) {
        int row = 0;
        for (UINT x = 0; x < image.width; ++x) {
            row += image.pixel(x, y) == 0xFFFFFFFF ? 1 : 0;
        }
        lit = std::max(lit, row);
    }
    EXPECT_GT(lit, 30);
}

TEST_F(States, AlphaTestDiscardsFailingPixels) {
    useDiffuse();
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    device->SetRenderState(D3DRS_ALPHAREF, 0x80);
    drawQuad(0, 0, 10, 10, 0x80FF0000);
    drawQuad(10, 0, 20, 10, 0x81FF0000);
    // Off, the same colour passes; on again, it fails again.
    device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    drawQuad(20, 0, 30, 10, 0x80FF0000);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    drawQuad(30, 0, 40, 10, 0x80FF0000);
    const BackBufferImage image = picture();
    EXPECT_EQ(image.pixel(5, 5), kBlack);
    EXPECT_EQ(image.pixel(15, 5), 0xFFFF0000u);
    EXPECT_EQ(image.pixel(25, 5), 0xFFFF0000u);
    EXPECT_EQ(image.pixel(35, 5), kBlack);
}

struct StageCase {
    const char* name;
    DWORD op;
    DWORD arg1;
    DWORD arg2;
    D3DCOLOR texel;
    D3DCOLOR diffuse;
    D3DCOLOR expected;
};

class FixedStages : public GlDeviceTest, public ::testing::WithParamInterface<StageCase> {};

TEST_P(FixedStages, ComputeTheStageOperation) {
    const StageCase& c = GetParam();
    IDirect3DTexture9* texture = makeTexture(1, 1, D3DFMT_A8R8G8B8, {c.texel});
    device->SetTexture(0, texture);
    device->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF204060);
    device->SetTextureStageState(0, D3DTSS_COLOROP, c.op);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, c.arg1);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, c.arg2);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    drawTexturedQuad(0, 0, 10, 10, c.diffuse);
    device->SetTexture(0, nullptr);
    texture->Release();
    const D3DCOLOR result = picture().pixel(5, 5);
    EXPECT_TRUE(near(result, c.expected)) << std::hex << result;
}

INSTANTIATE_TEST_SUITE_P(
    Operations, FixedStages,
    ::testing::Values(StageCase{"Modulate", D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE,
                                0xFF808080, 0xFFFF8000, 0xFF804000},
                      StageCase{"Modulate2x", D3DTOP_MODULATE2X, D3DTA_TEXTURE, D3DTA_DIFFUSE,
                                0xFF808080, 0xFF404040, 0xFF404040},
                      StageCase{"Add", D3DTOP_ADD, D3DTA_TEXTURE, D3DTA_DIFFUSE, 0xFF202020,
                                0xFFF01010, 0xFFFF3030},
                      StageCase{"SelectArg2", D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_DIFFUSE,
                                0xFF202020, 0xFF102030, 0xFF102030},
                      StageCase{"TextureFactor", D3DTOP_SELECTARG1, D3DTA_TFACTOR, D3DTA_DIFFUSE,
                                0xFF202020, 0xFF102030, 0xFF204060},
                      StageCase{"DisabledStageShowsDiffuse", D3DTOP_DISABLE, D3DTA_TEXTURE,
                                D3DTA_CURRENT, 0xFF202020, 0xFF405060, 0xFF405060}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(States, SettingAStateToItsValueCostsNoGlCall) {
    useDiffuse();
    drawQuad(0, 0, 8, 8, 0xFFFFFFFF);
    const std::uint64_t settled = stats().stateCalls;
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    drawQuad(0, 0, 8, 8, 0xFFFFFFFF);
    drawQuad(8, 0, 16, 8, 0xFFFFFFFF);
    EXPECT_EQ(stats().stateCalls, settled);

    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    drawQuad(0, 0, 8, 8, 0xFFFFFFFF);
    const std::uint64_t changed = stats().stateCalls;
    EXPECT_GT(changed, settled);
    drawQuad(0, 0, 8, 8, 0xFFFFFFFF);
    EXPECT_EQ(stats().stateCalls, changed);
}

}  // namespace
}  // namespace d3d9::testing
