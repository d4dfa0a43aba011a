#include <gtest/gtest.h>
#include <lua.hpp>

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "engine/core/lua/lua_config.h"
#include "engine/core/lua/lua_state.h"
#include "engine/core/strings.h"

namespace {

class LuaLimitsTest : public ::testing::Test {
protected:
    LuaLimitsTest()
        : folder(::testing::TempDir() + "lua-limits-" + std::to_string(getpid()) + "/") {
        std::filesystem::create_directories(folder);
    }
    ~LuaLimitsTest() override { std::filesystem::remove_all(folder); }

    void write(const std::string& name, const std::string& text) {
        std::ofstream(folder + name) << text;
    }
    // The text of the error the script ends in, empty when it runs to its end.
    std::string failure(kesh::LuaConfig& config, const std::string& name) {
        try {
            config.runFile(kesh::toWide(name));
            return "";
        } catch (const std::runtime_error& error) {
            return error.what();
        }
    }

    const std::string folder;
};

TEST_F(LuaLimitsTest, ScriptThatRunsOutOfMemoryReportsStatusFour) {
    write("greedy.lua", "local t = {}\nfor i = 1, 1e8 do t[i] = i end\n");
    kesh::LuaLimits limits;
    limits.memory = std::size_t(4) << 20;
    kesh::LuaStatePtr state = kesh::openGameLuaState(kesh::toWide(folder), limits);
    kesh::LuaConfig config(state.get(), kesh::toWide(folder));
    EXPECT_EQ(failure(config, "greedy.lua"),
              "Lua error (4): Error while executing `" + folder + "greedy.lua': not enough memory");
}

TEST_F(LuaLimitsTest, RunawayScriptsEndAsLuaErrorsInTheGamesState) {
    write("spin.lua", "while true do end\n");
    write("doubling.lua", "local s = 'x'\nwhile true do s = s .. s end\n");
    write("huge.lua", "return string.rep('x', 2^30)\n");
    kesh::LuaStatePtr state = kesh::openGameLuaState(kesh::toWide(folder));
    kesh::LuaConfig config(state.get(), kesh::toWide(folder));
    EXPECT_EQ(failure(config, "spin.lua"),
              "Lua error (1): Error while executing `" + folder + "spin.lua': [string \"" + folder +
                  "spin.lua\"]:1: script ran too long (more than 100000000 instructions)");
    for (const char* name : {"doubling.lua", "huge.lua"}) {
        EXPECT_EQ(failure(config, name), "Lua error (4): Error while executing `" + folder + name +
                                             "': not enough memory");
    }
    // What they held is given back: an ordinary script runs after them.
    write("fine.lua", "local t = {} for i = 1, 1000 do t[i] = tostring(i) end return #t\n");
    EXPECT_EQ(failure(config, "fine.lua"), "");
    EXPECT_EQ(lua_tonumber(state.get(), -1), 1000);
}

TEST_F(LuaLimitsTest, EachScriptHasTheWholeInstructionAllowance) {
    // About 600 000 instructions: two runs together would pass the limit, each alone does not.
    write("busy.lua", "local n = 0\nfor i = 1, 300000 do n = n + i end\nreturn n\n");
    kesh::LuaLimits limits;
    limits.instructions = 1000000;
    kesh::LuaStatePtr state = kesh::openGameLuaState(kesh::toWide(folder), limits);
    kesh::LuaConfig config(state.get(), kesh::toWide(folder));
    EXPECT_EQ(failure(config, "busy.lua"), "");
    EXPECT_EQ(failure(config, "busy.lua"), "");
    write("longer.lua", "local n = 0\nfor i = 1, 600000 do n = n + i end\n");
    EXPECT_NE(failure(config, "longer.lua").find("script ran too long"), std::string::npos);
}

}  // namespace
