// The named effect descriptions the effect list made known, each owned by the library.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>

#include "engine/render/visual_effects/effect_params.h"

namespace kesh {

class EffectLibrary {
public:
    // A name already present keeps its first description; the new one is destroyed and
    // false returned.
    bool insert(const std::string& name, std::unique_ptr<effect::EffectParams> params);
    // Null for an unknown name.
    const effect::EffectParams* find(const std::string& name) const;
    void clear() { entries.clear(); }
    std::size_t size() const { return entries.size(); }

private:
    std::map<std::string, std::unique_ptr<effect::EffectParams>> entries;
};

}  // namespace kesh
