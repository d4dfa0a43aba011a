// Lua chunks through the script host: a fresh game state with the host's types and every
// binder registered, the chunk run as a script of the art folder's "config/". Failures must
// be the host's errors with their text ("Lua error (n): ..."), never an abort. The state is the
// game's own, opened as the game opens it (io and all) over the fuzz art folder, only with
// tighter limits on its memory and on the instructions a chunk may run, so that each input
// ends in milliseconds. The script's result is cast to each record the game reads from a
// script.
#include <lua.hpp>
#include <luabind/luabind.hpp>

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
#include "game/audio/config/sound_config.h"
#include "game/vehicle/params/car_params.h"
#include "game/vehicle/params/physics_params.h"
#include "tests/fuzz/support/fuzz_services.h"
#include "tests/fuzz/support/memory_bound.h"

namespace {

// Tighter than the game's own limits, so that each input runs in milliseconds.
kesh::LuaLimits fuzzLimits() {
    kesh::LuaLimits limits;
    limits.memory = std::size_t(32) << 20;
    limits.instructions = 2000000;
    return limits;
}

// Runs the input as a script whose result is taken as a `Record`. A failure must be the host's
// error or luabind's refusal of the cast, never an abort.
template <class Record>
void castTo(kesh::LuaConfig& host) {
    try {
        const Record record = host.runFileAs<Record>(L"fuzz.lua");
        (void)record;
    } catch (const luabind::cast_failed&) {
    } catch (const std::runtime_error& e) {
        const std::string text = e.what();
        if (text.rfind("Lua error (", 0) != 0 && text != "Lua parse error" &&
            text.rfind("Lua script returned no value", 0) != 0) {
            std::fprintf(stderr, "not a script host error: %s\n", e.what());
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_support::Services& services = fuzz_support::Services::instance();
    static const std::wstring art = kesh::toWide(services.artRoot());
    static const std::wstring scripts = art + L"config/";
    services.writeArt("config/fuzz.lua", std::vector<std::uint8_t>(data, data + size));
    fuzz_support::MemoryBound bound(size);
    kesh::LuaStatePtr state = kesh::openGameLuaState(art, fuzzLimits());
    lua_State* L = state.get();
    kesh::LuaConfig host(L, scripts);
    kesh::LuaBinderRegistry::runAll(L);
    // As the level, the car and the audio system take what their scripts return.
    castTo<physics::params::SCollisions>(host);
    castTo<car::params::SCar>(host);
    castTo<audio::SSoundsPerformanceConfig>(host);
    return 0;
}
