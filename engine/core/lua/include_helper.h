// The Lua functions every script gets: `include` runs another script file relative to the
// including file's folder and evaluates to what that file returns; `cprint` writes its
// arguments, converted with tostring and separated by tabs, as one line on "debug".
#pragma once

#include <lua.hpp>

#include <string>
#include <vector>

namespace kesh {

class IncludeHelper {
public:
    // Installs the global "include" (a closure that finds this helper through its upvalue)
    // and the global "__include_path". Throws std::runtime_error when Lua cannot.
    explicit IncludeHelper(lua_State* L);
    // The globals stay in the state, but "include" is detached from this helper: calling it
    // afterwards raises a Lua error instead of reaching freed memory.
    ~IncludeHelper();
    IncludeHelper(const IncludeHelper&) = delete;
    IncludeHelper& operator=(const IncludeHelper&) = delete;

    // The folder nested includes resolve against becomes the folder of filePath.
    void setPath(const std::string& filePath);

    // The body of the Lua `include`.
    int include(lua_State* L);

private:
    // Maps and compiles the named file, leaving the chunk on the stack, and enters the
    // file's folder. Throws std::runtime_error with the full error text when it does not
    // compile.
    void loadIncluded(lua_State* L, const std::string& name);
    void leaveIncluded() noexcept;

    lua_State* L_;
    std::string path_;
    // The folders to return to when the includes in progress end, innermost last.
    std::vector<std::string> savedPaths_;
};

// The C function behind the Lua global "include".
int includeClosure(lua_State* L);

// The C function behind the Lua global "cprint".
int cprint(lua_State* L);

}  // namespace kesh
