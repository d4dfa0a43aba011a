#include "engine/render/visual_effects/plain_mesh_component.h"

#include <algorithm>
#include <cmath>

#include "engine/render/effect/effect_cache.h"
#include "engine/render/effect/effect_parameters.h"
#include "engine/render/mesh/mesh_draw.h"
#include "engine/render/mesh/mesh_loaders.h"
#include "engine/render/texture/texture_loader.h"

namespace kesh {
namespace effect {

namespace {

float rowLength(const D3DXMATRIX& m, int row) {
    return std::sqrt(m.m[row][0] * m.m[row][0] + m.m[row][1] * m.m[row][1] +
                     m.m[row][2] * m.m[row][2]);
}

// The text's reader already turned any other mode into opaque.
fx::Blending blending(int blendMode) {
    switch (blendMode) {
        case PlainMeshComponentParams::Additive:
            return fx::Blending::Additive;
        case PlainMeshComponentParams::AlphaBlended:
            return fx::Blending::AlphaBlended;
        default:
            return fx::Blending::Opaque;
    }
}

}  // namespace

PlainMeshComponent::PlainMeshComponent(EffectContext* context,
                                       const PlainMeshComponentParams& params)
    : context(context), params(params) {
    sphere = theMeshInfoCache->fetch(params.mesh)->computeBoundingSphere();
    D3DXMatrixIdentity(&world);
}

void PlainMeshComponent::setMatrix(int, const D3DXMATRIX& m) {
    world = m;
}

void PlainMeshComponent::setFloat(int id, float value) {
    if (id == kAge) {
        age = value;
    }
}

BoundingSphere PlainMeshComponent::worldSphere() const {
    // The whole matrix moves the centre, and the longest basis row bounds how far it
    // stretches the mesh: a rotated or scaled effect must not be culled while it shows.
    BoundingSphere placed;
    D3DXVec3TransformCoord(&placed.centre, &sphere.centre, &world);
    placed.radius =
        sphere.radius * std::max({rowLength(world, 0), rowLength(world, 1), rowLength(world, 2)});
    return placed;
}

void PlainMeshComponent::render(std::uint32_t layer, std::uint32_t passMask) {
    if (layer != params.layer || (passMask & kPlainMeshPass) == 0) {
        return;
    }
    const BoundingSphere placed = worldSphere();
    const float bounds[4] = {placed.centre.x, placed.centre.y, placed.centre.z, placed.radius};
    if (!context->sphereVisible(bounds)) {
        return;
    }
    context->countVisible(kPlainMeshComponent, 1);

    const MeshInfo* info = theMeshInfoCache->fetch(params.mesh);
    IDirect3DTexture9* texture = theTextureCache->fetch(params.texture);
    ID3DXEffect* effect = theEffectCache->fetch(context->shaderName);

    const D3DXVECTOR4 uvparams(params.uSpeed * age, 1.0f, params.vSpeed * age, 1.0f);
    effect->SetVector("uvparams", &uvparams);
    fx::setDepthAndBlending(effect, params.zTest, params.zWrite, blending(params.blendMode));
    drawMeshInfo(*info, effect, world, context->camera.viewProjection,
                 MeshTextures::given(texture));
}

}  // namespace effect
}  // namespace kesh
