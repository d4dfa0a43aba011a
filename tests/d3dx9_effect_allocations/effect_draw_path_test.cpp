// Once warmed up, the effect calls the game makes around every draw (parameters set by name,
// CommitChanges, the pass protocol) leave the heap alone, and so does the null device's draw
// while nothing records it, as in the game.
#include <gtest/gtest.h>

#include <d3dx9effect.h>

#include <cstring>
#include <string>

#include "d3d9/seams.h"

#include "tests/d3d9/d3d9_fixture.h"
#include "tests/support/allocation_counter.h"

namespace {

// The game's shape of effect: a world-view-projection matrix, a texture through a sampler,
// colour and scalar parameters read by the code, and a render state fed by a parameter.
const char* const kSceneEffect = R"(
matrix matrix_world_view_projection;
float4 tint = {1, 1, 1, 1};
float fade = 1;
int alpha_ref = 8;
texture tex_0;
sampler s0 = sampler_state { Texture = <tex_0>; MagFilter = Linear; MinFilter = Linear; };
struct VOut { float4 pos : POSITION; float2 uv : TEXCOORD0; };
VOut VS(float3 p : POSITION, float2 uv : TEXCOORD0) {
    VOut o; o.pos = mul(float4(p, 1), matrix_world_view_projection); o.uv = uv; return o;
}
float4 PS(float2 uv : TEXCOORD0) : COLOR { return tex2D(s0, uv) * tint * fade; }
technique scene {
    pass p0 {
        AlphaRef = <alpha_ref>;
        VertexShader = compile vs_2_0 VS();
        PixelShader = compile ps_2_0 PS();
    }
}
)";

constexpr int kWarmUp = 10;
constexpr int kDraws = 1000;

class EffectDrawPathTest : public d3d9::testing::DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        ID3DXBuffer* errors = nullptr;
        const std::string text = kSceneEffect;
        ASSERT_EQ(D3DXCreateEffect(device, text.c_str(), static_cast<UINT>(text.size() + 1),
                                   nullptr, nullptr, 0, nullptr, &effect, &errors),
                  D3D_OK);
        if (errors != nullptr) {
            errors->Release();
        }
        for (auto*& texture : textures) {
            ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture,
                                            nullptr),
                      D3D_OK);
        }
    }

    void TearDown() override {
        if (effect != nullptr) {
            EXPECT_EQ(effect->Release(), 0u);
        }
        for (auto* texture : textures) {
            if (texture != nullptr) {
                texture->Release();
            }
        }
        DeviceTest::TearDown();
    }

    // What the game sets for one mesh; i makes every draw's values differ.
    void setPerDraw(int i, bool everyKind) {
        D3DXMATRIX world;
        for (int k = 0; k < 16; ++k) {
            world.m[k / 4][k % 4] = static_cast<float>(i + k);
        }
        EXPECT_EQ(effect->SetMatrix("matrix_world_view_projection", &world), D3D_OK);
        EXPECT_EQ(effect->SetTexture("tex_0", textures[i % 2]), D3D_OK);
        if (everyKind) {
            const D3DXVECTOR4 tint(1.0f, 0.5f, 0.25f, static_cast<float>(i % 3));
            EXPECT_EQ(effect->SetVector("tint", &tint), D3D_OK);
            EXPECT_EQ(effect->SetFloat("fade", static_cast<float>(i) / kDraws), D3D_OK);
            EXPECT_EQ(effect->SetInt("alpha_ref", i % 256), D3D_OK);
        }
    }

    ID3DXEffect* effect = nullptr;
    IDirect3DTexture9* textures[2] = {};
};

TEST_F(EffectDrawPathTest, SettingByNameAndCommittingInsideAPassDoesNotAllocate) {
    UINT passes = 0;
    ASSERT_EQ(effect->Begin(&passes, D3DXFX_DONOTSAVESTATE), D3D_OK);
    ASSERT_EQ(effect->BeginPass(0), D3D_OK);
    for (int i = 0; i < kWarmUp; ++i) {
        setPerDraw(i, false);
        ASSERT_EQ(effect->CommitChanges(), D3D_OK);
    }

    allocation_counter::start();
    for (int i = 0; i < kDraws; ++i) {
        setPerDraw(i, false);
        effect->CommitChanges();
    }
    EXPECT_EQ(allocation_counter::stop(), 0u);

    // The last values reached the device: nothing was skipped to save the work.
    IDirect3DBaseTexture9* bound = nullptr;
    bool found = false;
    for (DWORD stage = 0; stage < 16 && !found; ++stage) {
        device->GetTexture(stage, &bound);
        found = bound == textures[(kDraws - 1) % 2];
        if (bound != nullptr) {
            bound->Release();
        }
    }
    EXPECT_TRUE(found);
    EXPECT_EQ(effect->EndPass(), D3D_OK);
    EXPECT_EQ(effect->End(), D3D_OK);
}

