// Scripting: the script host, the binder registry and the helpers that keep C++ exceptions
// and Lua errors apart.
#pragma once

#include "engine/core/lua/lua_binder_registry.h"
#include "engine/core/lua/lua_config.h"
#include "engine/core/lua/lua_protect.h"
