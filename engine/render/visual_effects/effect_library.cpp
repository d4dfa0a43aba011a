#include "engine/render/visual_effects/effect_library.h"

#include <utility>

namespace kesh {

bool EffectLibrary::insert(const std::string& name, std::unique_ptr<effect::EffectParams> params) {
    return entries.emplace(name, std::move(params)).second;
}

const effect::EffectParams* EffectLibrary::find(const std::string& name) const {
    const auto found = entries.find(name);
    return found == entries.end() ? nullptr : found->second.get();
}

}  // namespace kesh
