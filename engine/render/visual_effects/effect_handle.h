// The shared handle of a live effect. Every copy of a handle counts one use of its holder;
// the effect manager keeps one copy per live effect, so an effect with a single use is
// wanted by nobody else and goes at the manager's next frame. An empty handle holds nothing.
#pragma once

#include <boost/shared_ptr.hpp>

#include "engine/render/visual_effects/effect.h"

namespace kesh {
namespace effect {

struct Holder {
    int uses = 1;
    boost::shared_ptr<Effect> effect;
};

class EffectHandle {
public:
    EffectHandle() = default;
    // A new holder with one use.
    explicit EffectHandle(boost::shared_ptr<Effect> effect);
    EffectHandle(const EffectHandle& other);
    EffectHandle(EffectHandle&& other) noexcept;
    EffectHandle& operator=(EffectHandle other) noexcept;
    ~EffectHandle();

    explicit operator bool() const { return holder != nullptr; }
    // Null for an empty handle.
    Effect* get() const { return holder ? holder->effect.get() : nullptr; }
    Effect* operator->() const { return get(); }
    // The copies of this handle alive now; 0 for an empty handle.
    int useCount() const { return holder ? holder->uses : 0; }
    // Drops this copy; the handle is empty afterwards.
    void reset();

private:
    Holder* holder = nullptr;
};

}  // namespace effect
}  // namespace kesh
