// Keeping the instruction allowance whole. The count hook alone is evaded by a script that
// catches its error (pcall in a loop), by code that Lua runs with hooks off (an xpcall message
// handler called from inside the hook, a finaliser) and by library functions whose work is
// not instructions (string.rep("", 2^31), table.insert shifting a table whose __len lies, a
// sort on a quadratic input, collectgarbage on a full heap). Here pcall and xpcall rethrow once
// the allowance is spent, and run no handler inside the hook; no script function can become
// a finaliser; and those functions charge their work to the allowance.
#pragma once

#include <lua.hpp>

namespace kesh {

// Replaces the functions on a state whose base, string, table and io libraries are open.
// Raises a Lua error when Lua runs out of memory.
void boundRunaways(lua_State* L);

}  // namespace kesh
