#include "engine/core/lua/lua_state.h"

#include <luabind/luabind.hpp>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "engine/core/lua/lua_confinement.h"
#include "engine/core/lua/lua_patterns.h"
#include "engine/core/lua/lua_protect.h"
#include "engine/core/lua/lua_runaway.h"
#include "engine/core/lua/operator_guard.h"
#include "engine/core/strings.h"

namespace kesh {

namespace {

// Instructions run between two calls of the count hook: the check costs nothing measurable.
constexpr int kHookInterval = 1000;

// Bytes a script may have allocated per instruction it is charged: making a string or a table
// costs about as much per byte as copying it, so a loop over a C function that makes long
// strings (s:upper() of a 100 MB s) spends its allowance at the speed it spends time.
constexpr std::size_t kBytesPerInstruction = 4;

// What the state may still take and where it may read; the allocator's user data, found
// again by the hook and the guards.
struct LuaBudget {
    LuaLimits limits;
    std::string artFolder;
    std::size_t inUse = 0;
    std::size_t instructions = 0;
    lua_State* state = nullptr;
};

void countInstructions(lua_State* L, lua_Debug*);

bool spent(const LuaBudget& budget) {
    return budget.instructions > static_cast<std::size_t>(budget.limits.instructions);
}

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
        if (newSize > held) {
            budget->instructions += (newSize - held) / kBytesPerInstruction;
            // The allocator may not raise; the hook does, at the next instruction.
            if (spent(*budget) && budget->state != nullptr) {
                lua_sethook(budget->state, countInstructions, LUA_MASKCOUNT, 1);
            }
        }
    }
    return moved;
}

LuaBudget* budgetOf(lua_State* L) {
    void* ud = nullptr;
    return lua_getallocf(L, &ud) == boundedAllocate ? static_cast<LuaBudget*>(ud) : nullptr;
}

// Raises the error at the given level of the stack: 0 in the hook (the running Lua function),
// 1 in a C function (the Lua function that called it).
void checkAllowance(lua_State* L, const LuaBudget& budget, int level) {
    if (!spent(budget)) {
        return;
    }
    luaL_where(L, level);
    lua_pushfstring(L, "script ran too long (more than %d instructions)",
                    budget.limits.instructions);
    lua_concat(L, 2);
    lua_error(L);
}

void countInstructions(lua_State* L, lua_Debug*) {
    LuaBudget* budget = budgetOf(L);
    budget->instructions += kHookInterval;
    checkAllowance(L, *budget, 0);
}

int openLibraries(lua_State* L) {
    luaL_requiref(L, "_G", luaopen_base, 1);
    luaL_requiref(L, LUA_STRLIBNAME, luaopen_string, 1);
    luaL_requiref(L, LUA_TABLIBNAME, luaopen_table, 1);
    luaL_requiref(L, LUA_MATHLIBNAME, luaopen_math, 1);
    luaL_requiref(L, LUA_IOLIBNAME, luaopen_io, 1);
    lua_settop(L, 0);
    confineToArtFolder(L);
    boundRunaways(L);
    boundPatternMatching(L);
    return 0;
}

}  // namespace

void LuaStateCloser::operator()(lua_State* L) const {
    LuaBudget* budget = budgetOf(L);
    lua_close(L);
    delete budget;
}

LuaStatePtr openGameLuaState(const std::wstring& artFolder, const LuaLimits& limits) {
    auto* budget = new LuaBudget{limits, toNarrow(artFolder)};
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
    runProtected(L, openLibraries, nullptr);
    luabind::open(L);
    guardLuabindOperators(L);
    hideLuabindFinalizers(L);
    budget->state = L;
    resetInstructionCount(L);
    return state;
}

void resetInstructionCount(lua_State* L) {
    if (LuaBudget* budget = budgetOf(L)) {
        budget->instructions = 0;
        lua_sethook(L, countInstructions, LUA_MASKCOUNT, kHookInterval);
    }
}

void chargeInstructions(lua_State* L, std::size_t count) {
    if (LuaBudget* budget = budgetOf(L)) {
        budget->instructions += count;
        checkAllowance(L, *budget, 1);
    }
}

const char* artFolderOf(lua_State* L) {
    const LuaBudget* budget = budgetOf(L);
    return budget != nullptr ? budget->artFolder.c_str() : "";
}

}  // namespace kesh
