// One live visual effect: an instance of each component of its description, all plain
// meshes first, then all billboards, each in the description's order.
#pragma once

#include <cstdint>
#include <list>
#include <memory>

#include "engine/render/visual_effects/effect_component.h"
#include "engine/render/visual_effects/effect_context.h"
#include "engine/render/visual_effects/effect_params.h"

namespace kesh {
namespace effect {

class Effect : public EffectComponent {
public:
    // Starts the effect's clock at the context timer's count. Throws when a component
    // cannot be made (a mesh the cache cannot give); the ones made are destroyed again.
    Effect(EffectContext* context, const EffectParams& params);
    Effect(const Effect&) = delete;
    Effect& operator=(const Effect&) = delete;

    // Hands every component the age, then draws each. The manager skips hidden effects.
    void render(std::uint32_t layer, std::uint32_t passMask) override;
    void setMatrix(int id, const D3DXMATRIX& m) override;
    // kHidden is the effect's own; every other id goes to the components.
    void setInt(int id, int value) override;
    void setVector(int id, const D3DXVECTOR4& v) override;
    void setFloat(int id, float value) override;

    bool isHidden() const { return hidden == 1; }

    std::list<std::unique_ptr<EffectComponent>> components;
    EffectContext* context;
    std::int64_t start;
    int hidden = 0;
};

}  // namespace effect
}  // namespace kesh
