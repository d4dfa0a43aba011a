// Lua chunks through the script host: a fresh game state with every binder run, the chunk
// compiled and run as the host runs its scripts. Failures must be Lua errors with their text
// ("Lua error (n): ..."), never an abort. The state's memory and the instructions a chunk may
// run are capped, so that a loop or a growing string ends as a Lua error too.
#include <lua.hpp>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>

#include "engine/core/lua/lua_binder_registry.h"
#include "engine/core/lua/lua_chunk.h"
#include "engine/core/lua/lua_state.h"
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

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_support::Services::instance();
    fuzz_support::MemoryBound bound(size);
    Budget budget;  // outlives the state, whose closing frees through it
    kesh::LuaStatePtr state = kesh::openGameLuaState();
    lua_State* L = state.get();
    budget.inUse = static_cast<std::size_t>(lua_gc(L, LUA_GCCOUNT, 0)) * 1024 +
                   static_cast<std::size_t>(lua_gc(L, LUA_GCCOUNTB, 0));
    lua_setallocf(L, cappedAllocate, &budget);
    kesh::LuaBinderRegistry::runAll(L);
    if (luaL_dostring(L, kSandbox) != 0) {
        std::abort();
    }
    lua_settop(L, 0);
    lua_sethook(L, countInstructions, LUA_MASKCOUNT, kHookInterval);
    try {
        kesh::loadChunk(L, reinterpret_cast<const char*>(data), size, "fuzz");
        kesh::callChunk(L, "fuzz");
    } catch (const std::runtime_error&) {
    }
    return 0;
}
