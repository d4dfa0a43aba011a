// The game's one Lua state: the base, string, table, math and io libraries with luabind
// opened on it, its operators on bound objects guarded (operator_guard.h). Lua 5.2 registers its
// libraries through luaL_requiref; the older lua_open/luaopen_* sequence registers nothing there.
//
// The state is bounded, so that a configuration script cannot hang or exhaust the game: its
// memory is capped, and a script may run only so many instructions. Running past either is a
// Lua error with its text ("not enough memory", "script ran too long"), which the script host
// reports as any other script error.
#pragma once

#include <lua.hpp>

#include <cstddef>
#include <memory>

namespace kesh {

struct LuaLimits {
    // Everything the state holds; the game's scripts and bound records take a few megabytes.
    std::size_t memory = std::size_t(256) << 20;
    // Virtual-machine instructions between two resets (each script the host runs starts
    // afresh): about a second of running; a configuration script takes well under a million.
    int instructions = 100000000;
};

struct LuaStateCloser {
    void operator()(lua_State* L) const;
};
typedef std::unique_ptr<lua_State, LuaStateCloser> LuaStatePtr;

// Throws std::runtime_error when Lua cannot allocate the state.
LuaStatePtr openGameLuaState(const LuaLimits& limits = LuaLimits());

// Starts the state's instruction count afresh. A state not opened by openGameLuaState is left
// alone.
void resetInstructionCount(lua_State* L);

}  // namespace kesh
