#include "engine/core/lua/lua_state.h"

#include <luabind/luabind.hpp>

#include <stdexcept>

#include "engine/core/lua/operator_guard.h"

namespace kesh {

LuaStatePtr openGameLuaState() {
    LuaStatePtr state(luaL_newstate());
    if (!state) {
        throw std::runtime_error("Lua state could not be created");
    }
    lua_State* L = state.get();
    luaL_requiref(L, "_G", luaopen_base, 1);
    luaL_requiref(L, LUA_STRLIBNAME, luaopen_string, 1);
    luaL_requiref(L, LUA_TABLIBNAME, luaopen_table, 1);
    luaL_requiref(L, LUA_MATHLIBNAME, luaopen_math, 1);
    luaL_requiref(L, LUA_IOLIBNAME, luaopen_io, 1);
    lua_settop(L, 0);
    luabind::open(L);
    guardLuabindOperators(L);
    return state;
}

}  // namespace kesh
