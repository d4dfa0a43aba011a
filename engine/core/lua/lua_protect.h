// Keeping C++ exceptions and Lua errors apart. Lua raises errors with longjmp, which skips C++
// destructors, and a C++ exception must not unwind through Lua's C frames. So a C function
// called by Lua does its C++ work inside catchCxxFailure and, when that fails, returns
// lua_error(L) from a scope that holds no object with a destructor.
#pragma once

#include <lua.hpp>

#include <exception>

namespace kesh {

// Pushes text as a Lua string without ever raising: if Lua runs out of memory, its memory
// error message is pushed instead. Exactly one value is pushed; true when it is the text.
bool pushTextProtected(lua_State* L, const char* text) noexcept;

// Calls function(L) with argument as its one light userdata argument in protected mode; a Lua
// error becomes std::runtime_error with the error text.
void runProtected(lua_State* L, lua_CFunction function, void* argument);

// Runs work(); if it throws, pushes the exception's text and returns false.
template <class Work>
bool catchCxxFailure(lua_State* L, Work&& work) noexcept {
    try {
        work();
        return true;
    } catch (const std::exception& failure) {
        pushTextProtected(L, failure.what());
    } catch (...) {
        pushTextProtected(L, "unknown C++ exception");
    }
    return false;
}

}  // namespace kesh
