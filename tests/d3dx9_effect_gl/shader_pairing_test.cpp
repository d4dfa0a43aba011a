// Direct3D pairs any vertex shader with any pixel shader: here the vertex shader of one
// effect and the pixel shader of another, whose parameters differ, on one draw; and it links
// their varyings by semantic, whatever width each stage gives them.
#include <d3dx9effect.h>

#include <string>
#include <vector>

#include "tests/d3d9_gl/gl_fixture.h"
#include "win32/seams.h"

namespace d3d9::testing {
namespace {

// Moves a quad right by `shift` and paints it red: the red must never show.
const char* const kMovingEffect = R"(
matrix matrix_world_view_projection;
float4 shift;
float4 VS(float3 p : POSITION) : POSITION
{ return mul(float4(p, 1), matrix_world_view_projection) + shift; }
float4 PS() : COLOR { return float4(1, 0, 0, 1); }
technique t { pass p { VertexShader = compile vs_2_0 VS(); PixelShader = compile ps_2_0 PS(); } }
)";

// Other parameters in another order, and a pixel shader that paints its tint.
const char* const kTintingEffect = R"(
float scale;
float4 tint;
float3 unused;
float4 VS(float3 p : POSITION) : POSITION { return float4(p * scale + unused, 1); }
float4 PS() : COLOR { return tint; }
technique t { pass p { VertexShader = compile vs_2_0 VS(); PixelShader = compile ps_2_0 PS(); } }
)";

class ShaderPairingTest : public GlDeviceTest {
protected:
    ID3DXEffect* make(const char* text) {
        ID3DXEffect* effect = nullptr;
        ID3DXBuffer* errors = nullptr;
        EXPECT_EQ(D3DXCreateEffect(device, text, static_cast<UINT>(std::string(text).size()),
                                   nullptr, nullptr, 0, nullptr, &effect, &errors),
                  D3D_OK);
        if (errors != nullptr) {
            ADD_FAILURE() << static_cast<const char*>(errors->GetBufferPointer());
            errors->Release();
        }
        return effect;
    }

    static DWORD rgb(D3DCOLOR c) { return c & 0x00FFFFFF; }
};

TEST_F(ShaderPairingTest, AVertexShaderOfOneEffectDrawsWithThePixelShaderOfAnother) {
    ID3DXEffect* moving = make(kMovingEffect);
    ID3DXEffect* tinting = make(kTintingEffect);
    ASSERT_NE(moving, nullptr);
    ASSERT_NE(tinting, nullptr);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->BeginScene();
    inScene = true;

    // The tinting pass leaves its pixel shader and its tint in the pixel registers.
    const D3DXVECTOR4 tint(0.2f, 0.4f, 0.6f, 1.0f);
    tinting->SetVector("tint", &tint);
    UINT passes = 0;
    ASSERT_EQ(tinting->Begin(&passes, D3DXFX_DONOTSAVESTATE), D3D_OK);
    ASSERT_EQ(tinting->BeginPass(0), D3D_OK);
    IDirect3DPixelShader9* tintShader = nullptr;
    ASSERT_EQ(device->GetPixelShader(&tintShader), D3D_OK);
    tinting->EndPass();
    tinting->End();

    // The moving pass sets its own shaders; its pixel shader reads no register.
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    moving->SetMatrix("matrix_world_view_projection", &identity);
    const D3DXVECTOR4 shift(0.5f, 0.0f, 0.0f, 0.0f);
    moving->SetVector("shift", &shift);
    ASSERT_EQ(moving->Begin(&passes, D3DXFX_DONOTSAVESTATE), D3D_OK);
    ASSERT_EQ(moving->BeginPass(0), D3D_OK);
    device->SetPixelShader(tintShader);
    const float quad[4][3] = {
        {-0.5f, 0.5f, 0.5f}, {0.5f, 0.5f, 0.5f}, {-0.5f, -0.5f, 0.5f}, {0.5f, -0.5f, 0.5f}};
    device->SetFVF(D3DFVF_XYZ);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof quad[0]), D3D_OK);
    moving->EndPass();
    moving->End();

    // The quad, moved right by a quarter of the screen, in the tint.
    const BackBufferImage image = picture();
    EXPECT_EQ(rgb(image.pixel(kWidth * 5 / 8, kHeight / 2)), 0x336699u);
    EXPECT_EQ(rgb(image.pixel(kWidth * 7 / 8 - 2, kHeight / 2)), 0x336699u);
    EXPECT_EQ(rgb(image.pixel(kWidth * 3 / 8 - 2, kHeight / 2)), 0u) << "left of the moved quad";
    EXPECT_EQ(stats().lastError, "");
    tintShader->Release();
    moving->Release();
    tinting->Release();
}

