#include "engine/core/lua/lua_state.h"

#include <luabind/luabind.hpp>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "engine/core/lua/operator_guard.h"

namespace kesh {

namespace {

// Instructions run between two calls of the count hook: the check costs nothing measurable.
constexpr int kHookInterval = 1000;

// What the state may still take; the allocator's user data, found again by the hook.
struct LuaBudget {
    LuaLimits limits;
    std::size_t inUse = 0;
    int instructions = 0;
};

void* boundedAllocate(void* ud, void* block, std::size_t oldSize, std::size_t newSize) {
    auto* budget = static_cast<LuaBudget*>(ud);
    // Lua passes a type tag, not a size, as oldSize for a new block.
    const std::size_t held = block != nullptr ? oldSize : 0;
    if (newSize == 0) {
        budget->inUse -= held;
        std::free(block);
        return nullptr;
    }
    if (newSize > held && budget->inUse - held + newSize > budget->limits.memory) {
        return nullptr;  // Lua collects and tries again, then raises "not enough memory"
    }
    void* moved = std::realloc(block, newSize);
    if (moved != nullptr) {
        budget->inUse = budget->inUse - held + newSize;
    }
    return moved;
}

LuaBudget* budgetOf(lua_State* L) {
    void* ud = nullptr;
    return lua_getallocf(L, &ud) == boundedAllocate ? static_cast<LuaBudget*>(ud) : nullptr;
}

void countInstructions(lua_State* L, lua_Debug*) {
    LuaBudget* budget = budgetOf(L);
    budget->instructions += kHookInterval;
    if (budget->instructions > budget->limits.instructions) {
        luaL_where(L, 0);
        lua_pushfstring(L, "script ran too long (more than %d instructions)",
                        budget->limits.instructions);
        lua_concat(L, 2);
        lua_error(L);
    }
}

}  // namespace

void LuaStateCloser::operator()(lua_State* L) const {
    LuaBudget* budget = budgetOf(L);
    lua_close(L);
    delete budget;
}

LuaStatePtr openGameLuaState(const LuaLimits& limits) {
    auto* budget = new LuaBudget{limits};
    lua_State* opened = lua_newstate(boundedAllocate, budget);
    if (opened == nullptr) {
        delete budget;
        throw std::runtime_error("Lua state could not be created");
    }
    LuaStatePtr state(opened);
    lua_State* L = state.get();
    // As luaL_newstate's: an error outside any protected call is reported before Lua aborts.
    lua_atpanic(L, [](lua_State* P) -> int {
        const char* message = lua_tostring(P, -1);
        std::fprintf(stderr, "PANIC: unprotected error in call to Lua API (%s)\n",
                     message != nullptr ? message : "?");
        return 0;
    });
    luaL_requiref(L, "_G", luaopen_base, 1);
    luaL_requiref(L, LUA_STRLIBNAME, luaopen_string, 1);
    luaL_requiref(L, LUA_TABLIBNAME, luaopen_table, 1);
    luaL_requiref(L, LUA_MATHLIBNAME, luaopen_math, 1);
    luaL_requiref(L, LUA_IOLIBNAME, luaopen_io, 1);
    lua_settop(L, 0);
    luabind::open(L);
    guardLuabindOperators(L);
    lua_sethook(L, countInstructions, LUA_MASKCOUNT, kHookInterval);
    return state;
}

void resetInstructionCount(lua_State* L) {
    if (LuaBudget* budget = budgetOf(L)) {
        budget->instructions = 0;
    }
}

}  // namespace kesh
