#include "game/audio/config/sound_config.h"

namespace audio {

SRandomSoundConfig::SRandomSoundConfig()
    : s1(&sound1), s2(&sound2), s3(&sound3), s4(&sound4), s5(&sound5), maxConcurrentSounds(3) {}

SRandomSoundConfig::SRandomSoundConfig(const SRandomSoundConfig& other)
    : sound1(*other.s1),
      s1(&sound1),
      sound2(*other.s2),
      s2(&sound2),
      sound3(*other.s3),
      s3(&sound3),
      sound4(*other.s4),
      s4(&sound4),
      sound5(*other.s5),
      s5(&sound5),
      maxConcurrentSounds(other.maxConcurrentSounds) {}

SRandomSoundConfig& SRandomSoundConfig::operator=(const SRandomSoundConfig& other) {
    // Values first: other's references may point into this very object.
    const SSoundConfig values[5] = {*other.s1, *other.s2, *other.s3, *other.s4, *other.s5};
    sound1 = values[0];
    sound2 = values[1];
    sound3 = values[2];
    sound4 = values[3];
    sound5 = values[4];
    s1 = &sound1;
    s2 = &sound2;
    s3 = &sound3;
    s4 = &sound4;
    s5 = &sound5;
    maxConcurrentSounds = other.maxConcurrentSounds;
    return *this;
}

typedef SSoundsPerformanceConfig Config;

const std::vector<RandomSoundSlot>& randomSoundSlots() {
    static const std::vector<RandomSoundSlot> slots = {
        {"buildingCrash", &Config::buildingCrashRecord, &Config::buildingCrash},
        {"tyreSlide", &Config::tyreSlideRecord, &Config::tyreSlide},
        {"beep", &Config::beepRecord, &Config::beep},
        {"z1", &Config::z1, &Config::z1Ref},
        {"z2", &Config::z2, &Config::z2Ref},
        {"z3", &Config::z3, &Config::z3Ref},
        {"z4", &Config::z4, &Config::z4Ref},
        {"z5", &Config::z5, &Config::z5Ref},
        {"z6", &Config::z6, &Config::z6Ref},
        {"z7", &Config::z7, &Config::z7Ref},
        {"z8", &Config::z8, &Config::z8Ref},
        {"z9", &Config::z9, &Config::z9Ref},
        {"z10", &Config::z10, &Config::z10Ref},
        {"z11", &Config::z11, &Config::z11Ref},
        {"z12", &Config::z12, &Config::z12Ref},
        {"z13", &Config::z13, &Config::z13Ref},
        {"z14", &Config::z14, &Config::z14Ref},
        {"z15", &Config::z15, &Config::z15Ref},
        {"z16", &Config::z16, &Config::z16Ref},
        {"z17", &Config::z17, &Config::z17Ref},
    };
    return slots;
}

const std::vector<CombinedSoundSlot>& combinedSoundSlots() {
    static const std::vector<CombinedSoundSlot> slots = {
        {"carEngine", &Config::carEngineRecord, &Config::carEngine},
        {"carEngineHi", &Config::carEngineHiRecord, &Config::carEngineHi},
        {"carEngineLo", &Config::carEngineLoRecord, &Config::carEngineLo},
        {"carEngineNo", &Config::carEngineNoRecord, &Config::carEngineNo},
        {"video01", &Config::video01Record, &Config::video01},
        {"video02", &Config::video02Record, &Config::video02},
        {"video03", &Config::video03Record, &Config::video03},
        {"video04", &Config::video04Record, &Config::video04},
        {"video05", &Config::video05Record, &Config::video05},
    };
    return slots;
}

SSoundsPerformanceConfig::SSoundsPerformanceConfig() {
    for (const RandomSoundSlot& slot : randomSoundSlots()) {
        this->*slot.reference = &(this->*slot.record);
        randomSoundTable.push_back(SRandomSoundEntry{slot.name, &(this->*slot.record)});
    }
    for (const CombinedSoundSlot& slot : combinedSoundSlots()) {
        this->*slot.reference = &(this->*slot.record);
        combinedSoundTable.push_back(SCombinedSoundEntry{slot.name, &(this->*slot.record)});
    }
}

SSoundsPerformanceConfig::SSoundsPerformanceConfig(const SSoundsPerformanceConfig& other)
    : SSoundsPerformanceConfig() {
    copyFrom(other);
}

SSoundsPerformanceConfig& SSoundsPerformanceConfig::operator=(
    const SSoundsPerformanceConfig& other) {
    if (this != &other) {
        copyFrom(other);
    }
    return *this;
}

void SSoundsPerformanceConfig::copyFrom(const SSoundsPerformanceConfig& other) {
    // The values the source's references refer to become this object's own; references and
    // name tables keep pointing at this object's slots.
    for (const RandomSoundSlot& slot : randomSoundSlots()) {
        this->*slot.record = *(other.*slot.reference);
        this->*slot.reference = &(this->*slot.record);
    }
    for (const CombinedSoundSlot& slot : combinedSoundSlots()) {
        this->*slot.record = *(other.*slot.reference);
        this->*slot.reference = &(this->*slot.record);
    }
}

}  // namespace audio
