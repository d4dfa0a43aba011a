// A draw allocates nothing once its state has been seen: global operator new is replaced
// by one that counts while a test asks it to.
#include <cstring>
#include <string>

#include <d3dx9effect.h>

#include "gl_fixture.h"
#include "shader_builder.h"
#include "tests/support/allocation_counter.h"

namespace d3d9::testing {
namespace {

constexpr int kWarmUp = 10;
constexpr int kDraws = 1000;

// Per-draw world matrix and texture, as a mesh renderer sets them.
const char* const kMeshEffect = R"(
float4x4 g_world;
texture g_texture;
sampler2D g_sampler = sampler_state { Texture = <g_texture>; };
struct VsOut { float4 position : POSITION; float4 colour : COLOR0; float2 uv : TEXCOORD0; };
VsOut vs_main(float3 position : POSITION, float4 colour : COLOR0, float2 uv : TEXCOORD0)
{
    VsOut o;
    o.position = mul(float4(position, 1.0), g_world);
    o.colour = colour;
    o.uv = uv;
    return o;
}
float4 ps_main(float4 colour : COLOR0, float2 uv : TEXCOORD0) : COLOR
{
    return tex2D(g_sampler, uv) * colour;
}
technique t { pass p {
    VertexShader = compile vs_2_0 vs_main();
    PixelShader = compile ps_2_0 ps_main();
} }
)";

class Allocations : public GlDeviceTest {
protected:
    void SetUp() override {
        GlDeviceTest::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        // One 8 x 8 quad at the top left; draws move it with a matrix or a base vertex.
        TexturedVertex quad[16];
        for (int q = 0; q < 4; ++q) {
            const float left = clipX(8.0f * q);
            const float right = clipX(8.0f * q + 8);
            quad[q * 4 + 0] = {left, clipY(0), 0.5f, 0xFFFFFFFF, 0, 0};
            quad[q * 4 + 1] = {right, clipY(0), 0.5f, 0xFFFFFFFF, 1, 0};
            quad[q * 4 + 2] = {left, clipY(8), 0.5f, 0xFFFFFFFF, 0, 1};
            quad[q * 4 + 3] = {right, clipY(8), 0.5f, 0xFFFFFFFF, 1, 1};
        }
        ASSERT_EQ(
            device->CreateVertexBuffer(sizeof quad, 0, 0, D3DPOOL_MANAGED, &vertices, nullptr),
            D3D_OK);
        void* bytes = nullptr;
        vertices->Lock(0, 0, &bytes, 0);
        std::memcpy(bytes, quad, sizeof quad);
        vertices->Unlock();
        ASSERT_EQ(
            device->CreateIndexBuffer(12, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indices, nullptr),
            D3D_OK);
        const WORD order[6] = {0, 1, 2, 2, 1, 3};
        indices->Lock(0, 0, &bytes, 0);
        std::memcpy(bytes, order, sizeof order);
        indices->Unlock();
        textures[0] = makeTexture(1, 1, D3DFMT_A8R8G8B8, {0xFFFF0000});
        textures[1] = makeTexture(1, 1, D3DFMT_A8R8G8B8, {0xFF00FF00});
    }

    void TearDown() override {
        for (IUnknown* object :
             {static_cast<IUnknown*>(vertices), static_cast<IUnknown*>(indices),
              static_cast<IUnknown*>(textures[0]), static_cast<IUnknown*>(textures[1])}) {
            if (object != nullptr) {
                object->Release();
            }
        }
        GlDeviceTest::TearDown();
    }

    // Draw i as a renderer issues it: the same bindings again, then what changes per mesh.
    template <class PerDraw, class AfterDraw = void (*)()>
    long allocationsOfDraws(
        PerDraw perDraw, AfterDraw afterDraw = [] {}) {
        auto draw = [&](int i) {
            device->SetFVF(kTexturedFvf);
            device->SetStreamSource(0, vertices, 0, sizeof(TexturedVertex));
            device->SetIndices(indices);
            device->SetTexture(0, textures[i % 2]);
            perDraw(i);
            EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, (i % 4) * 4, 0, 4, 0, 2),
                      D3D_OK);
            afterDraw();
        };
        for (int i = 0; i < kWarmUp; ++i) {
            draw(i);
        }
        allocation_counter::start();
        for (int i = 0; i < kDraws; ++i) {
            draw(i);
        }
        return static_cast<long>(allocation_counter::stop());
    }

    IDirect3DVertexBuffer9* vertices = nullptr;
    IDirect3DIndexBuffer9* indices = nullptr;
    IDirect3DTexture9* textures[2] = {};
};

