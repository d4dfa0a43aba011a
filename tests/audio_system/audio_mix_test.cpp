#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game/audio/config/sound_config.h"
#include "tests/audio_system/audio_system_fixture.h"

using audio_testing::AudioSystemTest;
using dmusic_test::Call;

namespace {

// Left-channel RMS of what the performance renders over the next `seconds`.
double levelOver(IDirectMusicPerformance8* performance, double seconds) {
    dmusic_test::takeCapture(performance);
    dmusic_test::advance(seconds);
    const std::vector<float> mix = dmusic_test::takeCapture(performance);
    double sum = 0.0;
    const std::size_t frames = mix.size() / 2;
    for (std::size_t i = 0; i < frames; ++i) {
        sum += static_cast<double>(mix[i * 2]) * mix[i * 2];
    }
    return frames == 0 ? 0.0 : std::sqrt(sum / frames);
}

// The level once a change has settled: the output may have mixed a short stretch ahead.
double settledLevel(IDirectMusicPerformance8* performance) {
    levelOver(performance, 0.2);
    return levelOver(performance, 1.0);
}

}  // namespace

TEST_F(AudioSystemTest, LoopbackMixFollowsVolumeAndFallsSilentAfterStopAll) {
    tone("engine.wav", 0.25, 0.5);
    AudioSystem& audio = build(
        "local p = SoundsPerformance()\n"
        "p.carEngine.loop.id = res('engine.wav')\n"
        "return p\n");
    ASSERT_TRUE(dmusic_test::usesLoopback(effects()));
    EXPECT_LT(levelOver(effects(), 0.2), 1e-6) << "sound before any request";

    audio.startSound("carEngine");
    EXPECT_LT(levelOver(effects(), 0.2), 1e-6) << "a request sounded before the frame";
    audio.update();
    const double full = settledLevel(effects());
    // A sine of amplitude 0.5 has an RMS of about 0.35; the mixer may scale it a little.
    EXPECT_GT(full, 0.1) << "the engine is not audible";

    audio.setVolume("carEngine", 0.5f);
    const double half = settledLevel(effects());
    // 0.5 is -2062 mB, a gain of 10^(-2062 / 2000).
    EXPECT_NEAR(half / full, std::pow(10.0, -2062.0 / 2000.0), 0.005);

    audio.setVolume("carEngine", 1.0f);
    audio.setEffectsVolume(0.125f);
    EXPECT_NEAR(settledLevel(effects()) / full, std::pow(10.0, -5000.0 / 2000.0), 0.001);

    audio.stopAll();
    // The output limiter's look-ahead lets out its last millisecond first.
    levelOver(effects(), 0.01);
    EXPECT_LT(levelOver(effects(), 0.5), 1e-6) << "sound after stopAll";
    EXPECT_FALSE(bank().findCombinedSound("carEngine")->isPlaying());
}

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Every sound file a configuration names.
std::set<std::string> filesOf(const audio::SSoundsPerformanceConfig& config) {
    std::set<std::string> files;
    for (const audio::SRandomSoundEntry& entry : config.randomSoundTable) {
        for (const audio::SSoundConfig* sound :
             {entry.config->s1, entry.config->s2, entry.config->s3, entry.config->s4,
              entry.config->s5}) {
            if (!sound->id.id.empty()) {
                files.insert(sound->id.id);
            }
        }
    }
    for (const audio::SCombinedSoundEntry& entry : config.combinedSoundTable) {
        for (const audio::SSoundConfig* sound :
             {&entry.config->intro, &entry.config->loop, &entry.config->outro}) {
            if (!sound->id.id.empty()) {
                files.insert(sound->id.id);
            }
        }
    }
    return files;
}

}  // namespace

TEST_F(AudioSystemTest, GamesOwnConfigurationPlaysEveryNameItUses) {
    const std::string script = readFile(std::string(MORVALE_SOURCE_ROOT) + "/art/config/audio.lua");
    ASSERT_FALSE(script.empty()) << "art/config/audio.lua is missing";
    writeScript("audio.lua", script);
    const audio::SSoundsPerformanceConfig config =
        config_->runFileAs<audio::SSoundsPerformanceConfig>(L"audio.lua");
    const std::set<std::string> files = filesOf(config);
    for (const std::string& file : files) {
        tone(file, 0.3, 0.3);
    }
    tone("battle1.wav", 0.3, 0.3);

    testing_lua::loggedLines().clear();
    AudioSystem& audio = build(script);

    // Every name the game asks for is configured with at least one file.
    const std::vector<std::string> played = {"buildingCrash",
                                             "tyreSlide",
                                             "beep",
                                             "z1",
                                             "z2",
                                             "z3",
                                             "z4",
                                             "z5",
                                             "z6",
                                             "z7",
                                             "z8",
                                             "z9",
                                             "z10",
                                             "z11",
                                             "z12",
                                             "z13",
                                             "z14",
                                             "z15",
                                             "z16",
                                             "z17"};
    const std::vector<std::string> started = {"carEngineNo", "carEngineLo", "carEngine",
                                              "carEngineHi", "video01",     "video02"};
    for (const std::string& name : played) {
        audio.playSound(name);
    }
    for (const std::string& name : started) {
        audio.startSound(name);
        audio.setVolume(name, 0.0f);
    }
    audio.enableMusic(true);
    audio.playBackgroundMusic();
    audio.update();
    EXPECT_TRUE(testing_lua::linesOf("resource").empty()) << testing_lua::linesOf("resource")[0];
    std::set<std::string> heard;
    for (const dmusic_test::Event& event : dmusic_test::events(Call::PlaySegmentEx)) {
        heard.insert(audio_testing::fileOf(event.object));
    }
    for (const std::string& name : played) {
        EXPECT_TRUE(bank().findRandomSound(name)->isPlaying()) << name;
    }
    for (const std::string& name : started) {
        EXPECT_TRUE(bank().findCombinedSound(name)->isPlaying()) << name;
    }
    EXPECT_EQ(heard.count("battle1.wav"), 1u);
    EXPECT_GE(heard.size(), played.size() + started.size());
    EXPECT_GT(levelOver(effects(), 0.2), 0.01) << "the one-shots are not audible";

    audio.stopAll();
    audio.update();
    dmusic_test::advance(0.5);
    EXPECT_LT(levelOver(effects(), 0.2), 1e-6);
    EXPECT_LT(levelOver(music(), 0.2), 1e-6);
}