// A float4 written and a float2 read, a float written and a float4 read: Direct3D pads what
// was not written with (0, 0, 0, 1).
const char* const kWidthsEffect = R"(
float4 VS(float3 p : POSITION, out float4 t : TEXCOORD0, out float c : TEXCOORD1) : POSITION
{ t = float4(0.25, 0.5, 0.75, 1); c = 0.25; return float4(p, 1); }
float4 PS(float2 t : TEXCOORD0, float4 c : TEXCOORD1) : COLOR
{ return float4(t.y, c.x, c.w - c.y - c.z, 1); }
technique t { pass p { VertexShader = compile vs_2_0 VS(); PixelShader = compile ps_2_0 PS(); } }
)";

// Reads as integers what its vertex shader writes as floats: no program can be linked.
const char* const kUnlinkableEffect = R"(
float4 VS(float3 p : POSITION, out float4 t : TEXCOORD0) : POSITION
{ t = float4(1, 2, 3, 4); return float4(p, 1); }
float4 PS(nointerpolation int4 t : TEXCOORD0) : COLOR { return float4(t) / 4; }
technique t { pass p { VertexShader = compile vs_3_0 VS(); PixelShader = compile ps_3_0 PS(); } }
)";

// Direct3D pads a position narrower than float4 with 0 for z and 1 for w.
const char* const kNarrowPositionEffect = R"(
float3 VS(float3 p : POSITION) : POSITION { return float3(p.xy * 0.5, p.z); }
float4 PS() : COLOR { return float4(0, 1, 0, 1); }
technique t { pass p { VertexShader = compile vs_2_0 VS(); PixelShader = compile ps_2_0 PS(); } }
)";

class VaryingTest : public ShaderPairingTest {
protected:
    // Draws the screen-filling quad `times` times with the effect's first pass.
    void drawFullScreen(ID3DXEffect& effect, int times) {
        static const float kQuad[4][3] = {
            {-1.0f, 1.0f, 0.5f}, {1.0f, 1.0f, 0.5f}, {-1.0f, -1.0f, 0.5f}, {1.0f, -1.0f, 0.5f}};
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        device->BeginScene();
        inScene = true;
        UINT passes = 0;
        ASSERT_EQ(effect.Begin(&passes, D3DXFX_DONOTSAVESTATE), D3D_OK);
        ASSERT_EQ(effect.BeginPass(0), D3D_OK);
        device->SetFVF(D3DFVF_XYZ);
        for (int i = 0; i < times; ++i) {
            EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, kQuad, sizeof kQuad[0]),
                      D3D_OK);
        }
        effect.EndPass();
        effect.End();
    }
};

TEST_F(VaryingTest, VaryingsOfDifferentWidthsLinkBySemantic) {
    ID3DXEffect* effect = make(kWidthsEffect);
    ASSERT_NE(effect, nullptr);
    drawFullScreen(*effect, 1);
    const D3DCOLOR c = picture().pixel(kWidth / 2, kHeight / 2);
    EXPECT_NEAR(static_cast<int>((c >> 16) & 0xFF), 128, 1);
    EXPECT_NEAR(static_cast<int>((c >> 8) & 0xFF), 64, 1);
    EXPECT_EQ(c & 0xFF, 0xFFu);
    EXPECT_EQ(stats().drawsSkipped, 0u) << stats().lastError;
    effect->Release();
}

TEST_F(VaryingTest, APositionNarrowerThanFloat4IsPaddedLikeDirect3D) {
    ID3DXEffect* effect = make(kNarrowPositionEffect);
    ASSERT_NE(effect, nullptr);
    drawFullScreen(*effect, 1);
    const BackBufferImage image = picture();
    EXPECT_EQ(rgb(image.pixel(kWidth / 2, kHeight / 2)), 0x00FF00u);
    EXPECT_EQ(rgb(image.pixel(kWidth * 3 / 4 - 2, kHeight / 4 + 2)), 0x00FF00u);
    EXPECT_EQ(rgb(image.pixel(kWidth * 3 / 4 + 2, kHeight / 2)), 0u) << "right of the half quad";
    EXPECT_EQ(stats().drawsSkipped, 0u) << stats().lastError;
    effect->Release();
}

TEST_F(VaryingTest, APairThatCannotLinkIsReportedOnceAndItsDrawsSkipped) {
    std::vector<std::wstring> lines;
    win32::setDebugOutputSink([&](const std::wstring& text) { lines.push_back(text); });
    ID3DXEffect* effect = make(kUnlinkableEffect);
    ASSERT_NE(effect, nullptr);
    drawFullScreen(*effect, 3);
    win32::setDebugOutputSink(nullptr);
    EXPECT_EQ(stats().drawsSkipped, 3u);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(
        lines[0].rfind(L"Direct3D9: (ERROR) :shaders do not link, its draws are skipped: ", 0), 0u);
    effect->Release();
}

}  // namespace
}  // namespace d3d9::testing
