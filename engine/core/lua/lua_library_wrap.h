// Replacing a library's function by a C closure that checks or charges its call and then hands
// it on to the library's own function, kept as the closure's first upvalue.
#pragma once

#include <lua.hpp>

namespace kesh {

// Sets table[name] (the table at index) to function, with the old value as its first upvalue.
// A field that does not exist is left out.
inline void wrapLibraryFunction(lua_State* L, int table, const char* name, lua_CFunction function) {
    lua_getfield(L, table, name);
    if (lua_isnil(L, -1)) {
        lua_pop(L, 1);
        return;
    }
    lua_pushcclosure(L, function, 1);
    lua_setfield(L, table, name);
}

// Calls the wrapped function with the arguments as they now stand; returns all its results.
inline int callWrapped(lua_State* L) {
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_insert(L, 1);
    lua_call(L, lua_gettop(L) - 1, LUA_MULTRET);
    return lua_gettop(L);
}

}  // namespace kesh
