// What both sides of the draw benchmark draw: sixteen small quads in one vertex buffer
// (each draw picks one through its base vertex), a 64 x 64 checker texture, and a world
// matrix per draw that moves the quad a little, stored row by row as Direct3D keeps it.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace bench {

constexpr int kMeshes = 10000;
constexpr int kQuads = 16;
constexpr int kTextureSize = 64;
constexpr int kWidth = 640;
constexpr int kHeight = 480;

struct Vertex {
    float x, y, z;
    std::uint32_t colour;  // D3DCOLOR: B, G, R, A in memory
    float u, v;
};

inline std::vector<Vertex> quadVertices() {
    std::vector<Vertex> v(kQuads * 4);
    for (int q = 0; q < kQuads; ++q) {
        const float left = -0.9f + q * 0.11f;
        const float right = left + 0.1f;
        v[q * 4 + 0] = {left, 0.1f, 0.5f, 0xFFFFFFFF, 0, 0};
        v[q * 4 + 1] = {right, 0.1f, 0.5f, 0xFFFFFFFF, 1, 0};
        v[q * 4 + 2] = {left, -0.1f, 0.5f, 0xFFFFFFFF, 0, 1};
        v[q * 4 + 3] = {right, -0.1f, 0.5f, 0xFFFFFFFF, 1, 1};
    }
    return v;
}

constexpr std::array<std::uint16_t, 6> kQuadIndices{{0, 1, 2, 2, 1, 3}};

inline std::vector<std::uint32_t> checkerTexels() {
    std::vector<std::uint32_t> texels(kTextureSize * kTextureSize);
    for (int y = 0; y < kTextureSize; ++y) {
        for (int x = 0; x < kTextureSize; ++x) {
            texels[y * kTextureSize + x] = ((x ^ y) & 8) ? 0xFFFFFFFF : 0xFF404040;
        }
    }
    return texels;
}

using Matrix = std::array<float, 16>;

// Draw i's world matrix: a translation that walks the quads over the screen.
inline std::vector<Matrix> worldMatrices() {
    std::vector<Matrix> m(kMeshes);
    for (int i = 0; i < kMeshes; ++i) {
        const float dx = static_cast<float>(i % 7) * 0.01f;
        const float dy = static_cast<float>((i / 16) % 80) * 0.02f - 0.8f;
        m[i] = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, dx, dy, 0, 1}};
    }
    return m;
}

// The effect whose shaders the device side draws with.
constexpr const char* kMeshEffect = R"(
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

}  // namespace bench
