#include <luabind/object.hpp>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "tests/core_lua/lua_fixture.h"

using testing_lua::linesOf;
using testing_lua::LuaTest;

namespace {

std::string errorOf(kesh::LuaConfig& config, const std::string& name) {
    try {
        config.runFile(kesh::toWide(name));
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "(no error)";
}

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

TEST_F(LuaTest, ScriptResultStaysOnTheStackAndEachStageIsLogged) {
    writeScript("five.lua", "local x = 2\nreturn x + 3\n");
    const int top = lua_gettop(L);
    config_->runFile(L"five.lua");
    ASSERT_EQ(lua_gettop(L), top + 1);
    EXPECT_EQ(lua_tonumber(L, -1), 5);
    lua_settop(L, top);

    const std::string path = folder_ + "five.lua";
    const std::vector<std::string> expected = {
        "Executing `" + path + "'\n", "  Compile: " + path + "\n",
        "  Execute code chunk: " + path + "\n", "  Execute code chunk: successfull \n"};
    EXPECT_EQ(linesOf("lua"), expected);
}

TEST_F(LuaTest, MissingOrEmptyScriptIsAParseError) {
    writeScript("empty.lua", "");
    EXPECT_EQ(errorOf(*config_, "missing.lua"), "Lua parse error");
    EXPECT_EQ(errorOf(*config_, "empty.lua"), "Lua parse error");
}

TEST_F(LuaTest, ErrorTextsCarryTheReportedStatusAndLuasMessage) {
    writeScript("syntax.lua", "local x = = 1\n");
    writeScript("run.lua", "local x = 1\nerror('boom')\n");
    writeScript("table.lua", "error({})\n");
    const int top = lua_gettop(L);

    const std::string syntax = errorOf(*config_, "syntax.lua");
    EXPECT_TRUE(
        startsWith(syntax, "Lua error (3): Error while parsing `" + folder_ + "syntax.lua': "))
        << syntax;
    EXPECT_NE(syntax.find("unexpected symbol near '='"), std::string::npos) << syntax;
    // The error value stays on the stack.
    EXPECT_EQ(lua_gettop(L), top + 1);
    lua_settop(L, top);

    const std::string run = errorOf(*config_, "run.lua");
    EXPECT_TRUE(startsWith(run, "Lua error (1): Error while executing `" + folder_ + "run.lua': "))
        << run;
    EXPECT_NE(run.find(":2: boom"), std::string::npos) << run;
    lua_settop(L, top);

    EXPECT_EQ(errorOf(*config_, "table.lua"), "Lua error (1): Error while executing `" + folder_ +
                                                  "table.lua', but error message not available");
    lua_settop(L, top);
}

TEST_F(LuaTest, IncludesResolveAgainstTheIncludingFilesFolder) {
    writeScript("main.lua",
                "local a = include('sub/a.lua')\n"
                "local c = include('c.lua')\n"
                "return a .. ',' .. c\n");
    writeScript("sub/a.lua", "return 'a+' .. include('b.lua')\n");
    writeScript("sub/b.lua", "return 'b'\n");
    writeScript("c.lua", "return 'c'\n");

    const luabind::object result = config_->runFileResult(L"main.lua");
    EXPECT_EQ(luabind::object_cast<std::string>(result), "a+b,c");

    std::vector<std::string> includes;
    for (const std::string& line : linesOf("lua")) {
        if (startsWith(line, "include: ")) {
            includes.push_back(line);
        }
    }
    const std::vector<std::string> expected = {"include: " + folder_ + "sub/a.lua\n",
                                               "include: " + folder_ + "sub/b.lua\n",
                                               "include: " + folder_ + "c.lua\n"};
    EXPECT_EQ(includes, expected);
}

TEST_F(LuaTest, IncludeReturnsEveryValueAndIgnoresExtraArguments) {
    writeScript("main.lua",
                "local a, b = include('two.lua', 'ignored', 42)\n"
                "return a * 10 + b\n");
    writeScript("two.lua", "return 1, 2\n");
    EXPECT_EQ(luabind::object_cast<int>(config_->runFileResult(L"main.lua")), 12);
}

TEST_F(LuaTest, MissingIncludeIsLoggedAndRunsEmpty) {
    writeScript("main.lua", "return include('nothing.lua') == nil\n");
    writeScript("empty.lua", "");
    EXPECT_TRUE(luabind::object_cast<bool>(config_->runFileResult(L"main.lua")));
    const std::vector<std::string> lines = linesOf("lua");
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "include: file missing or empty: " + folder_ + "nothing.lua\n"),
              lines.end());
}

