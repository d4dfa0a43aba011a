// The shared handle of a live effect. Every copy of a handle counts one use of the effect;
// the effect manager keeps one copy per live effect, so an effect with a single use is
// wanted by nobody else and goes at the manager's next frame. An empty handle holds nothing.
#pragma once

#include <boost/shared_ptr.hpp>

#include <utility>

#include "engine/render/visual_effects/effect.h"

namespace kesh {
namespace effect {

class EffectHandle {
public:
    EffectHandle() = default;
    // The first use of effect. Only handles may share it: any other owner would count as a use.
    explicit EffectHandle(boost::shared_ptr<Effect> effect) : effect(std::move(effect)) {}

    explicit operator bool() const { return effect != nullptr; }
    // Null for an empty handle.
    Effect* get() const { return effect.get(); }
    Effect* operator->() const { return get(); }
    // The copies of this handle alive now; 0 for an empty handle.
    int useCount() const { return static_cast<int>(effect.use_count()); }
    // Drops this copy; the handle is empty afterwards.
    void reset() { effect.reset(); }

private:
    boost::shared_ptr<Effect> effect;
};

}  // namespace effect
}  // namespace kesh
