// Which sound files stand behind the game's sound names, as "audio.lua" configures them.
// Every id names a file relative to the music folder; an empty id means no sound.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/resource/resource_id.h"

struct lua_State;

namespace audio {

struct SSoundConfig {
    kesh::ResourceId id;
};

// Up to five alternatives, played at random. Each reference s1..s5 refers to the record's
// own embedded sound, also in copies.
struct SRandomSoundConfig {
    SRandomSoundConfig();
    SRandomSoundConfig(const SRandomSoundConfig& other);
    SRandomSoundConfig& operator=(const SRandomSoundConfig& other);

    SSoundConfig sound1;
    SSoundConfig* s1;
    SSoundConfig sound2;
    SSoundConfig* s2;
    SSoundConfig sound3;
    SSoundConfig* s3;
    SSoundConfig sound4;
    SSoundConfig* s4;
    SSoundConfig sound5;
    SSoundConfig* s5;
    std::int32_t maxConcurrentSounds;  // 0: no limit
};

// An intro, a loop and an outro.
struct SCombinedSoundConfig {
    SSoundConfig intro;
    SSoundConfig loop;
    SSoundConfig outro;
};

struct SRandomSoundEntry {
    std::string name;
    SRandomSoundConfig* config;
};

struct SCombinedSoundEntry {
    std::string name;
    SCombinedSoundConfig* config;
};

// Every named slot of the game's sounds. Each reference and every entry of the two name
// tables refers to this object's own slot records, also in copies, so a copy never depends
// on the object it was made from (in particular a script's).
struct SSoundsPerformanceConfig {
    SSoundsPerformanceConfig();
    SSoundsPerformanceConfig(const SSoundsPerformanceConfig& other);
    SSoundsPerformanceConfig& operator=(const SSoundsPerformanceConfig& other);

    SRandomSoundConfig buildingCrashRecord;
    SRandomSoundConfig* buildingCrash;
    SRandomSoundConfig tyreSlideRecord;
    SRandomSoundConfig* tyreSlide;
    SRandomSoundConfig beepRecord;
    SRandomSoundConfig* beep;
    // Scripts reach z1..z17 as the embedded records; the references exist alike.
    SRandomSoundConfig z1, z2, z3, z4, z5, z6, z7, z8, z9, z10, z11, z12, z13, z14, z15, z16, z17;
    SRandomSoundConfig *z1Ref, *z2Ref, *z3Ref, *z4Ref, *z5Ref, *z6Ref, *z7Ref, *z8Ref, *z9Ref,
        *z10Ref, *z11Ref, *z12Ref, *z13Ref, *z14Ref, *z15Ref, *z16Ref, *z17Ref;

    SCombinedSoundConfig carEngineRecord;
    SCombinedSoundConfig* carEngine;
    SCombinedSoundConfig carEngineHiRecord;
    SCombinedSoundConfig* carEngineHi;
    SCombinedSoundConfig carEngineLoRecord;
    SCombinedSoundConfig* carEngineLo;
    SCombinedSoundConfig carEngineNoRecord;
    SCombinedSoundConfig* carEngineNo;
    SCombinedSoundConfig video01Record;
    SCombinedSoundConfig* video01;
    SCombinedSoundConfig video02Record;
    SCombinedSoundConfig* video02;
    SCombinedSoundConfig video03Record;
    SCombinedSoundConfig* video03;
    SCombinedSoundConfig video04Record;
    SCombinedSoundConfig* video04;
    SCombinedSoundConfig video05Record;
    SCombinedSoundConfig* video05;

    // The order in which the sound bank builds the sounds: "buildingCrash", "tyreSlide",
    // "beep", "z1".."z17"; then "carEngine", "carEngineHi", "carEngineLo", "carEngineNo",
    // "video01".."video05".
    std::vector<SRandomSoundEntry> randomSoundTable;
    std::vector<SCombinedSoundEntry> combinedSoundTable;

private:
    void copyFrom(const SSoundsPerformanceConfig& other);
};

// One slot of SSoundsPerformanceConfig: its Lua name, its embedded record and its reference.
struct RandomSoundSlot {
    const char* name;
    SRandomSoundConfig SSoundsPerformanceConfig::*record;
    SRandomSoundConfig* SSoundsPerformanceConfig::*reference;
};

struct CombinedSoundSlot {
    const char* name;
    SCombinedSoundConfig SSoundsPerformanceConfig::*record;
    SCombinedSoundConfig* SSoundsPerformanceConfig::*reference;
};

// The slots in table order.
const std::vector<RandomSoundSlot>& randomSoundSlots();
const std::vector<CombinedSoundSlot>& combinedSoundSlots();

// The binders of Sound, RandomSound, CombinedSound and SoundsPerformance, run in this order.
void registerSoundConfig(lua_State* L);
void registerRandomSoundConfig(lua_State* L);
void registerCombinedSoundConfig(lua_State* L);
void registerSoundsPerformanceConfig(lua_State* L);

}  // namespace audio
