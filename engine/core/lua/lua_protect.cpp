#include "engine/core/lua/lua_protect.h"

#include <stdexcept>
#include <string>

namespace kesh {

namespace {

int pushText(lua_State* L) {
    lua_pushstring(L, static_cast<const char*>(lua_touserdata(L, 1)));
    return 1;
}

}  // namespace

bool pushTextProtected(lua_State* L, const char* text) noexcept {
    // Neither push allocates, so neither can raise; the string itself is made under pcall.
    lua_pushcfunction(L, pushText);
    lua_pushlightuserdata(L, const_cast<char*>(text));
    return lua_pcall(L, 1, 1, 0) == LUA_OK;
}

void runProtected(lua_State* L, lua_CFunction function, void* argument) {
    lua_pushcfunction(L, function);
    lua_pushlightuserdata(L, argument);
    if (lua_pcall(L, 1, 0, 0) != 0) {
        const std::string message =
            lua_type(L, -1) == LUA_TSTRING ? lua_tostring(L, -1) : "Lua error without a message";
        lua_pop(L, 1);
        throw std::runtime_error(message);
    }
}

}  // namespace kesh
