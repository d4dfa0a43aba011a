// Compiled shaders reach the device as shader objects, with the parameters they read in
// constant registers and the textures of their samplers bound, again at CommitChanges.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "effect_fixture.h"
#include "engine/render/resources/error_fx_text.h"

namespace {

using fxobject::EffectTest;

class EffectShaderTest : public EffectTest {
protected:
    const d3d9::RecordedDraw& drawOnce() {
        const float triangle[3][5] = {};
        device->SetFVF(0x102);
        device->BeginScene();
        device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, 20);
        device->EndScene();
        return record->draws.back();
    }
};

int stageOf(const d3d9::DeviceState& state, IDirect3DBaseTexture9* texture) {
    for (int i = 0; i < d3d9::kSamplerCount; ++i) {
        if (state.textures[i] == texture) {
            return i;
        }
    }
    return -1;
}

template <class Registers>
bool holdsVector(const Registers& registers, const D3DXVECTOR4& v) {
    for (std::size_t r = 0; r + 3 < registers.size(); r += 4) {
        if (registers[r] == v.x && registers[r + 1] == v.y && registers[r + 2] == v.z &&
            registers[r + 3] == v.w) {
            return true;
        }
    }
    return false;
}

D3DXMATRIX counting(float from) {
    D3DXMATRIX m;
    for (int k = 0; k < 16; ++k) {
        m.m[k / 4][k % 4] = from + static_cast<float>(k);
    }
    return m;
}

TEST_F(EffectShaderTest, TheMatrixFillsFourRegistersRowByRow) {
    ID3DXEffect* effect = make(kesh::kErrorEffectText);
    ASSERT_NE(effect, nullptr) << messages;
    const D3DXMATRIX first = counting(1.0f);
    effect->SetMatrix("matrix_world_view_projection", &first);
    UINT passes = 0;
    effect->Begin(&passes, 3);
    ASSERT_EQ(effect->BeginPass(0), D3D_OK);
    const d3d9::RecordedDraw& draw = drawOnce();
    EXPECT_NE(draw.state.vertexShader, nullptr);
    EXPECT_EQ(draw.state.pixelShader, nullptr);
    for (int k = 0; k < 16; ++k) {
        EXPECT_FLOAT_EQ(draw.state.vertexConstants[k], 1.0f + k) << k;
    }

    const D3DXMATRIX second = counting(100.0f);
    effect->SetMatrix("matrix_world_view_projection", &second);
    ASSERT_EQ(effect->CommitChanges(), D3D_OK);
    EXPECT_FLOAT_EQ(drawOnce().state.vertexConstants[5], 105.0f);
    effect->EndPass();
    effect->End();
    effect->Release();
}

const char* const kTextured = R"(
matrix wvp;
float4 tint = {1, 1, 1, 1};
texture tex_0;
sampler s0 = sampler_state { Texture = <tex_0>; MagFilter = Linear; };
struct VOut { float4 pos : POSITION; float2 uv : TEXCOORD0; };
VOut VS(float3 p : POSITION, float2 uv : TEXCOORD0) {
    VOut o; o.pos = mul(float4(p, 1), wvp); o.uv = uv; return o;
}
float4 PS(float2 uv : TEXCOORD0) : COLOR { return tex2D(s0, uv) * tint; }
technique t {
    pass a { VertexShader = compile vs_2_0 VS(); PixelShader = compile ps_2_0 PS(); }
    pass restore { VertexShader = NULL; PixelShader = NULL; }
}
)";

