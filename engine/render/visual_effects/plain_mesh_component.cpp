#include "engine/render/visual_effects/plain_mesh_component.h"

#include <algorithm>
#include <cmath>

#include "engine/core/errors.h"
#include "engine/render/effect/effect_cache.h"
#include "engine/render/effect/effect_pass.h"
#include "engine/render/mesh/mesh.h"
#include "engine/render/mesh/mesh_loaders.h"
#include "engine/render/texture/texture_loader.h"

namespace kesh {
namespace effect {

namespace {

float rowLength(const D3DXMATRIX& m, int row) {
    return std::sqrt(m.m[row][0] * m.m[row][0] + m.m[row][1] * m.m[row][1] +
                     m.m[row][2] * m.m[row][2]);
}

// The ranges of a ".wfm" mesh are numbered from 1, so its subset 0 is empty: every range is
// drawn. The table read when the mesh was built serves every frame without a copy.
void drawRanges(const MeshInfo& info) {
    if (info.attributes.empty()) {
        drawAllRangesOf(info.mesh.get());
        return;
    }
    for (const D3DXATTRIBUTERANGE& range : info.attributes) {
        const HRESULT result = info.mesh->DrawSubset(range.AttribId);
        if (FAILED(result)) {
            throwDxError(result, L"Failed to render mesh");
        }
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

    D3DXMATRIX worldViewProjection;
    D3DXMatrixMultiply(&worldViewProjection, &world, &context->camera.viewProjection);
    const D3DXVECTOR4 uvparams(params.uSpeed * age, 1.0f, params.vSpeed * age, 1.0f);

    // The text's reader already turned any other mode into opaque.
    const bool additive = params.blendMode == PlainMeshComponentParams::Additive;
    const bool alphaBlended = params.blendMode == PlainMeshComponentParams::AlphaBlended;
    effect->SetVector("uvparams", &uvparams);
    effect->SetBool("zTest", params.zTest);
    effect->SetBool("zWrite", params.zWrite);
    effect->SetBool("alphaBlendEnable", additive || alphaBlended);
    if (additive) {
        effect->SetInt("srcBlend", D3DBLEND_SRCALPHA);
        effect->SetInt("dstBlend", D3DBLEND_ONE);
    } else if (alphaBlended) {
        effect->SetInt("srcBlend", D3DBLEND_SRCALPHA);
        effect->SetInt("dstBlend", D3DBLEND_INVSRCALPHA);
    }
    effect->SetTexture("tex_0", texture);
    effect->SetMatrix("matrix_world_view_projection", &worldViewProjection);

    for (EffectPass pass(effect, D3DXFX_DONOTSAVESTATE); pass.current < pass.count; pass.next()) {
        drawRanges(*info);
    }
}

}  // namespace effect
}  // namespace kesh
