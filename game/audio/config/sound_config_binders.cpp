// A slot or a sound field reads as a reference to the configuration's own record, and
// assigning a record to it copies the values in: the configuration never points at an object
// the Lua collector owns. Only SoundsPerformance can be built from a script.
#include <luabind/luabind.hpp>

#include "engine/core/lua/lua_binder_registry.h"
#include "game/audio/config/sound_config.h"

namespace audio {

void registerSoundConfig(lua_State* L) {
    luabind::module(
        L)[luabind::class_<SSoundConfig>("Sound").def_readwrite("id", &SSoundConfig::id)];
}

void registerRandomSoundConfig(lua_State* L) {
    luabind::module(
        L)[luabind::class_<SRandomSoundConfig>("RandomSound")
               .def_readwrite("s1", &SRandomSoundConfig::sound1)
               .def_readwrite("s2", &SRandomSoundConfig::sound2)
               .def_readwrite("s3", &SRandomSoundConfig::sound3)
               .def_readwrite("s4", &SRandomSoundConfig::sound4)
               .def_readwrite("s5", &SRandomSoundConfig::sound5)
               .def_readwrite("maxConcurrentSounds", &SRandomSoundConfig::maxConcurrentSounds)];
}

void registerCombinedSoundConfig(lua_State* L) {
    luabind::module(L)[luabind::class_<SCombinedSoundConfig>("CombinedSound")
                           .def_readwrite("intro", &SCombinedSoundConfig::intro)
                           .def_readwrite("loop", &SCombinedSoundConfig::loop)
                           .def_readwrite("outro", &SCombinedSoundConfig::outro)];
}

void registerSoundsPerformanceConfig(lua_State* L) {
    luabind::class_<SSoundsPerformanceConfig> performance("SoundsPerformance");
    performance.def(luabind::constructor<>());
    for (const RandomSoundSlot& slot : randomSoundSlots()) {
        performance.def_readwrite(slot.name, slot.record);
    }
    for (const CombinedSoundSlot& slot : combinedSoundSlots()) {
        performance.def_readwrite(slot.name, slot.record);
    }
    luabind::module(L)[performance];
}

namespace {

const kesh::LuaBinderRegistration soundRegistration(kesh::kSoundBinder, registerSoundConfig);
const kesh::LuaBinderRegistration randomRegistration(kesh::kRandomSoundBinder,
                                                     registerRandomSoundConfig);
const kesh::LuaBinderRegistration combinedRegistration(kesh::kCombinedSoundBinder,
                                                       registerCombinedSoundConfig);
const kesh::LuaBinderRegistration performanceRegistration(kesh::kSoundsPerformanceBinder,
                                                          registerSoundsPerformanceConfig);

}  // namespace

}  // namespace audio

// Named in the library's link options, so that every program keeps this object file and with
// it the registrations above.
extern "C" void morvale_link_sound_config_binders() {}
