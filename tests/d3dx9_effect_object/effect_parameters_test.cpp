// Parameters set and read by name, colour integers, textures held by the effect, and
// values shared through a pool.
#include <gtest/gtest.h>

#include "effect_fixture.h"

namespace {

using fxobject::EffectTest;

const char* const kParameters = R"(
float4 tint = {0.5, 0.25, 1, 1};
float3 rgb;
bool flag = true;
int count = 4;
float scale = 2.5;
matrix world;
texture tex_0;
sampler s0 = sampler_state { Texture = <tex_0>; MinFilter = Linear; };
float4 VS(float3 p : POSITION) : POSITION { return mul(float4(p, 1), world) * scale; }
technique t { pass a { VertexShader = compile vs_2_0 VS(); Sampler[0] = <s0>; }
              pass b { Texture[0] = NULL; } }
)";

TEST_F(EffectTest, DefaultsAndTypedAccessByName) {
    ID3DXEffect* effect = make(kParameters);
    ASSERT_NE(effect, nullptr) << messages;
    D3DXVECTOR4 v;
    ASSERT_EQ(effect->GetVector("tint", &v), D3D_OK);
    EXPECT_FLOAT_EQ(v.y, 0.25f);
    BOOL b = FALSE;
    ASSERT_EQ(effect->GetBool("flag", &b), D3D_OK);
    EXPECT_TRUE(b);
    INT i = 0;
    ASSERT_EQ(effect->GetInt("count", &i), D3D_OK);
    EXPECT_EQ(i, 4);
    FLOAT f = 0;
    ASSERT_EQ(effect->GetFloat("scale", &f), D3D_OK);
    EXPECT_FLOAT_EQ(f, 2.5f);

    D3DXMATRIX m;
    for (int k = 0; k < 16; ++k) {
        m.m[k / 4][k % 4] = static_cast<float>(k);
    }
    ASSERT_EQ(effect->SetMatrix("world", &m), D3D_OK);
    D3DXMATRIX back;
    ASSERT_EQ(effect->GetMatrix("world", &back), D3D_OK);
    EXPECT_FLOAT_EQ(back._12, 1.0f);
    EXPECT_FLOAT_EQ(back._43, 14.0f);
    effect->Release();
}

TEST_F(EffectTest, MissingNamesAndMismatchedTypesFail) {
    ID3DXEffect* effect = make(kParameters);
    ASSERT_NE(effect, nullptr) << messages;
    const D3DXMATRIX m;
    const D3DXVECTOR4 v(1, 2, 3, 4);
    EXPECT_EQ(effect->SetMatrix("nonexistent", &m), D3DERR_INVALIDCALL);
    EXPECT_EQ(effect->SetInt("do_culling", 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(effect->SetBool(nullptr, TRUE), D3DERR_INVALIDCALL);
    EXPECT_EQ(effect->SetVector("tex_0", &v), D3DERR_INVALIDCALL);
    EXPECT_EQ(effect->SetTexture("scale", nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(effect->SetMatrix("world", nullptr), D3DERR_INVALIDCALL);
    effect->Release();
}

TEST_F(EffectTest, IntegersOnColourVectorsUnpackAsArgb) {
    ID3DXEffect* effect = make(kParameters);
    ASSERT_NE(effect, nullptr) << messages;
    ASSERT_EQ(effect->SetInt("tint", static_cast<INT>(0x80ff3300u)), D3D_OK);
    D3DXVECTOR4 v;
    ASSERT_EQ(effect->GetVector("tint", &v), D3D_OK);
    EXPECT_FLOAT_EQ(v.x, 1.0f);
    EXPECT_FLOAT_EQ(v.y, 0x33 / 255.0f);
    EXPECT_FLOAT_EQ(v.z, 0.0f);
    EXPECT_FLOAT_EQ(v.w, 0x80 / 255.0f);
    ASSERT_EQ(effect->SetInt("rgb", 0x0000ff), D3D_OK);
    ASSERT_EQ(effect->GetVector("rgb", &v), D3D_OK);
    EXPECT_FLOAT_EQ(v.z, 1.0f);
    EXPECT_FLOAT_EQ(v.w, 0.0f);  // a float3 has no alpha

    // A BOOL handed to an int keeps its number; to a bool it is only true or false.
    ASSERT_EQ(effect->SetBool("count", 2), D3D_OK);
    INT i = 0;
    effect->GetInt("count", &i);
    EXPECT_EQ(i, 2);
    ASSERT_EQ(effect->SetInt("flag", 5), D3D_OK);
    effect->GetInt("flag", &i);
    EXPECT_EQ(i, 1);
    effect->Release();
}

TEST_F(EffectTest, TexturesAreHeldUntilReplacedAndBoundThroughSamplers) {
    ID3DXEffect* effect = make(kParameters);
    ASSERT_NE(effect, nullptr) << messages;
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(
        device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
        D3D_OK);
    ASSERT_EQ(effect->SetTexture("tex_0", texture), D3D_OK);
    EXPECT_EQ(texture->AddRef(), 3u);
    texture->Release();

    UINT passes = 0;
    effect->Begin(&passes, 3);
    ASSERT_EQ(effect->BeginPass(0), D3D_OK);
    IDirect3DBaseTexture9* bound = nullptr;
    device->GetTexture(0, &bound);
    EXPECT_EQ(bound, texture);
    if (bound != nullptr) {
        bound->Release();
    }
    DWORD filter = 0;
    device->GetSamplerState(0, D3DSAMP_MINFILTER, &filter);
    EXPECT_EQ(filter, static_cast<DWORD>(D3DTEXF_LINEAR));
    effect->EndPass();
    ASSERT_EQ(effect->BeginPass(1), D3D_OK);
    device->GetTexture(0, &bound);
    EXPECT_EQ(bound, nullptr);
    effect->EndPass();
    effect->End();

    ASSERT_EQ(effect->SetTexture("tex_0", nullptr), D3D_OK);
    EXPECT_EQ(texture->AddRef(), 2u);
    texture->Release();
    effect->Release();
    EXPECT_EQ(texture->Release(), 0u);
}

TEST_F(EffectTest, APoolSharesSameNamedParametersOnly) {
    ID3DXEffectPool* pool = nullptr;
    ASSERT_EQ(D3DXCreateEffectPool(&pool), D3D_OK);
    ID3DXEffect* first = make(kParameters, pool);
    ID3DXEffect* second = make("float4x4 world; float scale = 9; float4 tint;", pool);
    ID3DXEffect* alone = make(kParameters);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr) << messages;
    ASSERT_NE(alone, nullptr);

    D3DXMATRIX m;
    m._42 = 7.0f;
    ASSERT_EQ(first->SetMatrix("world", &m), D3D_OK);
    D3DXMATRIX seen;
    second->GetMatrix("world", &seen);
    EXPECT_FLOAT_EQ(seen._42, 7.0f);
    alone->GetMatrix("world", &seen);
    EXPECT_FLOAT_EQ(seen._42, 0.0f);

    // The value already in the pool wins over a later file's default.
    FLOAT f = 0;
    second->GetFloat("scale", &f);
    EXPECT_FLOAT_EQ(f, 2.5f);

    ID3DXEffectPool* from = nullptr;
    ASSERT_EQ(second->GetPool(&from), D3D_OK);
    EXPECT_EQ(from, pool);
    from->Release();
    EXPECT_EQ(pool->Release(), 2u);  // each effect keeps the pool alive
    first->Release();
    second->Release();
    alone->Release();
}

}  // namespace
