#include "engine/core/lua/lua_confinement.h"

#include <cstring>
#include <filesystem>
#include <system_error>

#include "engine/core/lua/lua_library_wrap.h"
#include "engine/core/lua/lua_protect.h"
#include "engine/core/lua/lua_state.h"
#include "win32/file_paths.h"

namespace kesh {

namespace {

// Pushes the path on disk of the art file that name names and returns true; pushes nothing
// and returns false when there is none. Never raises, so no C++ object outlives a Lua error.
bool pushArtFile(lua_State* L, const char* name) noexcept {
    std::optional<std::string> file;
    try {
        file = artFileOf(L, name);
    } catch (const std::exception&) {
        return false;
    }
    if (!file) {
        return false;
    }
    if (!pushTextProtected(L, file->c_str())) {
        lua_pop(L, 1);
        return false;
    }
    return true;
}

// The file name at index becomes the path on disk of the art file it names; anything else is
// refused with a Lua error.
void replaceByArtFile(lua_State* L, int index, const char* function) {
    const char* name = luaL_checkstring(L, index);
    if (!pushArtFile(L, name)) {
        luaL_error(L, "%s: `%s' is not a file inside the art folder", function, name);
    }
    lua_replace(L, index);
}

int refuse(lua_State* L, const char* function, const char* what) {
    return luaL_error(L, "%s: scripts may not %s", function, what);
}

// Loads the art file at index 1 (a path on disk) as a text chunk. On failure leaves a message
// that names the file; Lua's refusal of a binary chunk does not.
int loadTextFile(lua_State* L) {
    const char* path = lua_tostring(L, 1);
    const int status = luaL_loadfilex(L, path, "t");
    if (status != LUA_OK && std::strstr(lua_tostring(L, -1), path) == nullptr) {
        lua_pushfstring(L, "%s: %s", path, lua_tostring(L, -1));
    }
    return status;
}

int guardedDofile(lua_State* L) {
    lua_settop(L, 1);
    replaceByArtFile(L, 1, "dofile");
    if (loadTextFile(L) != LUA_OK) {
        return lua_error(L);
    }
    lua_call(L, 0, LUA_MULTRET);
    return lua_gettop(L) - 1;
}

// loadfile(name [, mode [, env]]): the mode is always "t".
int guardedLoadfile(lua_State* L) {
    replaceByArtFile(L, 1, "loadfile");
    const bool hasEnv = !lua_isnone(L, 3);
    if (loadTextFile(L) != LUA_OK) {
        lua_pushnil(L);
        lua_insert(L, -2);
        return 2;
    }
    if (hasEnv) {
        // As Lua's own: the environment is the chunk's first upvalue.
        lua_pushvalue(L, 3);
        if (lua_setupvalue(L, -2, 1) == nullptr) {
            lua_pop(L, 1);
        }
    }
    return 1;
}

// load(chunk [, name [, mode [, env]]]): the mode is always "t". A reader function runs inside
// Lua's protected parser, which would swallow the end of the allowance.
int guardedLoad(lua_State* L) {
    if (lua_gettop(L) < 3) {
        lua_settop(L, 3);
    }
    lua_pushliteral(L, "t");
    lua_replace(L, 3);
    const int results = callWrapped(L);
    chargeInstructions(L, 0);
    return results;
}

bool isReadMode(const char* mode) {
    return mode[0] == 'r' && std::strspn(mode + 1, "b") == std::strlen(mode + 1);
}

int guardedOpen(lua_State* L) {
    const char* name = luaL_checkstring(L, 1);
    if (!isReadMode(luaL_optstring(L, 2, "r"))) {
        return luaL_error(L, "io.open: `%s' may be opened only for reading", name);
    }
    replaceByArtFile(L, 1, "io.open");
    return callWrapped(L);
}

// io.lines and io.input: a name is an art file; no name, or a file, is left to the library.
int guardedLines(lua_State* L) {
    if (lua_type(L, 1) == LUA_TSTRING) {
        replaceByArtFile(L, 1, "io.lines");
    }
    return callWrapped(L);
}

int guardedInput(lua_State* L) {
    if (lua_type(L, 1) == LUA_TSTRING) {
        replaceByArtFile(L, 1, "io.input");
    }
    return callWrapped(L);
}

int guardedOutput(lua_State* L) {
    if (lua_type(L, 1) == LUA_TSTRING) {
        return luaL_error(L, "io.output: scripts may not write files (`%s')", lua_tostring(L, 1));
    }
    return callWrapped(L);
}

int refusedPopen(lua_State* L) {
    return refuse(L, "io.popen", "start programs");
}

int refusedTmpfile(lua_State* L) {
    return refuse(L, "io.tmpfile", "create files");
}

// A handle that is already closed: reading it is the library's "attempt to use a closed file".
void pushClosedFile(lua_State* L) {
    auto* stream = static_cast<luaL_Stream*>(lua_newuserdata(L, sizeof(luaL_Stream)));
    stream->f = nullptr;
    stream->closef = nullptr;
    luaL_setmetatable(L, LUA_FILEHANDLE);
}

}  // namespace

void confineToArtFolder(lua_State* L) {
    lua_pushglobaltable(L);
    const int globals = lua_gettop(L);
    lua_pushcfunction(L, guardedDofile);
    lua_setfield(L, globals, "dofile");
    lua_pushcfunction(L, guardedLoadfile);
    lua_setfield(L, globals, "loadfile");
    wrapLibraryFunction(L, globals, "load", guardedLoad);
    // Lua 5.1's name, kept by this build as the same function.
    wrapLibraryFunction(L, globals, "loadstring", guardedLoad);

    lua_getfield(L, globals, LUA_IOLIBNAME);
    const int io = lua_gettop(L);
    wrapLibraryFunction(L, io, "open", guardedOpen);
    wrapLibraryFunction(L, io, "lines", guardedLines);
    wrapLibraryFunction(L, io, "input", guardedInput);
    wrapLibraryFunction(L, io, "output", guardedOutput);
    lua_pushcfunction(L, refusedPopen);
    lua_setfield(L, io, "popen");
    lua_pushcfunction(L, refusedTmpfile);
    lua_setfield(L, io, "tmpfile");
    // The library keeps its default input in the registry under this name.
    pushClosedFile(L);
    lua_pushvalue(L, -1);
    lua_setfield(L, LUA_REGISTRYINDEX, "_IO_input");
    lua_setfield(L, io, "stdin");
    lua_settop(L, globals - 1);
}

std::optional<std::string> artFileOf(lua_State* L, const std::string& path) {
    const std::optional<std::string> found = win32::findExistingPath(path);
    std::error_code error;
    if (!found || !std::filesystem::is_regular_file(*found, error) ||
        !win32::isInsideFolder(*found, artFolderOf(L))) {
        return std::nullopt;
    }
    return found;
}

}  // namespace kesh
