// Pattern matching within the instruction allowance. Lua's own matcher backtracks inside one
// C call, where the count hook never runs: string.find(("a"):rep(40), ("a*"):rep(40) .. "b")
// would take longer than the universe has left, and an ordinary pattern on a long hostile
// subject takes hours. string.find, string.match, string.gmatch and string.gsub are replaced by
// the same matcher, with the same patterns, results and error texts, that charges each step
// of its search to the allowance, so a runaway search ends in "script ran too long".
#pragma once

#include <lua.hpp>

namespace kesh {

// Replaces the four functions on a state whose string library is open.
void boundPatternMatching(lua_State* L);

}  // namespace kesh
