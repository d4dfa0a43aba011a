#include <gtest/gtest.h>
#include <lua.hpp>
#include <luabind/luabind.hpp>

#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "engine/core/lua/lua_config.h"
#include "engine/core/strings.h"

namespace {

// Lets the state grow only up to a limit, so that a script can run out of memory.
struct Budget {
    std::size_t used = 0;
    std::size_t limit = static_cast<std::size_t>(-1);
};

void* limitedAlloc(void* user, void* block, std::size_t oldSize, std::size_t newSize) {
    Budget* budget = static_cast<Budget*>(user);
    const std::size_t previous = block ? oldSize : 0;
    if (newSize == 0) {
        budget->used -= previous;
        std::free(block);
        return nullptr;
    }
    if (newSize > previous && budget->used + (newSize - previous) > budget->limit) {
        return nullptr;
    }
    void* grown = std::realloc(block, newSize);
    if (grown) {
        budget->used = budget->used - previous + newSize;
    }
    return grown;
}

}  // namespace

TEST(LuaStatus, ScriptThatRunsOutOfMemoryReportsStatusFour) {
    const std::string folder =
        ::testing::TempDir() + "lua-memory-" + std::to_string(getpid()) + "/";
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "greedy.lua") << "local t = {}\nfor i = 1, 1e8 do t[i] = i end\n";

    Budget budget;
    lua_State* L = lua_newstate(limitedAlloc, &budget);
    luaL_requiref(L, "_G", luaopen_base, 1);
    lua_settop(L, 0);
    luabind::open(L);
    {
        kesh::LuaConfig config(L, kesh::toWide(folder));
        budget.limit = budget.used + 256 * 1024;
        try {
            config.runFile(L"greedy.lua");
            ADD_FAILURE() << "no exception";
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(std::string(error.what()), "Lua error (4): Error while executing `" + folder +
                                                     "greedy.lua': not enough memory");
        }
        budget.limit = static_cast<std::size_t>(-1);
        lua_settop(L, 0);
    }
    lua_close(L);
    std::filesystem::remove_all(folder);
}
