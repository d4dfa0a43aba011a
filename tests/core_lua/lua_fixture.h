// A Lua state prepared as the game prepares it, a script host on a scratch folder, and a
// record of every log line written while a test runs.
#pragma once

#include <gtest/gtest.h>
#include <lua.hpp>
#include <luabind/luabind.hpp>

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "engine/core/log.h"
#include "engine/core/lua/lua_binder_registry.h"
#include "engine/core/lua/lua_config.h"
#include "engine/core/lua/lua_state.h"
#include "engine/core/strings.h"

namespace testing_lua {

// A line the recording appender refuses with kAppenderFailure, as a failing output would.
constexpr const char* kThrowingText = "make the appender throw";
constexpr const char* kAppenderFailure = "appender failure";

// Every line of every channel, as (channel, text). Never destroyed: the process-wide log
// flushes into it at exit.
inline std::vector<std::pair<std::string, std::string>>& loggedLines() {
    static auto* lines = new std::vector<std::pair<std::string, std::string>>();
    static const bool attached = [] {
        boost::log::addLogAppender(
            "*",
            [](const std::string& name, const std::string& text) {
                if (text == std::string(kThrowingText) + "\n") {
                    throw std::runtime_error(kAppenderFailure);
                }
                lines->emplace_back(name, text);
            },
            100);
        boost::log::flushLogCache();
        return true;
    }();
    (void)attached;
    return *lines;
}

inline std::vector<std::string> linesOf(const std::string& channel) {
    std::vector<std::string> result;
    for (const auto& line : loggedLines()) {
        if (line.first == channel) {
            result.push_back(line.second);
        }
    }
    return result;
}

class LuaTest : public ::testing::Test {
protected:
    LuaTest() {
        loggedLines();
        folder_ = ::testing::TempDir() + "lua-" + std::to_string(getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name() + "/";
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        open(kesh::LuaLimits());
        loggedLines().clear();
    }

    // The state as the game opens it, its art folder the scratch folder, with these limits.
    void open(const kesh::LuaLimits& limits) {
        config_.reset();
        state_ = kesh::openGameLuaState(kesh::toWide(folder_), limits);
        L = state_.get();
        config_.reset(new kesh::LuaConfig(L, kesh::toWide(folder_)));
        // As the game does: the engine types first, then every binder linked in.
        kesh::LuaBinderRegistry::runAll(L);
    }

    ~LuaTest() override {
        config_.reset();
        state_.reset();
        std::filesystem::remove_all(folder_);
    }

    void writeScript(const std::string& name, const std::string& text) {
        const std::filesystem::path path = folder_ + name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }

    // Runs a script and casts its result, with a full collection between the script's end
    // and the use of the copy, so that the copy cannot lean on the script's objects.
    template <class Record>
    Record runAndCollect(const std::string& name) {
        Record record = config_->runFileAs<Record>(kesh::toWide(name));
        collectGarbage();
        return record;
    }

    void collectGarbage() {
        lua_gc(L, LUA_GCCOLLECT, 0);
        lua_gc(L, LUA_GCCOLLECT, 0);
    }

    // Runs text as the host's script "script.lua"; returns the error text, empty on success,
    // and leaves the stack empty.
    std::string failureOf(const std::string& text) {
        writeScript("script.lua", text);
        std::string error;
        try {
            config_->runFile(L"script.lua");
        } catch (const std::exception& failure) {
            error = failure.what();
        }
        lua_settop(L, 0);
        return error;
    }

    // Runs a Lua snippet on the state; returns the error text, empty on success.
    std::string runSnippet(const std::string& code) {
        const int top = lua_gettop(L);
        std::string error;
        if (luaL_loadstring(L, code.c_str()) != 0 || lua_pcall(L, 0, 0, 0) != 0) {
            const char* text = lua_tostring(L, -1);
            error = text ? text : "(non-string error)";
            if (error.empty()) {
                error = "(empty error)";
            }
        }
        lua_settop(L, top);
        return error;
    }

    std::string folder_;
    kesh::LuaStatePtr state_;
    lua_State* L = nullptr;
    std::unique_ptr<kesh::LuaConfig> config_;
};

}  // namespace testing_lua
