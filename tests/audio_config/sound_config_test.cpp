#include <luabind/luabind.hpp>

#include <string>

#include "game/audio/config/sound_config.h"
#include "tests/core_lua/lua_fixture.h"

using audio::SCombinedSoundConfig;
using audio::SRandomSoundConfig;
using audio::SSoundsPerformanceConfig;

typedef testing_lua::LuaTest SoundConfig;

namespace {

const char* const kRandomNames[] = {
    "buildingCrash", "tyreSlide", "beep", "z1",  "z2",  "z3",  "z4",  "z5", "z6", "z7", "z8", "z9",
    "z10",           "z11",       "z12",  "z13", "z14", "z15", "z16", "z17"};
const char* const kCombinedNames[] = {"carEngine",   "carEngineHi", "carEngineLo",
                                      "carEngineNo", "video01",     "video02",
                                      "video03",     "video04",     "video05"};

bool inside(const void* pointer, const SSoundsPerformanceConfig& config) {
    const char* begin = reinterpret_cast<const char*>(&config);
    const char* at = static_cast<const char*>(pointer);
    return at >= begin && at < begin + sizeof(config);
}

// The tables name every slot in order, and every reference leads into this very object.
void expectOwnSlots(const SSoundsPerformanceConfig& config) {
    ASSERT_EQ(config.randomSoundTable.size(), 20u);
    ASSERT_EQ(config.combinedSoundTable.size(), 9u);
    for (std::size_t i = 0; i < 20; ++i) {
        const audio::SRandomSoundEntry& entry = config.randomSoundTable[i];
        EXPECT_EQ(entry.name, kRandomNames[i]);
        EXPECT_EQ(entry.config, &(config.*audio::randomSoundSlots()[i].record));
        EXPECT_EQ(config.*audio::randomSoundSlots()[i].reference, entry.config);
        EXPECT_EQ(entry.config->s3, &entry.config->sound3);
    }
    for (std::size_t i = 0; i < 9; ++i) {
        const audio::SCombinedSoundEntry& entry = config.combinedSoundTable[i];
        EXPECT_EQ(entry.name, kCombinedNames[i]);
        EXPECT_TRUE(inside(entry.config, config)) << entry.name;
        EXPECT_EQ(config.*audio::combinedSoundSlots()[i].reference, entry.config);
    }
    EXPECT_EQ(config.buildingCrash, &config.buildingCrashRecord);
    EXPECT_EQ(config.z17Ref, &config.z17);
    EXPECT_EQ(config.video05, &config.video05Record);
}

}  // namespace

TEST_F(SoundConfig, UntouchedPerformanceHasNoSounds) {
    writeScript("audio.lua", "return SoundsPerformance()\n");
    const SSoundsPerformanceConfig config = runAndCollect<SSoundsPerformanceConfig>("audio.lua");
    expectOwnSlots(config);
    for (const audio::SRandomSoundEntry& entry : config.randomSoundTable) {
        EXPECT_EQ(entry.config->maxConcurrentSounds, 3);
        for (const audio::SSoundConfig* sound :
             {entry.config->s1, entry.config->s2, entry.config->s3, entry.config->s4,
              entry.config->s5}) {
            EXPECT_TRUE(sound->id.id.empty());
        }
    }
    for (const audio::SCombinedSoundEntry& entry : config.combinedSoundTable) {
        EXPECT_TRUE(entry.config->intro.id.id.empty() && entry.config->loop.id.id.empty() &&
                    entry.config->outro.id.id.empty());
    }
}

