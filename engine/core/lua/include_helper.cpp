#include "engine/core/lua/include_helper.h"

#include <stdexcept>
#include <utility>

#include "engine/core/log.h"
#include "engine/core/lua/lua_chunk.h"
#include "engine/core/lua/lua_confinement.h"
#include "engine/core/lua/lua_protect.h"
#include "engine/core/mapped_file.h"
#include "engine/core/paths.h"
#include "win32/file_paths.h"

namespace kesh {

namespace {

void writeLine(boost::log::Logger& channel, const std::string& text) {
    boost::log::LogLine line(channel);
    if (line.stream()) {
        *line.stream() << text << std::endl;
    }
}

int installGlobals(lua_State* L) {
    void* helper = lua_touserdata(L, 1);
    lua_pushlightuserdata(L, helper);
    lua_setglobal(L, "__include_path");
    lua_pushlightuserdata(L, helper);
    lua_pushcclosure(L, includeClosure, 1);
    lua_setglobal(L, "include");
    return 0;
}

// Leaves the global in place but empties its upvalue when it still leads to this helper.
int detachGlobals(lua_State* L) {
    void* helper = lua_touserdata(L, 1);
    lua_getglobal(L, "include");
    if (lua_tocfunction(L, -1) == includeClosure && lua_getupvalue(L, -1, 1)) {
        const bool ours = lua_touserdata(L, -1) == helper;
        lua_pop(L, 1);
        if (ours) {
            lua_pushnil(L);
            lua_setupvalue(L, -2, 1);
        }
    }
    return 0;
}

}  // namespace

IncludeHelper::IncludeHelper(lua_State* L) : L_(L) {
    runProtected(L, installGlobals, this);
}

IncludeHelper::~IncludeHelper() {
    try {
        runProtected(L_, detachGlobals, this);
    } catch (const std::exception&) {
        // Only a memory failure gets here; the state is then beyond use anyway.
    }
}

void IncludeHelper::setPath(const std::string& filePath) {
    path_ = directoryOf(filePath);
}

void IncludeHelper::loadIncluded(lua_State* L, const std::string& name) {
    std::string folder = path_ + directoryOf(name);
    const std::string file = folder + fileNameOf(name);
    writeLine(boost::log::logLua(), "include: " + file);

    if (!artFileOf(L, file) && win32::findExistingPath(file)) {
        throw std::runtime_error("include: `" + file + "' is not a file inside the art folder");
    }
    const MappedFile mapped(file);
    int status = 0;
    if (mapped.valid()) {
        status = luaL_loadbufferx(L, reinterpret_cast<const char*>(mapped.data()), mapped.size(),
                                  file.c_str(), "t");
    } else {
        // A missing or empty file runs as an empty chunk that returns nothing.
        writeLine(boost::log::logLua(), "include: file missing or empty: " + file);
        status = luaL_loadbuffer(L, "", 0, file.c_str());
    }
    if (status != 0) {
        std::string text = parseErrorText(L, status, file.c_str());
        lua_pop(L, 1);
        throw std::runtime_error(text);
    }

    savedPaths_.push_back(path_);
    path_.swap(folder);
}

void IncludeHelper::leaveIncluded() noexcept {
    path_ = std::move(savedPaths_.back());
    savedPaths_.pop_back();
}

int IncludeHelper::include(lua_State* L) {
    // One string argument; extra arguments are ignored.
    luaL_checktype(L, 1, LUA_TSTRING);
    lua_settop(L, 1);
    const bool loaded = catchCxxFailure(L, [this, L] {
        std::size_t length = 0;
        const char* name = lua_tolstring(L, 1, &length);
        loadIncluded(L, std::string(name, length));
    });
    if (!loaded) {
        return lua_error(L);
    }
    // Protected, so that the include folder is restored before an error moves on to the
    // enclosing script.
    const int status = lua_pcall(L, 0, LUA_MULTRET, 0);
    leaveIncluded();
    if (status != 0) {
        return lua_error(L);
    }
    return lua_gettop(L) - 1;
}

int includeClosure(lua_State* L) {
    IncludeHelper* helper = static_cast<IncludeHelper*>(lua_touserdata(L, lua_upvalueindex(1)));
    if (!helper) {
        return luaL_error(L, "include: the script host no longer exists");
    }
    return helper->include(L);
}

int cprint(lua_State* L) {
    const int count = lua_gettop(L);
    lua_getglobal(L, "tostring");
    const int tostring = lua_gettop(L);
    for (int i = 1; i <= count; ++i) {
        luaL_checkstack(L, 4, "too many arguments to cprint");
        if (i > 1) {
            lua_pushliteral(L, "\t");
        }
        lua_pushvalue(L, tostring);
        lua_pushvalue(L, i);
        lua_call(L, 1, 1);
        if (!lua_tostring(L, -1)) {
            return luaL_error(L, "`tostring' must return a string to `print'");
        }
    }
    lua_concat(L, count == 0 ? 0 : 2 * count - 1);
    const bool written = catchCxxFailure(L, [L] {
        std::size_t length = 0;
        const char* text = lua_tolstring(L, -1, &length);
        writeLine(boost::log::logDebug(), std::string(text, length));
    });
    if (!written) {
        return lua_error(L);
    }
    return 0;
}

}  // namespace kesh
