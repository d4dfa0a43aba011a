// What a data script reaches outside its state, through the game's own state and host.
#include <gmock/gmock.h>
#include <sys/stat.h>

#include <filesystem>

#include "tests/core_lua/lua_fixture.h"

namespace {

using testing::HasSubstr;

class LuaConfinement : public testing_lua::LuaTest {
protected:
    LuaConfinement() {
        writeScript("data.txt", "first\nsecond\n");
        writeScript("sub/lib.lua", "return (... or 0) + 1\n");
        std::filesystem::create_directories(outside);
        std::ofstream(outside + "secret.txt") << "secret";
        std::ofstream(outside + "secret.lua") << "return 'secret'";
    }
    ~LuaConfinement() override { std::filesystem::remove_all(outside); }

    // Writes a chunk compiled by the interpreter itself to name, as a hostile file would hold.
    void writeBinaryChunk(const std::string& name) {
        lua_settop(L, 0);
        ASSERT_EQ(luaL_loadstring(L, "return 7"), 0);
        lua_getglobal(L, "string");
        lua_getfield(L, -1, "dump");
        lua_pushvalue(L, 1);
        ASSERT_EQ(lua_pcall(L, 1, 1, 0), 0);
        std::size_t size = 0;
        const char* bytes = lua_tolstring(L, -1, &size);
        writeScript(name, std::string(bytes, size));
        lua_settop(L, 0);
    }

    const std::string outside = folder_.substr(0, folder_.size() - 1) + "-outside/";
};

TEST_F(LuaConfinement, NoProgramRunsAndNothingIsWritten) {
    const std::pair<const char*, const char*> refused[] = {
        {"io.popen('touch popen.txt')", "io.popen: scripts may not start programs"},
        {"io.tmpfile()", "io.tmpfile: scripts may not create files"},
        {"io.open('made.txt', 'w')", "io.open: `made.txt' may be opened only for reading"},
        {"io.open('data.txt', 'r+')", "io.open: `data.txt' may be opened only for reading"},
        {"io.open('data.txt', 'a')", "io.open: `data.txt' may be opened only for reading"},
        {"io.output('made.txt')", "io.output: scripts may not write files (`made.txt')"},
    };
    for (const auto& [script, error] : refused) {
        EXPECT_THAT(failureOf(script), HasSubstr(error)) << script;
    }
    EXPECT_FALSE(std::filesystem::exists("made.txt"));
    EXPECT_FALSE(std::filesystem::exists(folder_ + "made.txt"));
    EXPECT_FALSE(std::filesystem::exists("popen.txt"));
}

TEST_F(LuaConfinement, ReadsOnlyRegularFilesInsideTheArtFolder) {
    std::filesystem::create_symlink(outside + "secret.txt", folder_ + "link.txt");
    ASSERT_EQ(::mkfifo((folder_ + "pipe.lua").c_str(), 0600), 0);
    const std::string up = "../" + std::filesystem::path(outside).parent_path().filename().string();
    const std::pair<std::string, std::string> refused[] = {
        {"io.open('" + outside + "secret.txt')", "io.open: `" + outside + "secret.txt'"},
        {"io.open('" + folder_ + "link.txt')", "link.txt' is not a file inside the art folder"},
        {"io.lines('" + folder_ + up + "/secret.txt')", "io.lines: `"},
        {"io.input('/dev/zero')", "io.input: `/dev/zero' is not a file inside the art folder"},
        {"dofile('" + outside + "secret.lua')", "dofile: `" + outside + "secret.lua'"},
        {"loadfile('" + folder_ + "pipe.lua')", "pipe.lua' is not a file inside the art folder"},
        {"loadfile('" + folder_ + "sub')", "sub' is not a file inside the art folder"},
        {"include('" + up + "/secret.lua')", "secret.lua' is not a file inside the art folder"},
        {"dofile()", "bad argument #1 to 'dofile'"},
        {"return io.read()", "standard input file is closed"},
        {"return io.stdin:read()", "attempt to use a closed file"},
    };
    for (const auto& [script, error] : refused) {
        EXPECT_THAT(failureOf(script), HasSubstr(error)) << script;
    }
    // Through the host as well: a pipe would block the game on opening it.
    EXPECT_THROW(config_->runFile(L"pipe.lua"), std::runtime_error);
}

TEST_F(LuaConfinement, ArtFilesReadAsBefore) {
    const std::string data = folder_ + "DATA.TXT";  // as the game matches names, case aside
    EXPECT_EQ(failureOf("local f = assert(io.open('" + data +
                        "')) local t = f:read('*a') "
                        "f:close() assert(t == 'first\\nsecond\\n') "
                        "local n = 0 for l in io.lines('" +
                        data +
                        "') do n = n + 1 end "
                        "assert(n == 2) io.input('" +
                        data +
                        "') assert(io.read() == 'first') "
                        "assert(dofile('" +
                        folder_ +
                        "sub/lib.lua') == 1) "
                        "local chunk = loadfile('" +
                        folder_ +
                        "sub/lib.lua', 'b', {}) "
                        "assert(chunk(4) == 5) assert(load('return 3')() == 3) "
                        "assert(include('sub/lib.lua') == 1)"),
              "");
}

TEST_F(LuaConfinement, BinaryChunksAreRefusedHoweverTheyCome) {
    writeBinaryChunk("binary.lua");
    const std::string file = folder_ + "binary.lua";
    EXPECT_EQ(failureOf("return 1"), "");
    try {
        config_->runFile(L"binary.lua");
        ADD_FAILURE() << "a binary chunk ran";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()), "Lua error (3): Error while parsing `" + file +
                                                 "': attempt to load a binary chunk (mode is 't')");
    }
    lua_settop(L, 0);
    const std::string binary = "attempt to load a binary chunk";
    EXPECT_THAT(failureOf("dofile('" + file + "')"), HasSubstr(file + ": " + binary));
    EXPECT_THAT(failureOf("include('binary.lua')"), HasSubstr(binary));
    EXPECT_THAT(failureOf("assert(loadfile('" + file + "'))"), HasSubstr(file + ": " + binary));
    for (const char* loader : {"load", "loadstring"}) {
        EXPECT_THAT(
            failureOf(std::string("assert(") + loader + "(string.dump(function() end), 'x', 'b'))"),
            HasSubstr(binary));
    }
}

}  // namespace
