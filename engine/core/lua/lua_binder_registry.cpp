#include "engine/core/lua/lua_binder_registry.h"

#include <algorithm>

namespace kesh {

std::vector<LuaBinderEntry>& LuaBinderRegistry::instance() {
    static std::vector<LuaBinderEntry> binders;
    return binders;
}

void LuaBinderRegistry::add(LuaBinder binder, int place) {
    std::vector<LuaBinderEntry>& binders = instance();
    const auto after = std::upper_bound(
        binders.begin(), binders.end(), place,
        [](int value, const LuaBinderEntry& entry) { return value < entry.place; });
    binders.insert(after, LuaBinderEntry{place, binder});
}

void LuaBinderRegistry::runAll(lua_State* L) {
    // A copy, so that a binder that adds another binder cannot invalidate the iteration.
    const std::vector<LuaBinderEntry> binders = instance();
    for (const LuaBinderEntry& entry : binders) {
        entry.binder(L);
    }
}

}  // namespace kesh