TEST_F(EffectShaderTest, SamplersTheCodeReadsAreBoundAndFollowNewTextures) {
    ID3DXEffect* effect = make(kTextured);
    ASSERT_NE(effect, nullptr) << messages;
    IDirect3DTexture9* one = nullptr;
    IDirect3DTexture9* two = nullptr;
    device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &one, nullptr);
    device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &two, nullptr);
    effect->SetTexture("tex_0", one);
    const D3DXVECTOR4 half(0.5f, 0.5f, 0.5f, 1.0f);
    effect->SetVector("tint", &half);
    UINT passes = 0;
    effect->Begin(&passes, 3);
    ASSERT_EQ(effect->BeginPass(0), D3D_OK);
    const d3d9::RecordedDraw& draw = drawOnce();
    EXPECT_NE(draw.state.pixelShader, nullptr);
    // The stage and the registers are the compiler's choice: look them up.
    const int stage = stageOf(draw.state, one);
    ASSERT_GE(stage, 0);
    EXPECT_EQ(draw.state.samplerState(stage, D3DSAMP_MAGFILTER),
              static_cast<DWORD>(D3DTEXF_LINEAR));
    EXPECT_TRUE(holdsVector(draw.state.pixelConstants, half));

    effect->SetTexture("tex_0", two);
    effect->CommitChanges();
    EXPECT_EQ(drawOnce().state.textures[stage], two);
    effect->EndPass();
    effect->BeginPass(1);
    EXPECT_EQ(drawOnce().state.vertexShader, nullptr);
    effect->EndPass();
    effect->End();
    effect->Release();
    one->Release();
    two->Release();
}

TEST_F(EffectShaderTest, CommitChangesSendsOnlyTheParametersThatChanged) {
    ID3DXEffect* effect = make(kTextured);
    ASSERT_NE(effect, nullptr) << messages;
    IDirect3DTexture9* texture = nullptr;
    device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr);
    effect->SetTexture("tex_0", texture);
    UINT passes = 0;
    effect->Begin(&passes, 3);
    ASSERT_EQ(effect->BeginPass(0), D3D_OK);
    const int stage = stageOf(drawOnce().state, texture);
    ASSERT_GE(stage, 0);

    // Whatever else wrote the registers and the stage since stays until its parameter changes.
    float sentinel[16];
    std::fill(std::begin(sentinel), std::end(sentinel), -7.0f);
    device->SetVertexShaderConstantF(0, sentinel, 4);
    device->SetTexture(stage, nullptr);
    const D3DXVECTOR4 tint(0.25f, 0.5f, 0.75f, 1.0f);
    effect->SetVector("tint", &tint);
    ASSERT_EQ(effect->CommitChanges(), D3D_OK);
    const d3d9::RecordedDraw& afterTint = drawOnce();
    EXPECT_TRUE(holdsVector(afterTint.state.pixelConstants, tint));
    EXPECT_FLOAT_EQ(afterTint.state.vertexConstants[5], -7.0f);
    EXPECT_EQ(afterTint.state.textures[stage], nullptr);

    const D3DXMATRIX matrix = counting(10.0f);
    effect->SetMatrix("wvp", &matrix);
    effect->SetTexture("tex_0", texture);
    ASSERT_EQ(effect->CommitChanges(), D3D_OK);
    const d3d9::RecordedDraw& afterMatrix = drawOnce();
    EXPECT_FLOAT_EQ(afterMatrix.state.vertexConstants[5], 15.0f);
    EXPECT_EQ(afterMatrix.state.textures[stage], texture);
    effect->EndPass();
    effect->End();
    effect->Release();
    texture->Release();
}

TEST_F(EffectShaderTest, AValueChangedThroughThePoolIsCommittedByTheEffectInAPass) {
    ID3DXEffectPool* pool = nullptr;
    ASSERT_EQ(D3DXCreateEffectPool(&pool), D3D_OK);
    ID3DXEffect* drawing = make(kTextured, pool);
    ID3DXEffect* other = make(kTextured, pool);
    ASSERT_NE(drawing, nullptr) << messages;
    ASSERT_NE(other, nullptr) << messages;
    UINT passes = 0;
    drawing->Begin(&passes, 3);
    ASSERT_EQ(drawing->BeginPass(0), D3D_OK);
    const D3DXVECTOR4 tint(0.125f, 0.25f, 0.375f, 0.5f);
    ASSERT_EQ(other->SetVector("tint", &tint), D3D_OK);
    ASSERT_EQ(drawing->CommitChanges(), D3D_OK);
    EXPECT_TRUE(holdsVector(drawOnce().state.pixelConstants, tint));
    drawing->EndPass();
    drawing->End();
    drawing->Release();
    other->Release();
    EXPECT_EQ(pool->Release(), 0u);
}

}  // namespace