TEST_F(SoundConfig, ScriptFillsSlotsInPlace) {
    writeScript("audio.lua",
                "local p = SoundsPerformance()\n"
                "p.z5.s3.id = res('z5.wav')\n"
                "p.buildingCrash.s1.id = res('crash.wav')\n"
                "p.beep.maxConcurrentSounds = 0\n"
                "p.carEngine.loop.id = res('engine.wav')\n"
                "p.video02.intro.id = res('v2.wav')\n"
                "assert(p.z5.s3.id.id == 'z5.wav')\n"
                "return p\n");
    const SSoundsPerformanceConfig config = runAndCollect<SSoundsPerformanceConfig>("audio.lua");
    expectOwnSlots(config);
    EXPECT_EQ(config.z5Ref->s3->id.id, "z5.wav");
    EXPECT_TRUE(config.z5.s1->id.id.empty());
    EXPECT_EQ(config.randomSoundTable[0].config->s1->id.id, "crash.wav");
    EXPECT_EQ(config.beep->maxConcurrentSounds, 0);
    EXPECT_EQ(config.combinedSoundTable[0].config->loop.id.id, "engine.wav");
    EXPECT_EQ(config.video02->intro.id.id, "v2.wav");
}

TEST_F(SoundConfig, AssigningRecordsCopiesTheirValues) {
    writeScript("audio.lua",
                "local p = SoundsPerformance()\n"
                "local other = SoundsPerformance()\n"
                "other.tyreSlide.s2.id = res('slide.wav')\n"
                "other.tyreSlide.maxConcurrentSounds = 7\n"
                "other.z1.s1.id = res('one.wav')\n"
                "other.carEngineHi.outro.id = res('hi.wav')\n"
                "p.tyreSlide = other.tyreSlide\n"
                "p.z2.s4 = other.z1.s1\n"
                "p.carEngineLo = other.carEngineHi\n"
                "other.tyreSlide.s2.id = res('changed.wav')\n"
                "other = nil\n"
                "collectgarbage()\n"
                "return p\n");
    const SSoundsPerformanceConfig config = runAndCollect<SSoundsPerformanceConfig>("audio.lua");
    expectOwnSlots(config);
    EXPECT_EQ(config.tyreSlide->s2->id.id, "slide.wav");
    EXPECT_EQ(config.tyreSlide->maxConcurrentSounds, 7);
    EXPECT_EQ(config.z2.s4->id.id, "one.wav");
    EXPECT_EQ(config.carEngineLo->outro.id.id, "hi.wav");
}

TEST_F(SoundConfig, OnlyThePerformanceIsBuiltFromScripts) {
    for (const char* call : {"Sound()", "RandomSound()", "CombinedSound()"}) {
        EXPECT_NE(runSnippet(call), "") << call;
    }
    EXPECT_EQ(runSnippet("local p = SoundsPerformance()"), "");
}

TEST_F(SoundConfig, WrongResultFailsTheCast) {
    writeScript("audio.lua", "return SoundsPerformance().z3\n");
    EXPECT_THROW(config_->runFileAs<SSoundsPerformanceConfig>(L"audio.lua"), luabind::cast_failed);
}

TEST(SoundConfigCopy, CopiesAndAssignmentsKeepTheirOwnSlots) {
    SSoundsPerformanceConfig source;
    source.z9.sound2.id = kesh::ResourceId("nine.wav");
    source.video01Record.loop.id = kesh::ResourceId("video.wav");
    SRandomSoundConfig elsewhere;
    elsewhere.maxConcurrentSounds = 11;
    source.beep = &elsewhere;

    const SSoundsPerformanceConfig copy(source);
    expectOwnSlots(copy);
    EXPECT_EQ(copy.z9.s2->id.id, "nine.wav");
    EXPECT_EQ(copy.video01->loop.id.id, "video.wav");
    EXPECT_EQ(copy.beep->maxConcurrentSounds, 11);

    SSoundsPerformanceConfig assigned;
    assigned = copy;
    expectOwnSlots(assigned);
    EXPECT_EQ(assigned.randomSoundTable[11].config->s2->id.id, "nine.wav");

    SRandomSoundConfig random;
    random.sound4.id = kesh::ResourceId("four.wav");
    SRandomSoundConfig randomCopy;
    randomCopy = random;
    EXPECT_EQ(randomCopy.s4, &randomCopy.sound4);
    EXPECT_EQ(randomCopy.s4->id.id, "four.wav");
}
