#include "engine/core/lua/operator_guard.h"

#include <luabind/detail/class_registry.hpp>
#include <luabind/detail/class_rep.hpp>
#include <luabind/detail/object_rep.hpp>
#include <luabind/detail/operator_id.hpp>

#include <cstring>

#include "engine/core/lua/lua_library_wrap.h"
#include "engine/core/lua/lua_protect.h"

namespace kesh {

namespace {

using luabind::detail::get_instance;
using luabind::detail::object_rep;

// Equality and conversion to text have luabind defaults (identity, "<class> object"), so they
// stand whether the class defines them or not.
bool hasDefault(const char* name) {
    return std::strcmp(name, "__eq") == 0 || std::strcmp(name, "__tostring") == 0;
}

// Whether the bound object at index (an instance, checked by the caller) has the operator, found
// the way luabind finds it: through the object's own lookup.
bool definesOperator(lua_State* L, int index, int nameIndex) {
    lua_pushvalue(L, nameIndex);
    lua_gettable(L, index);
    const bool defined = !lua_isnil(L, -1);
    lua_pop(L, 1);
    return defined;
}

// Upvalues: 1 luabind's operator entry, 2 the operator's name.
int guardedOperator(lua_State* L) {
    const int count = lua_gettop(L);
    const char* name = lua_tostring(L, lua_upvalueindex(2));
    object_rep* named = nullptr;
    bool callable = false;
    for (int index = 1; index <= count && index <= 2 && !callable; ++index) {
        object_rep* instance = get_instance(L, index);
        if (instance == nullptr) {
            continue;
        }
        if (named == nullptr) {
            named = instance;
        }
        // luabind reads its defaults only from a bound left operand.
        callable =
            (index == 1 && hasDefault(name)) || definesOperator(L, index, lua_upvalueindex(2));
    }
    if (!callable) {
        return luaL_error(L, "class %s: no %s operator defined.",
                          named != nullptr ? named->crep()->name() : "?", name);
    }
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_insert(L, 1);
    lua_call(L, count, LUA_MULTRET);
    return lua_gettop(L);
}

int wrapOperators(lua_State* L) {
    luabind::detail::class_registry* registry = luabind::detail::class_registry::get_registry(L);
    // Classes bound from C++ and classes written in Lua may share one metatable; then the
    // second pass finds every entry guarded already.
    for (const int reference : {registry->cpp_instance(), registry->lua_instance()}) {
        lua_rawgeti(L, LUA_REGISTRYINDEX, reference);
        if (!lua_istable(L, -1)) {
            lua_pop(L, 1);
            continue;
        }
        for (int id = 0; id < luabind::detail::number_of_operators; ++id) {
            const char* name = luabind::detail::get_operator_name(id);
            lua_pushstring(L, name);
            lua_rawget(L, -2);
            if (!lua_isfunction(L, -1) || lua_tocfunction(L, -1) == guardedOperator) {
                lua_pop(L, 1);
                continue;
            }
            lua_pushstring(L, name);
            lua_pushcclosure(L, guardedOperator, 2);
            lua_pushstring(L, name);
            lua_insert(L, -2);
            lua_rawset(L, -3);
        }
        lua_pop(L, 1);
    }
    return 0;
}

// Upvalue 1: luabind's __index.
int indexWithoutFinalizer(lua_State* L) {
    if (lua_type(L, 2) == LUA_TSTRING && std::strcmp(lua_tostring(L, 2), "__finalize") == 0) {
        lua_pushnil(L);
        return 1;
    }
    return callWrapped(L);
}

int wrapIndex(lua_State* L) {
    luabind::detail::class_registry* registry = luabind::detail::class_registry::get_registry(L);
    for (const int reference : {registry->cpp_instance(), registry->lua_instance()}) {
        lua_rawgeti(L, LUA_REGISTRYINDEX, reference);
        if (lua_istable(L, -1)) {
            lua_getfield(L, -1, "__index");
            if (lua_iscfunction(L, -1) && lua_tocfunction(L, -1) != indexWithoutFinalizer) {
                lua_pushcclosure(L, indexWithoutFinalizer, 1);
                lua_setfield(L, -2, "__index");
            }
        }
        lua_settop(L, 1);
    }
    return 0;
}

}  // namespace

void guardLuabindOperators(lua_State* L) {
    runProtected(L, wrapOperators, nullptr);
}

void hideLuabindFinalizers(lua_State* L) {
    runProtected(L, wrapIndex, nullptr);
}

}  // namespace kesh