TEST_F(Allocations, FixedFunctionDrawsAllocateNothing) {
    EXPECT_EQ(allocationsOfDraws([](int) {}), 0);
    EXPECT_EQ(stats().drawsSkipped, 0u) << stats().lastError;
    // The last draws: quad 2 red (an even draw), quad 3 green.
    const BackBufferImage image = picture();
    EXPECT_EQ(image.pixel(20, 4), 0xFFFF0000u);
    EXPECT_EQ(image.pixel(28, 4), 0xFF00FF00u);
}

TEST_F(Allocations, ShaderDrawsWithAMatrixPerDrawAllocateNothing) {
    const BuiltShader vertexBuilt = buildShader(kMeshEffect, true);
    const BuiltShader pixelBuilt = buildShader(kMeshEffect, false);
    IDirect3DVertexShader9* vertexShader = nullptr;
    IDirect3DPixelShader9* pixelShader = nullptr;
    ASSERT_EQ(device->CreateVertexShader(vertexBuilt.words.data(), &vertexShader), D3D_OK);
    ASSERT_EQ(device->CreatePixelShader(pixelBuilt.words.data(), &pixelShader), D3D_OK);
    device->SetVertexShader(vertexShader);
    device->SetPixelShader(pixelShader);
    const UINT world = vertexBuilt.registers.at("g_world");
    const UINT sampler = pixelBuilt.registers.at("g_sampler");
    // Each draw moves its quad down by 0..3 rows of 8 pixels.
    const long counted = allocationsOfDraws([&](int i) {
        const float down = -(i % 3) * 16.0f / kHeight;
        const float matrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, down, 0, 1};
        device->SetVertexShaderConstantF(world, matrix, 4);
        device->SetTexture(sampler, textures[i % 2]);
    });
    EXPECT_EQ(counted, 0);
    EXPECT_EQ(stats().drawsSkipped, 0u) << stats().lastError;
    device->SetVertexShader(nullptr);
    device->SetPixelShader(nullptr);
    vertexShader->Release();
    pixelShader->Release();
    // The last draws: 999 green quad 3 in place, 998 red quad 2 two rows down, 997 green
    // quad 1 one row down.
    const BackBufferImage image = picture();
    EXPECT_EQ(image.pixel(28, 4), 0xFF00FF00u);
    EXPECT_EQ(image.pixel(20, 20), 0xFFFF0000u);
    EXPECT_EQ(image.pixel(12, 12), 0xFF00FF00u);
}

// The engine's path: the effect sets the world matrix by name and the texture, commits, and
// the pass draws, Begin to End for every mesh.
TEST_F(Allocations, EffectDrawsAllocateNothing) {
    const std::string text = kMeshEffect;
    ID3DXEffect* effect = nullptr;
    ASSERT_EQ(D3DXCreateEffect(device, text.c_str(), static_cast<UINT>(text.size() + 1), nullptr,
                               nullptr, 0, nullptr, &effect, nullptr),
              D3D_OK);
    const long counted = allocationsOfDraws(
        [&](int i) {
            const float down = -(i % 3) * 16.0f / kHeight;
            const D3DXMATRIX world(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, down, 0, 1);
            UINT passes = 0;
            effect->Begin(&passes, D3DXFX_DONOTSAVESTATE);
            effect->BeginPass(0);
            effect->SetMatrix("g_world", &world);
            effect->SetTexture("g_texture", textures[i % 2]);
            effect->CommitChanges();
        },
        [&] {
            effect->EndPass();
            effect->End();
        });
    EXPECT_EQ(counted, 0);
    EXPECT_EQ(stats().drawsSkipped, 0u) << stats().lastError;
    EXPECT_EQ(effect->Release(), 0u);
    const BackBufferImage image = picture();
    EXPECT_EQ(image.pixel(28, 4), 0xFF00FF00u);
    EXPECT_EQ(image.pixel(20, 20), 0xFFFF0000u);
    EXPECT_EQ(image.pixel(12, 12), 0xFF00FF00u);
}

}  // namespace
}  // namespace d3d9::testing
