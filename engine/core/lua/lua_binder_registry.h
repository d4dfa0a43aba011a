// Functions that make one subsystem's types known to Lua, collected before main runs and run
// once on the game's Lua state.
//
// Each binder registers itself from a static object in its own source file, with its place in
// the fixed binder order, because the order in which static initialisers of different files
// run is unspecified. A static library drops object files nothing references, so the library
// that holds a binder must also force its object into every link; the render engine, vehicle
// and audio libraries do so with an anchor symbol named in a "--undefined" link option.
#pragma once

#include <lua.hpp>

#include <vector>

namespace kesh {

typedef void (*LuaBinder)(lua_State*);

// The place of each binder in the run order.
enum LuaBinderPlace {
    kPhysicsParamsBinder = 1,
    kSoundBinder = 2,
    kRandomSoundBinder = 3,
    kCombinedSoundBinder = 4,
    kSoundsPerformanceBinder = 5,
    kCarParamsBinder = 6,
    kEffectParamsBinder = 7,
};

struct LuaBinderEntry {
    int place;
    LuaBinder binder;
};

class LuaBinderRegistry {
public:
    // Built on first use, so it exists before any static initialiser adds to it. Kept in run
    // order: ascending place, equal places in the order added.
    static std::vector<LuaBinderEntry>& instance();
    static void add(LuaBinder binder, int place);
    // Calls every binder in run order. The game empties the registry afterwards so that no
    // binder runs twice.
    static void runAll(lua_State* L);
};

// A static object of this type adds a binder during static initialisation.
class LuaBinderRegistration {
public:
    LuaBinderRegistration(int place, LuaBinder binder) { LuaBinderRegistry::add(binder, place); }
};

}  // namespace kesh