TEST_F(LuaTest, IncludeRefusesAMissingOrNonStringName) {
    for (const char* call : {"include()", "include(nil)", "include(12)", "include({})"}) {
        writeScript("bad.lua", std::string(call) + "\n");
        const std::string error = errorOf(*config_, "bad.lua");
        EXPECT_TRUE(startsWith(error, "Lua error (1): Error while executing `"))
            << call << ": " << error;
        EXPECT_NE(error.find("string expected"), std::string::npos) << call << ": " << error;
    }
}

TEST_F(LuaTest, IncludedSyntaxErrorBecomesTheOuterScriptsRunError) {
    writeScript("main.lua", "include('sub/bad.lua')\n");
    writeScript("sub/bad.lua", "return = 1\n");
    const std::string error = errorOf(*config_, "main.lua");
    EXPECT_TRUE(startsWith(error, "Lua error (1): Error while executing `" + folder_ +
                                      "main.lua': Lua error (3): Error while parsing `" + folder_ +
                                      "sub/bad.lua': "))
        << error;
}

TEST_F(LuaTest, FailedIncludeRestoresTheIncludeFolder) {
    writeScript("main.lua",
                "local ok, message = pcall(include, 'sub/fails.lua')\n"
                "assert(not ok and message:find('inner failure'))\n"
                "return include('c.lua')\n");
    writeScript("sub/fails.lua", "error('inner failure')\n");
    writeScript("sub/c.lua", "return 'wrong folder'\n");
    writeScript("c.lua", "return 'base folder'\n");
    EXPECT_EQ(luabind::object_cast<std::string>(config_->runFileResult(L"main.lua")),
              "base folder");
}

TEST_F(LuaTest, RunErrorInAnIncludeReachesTheOuterScript) {
    writeScript("main.lua", "include('inner.lua')\n");
    writeScript("inner.lua", "error('deep')\n");
    const std::string error = errorOf(*config_, "main.lua");
    EXPECT_TRUE(
        startsWith(error, "Lua error (1): Error while executing `" + folder_ + "main.lua': "))
        << error;
    EXPECT_NE(error.find("deep"), std::string::npos) << error;
}

TEST_F(LuaTest, CprintJoinsItsArgumentsWithTabs) {
    EXPECT_EQ(runSnippet("cprint(1, nil, 'x')"), "");
    EXPECT_EQ(runSnippet("cprint()"), "");
    const std::vector<std::string> expected = {"1\tnil\tx\n", "\n"};
    EXPECT_EQ(linesOf("debug"), expected);
}

TEST_F(LuaTest, CprintRefusesANonStringFromTostring) {
    const std::string error = runSnippet("tostring = function() return {} end\ncprint(1)");
    EXPECT_NE(error.find("`tostring' must return a string to `print'"), std::string::npos) << error;
    EXPECT_TRUE(linesOf("debug").empty());
}

TEST_F(LuaTest, CppFailureInsideCprintBecomesALuaError) {
    // The recording appender throws for this one text, as a failing log file would.
    const std::string error =
        runSnippet("cprint('" + std::string(testing_lua::kThrowingText) + "')");
    EXPECT_EQ(error, testing_lua::kAppenderFailure);
    // The state is still usable afterwards.
    EXPECT_EQ(runSnippet("cprint('after')"), "");
}

TEST_F(LuaTest, IncludeAfterTheHostIsGoneIsALuaError) {
    config_.reset();
    const std::string error = runSnippet("include('x.lua')");
    EXPECT_NE(error.find("script host no longer exists"), std::string::npos) << error;
}

TEST_F(LuaTest, ResultOfAScriptThatReturnsNothingIsAnError) {
    writeScript("nothing.lua", "local x = 1\n");
    const int top = lua_gettop(L);
    try {
        config_->runFileResult(L"nothing.lua");
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find(folder_ + "nothing.lua"), std::string::npos);
    }
    EXPECT_EQ(lua_gettop(L), top);
}

TEST_F(LuaTest, ResultTakesTheFirstValueAndRestoresTheStack) {
    writeScript("many.lua", "return 'first', 'second', 'third'\n");
    writeScript("failing.lua", "error('no')\n");
    const int top = lua_gettop(L);
    EXPECT_EQ(luabind::object_cast<std::string>(config_->runFileResult(L"many.lua")), "first");
    EXPECT_EQ(lua_gettop(L), top);
    EXPECT_THROW(config_->runFileResult(L"failing.lua"), std::runtime_error);
    EXPECT_EQ(lua_gettop(L), top);
}

TEST_F(LuaTest, SelfIncludeEndsInAnErrorNotACrash) {
    writeScript("loop.lua", "return include('loop.lua')\n");
    const std::string error = errorOf(*config_, "loop.lua");
    EXPECT_TRUE(startsWith(error, "Lua error (1): Error while executing `")) << error;
    EXPECT_NE(error.find("too many C levels"), std::string::npos) << error.substr(0, 300);
}
