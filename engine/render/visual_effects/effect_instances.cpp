#include "engine/render/visual_effects/effect_instances.h"

#include <boost/make_shared.hpp>

#include <exception>
#include <utility>

#include "engine/core/log.h"
#include "engine/render/log_lines.h"

namespace kesh {

using effect::EffectHandle;

EffectInstances::EffectInstances(EffectContext* context, EffectLibrary* library)
    : context(context), library(library) {}

EffectHandle EffectInstances::create(const std::string& name) {
    const effect::EffectParams* params = library->find(name);
    if (!params) {
        writeLine(boost::log::logDebug(), "EMPTY effect: ", name);
        return EffectHandle();
    }
    // Every caller already copes with an empty handle, so an effect that cannot get its
    // mesh is left out rather than ending the level load.
    boost::shared_ptr<effect::Effect> made;
    try {
        made = boost::make_shared<effect::Effect>(context, *params);
    } catch (const std::exception& error) {
        writeLine(boost::log::logResource(), "Failed to create effect `", name,
                  "': ", error.what());
        return EffectHandle();
    }
    EffectHandle handle(std::move(made));
    handles.push_back(handle);
    return handle;
}

void EffectInstances::render(std::uint32_t layer, std::uint32_t passMask) {
    for (auto entry = handles.begin(); entry != handles.end();) {
        if (entry->useCount() == 1) {
            entry = handles.erase(entry);
            continue;
        }
        if (!(*entry)->isHidden()) {
            (*entry)->render(layer, passMask);
        }
        ++entry;
    }
}

}  // namespace kesh
