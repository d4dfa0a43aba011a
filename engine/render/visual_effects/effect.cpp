#include "engine/render/visual_effects/effect.h"

#include "engine/render/visual_effects/billboard_component.h"
#include "engine/render/visual_effects/plain_mesh_component.h"

namespace kesh {
namespace effect {

Effect::Effect(EffectContext* context, const EffectParams& params)
    : context(context), start(context->timer.now.QuadPart) {
    for (const PlainMeshComponentParams& component : params.plainMeshes) {
        components.push_back(std::make_unique<PlainMeshComponent>(context, component));
    }
    for (const BillboardComponentParams& component : params.billboards) {
        components.push_back(std::make_unique<BillboardComponent>(context, component));
    }
}

void Effect::render(std::uint32_t layer, std::uint32_t passMask) {
    const float age = static_cast<float>(static_cast<double>(context->timer.now.QuadPart - start) /
                                         static_cast<double>(context->timer.freq.QuadPart));
    for (const auto& component : components) {
        component->setFloat(kAge, age);
    }
    for (const auto& component : components) {
        component->render(layer, passMask);
    }
}

void Effect::setMatrix(int id, const D3DXMATRIX& m) {
    for (const auto& component : components) {
        component->setMatrix(id, m);
    }
}

void Effect::setInt(int id, int value) {
    if (id == kHidden) {
        hidden = value;
        return;
    }
    for (const auto& component : components) {
        component->setInt(id, value);
    }
}

void Effect::setVector(int id, const D3DXVECTOR4& v) {
    for (const auto& component : components) {
        component->setVector(id, v);
    }
}

void Effect::setFloat(int id, float value) {
    for (const auto& component : components) {
        component->setFloat(id, value);
    }
}

}  // namespace effect
}  // namespace kesh
