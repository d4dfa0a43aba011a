#include <luabind/luabind.hpp>

#include <stdexcept>
#include <string>
#include <vector>

#include "tests/audio_system/audio_system_fixture.h"

using audio_testing::AudioSystemTest;
using audio_testing::count;
using audio_testing::fileOf;
using audio_testing::playedFiles;
using dmusic_test::Call;
using dmusic_test::events;

namespace {

const char* const kScript =
    "local p = SoundsPerformance()\n"
    "p.beep.s1.id = res('beep.wav')\n"
    "p.z1.s1.id = res('z1.wav')\n"
    "p.z1.maxConcurrentSounds = 0\n"
    "p.carEngine.loop.id = res('engine.wav')\n"
    "p.video01.intro.id = res('v1intro.wav')\n"
    "p.video01.loop.id = res('v1loop.wav')\n"
    "p.video01.outro.id = res('v1outro.wav')\n"
    "return p\n";

class AudioSystemRequests : public AudioSystemTest {
protected:
    void SetUp() override {
        AudioSystemTest::SetUp();
        for (const char* name :
             {"beep.wav", "z1.wav", "engine.wav", "v1intro.wav", "v1loop.wav", "v1outro.wav"}) {
            tone(name, 0.3);
        }
        build(kScript);
        dmusic_test::clearEvents();
    }
};

}  // namespace

TEST_F(AudioSystemTest, UntouchedConfigurationGivesSilentSoundsForEveryName) {
    AudioSystem& audio = build("return SoundsPerformance()\n");
    EXPECT_EQ(bank().randomSoundCount(), 20u);
    EXPECT_EQ(bank().combinedSoundCount(), 9u);
    EXPECT_TRUE(bank().getBackground());
    EXPECT_EQ(count(Call::LoadObjectFromFile), 0u) << "setup loaded a sound";
    for (const char* name : {"buildingCrash", "tyreSlide", "beep", "z5", "z17"}) {
        audio.playSound(name);
    }
    for (const char* name : {"carEngine", "carEngineNo", "video01", "video05"}) {
        audio.startSound(name);
    }
    audio.update();
    EXPECT_EQ(count(Call::PlaySegmentEx), 0u);
    EXPECT_FALSE(bank().findCombinedSound("video05")->isPlaying());
}

TEST_F(AudioSystemTest, ScriptFailuresLeaveTheConstructor) {
    EXPECT_THROW(build("return 5\n", false), luabind::cast_failed);
    EXPECT_THROW(build("return SoundsPerformance(\n", false), std::runtime_error);
}

TEST_F(AudioSystemTest, HarmlessBeforeInitAndInitOnlyOnce) {
    AudioSystem& audio = build(
        "local p = SoundsPerformance()\n"
        "p.carEngine.loop.id = res('engine.wav')\n"
        "return p\n",
        false);
    EXPECT_EQ(bank().getEffectsPerformance(), nullptr);
    audio.stopAll();
    audio.setVolume("carEngine", 0.5f);
    audio.setMusicVolume(0.3f);
    audio.setEffectsVolume(0.3f);
    audio.playBackgroundMusic();
    audio.startSound("carEngine");
    audio.update();
    EXPECT_EQ(count(Call::InitAudio), 0u);
    EXPECT_EQ(audio.findSound("carEngine"), nullptr);
    audio.init(nullptr);
    audio.init(nullptr);
    EXPECT_EQ(count(Call::InitAudio), 2u) << "a second init made new performances";
}

TEST_F(AudioSystemRequests, RequestsWaitForUpdateWhichPlaysThenStartsThenStops) {
    AudioSystem& audio = *audio_;
    audio.stopSound("video01");  // nothing plays yet: drained last, after the start below
    audio.startSound("video01");
    audio.playSound("beep");
    EXPECT_EQ(count(Call::PlaySegmentEx), 0u) << "a request acted before the frame";
    audio.update();
    const std::vector<std::string> expected = {"beep.wav", "v1intro.wav", "v1loop.wav",
                                               "v1outro.wav"};
    EXPECT_EQ(playedFiles(), expected);
    EXPECT_EQ(bank().findCombinedSound("video01")->isPlaying(), false);
    EXPECT_EQ(audio.queuedPlays() + audio.queuedStarts() + audio.queuedStops(), 0u);
    // Drained: the next frame does nothing more.
    audio.update();
    EXPECT_EQ(playedFiles().size(), expected.size());
}

TEST_F(AudioSystemRequests, NamesOfTheOtherFamilyOrUnknownDoNothing) {
    AudioSystem& audio = *audio_;
    audio.playSound("carEngine");
    audio.startSound("beep");
    audio.stopSound("beep");
    audio.playSound("noSuchSound");
    audio.playSound("");
    EXPECT_EQ(audio.queuedPlays(), 2u);
    audio.startSound("");
    EXPECT_EQ(audio.queuedStarts(), 2u);
    audio.update();
    EXPECT_EQ(count(Call::PlaySegmentEx), 0u);
    EXPECT_EQ(count(Call::StopEx), 0u);

    // One name asked for three times in a frame plays three times.
    for (int i = 0; i < 3; ++i) {
        audio.playSound("z1");
    }
    audio.update();
    EXPECT_EQ(playedFiles(), std::vector<std::string>(3, "z1.wav"));
}

