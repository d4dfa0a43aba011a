// The game's one Lua state: the base, string, table, math and io libraries with luabind
// opened on it, its operators on bound objects guarded (operator_guard.h). Lua 5.2 registers its
// libraries through luaL_requiref; the older lua_open/luaopen_* sequence registers nothing there.
//
// Every file in the art folder may come from a stranger, so the state is confined and bounded:
// a script reads only regular files inside the art folder, starts no program, writes nothing
// and loads no binary chunk (lua_confinement.h); its memory is capped, and it may run only so
// many instructions, whatever it catches or wherever it loops (lua_runaway.h, lua_patterns.h).
// Running past either is a Lua error with its text ("not enough memory", "script ran too
// long"), which the script host reports as any other script error.
#pragma once

#include <lua.hpp>

#include <cstddef>
#include <memory>
#include <string>

namespace kesh {

struct LuaLimits {
    // Everything the state holds; the game's scripts and bound records take a few megabytes.
    std::size_t memory = std::size_t(256) << 20;
    // Virtual-machine instructions between two resets (each script the host runs starts
    // afresh): about a second of running; a configuration script takes well under a million.
    // Work done inside library functions is counted in the same unit (chargeInstructions).
    int instructions = 100000000;
};

struct LuaStateCloser {
    void operator()(lua_State* L) const;
};
typedef std::unique_ptr<lua_State, LuaStateCloser> LuaStatePtr;

// artFolder is the one folder the state's scripts may read from. Throws std::runtime_error
// when Lua cannot allocate the state.
LuaStatePtr openGameLuaState(const std::wstring& artFolder, const LuaLimits& limits = LuaLimits());

// Starts the state's instruction count afresh. A state not opened by openGameLuaState is left
// alone.
void resetInstructionCount(lua_State* L);

// For C functions called by Lua: adds work worth count instructions to the running script's
// count, and raises "script ran too long" (a Lua error) once the allowance is spent; a count
// of 0 only checks. Does nothing on a state not opened by openGameLuaState.
void chargeInstructions(lua_State* L, std::size_t count);

// The folder given to openGameLuaState, narrowed; "" for any other state. Valid while the state
// is open.
const char* artFolderOf(lua_State* L);

}  // namespace kesh
