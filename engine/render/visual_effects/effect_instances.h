// The live effects, one handle each, in the order they were made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <string>

#include "engine/render/visual_effects/effect_context.h"
#include "engine/render/visual_effects/effect_handle.h"
#include "engine/render/visual_effects/effect_library.h"

namespace kesh {

class EffectInstances {
public:
    EffectInstances(EffectContext* context, EffectLibrary* library);

    // An empty handle when the library has no such description ("EMPTY effect: " on
    // "debug") or when the effect cannot be made (logged on "resource").
    effect::EffectHandle create(const std::string& name);
    // Drops the effects nobody else holds, then draws the ones not hidden.
    void render(std::uint32_t layer, std::uint32_t passMask);
    std::size_t size() const { return handles.size(); }

private:
    EffectContext* context;
    EffectLibrary* library;
    std::list<effect::EffectHandle> handles;
};

}  // namespace kesh
