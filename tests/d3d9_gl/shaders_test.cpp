// Shader blobs on the device and the programs the drawing backend makes of them.
#include <d3d9/fx/fx_desc.h>

#include "d3d9/shader_blob.h"
#include "gl_fixture.h"
#include "shader_builder.h"

namespace d3d9::testing {
namespace {

// Positions already in clip space, moved by a row-vector matrix.
const char* const kTransformEffect = R"(
float4x4 g_transform;
float4 g_colour;
struct VsOut { float4 position : POSITION; };
VsOut vs_main(float3 position : POSITION)
{
    VsOut o;
    o.position = mul(float4(position, 1.0), g_transform);
    return o;
}
float4 ps_main() : COLOR { return g_colour; }
technique t { pass p {
    VertexShader = compile vs_2_0 vs_main();
    PixelShader = compile ps_2_0 ps_main();
} }
)";

const char* const kTextureEffect = R"(
texture g_texture;
sampler2D g_sampler = sampler_state { Texture = <g_texture>; };
struct VsOut { float4 position : POSITION; float2 uv : TEXCOORD0; };
VsOut vs_main(float3 position : POSITION, float2 uv : TEXCOORD0)
{
    VsOut o;
    o.position = float4(position, 1.0);
    o.uv = uv;
    return o;
}
float4 ps_main(float2 uv : TEXCOORD0) : COLOR { return tex2D(g_sampler, uv); }
technique t { pass p {
    VertexShader = compile vs_2_0 vs_main();
    PixelShader = compile ps_2_0 ps_main();
} }
)";

// Integer and boolean parameters, fed from their own register files.
const char* const kIntegerEffect = R"(
bool g_flag;
int g_count;
float4 ps_main() : COLOR { return g_flag ? float4(0, g_count / 4.0, 0, 1) : float4(1, 0, 0, 1); }
technique t { pass p { PixelShader = compile ps_3_0 ps_main(); } }
)";

ShaderBlob sampleBlob() {
    ShaderBlob blob;
    blob.kind = ShaderKind::Pixel;
    blob.spirv = {0x07230203u, 1, 2, 3};
    blob.uniforms.push_back({"fx.g_colour", ConstantKind::Float, 4, 1, 0});
    blob.uniforms.push_back({"g_sampler", ConstantKind::Sampler, 0, 1, 3});
    return blob;
}

TEST(ShaderBlob, RoundTripsEveryField) {
    const std::vector<DWORD> words = encodeShaderBlob(sampleBlob());
    EXPECT_EQ(words[2], words.size());
    ShaderBlob decoded;
    ASSERT_TRUE(decodeShaderBlob(words.data(), decoded));
    EXPECT_EQ(decoded.kind, ShaderKind::Pixel);
    EXPECT_EQ(decoded.spirv, sampleBlob().spirv);
    ASSERT_EQ(decoded.uniforms.size(), 2u);
    EXPECT_EQ(decoded.uniforms[0].name, "fx.g_colour");
    EXPECT_EQ(decoded.uniforms[0].registerIndex, 4u);
    EXPECT_EQ(decoded.uniforms[1].kind, ConstantKind::Sampler);
    EXPECT_EQ(decoded.uniforms[1].samplerStage, 3u);
}

TEST(ShaderBlob, RejectsDamagedWords) {
    const std::vector<DWORD> good = encodeShaderBlob(sampleBlob());
    ShaderBlob decoded;
    auto rejects = [&](std::vector<DWORD> words) {
        return !decodeShaderBlob(words.data(), decoded);
    };
    auto changed = [&](size_t index, DWORD value) {
        std::vector<DWORD> words = good;
        words[index] = value;
        return words;
    };
    EXPECT_TRUE(rejects(changed(0, 0x12345678)));       // magic
    EXPECT_TRUE(rejects(changed(1, 7)));                // kind
    EXPECT_TRUE(rejects(changed(2, good.size() - 1)));  // total cuts the table short
    EXPECT_TRUE(rejects(changed(3, 0xFFFFFFF0u)));      // SPIR-V longer than the blob
    EXPECT_TRUE(rejects(changed(8, 0x7FFFFFFF)));       // uniform count
    // The first uniform's name length running past the end.
    EXPECT_TRUE(rejects(changed(13, 4000)));
    std::vector<DWORD> longer = good;
    longer.push_back(0);
    longer[2] = static_cast<DWORD>(longer.size());  // words left over after the table
    EXPECT_TRUE(rejects(longer));
    EXPECT_FALSE(decodeShaderBlob(nullptr, decoded));
}

using Shaders = GlDeviceTest;

