#include "engine/render/visual_effects/effect_context.h"

#include "engine/core/bounding_box.h"

namespace kesh {

EffectContext::EffectContext(DxDevice* device, QuadBatcher* batcher)
    : device(device), batcher(batcher), shaderName("effect_plain_mesh.fx") {
    computeFrustumPlanes(camera, frustum, true);
}

void EffectContext::beginFrame(const CameraView& view) {
    timer.update();
    camera = view;
    computeFrustumPlanes(camera, frustum, true);
    // The keys stay, so a frame allocates nothing here.
    for (int kind : {kAnyComponent, kPlainMeshComponent, kBillboardComponent}) {
        visible[kind] = 0;
    }
}

bool EffectContext::sphereVisible(const float sphere[4]) const {
    return sphereInFrustum(frustum.planes, D3DXVECTOR3(sphere[0], sphere[1], sphere[2]), sphere[3]);
}

void EffectContext::countVisible(int kind, std::uint32_t n) {
    visible[kind] += n;
}

std::uint32_t EffectContext::totalVisible() const {
    std::uint32_t total = 0;
    for (const auto& entry : visible) {
        total += entry.second;
    }
    return total;
}

std::uint32_t EffectContext::visibleOf(int kind) const {
    const auto found = visible.find(kind);
    return found == visible.end() ? 0 : found->second;
}

}  // namespace kesh
