#include "engine/core/lua/lua_config.h"

#include <luabind/from_stack.hpp>

#include <stdexcept>

#include "engine/core/log.h"
#include "engine/core/lua/include_helper.h"
#include "engine/core/lua/lua_chunk.h"
#include "engine/core/lua/lua_protect.h"
#include "engine/core/lua/lua_state.h"
#include "engine/core/paths.h"
#include "engine/core/strings.h"

namespace kesh {

LuaConfig* theLuaConfig = nullptr;

namespace {

int installPrint(lua_State* L) {
    lua_pushcfunction(L, cprint);
    lua_setglobal(L, "cprint");
    return 0;
}

// Puts the stack top back where it was, whichever way the scope is left.
class StackTopGuard {
public:
    explicit StackTopGuard(lua_State* L) : L_(L), top_(lua_gettop(L)) {}
    ~StackTopGuard() { lua_settop(L_, top_); }
    StackTopGuard(const StackTopGuard&) = delete;
    StackTopGuard& operator=(const StackTopGuard&) = delete;

    int top() const { return top_; }

private:
    lua_State* L_;
    int top_;
};

}  // namespace

LuaConfig::LuaConfig(lua_State* state, const std::wstring& basePath)
    : L(state), include_(new IncludeHelper(state)), basePath_(basePath) {
    runProtected(L, installPrint, nullptr);
    registerTypes(L);
}

LuaConfig::~LuaConfig() = default;

void LuaConfig::runFile(const std::wstring& name) {
    const std::wstring full = basePath_ + name;
    const std::string narrowFull = toNarrow(full);
    include_->setPath(narrowFull);
    {
        boost::log::LogLine line(boost::log::logLua());
        if (line.stream()) {
            *line.stream() << "Executing `" << narrowFull << "'" << std::endl;
        }
    }
    resetInstructionCount(L);
    int results = 0;
    if (runChunkFile(L, &results, full) != 0) {
        throw std::runtime_error("Lua parse error");
    }
}

luabind::object LuaConfig::runFileResult(const std::wstring& name) {
    const StackTopGuard guard(L);
    runFile(name);
    if (lua_gettop(L) <= guard.top()) {
        throw std::runtime_error("Lua script returned no value: `" + toNarrow(basePath_ + name) +
                                 "'");
    }
    return luabind::object(luabind::from_stack(L, guard.top() + 1));
}

}  // namespace kesh