TEST_F(Shaders, CreationChecksTheBlobKind) {
    const std::vector<DWORD> pixel = encodeShaderBlob(sampleBlob());
    IDirect3DVertexShader9* vertex = nullptr;
    EXPECT_EQ(device->CreateVertexShader(pixel.data(), &vertex), D3DERR_INVALIDCALL);
    EXPECT_EQ(vertex, nullptr);
    EXPECT_EQ(device->CreateVertexShader(nullptr, &vertex), D3DERR_INVALIDCALL);
    IDirect3DPixelShader9* shader = nullptr;
    ASSERT_EQ(device->CreatePixelShader(pixel.data(), &shader), D3D_OK);
    IDirect3DDevice9* owner = nullptr;
    EXPECT_EQ(shader->GetDevice(&owner), D3D_OK);
    EXPECT_EQ(owner, device);
    owner->Release();
    EXPECT_EQ(shader->Release(), 0u);
}

TEST_F(Shaders, ConstantRegistersAreRangeChecked) {
    const int ints[8] = {};
    const BOOL bools[2] = {};
    EXPECT_EQ(device->SetVertexShaderConstantI(14, ints, 2), D3D_OK);
    EXPECT_EQ(device->SetVertexShaderConstantI(15, ints, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetPixelShaderConstantI(0, nullptr, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetPixelShaderConstantB(14, bools, 2), D3D_OK);
    EXPECT_EQ(device->SetPixelShaderConstantB(0xFFFFFFFFu, bools, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetVertexShaderConstantB(16, bools, 1), D3DERR_INVALIDCALL);
}

class ShaderPair {
public:
    ShaderPair(IDirect3DDevice9* device, const char* effect) {
        vertexBuilt = buildShader(effect, true);
        pixelBuilt = buildShader(effect, false);
        EXPECT_EQ(device->CreateVertexShader(vertexBuilt.words.data(), &vertex), D3D_OK);
        EXPECT_EQ(device->CreatePixelShader(pixelBuilt.words.data(), &pixel), D3D_OK);
    }
    ~ShaderPair() {
        if (vertex != nullptr) {
            vertex->Release();
        }
        if (pixel != nullptr) {
            pixel->Release();
        }
    }
    BuiltShader vertexBuilt;
    BuiltShader pixelBuilt;
    IDirect3DVertexShader9* vertex = nullptr;
    IDirect3DPixelShader9* pixel = nullptr;
};

TEST_F(Shaders, RowVectorMatricesMoveWhereDirect3DMovesThem) {
    ShaderPair shaders(device, kTransformEffect);
    ASSERT_NE(shaders.pixel, nullptr);
    // Stored row by row, translation in the fourth row: v x M moves by (0.5, -0.5).
    const float transform[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0.5f, -0.5f, 0, 1};
    const float colour[4] = {0.0f, 1.0f, 0.0f, 1.0f};
    device->SetVertexShader(shaders.vertex);
    device->SetPixelShader(shaders.pixel);
    device->SetVertexShaderConstantF(shaders.vertexBuilt.registers.at("g_transform"), transform, 4);
    device->SetPixelShaderConstantF(shaders.pixelBuilt.registers.at("g_colour"), colour, 1);
    drawQuad(24, 18, 40, 30, 0);
    device->SetVertexShader(nullptr);
    device->SetPixelShader(nullptr);
    const BackBufferImage image = picture();
    EXPECT_EQ(image.pixel(32, 24), 0xFF000000u) << "not moved";
    EXPECT_EQ(image.pixel(48, 36), 0xFF00FF00u);
}

TEST_F(Shaders, EachProgramDrawsWithTheRegistersAsTheyAreAtItsDraw) {
    ShaderPair first(device, kTransformEffect);
    ShaderPair second(device, kTransformEffect);
    const UINT transformAt = first.vertexBuilt.registers.at("g_transform");
    const UINT colourAt = first.pixelBuilt.registers.at("g_colour");
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const float right[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0.5f, 0, 0, 1};
    const float green[4] = {0.0f, 1.0f, 0.0f, 1.0f};
    const float red[4] = {1.0f, 0.0f, 0.0f, 1.0f};
    device->SetVertexShaderConstantF(transformAt, identity, 4);
    device->SetPixelShaderConstantF(colourAt, green, 1);
    device->SetVertexShader(first.vertex);
    device->SetPixelShader(first.pixel);
    drawQuad(0, 0, 8, 8, 0);
    // The registers change under the second program; the first must see that when it
    // draws again, whatever it uploaded before.
    device->SetVertexShader(second.vertex);
    device->SetPixelShader(second.pixel);
    device->SetPixelShaderConstantF(colourAt, red, 1);
    drawQuad(0, 16, 8, 24, 0);
    device->SetVertexShader(first.vertex);
    device->SetPixelShader(first.pixel);
    drawQuad(0, 32, 8, 40, 0);
    device->SetVertexShaderConstantF(transformAt, right, 4);
    drawQuad(8, 32, 16, 40, 0);
    drawQuad(0, 0, 8, 8, 0);
    device->SetVertexShader(nullptr);
    device->SetPixelShader(nullptr);
    const BackBufferImage image = picture();
    EXPECT_EQ(image.pixel(4, 36), 0xFFFF0000u);
    EXPECT_EQ(image.pixel(28, 36), 0xFFFF0000u) << "the new matrix was not used";
    EXPECT_EQ(image.pixel(12, 36), 0xFF000000u);
    EXPECT_EQ(image.pixel(20, 4), 0xFFFF0000u);
    EXPECT_EQ(image.pixel(4, 4), 0xFF00FF00u);
    EXPECT_EQ(image.pixel(4, 20), 0xFFFF0000u);
}

TEST_F(Shaders, SamplersReadTheTextureOfTheirStage) {
    ShaderPair shaders(device, kTextureEffect);
    const UINT stage = shaders.pixelBuilt.registers.at("g_sampler");
    IDirect3DTexture9* texture = makeTexture(1, 1, D3DFMT_A8R8G8B8, {0xFF4080C0});
    device->SetTexture(stage, texture);
    device->SetVertexShader(shaders.vertex);
    device->SetPixelShader(shaders.pixel);
    drawTexturedQuad(0, 0, 16, 16);
    device->SetVertexShader(nullptr);
    device->SetPixelShader(nullptr);
    device->SetTexture(stage, nullptr);
    texture->Release();
    EXPECT_EQ(picture().pixel(8, 8), 0xFF4080C0u);
}

TEST_F(Shaders, IntegerAndBooleanRegistersReachTheirUniforms) {
    const BuiltShader built = buildShader(kIntegerEffect, false);
    IDirect3DPixelShader9* shader = nullptr;
    ASSERT_EQ(device->CreatePixelShader(built.words.data(), &shader), D3D_OK);
    device->SetPixelShader(shader);
    const int count[4] = {2, 0, 0, 0};
    device->SetPixelShaderConstantI(built.registers.at("g_count"), count, 1);
    const BOOL off = FALSE;
    const BOOL on = TRUE;
    device->SetPixelShaderConstantB(built.registers.at("g_flag"), &off, 1);
    drawQuad(0, 0, 10, 10, 0);
    device->SetPixelShaderConstantB(built.registers.at("g_flag"), &on, 1);
    drawQuad(10, 0, 20, 10, 0);
    device->SetPixelShader(nullptr);
    shader->Release();
    const BackBufferImage image = picture();
    EXPECT_EQ(image.pixel(5, 5), 0xFFFF0000u);
    const D3DCOLOR half = image.pixel(15, 5);
    EXPECT_EQ(half & 0xFFFF00FFu, 0xFF000000u);
    EXPECT_NEAR(static_cast<int>((half >> 8) & 0xFF), 128, 1);
    EXPECT_EQ(stats().drawsSkipped, 0u) << stats().lastError;
}

TEST_F(Shaders, OneProgramPerPairAndOneTranslationPerShader) {
    ShaderPair shaders(device, kTransformEffect);
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    device->SetVertexShaderConstantF(0, identity, 4);
    device->SetVertexShader(shaders.vertex);
    device->SetPixelShader(shaders.pixel);
    const DrawingStats before = stats();
    for (int i = 0; i < 3; ++i) {
        drawQuad(0, 0, 8, 8, 0);
    }
    DrawingStats after = stats();
    EXPECT_EQ(after.shadersTranslated - before.shadersTranslated, 2u);
    EXPECT_EQ(after.programsLinked - before.programsLinked, 1u);

    // A shader made again is a new shader: its program is linked anew.
    ShaderPair again(device, kTransformEffect);
    device->SetVertexShader(again.vertex);
    drawQuad(0, 0, 8, 8, 0);
    EXPECT_EQ(stats().programsLinked - after.programsLinked, 1u);
    device->SetVertexShader(nullptr);
    device->SetPixelShader(nullptr);
    EXPECT_EQ(stats().drawsSkipped, 0u) << stats().lastError;
}

TEST_F(Shaders, UntranslatableShadersSkipTheDrawAndSayWhy) {
    ShaderBlob blob;
    blob.kind = ShaderKind::Pixel;
    blob.spirv = {1, 2, 3, 4, 5};
    const std::vector<DWORD> words = encodeShaderBlob(blob);
    IDirect3DPixelShader9* shader = nullptr;
    ASSERT_EQ(device->CreatePixelShader(words.data(), &shader), D3D_OK);
    device->SetPixelShader(shader);
    drawQuad(0, 0, 8, 8, 0xFFFFFFFF);
    drawQuad(0, 0, 8, 8, 0xFFFFFFFF);
    device->SetPixelShader(nullptr);
    shader->Release();
    const DrawingStats result = stats();
    EXPECT_EQ(result.drawsSkipped, 2u);
    EXPECT_FALSE(result.lastError.empty());
    EXPECT_EQ(result.shadersTranslated, 1u) << "only the fixed vertex stage";
}

}  // namespace
}  // namespace d3d9::testing
