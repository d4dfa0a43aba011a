#include "engine/core/lua/lua_chunk.h"

#include <stdexcept>

#include "engine/core/log.h"
#include "engine/core/lua/lua_confinement.h"
#include "engine/core/mapped_file.h"
#include "engine/core/strings.h"

namespace kesh {

namespace {

// "Error while parsing `name'" or "Error while executing `name'", then Lua's own message
// when the error value is a string.
std::wstring describeFailure(lua_State* L, const wchar_t* prefix, const char* chunkName) {
    std::wstring message = prefix;
    message += toWide(chunkName);
    message += L"'";
    // Only a real string is read: lua_tostring would convert a number in place, which can
    // allocate and so raise an error outside any protected call.
    if (lua_type(L, -1) == LUA_TSTRING) {
        std::size_t length = 0;
        const char* text = lua_tolstring(L, -1, &length);
        message += L": ";
        message += toWide(std::string(text, length));
    } else {
        message += L", but error message not available";
    }
    return message;
}

std::wstring errorText(int reportedStatus, const std::wstring& message) {
    return L"Lua error (" + std::to_wstring(reportedStatus) + L"): " + message;
}

void writeLuaLine(const std::string& text) {
    boost::log::LogLine line(boost::log::logLua());
    if (line.stream()) {
        *line.stream() << text << std::endl;
    }
}

}  // namespace

int reportedLuaStatus(int status) {
    switch (status) {
        case LUA_ERRRUN:
            return 1;
        case LUA_ERRSYNTAX:
            return 3;
        case LUA_ERRMEM:
            return 4;
        case LUA_ERRERR:
            return 5;
        default:
            // An error in a finaliser has no number of its own in the reported scheme: it is
            // an error while running.
            return 1;
    }
}

void throwLuaError(int reportedStatus, const std::wstring& message) {
    throw std::runtime_error(toNarrow(errorText(reportedStatus, message)));
}

std::string parseErrorText(lua_State* L, int status, const char* chunkName) {
    return toNarrow(errorText(reportedLuaStatus(status),
                              describeFailure(L, L"Error while parsing `", chunkName)));
}

int loadChunk(lua_State* L, const char* buffer, std::size_t size, const char* chunkName) {
    // Text only: Lua does not verify bytecode, and a patched binary chunk could crash the game.
    const int status = luaL_loadbufferx(L, buffer, size, chunkName, "t");
    if (status == 0) {
        return 0;
    }
    throwLuaError(reportedLuaStatus(status),
                  describeFailure(L, L"Error while parsing `", chunkName));
}

int callChunk(lua_State* L, const char* chunkName) {
    const int status = lua_pcall(L, 0, LUA_MULTRET, 0);
    if (status == 0) {
        return 0;
    }
    throwLuaError(reportedLuaStatus(status),
                  describeFailure(L, L"Error while executing `", chunkName));
}

int runChunkFile(lua_State* L, int* results, const std::wstring& path) {
    const std::string chunkName = toNarrow(path);
    if (!artFileOf(L, chunkName)) {
        return 2;
    }
    const MappedFile file(chunkName);
    if (!file.valid()) {
        return 2;
    }
    writeLuaLine("  Compile: " + chunkName);
    // The chunk itself sits below its results once it has run.
    const int base = lua_gettop(L);
    loadChunk(L, reinterpret_cast<const char*>(file.data()), file.size(), chunkName.c_str());
    writeLuaLine("  Execute code chunk: " + chunkName);
    callChunk(L, chunkName.c_str());
    *results = lua_gettop(L) - base;
    writeLuaLine("  Execute code chunk: successfull ");
    return 0;
}

}  // namespace kesh
