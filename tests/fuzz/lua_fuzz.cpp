// Lua chunks through the script host: a fresh game state with the host's types and every
// binder registered, the chunk run as a script of the art folder's "config/". Failures must
// be the host's errors with their text ("Lua error (n): ..."), never an abort. The state's
// memory and the instructions a chunk may run are capped, so that a loop or a growing
// string ends as a Lua error too.
#include <lua.hpp>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/core/lua/lua_binder_registry.h"
#include "engine/core/lua/lua_config.h"
#include "engine/core/lua/lua_state.h"
#include "engine/core/strings.h"
#include "tests/fuzz/support/fuzz_services.h"
#include "tests/fuzz/support/memory_bound.h"

namespace {

constexpr std::size_t kStateMemory = std::size_t(32) << 20;
constexpr int kHookInterval = 1000;
constexpr int kInstructionLimit = 2000000;

struct Budget {
    std::size_t inUse = 0;
    int instructions = 0;
};

void* cappedAllocate(void* ud, void* block, std::size_t oldSize, std::size_t newSize) {
    auto* budget = static_cast<Budget*>(ud);
    // Lua passes a type tag, not a size, as oldSize for a new block.
    const std::size_t held = block != nullptr ? oldSize : 0;
    if (newSize == 0) {
        budget->inUse -= held;
        std::free(block);
        return nullptr;
    }
    if (newSize > held && budget->inUse - held + newSize > kStateMemory) {
        return nullptr;
    }
    void* moved = std::realloc(block, newSize);
    if (moved != nullptr) {
        budget->inUse = budget->inUse - held + newSize;
    }
    return moved;
}

void countInstructions(lua_State* L, lua_Debug*) {
    void* ud = nullptr;
    lua_getallocf(L, &ud);
    auto* budget = static_cast<Budget*>(ud);
    budget->instructions += kHookInterval;
    if (budget->instructions > kInstructionLimit) {
        luaL_error(L, "instruction limit reached");
    }
}

// Nothing that reaches beyond the process: no files opened or written, no programs started.
const char kSandbox[] =
    "io.open = nil io.popen = nil io.lines = nil io.input = nil io.output = nil "
    "io.tmpfile = nil";

}  // namespace

// luabind's known leak (tests/fuzz/lsan.supp) is matched by a function name below the C++
// library, which only the slow unwinder sees.
extern "C" const char* __asan_default_options() {
    return "fast_unwind_on_malloc=0";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_support::Services& services = fuzz_support::Services::instance();
    static const std::wstring scripts = kesh::toWide(services.artRoot() + "config/");
    services.writeArt("config/fuzz.lua", std::vector<std::uint8_t>(data, data + size));
    fuzz_support::MemoryBound bound(size);
    Budget budget;  // outlives the state, whose closing frees through it
    kesh::LuaStatePtr state = kesh::openGameLuaState();
    lua_State* L = state.get();
    budget.inUse = static_cast<std::size_t>(lua_gc(L, LUA_GCCOUNT, 0)) * 1024 +
                   static_cast<std::size_t>(lua_gc(L, LUA_GCCOUNTB, 0));
    lua_setallocf(L, cappedAllocate, &budget);
    kesh::LuaConfig host(L, scripts);
    kesh::LuaBinderRegistry::runAll(L);
    if (luaL_dostring(L, kSandbox) != 0) {
        std::abort();
    }
    lua_settop(L, 0);
    lua_sethook(L, countInstructions, LUA_MASKCOUNT, kHookInterval);
    try {
        host.runFile(L"fuzz.lua");
    } catch (const std::runtime_error& e) {
        const std::string text = e.what();
        if (text.rfind("Lua error (", 0) != 0 && text != "Lua parse error") {
            std::fprintf(stderr, "not a script host error: %s\n", e.what());
            std::abort();
        }
    }
    return 0;
}
