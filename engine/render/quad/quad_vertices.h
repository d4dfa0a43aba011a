// The two vertex layouts drawn in quads: the coloured quad of the billboards, decals and
// videos, and the sprite of the 2D screens. Each names the FVF that describes it.
#pragma once

#include <d3d9.h>

#include <cstdint>

namespace kesh {

// Position, ARGB colour at byte 12, uv at byte 16.
struct QuadVertex {
    static constexpr DWORD kFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;  // 0x142

    float x, y, z;
    std::uint32_t colour;
    float u, v;
};
static_assert(sizeof(QuadVertex) == 24, "the coloured quad vertex is 24 bytes");

struct SpriteVertex {
    static constexpr DWORD kFvf = D3DFVF_XYZ | D3DFVF_TEX1;  // 0x102

    float x, y, z;
    float u, v;
};
static_assert(sizeof(SpriteVertex) == 20, "the sprite vertex is 20 bytes");

}  // namespace kesh