TEST_F(EffectDrawPathTest, AWholeDrawOfThePassProtocolDoesNotAllocate) {
    auto drawOnce = [this](int i) {
        effect->SetTechnique("scene");
        UINT passes = 0;
        effect->Begin(&passes, D3DXFX_DONOTSAVESTATE);
        effect->BeginPass(0);
        setPerDraw(i, true);
        effect->CommitChanges();
        effect->EndPass();
        effect->End();
    };
    for (int i = 0; i < kWarmUp; ++i) {
        drawOnce(i);
    }

    allocation_counter::start();
    for (int i = 0; i < kDraws; ++i) {
        drawOnce(i);
    }
    EXPECT_EQ(allocation_counter::stop(), 0u);

    DWORD alphaRef = 0;
    device->GetRenderState(D3DRS_ALPHAREF, &alphaRef);
    EXPECT_EQ(alphaRef, static_cast<DWORD>((kDraws - 1) % 256));
}

TEST_F(EffectDrawPathTest, DrawsOnTheNullDeviceWithRecordingOffDoNotAllocate) {
    struct Vertex {
        float x, y, z, u, v;
    };
    const Vertex quad[4] = {{0, 0, 0, 0, 0}, {1, 0, 0, 1, 0}, {0, 1, 0, 0, 1}, {1, 1, 0, 1, 1}};
    const WORD order[6] = {0, 1, 2, 2, 1, 3};
    IDirect3DVertexBuffer9* vertices = nullptr;
    IDirect3DIndexBuffer9* indices = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(sizeof quad, 0, 0, D3DPOOL_MANAGED, &vertices, nullptr),
              D3D_OK);
    ASSERT_EQ(device->CreateIndexBuffer(sizeof order, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indices,
                                        nullptr),
              D3D_OK);
    void* bytes = nullptr;
    vertices->Lock(0, 0, &bytes, 0);
    std::memcpy(bytes, quad, sizeof quad);
    vertices->Unlock();
    indices->Lock(0, 0, &bytes, 0);
    std::memcpy(bytes, order, sizeof order);
    indices->Unlock();

    auto drawOnce = [&](int i) {
        UINT passes = 0;
        effect->Begin(&passes, D3DXFX_DONOTSAVESTATE);
        effect->BeginPass(0);
        device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
        device->SetStreamSource(0, vertices, 0, sizeof(Vertex));
        device->SetIndices(indices);
        setPerDraw(i, false);
        effect->CommitChanges();
        EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3D_OK);
        effect->EndPass();
        effect->End();
    };
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    d3d9::setDrawRecording(false);
    const std::size_t recordedBefore = record->draws.size();
    for (int i = 0; i < kWarmUp; ++i) {
        drawOnce(i);
    }
    allocation_counter::start();
    for (int i = 0; i < kDraws; ++i) {
        drawOnce(i);
    }
    const std::size_t counted = allocation_counter::stop();
    d3d9::setDrawRecording(true);
    device->EndScene();
    // With recording on the same loop allocates about seven times per draw.
    EXPECT_EQ(counted, 0u);
    EXPECT_EQ(record->draws.size(), recordedBefore);

    device->SetStreamSource(0, nullptr, 0, 0);
    device->SetIndices(nullptr);
    vertices->Release();
    indices->Release();
}

TEST_F(EffectDrawPathTest, TheCounterSeesAnAllocation) {
    // Guards the test above against a counter that counts nothing.
    allocation_counter::start();
    const std::string* text = new std::string(200, 'x');
    const std::size_t counted = allocation_counter::stop();
    delete text;
    EXPECT_GE(counted, 1u);
}

}  // namespace
