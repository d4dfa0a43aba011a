// Effects drawn for real: the error effect's flat colour through its compiled vertex
// shader and generated pixel stage, a colour set as an integer, and a texture sampled by a
// compiled pixel shader.
#include <d3dx9effect.h>

#include <string>

#include "engine/render/resources/error_fx_text.h"
#include "tests/d3d9_gl/gl_fixture.h"

namespace d3d9::testing {
namespace {

class EffectDrawingTest : public GlDeviceTest {
protected:
    ID3DXEffect* make(const std::string& text) {
        ID3DXEffect* effect = nullptr;
        ID3DXBuffer* errors = nullptr;
        EXPECT_EQ(D3DXCreateEffect(device, text.c_str(), static_cast<UINT>(text.size()), nullptr,
                                   nullptr, 0, nullptr, &effect, &errors),
                  D3D_OK);
        if (errors != nullptr) {
            ADD_FAILURE() << static_cast<const char*>(errors->GetBufferPointer());
            errors->Release();
        }
        return effect;
    }

    // A quad over the middle of the screen, in clip space, through the effect's first pass.
    void drawThrough(ID3DXEffect* effect) {
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        effect->SetMatrix("matrix_world_view_projection", &identity);
        struct Vertex {
            float x, y, z, u, v;
        };
        const Vertex quad[4] = {{-0.5f, 0.5f, 0.5f, 0, 0},
                                {0.5f, 0.5f, 0.5f, 1, 0},
                                {-0.5f, -0.5f, 0.5f, 0, 1},
                                {0.5f, -0.5f, 0.5f, 1, 1}};
        UINT passes = 0;
        ASSERT_EQ(effect->Begin(&passes, 3), D3D_OK);
        ASSERT_EQ(effect->BeginPass(0), D3D_OK);
        device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
        device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex));
        effect->EndPass();
        effect->BeginPass(passes - 1);
        effect->EndPass();
        effect->End();
    }

    static DWORD rgb(D3DCOLOR c) { return c & 0x00FFFFFF; }
};

TEST_F(EffectDrawingTest, TheErrorEffectPaintsItsFlatColour) {
    ID3DXEffect* effect = make(kesh::kErrorEffectText);
    ASSERT_NE(effect, nullptr);
    drawThrough(effect);
    const BackBufferImage image = picture();
    EXPECT_EQ(rgb(image.pixel(kWidth / 2, kHeight / 2)), 0xFF4040u);
    EXPECT_NE(rgb(image.pixel(2, 2)), 0xFF4040u);  // outside the quad
    effect->Release();
}

TEST_F(EffectDrawingTest, AnIntegerColourReachesTheTextureFactor) {
    const std::string text =
        "matrix matrix_world_view_projection; float4 cColor;\n"
        "float4 VS(float3 p : POSITION) : POSITION\n"
        "{ return mul(float4(p, 1), matrix_world_view_projection); }\n"
        "technique t { pass p { VertexShader = compile vs_1_1 VS(); PixelShader = NULL;\n"
        "  TextureFactor = <cColor>; ColorOp[0] = SelectArg1; ColorArg1[0] = TFactor;\n"
        "  AlphaOp[0] = SelectArg1; AlphaArg1[0] = TFactor; ColorOp[1] = Disable; }\n"
        "  pass r { TextureFactor = 0xffffffff; ColorOp[0] = Disable; } }\n";
    ID3DXEffect* effect = make(text);
    ASSERT_NE(effect, nullptr);
    effect->SetInt("cColor", static_cast<INT>(0xFF2080C0u));
    drawThrough(effect);
    EXPECT_EQ(rgb(picture().pixel(kWidth / 2, kHeight / 2)), 0x2080C0u);
    effect->Release();
}

TEST_F(EffectDrawingTest, ACompiledPixelShaderSamplesItsTexture) {
    const std::string text =
        "matrix matrix_world_view_projection; texture tex_0;\n"
        "sampler s0 = sampler_state { Texture = <tex_0>; MinFilter = Point; MagFilter = Point; };\n"
        "struct VOut { float4 pos : POSITION; float2 uv : TEXCOORD0; };\n"
        "VOut VS(float3 p : POSITION, float2 uv : TEXCOORD0)\n"
        "{ VOut o; o.pos = mul(float4(p, 1), matrix_world_view_projection); o.uv = uv; return o; "
        "}\n"
        "float4 PS(float2 uv : TEXCOORD0) : COLOR { return tex2D(s0, uv); }\n"
        "technique t { pass p { VertexShader = compile vs_2_0 VS(); PixelShader = compile ps_2_0 "
        "PS(); }\n"
        "  pass r { VertexShader = NULL; PixelShader = NULL; } }\n";
    ID3DXEffect* effect = make(text);
    ASSERT_NE(effect, nullptr);
    IDirect3DTexture9* green =
        makeTexture(2, 2, D3DFMT_A8R8G8B8, {0xFF00FF00, 0xFF00FF00, 0xFF00FF00, 0xFF00FF00});
    effect->SetTexture("tex_0", green);
    drawThrough(effect);
    EXPECT_EQ(rgb(picture().pixel(kWidth / 2, kHeight / 2)), 0x00FF00u);
    effect->Release();
    green->Release();
}

}  // namespace
}  // namespace d3d9::testing
