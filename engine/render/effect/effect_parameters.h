// The parameters the drawing effects share, by handle. The effect library's handles are the
// parameters' names, so a handle needs no look-up per effect and is named here once.
#pragma once

#include <d3dx9effect.h>

namespace kesh {
namespace fx {

constexpr D3DXHANDLE kWorldViewProjection = "matrix_world_view_projection";
constexpr D3DXHANDLE kTexture0 = "tex_0";
constexpr D3DXHANDLE kTexture1 = "tex_1";

enum class Blending {
    Opaque,
    Additive,      // source alpha added to what is there
    AlphaBlended,  // source alpha over its inverse
};

// Sets "zTest", "zWrite", "alphaBlendEnable" and, when blending, "srcBlend" and "dstBlend".
// Unchecked on purpose: an effect without one of these parameters simply lacks it.
void setDepthAndBlending(ID3DXEffect* effect, bool zTest, bool zWrite, Blending blending);

}  // namespace fx
}  // namespace kesh
