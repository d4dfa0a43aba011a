// Effect files as other Direct3D 9 engines write them: array sizes from named constants, and
// techniques without a name of their own.
#include <gtest/gtest.h>

#include <vector>

#include "effect_fixture.h"

namespace {

using fxobject::EffectTest;

const char* const kSkinning = R"(
static const int MAX_MATRICES = 26;
static const int N = 3;
float4x3 mWorldMatrixArray[MAX_MATRICES] : WORLDMATRIXARRAY;
float4 c[2*N+1];
matrix mViewProj : VIEWPROJECTION;
struct VS_INPUT { float4 pos : POSITION; float4 weights : BLENDWEIGHT; float4 indices : BLENDINDICES; };
float4 VS(VS_INPUT i) : POSITION
{
    int4 index = D3DCOLORtoUBYTE4(i.indices);
    float3 p = mul(i.pos, mWorldMatrixArray[index.x]) * i.weights.x
             + mul(i.pos, mWorldMatrixArray[index.y]) * (1 - i.weights.x);
    return mul(float4(p, 1), mViewProj) + c[2 * N];
}
float4 PS() : COLOR { return c[N]; }
technique skinning { pass p { VertexShader = compile vs_2_0 VS(); PixelShader = compile ps_2_0 PS(); } }
)";

TEST_F(EffectTest, ArraysSizedByStaticConstantsCompileAndDraw) {
    ID3DXEffect* effect = make(kSkinning);
    ASSERT_NE(effect, nullptr) << messages;
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    EXPECT_EQ(effect->SetMatrix("mViewProj", &identity), D3D_OK);
    UINT passes = 0;
    ASSERT_EQ(effect->Begin(&passes, 0), D3D_OK);
    EXPECT_EQ(passes, 1u);
    EXPECT_EQ(effect->BeginPass(0), D3D_OK);
    IDirect3DVertexShader9* vertexShader = nullptr;
    IDirect3DPixelShader9* pixelShader = nullptr;
    EXPECT_EQ(device->GetVertexShader(&vertexShader), D3D_OK);
    EXPECT_EQ(device->GetPixelShader(&pixelShader), D3D_OK);
    EXPECT_NE(vertexShader, nullptr);
    EXPECT_NE(pixelShader, nullptr);
    if (vertexShader != nullptr) {
        vertexShader->Release();
    }
    if (pixelShader != nullptr) {
        pixelShader->Release();
    }
    EXPECT_EQ(effect->EndPass(), D3D_OK);
    EXPECT_EQ(effect->End(), D3D_OK);
    effect->Release();
}

// Pass counts tell the techniques apart: 1, 2, 3, 4 and 5 passes in file order.
const char* const kUnnamedTechniques = R"(
technique { pass { } }
technique { pass { } pass { } }
technique twin { pass { } pass { } pass { } }
technique twin { pass { } pass { } pass { } pass { } }
technique { pass { } pass { } pass { } pass { } pass { } }
)";

UINT passesOf(ID3DXEffect* effect) {
    UINT passes = 0;
    if (effect->Begin(&passes, 0) != D3D_OK) {
        return 0;
    }
    effect->End();
    return passes;
}

TEST_F(EffectTest, EnumerationVisitsUnnamedAndSameNamedTechniquesOnceEach) {
    ID3DXEffect* effect = make(kUnnamedTechniques);
    ASSERT_NE(effect, nullptr) << messages;
    std::vector<D3DXHANDLE> handles;
    std::vector<UINT> passes;
    D3DXHANDLE technique = nullptr;
    // The loop every engine writes; a repeated handle would never end it.
    while (SUCCEEDED(effect->FindNextValidTechnique(technique, &technique)) &&
           handles.size() < 10) {
        handles.push_back(technique);
        ASSERT_EQ(effect->ValidateTechnique(technique), D3D_OK);
        ASSERT_EQ(effect->SetTechnique(technique), D3D_OK);
        EXPECT_EQ(effect->GetCurrentTechnique(), technique);
        passes.push_back(passesOf(effect));
    }
    EXPECT_EQ(passes, (std::vector<UINT>{1, 2, 3, 4, 5}));
    EXPECT_EQ(technique, nullptr);

    // A name still finds the first technique that has it.
    ASSERT_EQ(effect->SetTechnique("twin"), D3D_OK);
    EXPECT_EQ(passesOf(effect), 3u);
    ASSERT_EQ(effect->SetTechnique(""), D3D_OK);
    EXPECT_EQ(passesOf(effect), 1u);
    // The handle of the current technique leads on to the one after it.
    ASSERT_EQ(effect->SetTechnique(handles[3]), D3D_OK);
    ASSERT_EQ(effect->FindNextValidTechnique(effect->GetCurrentTechnique(), &technique), D3D_OK);
    EXPECT_EQ(technique, handles[4]);
    EXPECT_EQ(effect->SetTechnique("none of these"), D3DERR_INVALIDCALL);
    effect->Release();
}

}  // namespace
