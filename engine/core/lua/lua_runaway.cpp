#include "engine/core/lua/lua_runaway.h"

#include <cstddef>
#include <cstring>

#include "engine/core/lua/lua_library_wrap.h"
#include "engine/core/lua/lua_state.h"

namespace kesh {

namespace {

int guardedPcall(lua_State* L) {
    luaL_checkany(L, 1);
    lua_pushboolean(L, 1);
    lua_insert(L, 1);
    const int status = lua_pcall(L, lua_gettop(L) - 2, LUA_MULTRET, 0);
    chargeInstructions(L, 0);
    if (status != LUA_OK) {
        lua_pushboolean(L, 0);
        lua_replace(L, 1);
    }
    return lua_gettop(L);
}

// xpcall(f, handler, ...): the handler runs once the failed call has unwound, with hooks on
// and so within the allowance; a memory error gets no handler, as in Lua's own.
int guardedXpcall(lua_State* L) {
    const int count = lua_gettop(L);
    luaL_argcheck(L, count >= 2, 2, "value expected");
    // [f, handler, args...] becomes [handler, true, f, args...].
    lua_pushvalue(L, 1);
    lua_pushvalue(L, 2);
    lua_replace(L, 1);
    lua_pushboolean(L, 1);
    lua_replace(L, 2);
    lua_insert(L, 3);
    const int status = lua_pcall(L, count - 2, LUA_MULTRET, 0);
    chargeInstructions(L, 0);
    if (status == LUA_OK) {
        lua_remove(L, 1);
        return lua_gettop(L);
    }
    if (status != LUA_ERRMEM) {
        lua_pushvalue(L, 1);
        lua_insert(L, -2);
        lua_pcall(L, 1, 1, 0);
        chargeInstructions(L, 0);
    }
    lua_pushboolean(L, 0);
    lua_insert(L, -2);
    return 2;
}

// Lua runs finalisers with hooks off, so a script's finaliser could loop for ever. Only a
// metatable that has __gc when it is set marks a table for finalisation.
int guardedSetmetatable(lua_State* L) {
    luaL_checktype(L, 1, LUA_TTABLE);
    luaL_argcheck(L, lua_isnil(L, 2) || lua_istable(L, 2), 2, "nil or table expected");
    if (lua_istable(L, 2)) {
        lua_pushliteral(L, "__gc");
        lua_rawget(L, 2);
        if (!lua_isnil(L, -1)) {
            return luaL_error(L, "setmetatable: scripts may not set finalisers (__gc)");
        }
        lua_pop(L, 1);
    }
    return callWrapped(L);
}

std::size_t positive(lua_Integer value) {
    return value > 0 ? static_cast<std::size_t>(value) : 0;
}

// The wrapped functions are called from C, so an error they raise names neither them nor the
// script's line: the checks they would fail are made here first.

// string.rep(s, n [, sep]) loops n times even when it copies nothing; what it copies, it
// allocates first, and the allocation is charged.
std::size_t emptyRepetitions(lua_State* L) {
    std::size_t length = 0;
    std::size_t separator = 0;
    luaL_checklstring(L, 1, &length);
    const std::size_t count = positive(luaL_checkinteger(L, 2));
    luaL_optlstring(L, 3, "", &separator);
    return length + separator == 0 ? count : 0;
}

// table.insert(t, [pos,] v) moves the elements from pos up; table.remove(t [, pos]) those
// above pos. The length may come from __len.
std::size_t insertShifts(lua_State* L) {
    luaL_checktype(L, 1, LUA_TTABLE);
    const lua_Integer end = luaL_len(L, 1) + 1;
    if (lua_gettop(L) == 2) {
        return 0;
    }
    if (lua_gettop(L) != 3) {
        luaL_error(L, "wrong number of arguments to 'insert'");
    }
    const lua_Integer position = luaL_checkinteger(L, 2);
    luaL_argcheck(L, 1 <= position && position <= end, 2, "position out of bounds");
    return positive(end - position);
}

std::size_t removeShifts(lua_State* L) {
    luaL_checktype(L, 1, LUA_TTABLE);
    const lua_Integer size = luaL_len(L, 1);
    const lua_Integer position = luaL_optinteger(L, 2, size);
    // Lua's own names the first argument here.
    luaL_argcheck(L, position == size || (1 <= position && position <= size + 1), 1,
                  "position out of bounds");
    return positive(size - position);
}

// A collection visits the whole heap: charged as allocating it.
std::size_t heapVisited(lua_State* L) {
    static const char* const options[] = {"stop",      "restart",      "collect",     "count",
                                          "step",      "setpause",     "setstepmul",  "setmajorinc",
                                          "isrunning", "generational", "incremental", nullptr};
    const char* option = options[luaL_checkoption(L, 1, "collect", options)];
    if (std::strcmp(option, "collect") != 0 && std::strcmp(option, "step") != 0) {
        return 0;
    }
    return static_cast<std::size_t>(lua_gc(L, LUA_GCCOUNT, 0)) * 1024 / 4;
}

template <std::size_t (*work)(lua_State*)>
int charged(lua_State* L) {
    chargeInstructions(L, work(L));
    return callWrapped(L);
}

// The order table.sort uses when given none, one comparison charged at a time: its quicksort
// is quadratic on some inputs.
int chargedLess(lua_State* L) {
    chargeInstructions(L, 1);
    lua_pushboolean(L, lua_compare(L, 1, 2, LUA_OPLT));
    return 1;
}

int guardedSort(lua_State* L) {
    luaL_checktype(L, 1, LUA_TTABLE);
    if (!lua_isnoneornil(L, 2)) {
        luaL_checktype(L, 2, LUA_TFUNCTION);
    } else {
        lua_settop(L, 1);
        lua_pushcfunction(L, chargedLess);
    }
    return callWrapped(L);
}

void wrapIn(lua_State* L, const char* library, const char* name, lua_CFunction function) {
    lua_getglobal(L, library);
    wrapLibraryFunction(L, lua_gettop(L), name, function);
    lua_pop(L, 1);
}

}  // namespace

void boundRunaways(lua_State* L) {
    lua_pushcfunction(L, guardedPcall);
    lua_setglobal(L, "pcall");
    lua_pushcfunction(L, guardedXpcall);
    lua_setglobal(L, "xpcall");
    wrapIn(L, "_G", "setmetatable", guardedSetmetatable);
    wrapIn(L, "_G", "collectgarbage", charged<heapVisited>);
    wrapIn(L, LUA_STRLIBNAME, "rep", charged<emptyRepetitions>);
    wrapIn(L, LUA_TABLIBNAME, "insert", charged<insertShifts>);
    wrapIn(L, LUA_TABLIBNAME, "remove", charged<removeShifts>);
    wrapIn(L, LUA_TABLIBNAME, "sort", guardedSort);
    // A file handle's finaliser is the library's; hidden, its metatable cannot take a script's.
    luaL_getmetatable(L, LUA_FILEHANDLE);
    lua_pushboolean(L, 0);
    lua_setfield(L, -2, "__metatable");
    lua_pop(L, 1);
}

}  // namespace kesh
