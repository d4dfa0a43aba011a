// The game's one Lua state: the base, string, table, math and io libraries with luabind
// opened on it, its operators on bound objects guarded (operator_guard.h). Lua 5.2 registers its
// libraries through luaL_requiref; the older lua_open/luaopen_* sequence registers nothing there.
#pragma once

#include <lua.hpp>

#include <memory>

namespace kesh {

struct LuaStateCloser {
    void operator()(lua_State* L) const { lua_close(L); }
};
typedef std::unique_ptr<lua_State, LuaStateCloser> LuaStatePtr;

// Throws std::runtime_error when Lua cannot allocate the state.
LuaStatePtr openGameLuaState();

}  // namespace kesh