TEST_F(AudioSystemRequests, DisabledSoundsDropNewRequestsAndHoldQueuedOnes) {
    AudioSystem& audio = *audio_;
    audio.enableSounds(false);
    audio.playSound("beep");
    audio.startSound("carEngine");
    EXPECT_EQ(audio.queuedPlays() + audio.queuedStarts(), 0u);
    audio.enableSounds(true);
    audio.update();
    EXPECT_EQ(count(Call::PlaySegmentEx), 0u);

    audio.playSound("beep");
    audio.enableSounds(false);
    audio.update();
    EXPECT_EQ(count(Call::PlaySegmentEx), 0u);
    EXPECT_EQ(audio.queuedPlays(), 1u);
    audio.enableSounds(true);
    audio.update();
    EXPECT_EQ(playedFiles(), std::vector<std::string>{"beep.wav"});
}

TEST_F(AudioSystemRequests, StopAllActsAtOnceAndLeavesTheQueues) {
    AudioSystem& audio = *audio_;
    tone("battle1.wav", 0.5);
    audio.startSound("carEngine");
    audio.playSound("z1");
    audio.update();
    audio.playBackgroundMusic();
    ASSERT_TRUE(bank().findCombinedSound("carEngine")->isPlaying());
    ASSERT_TRUE(bank().findRandomSound("z1")->isPlaying());
    ASSERT_TRUE(bank().getBackground()->isPlaying());
    audio.playSound("beep");
    audio.stopAll();
    EXPECT_FALSE(bank().findCombinedSound("carEngine")->isPlaying());
    EXPECT_FALSE(bank().findRandomSound("z1")->isPlaying());
    EXPECT_FALSE(bank().getBackground()->isPlaying());
    EXPECT_EQ(audio.queuedPlays(), 1u);
}

TEST_F(AudioSystemRequests, BackgroundMusicNeedsTheMusicSwitchAndLoops) {
    AudioSystem& audio = *audio_;
    tone("battle1.wav", 0.2);
    audio.enableMusic(false);
    audio.playBackgroundMusic();
    EXPECT_EQ(count(Call::PlaySegmentEx), 0u);
    audio.enableMusic(true);
    audio.playBackgroundMusic();
    const auto plays = events(Call::PlaySegmentEx);
    ASSERT_EQ(plays.size(), 1u);
    EXPECT_EQ(fileOf(plays[0].object), "battle1.wav");
    EXPECT_EQ(plays[0].performance, music());
    EXPECT_EQ(plays[0].flags, 0x80u);
    dmusic_test::advance(0.5);
    EXPECT_TRUE(bank().getBackground()->isPlaying());
}

TEST_F(AudioSystemRequests, MissingBackgroundMusicIsLoggedNotThrown) {
    testing_lua::loggedLines().clear();
    EXPECT_NO_THROW(audio_->playBackgroundMusic());
    EXPECT_NO_THROW(audio_->playBackgroundMusic());
    EXPECT_EQ(testing_lua::linesOf("resource").size(), 1u);
}

TEST_F(AudioSystemRequests, SetVolumeReachesCombinedSoundsWhileSoundsAreOn) {
    AudioSystem& audio = *audio_;
    audio.setVolume("carEngine", 0.5f);
    ASSERT_EQ(count(Call::SetPathVolume), 1u);
    EXPECT_EQ(events(Call::SetPathVolume)[0].millibels, -2062);
    // Random sounds take no volume; unknown names are ignored.
    audio.setVolume("beep", 0.5f);
    audio.setVolume("nothing", 0.5f);
    audio.enableSounds(false);
    audio.setVolume("carEngine", 0.1f);
    EXPECT_EQ(count(Call::SetPathVolume), 1u);

    // The same through the sound found once.
    CSoundBase* engine = audio.findSound("carEngine");
    ASSERT_EQ(engine, bank().findCombinedSound("carEngine").get());
    EXPECT_EQ(audio.findSound("beep"), bank().findRandomSound("beep").get());
    EXPECT_EQ(audio.findSound("nothing"), nullptr);
    audio.setVolume(engine, 0.1f);
    EXPECT_EQ(count(Call::SetPathVolume), 1u);
    audio.enableSounds(true);
    audio.setVolume(engine, 0.5f);
    audio.setVolume(nullptr, 0.5f);
    ASSERT_EQ(count(Call::SetPathVolume), 2u);
    EXPECT_EQ(events(Call::SetPathVolume)[1].millibels, -2062);
}
