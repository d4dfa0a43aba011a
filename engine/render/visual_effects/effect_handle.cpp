#include "engine/render/visual_effects/effect_handle.h"

#include <utility>

namespace kesh {
namespace effect {

EffectHandle::EffectHandle(boost::shared_ptr<Effect> effect) : holder(new Holder) {
    holder->effect = std::move(effect);
}

EffectHandle::EffectHandle(const EffectHandle& other) : holder(other.holder) {
    if (holder) {
        ++holder->uses;
    }
}

EffectHandle::EffectHandle(EffectHandle&& other) noexcept : holder(other.holder) {
    other.holder = nullptr;
}

EffectHandle& EffectHandle::operator=(EffectHandle other) noexcept {
    std::swap(holder, other.holder);
    return *this;
}

EffectHandle::~EffectHandle() {
    reset();
}

void EffectHandle::reset() {
    Holder* last = holder;
    holder = nullptr;
    if (last && --last->uses == 0) {
        delete last;
    }
}

}  // namespace effect
}  // namespace kesh
