#include "engine/render/effect/effect_parameters.h"

namespace kesh {
namespace fx {

void setDepthAndBlending(ID3DXEffect* effect, bool zTest, bool zWrite, Blending blending) {
    effect->SetBool("zTest", zTest);
    effect->SetBool("zWrite", zWrite);
    effect->SetBool("alphaBlendEnable", blending != Blending::Opaque);
    if (blending != Blending::Opaque) {
        effect->SetInt("srcBlend", D3DBLEND_SRCALPHA);
        effect->SetInt("dstBlend",
                       blending == Blending::Additive ? D3DBLEND_ONE : D3DBLEND_INVSRCALPHA);
    }
}

}  // namespace fx
}  // namespace kesh
