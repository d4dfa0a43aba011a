// Shaders nested as deep as Direct3D 9 allows go through every compiler, Mesa's in this
// process included, and draw what they compute.
#include <d3dx9effect.h>

#include <string>

#include "tests/d3d9_gl/gl_fixture.h"

namespace d3d9::testing {
namespace {

class NestingEdgeTest : public GlDeviceTest {};

// Four nested loops of up to 255 rounds around twenty nested branches: 24 levels of flow
// control, 4 of loops, the most ps_3_0 takes. The colour is decided by the last round.
std::string edgeEffect() {
    std::string body;
    for (int i = 0; i < 4; ++i) {
        const std::string v = "i" + std::to_string(i);
        body += "for (int " + v + " = 0; " + v + " < limit; " + v + "++) {\n";
    }
    for (int i = 0; i < 20; ++i) {
        body += "if (c.g < " + std::to_string(1.0 - i * 0.01) + ") {\n";
    }
    body += "c.g += 0.25;\n" + std::string(24, '}');
    return "int limit = 255;\n"
           "float4 vs(float4 p : POSITION) : POSITION { return p; }\n"
           "float4 ps() : COLOR0 {\nfloat4 c = float4(1, 0, 0, 1);\n" +
           body +
           "\nreturn c;\n}\n"
           "technique t { pass p { VertexShader = compile vs_3_0 vs();\n"
           "PixelShader = compile ps_3_0 ps(); } pass r { } }\n";
}

TEST_F(NestingEdgeTest, TheDeepestNestingAShaderModelTakesDraws) {
    const std::string text = edgeEffect();
    ID3DXEffect* effect = nullptr;
    ID3DXBuffer* errors = nullptr;
    ASSERT_EQ(D3DXCreateEffect(device, text.c_str(), static_cast<UINT>(text.size()), nullptr,
                               nullptr, 0, nullptr, &effect, &errors),
              D3D_OK)
        << (errors != nullptr ? static_cast<const char*>(errors->GetBufferPointer()) : "");
    effect->SetInt("limit", 2);
    const float quad[4][3] = {{-1, 1, 0.5f}, {1, 1, 0.5f}, {-1, -1, 0.5f}, {1, -1, 0.5f}};
    UINT passes = 0;
    ASSERT_EQ(effect->Begin(&passes, 3), D3D_OK);
    ASSERT_EQ(effect->BeginPass(0), D3D_OK);
    device->SetFVF(D3DFVF_XYZ);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof quad[0]);
    effect->EndPass();
    effect->BeginPass(passes - 1);
    effect->EndPass();
    effect->End();
    effect->Release();
    // Green grows by a quarter each round while it is below the branches' bounds: to 1.
    EXPECT_EQ(picture().pixel(kWidth / 2, kHeight / 2) & 0x00FFFFFFu, 0xFFFF00u);
}

}  // namespace
}  // namespace d3d9::testing
