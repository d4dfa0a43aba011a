// Operators on bound objects that end in a Lua error, never in an abort. Every instance of a
// luabind class shares one metatable whose operator entries (__add ... __len) dispatch to the
// class's own operator. When the class defines none and the left operand is not a bound object
// (`1 + vec3(1, 2, 3)`, `nil < res("a")`), the library asserts and the process ends; its own
// error path also leaks the message it builds. The guard checks the operands first and raises
// the library's error text itself, so luabind only ever sees an operator it can call.
#pragma once

#include <lua.hpp>

namespace kesh {

// Wraps every operator entry of luabind's instance metatable on L; running it again changes
// nothing. luabind must be open on L. Throws std::runtime_error when Lua runs out of memory.
void guardLuabindOperators(lua_State* L);

// luabind calls an instance's `__finalize` method, which a script may define on any class, when
// the instance is collected: Lua runs that with hooks off, so a loop in it would hang the game
// beyond the instruction allowance. The lookup of `__finalize` on an instance always finds
// nothing. luabind must be open on L; running it again changes nothing. Throws
// std::runtime_error when Lua runs out of memory.
void hideLuabindFinalizers(lua_State* L);

}  // namespace kesh
