#include <memory>
#include <string>

#include "game/audio/cached_sound.h"
#include "game/audio/combined_sound.h"
#include "game/audio/performance.h"
#include "game/audio/sound.h"
#include "game/audio/sound_with_audiopath.h"
#include "tests/audio_support/audio_fixture.h"
#include "tests/core_lua/lua_fixture.h"

using audio_testing::AudioTest;
using audio_testing::count;
using audio_testing::fileOf;
using audio_testing::playedFiles;
using dmusic_test::advance;
using dmusic_test::Call;
using dmusic_test::events;

namespace {

class SoundChain : public AudioTest {
protected:
    void SetUp() override {
        AudioTest::SetUp();
        performance_.reset(new CPerformance(nullptr));
        dmusic_test::clearEvents();
    }
    void TearDown() override {
        performance_.reset();
        AudioTest::TearDown();
    }

    SoundPtr leaf(const std::string& file, bool loop = false) {
        return SoundPtr(new CSound(file, performance_.get(), loop, *cache_));
    }
    // The chain the bank builds for a configured sound.
    SoundPtr chain(const std::string& file, bool loop) {
        SoundPtr withPath(new CSoundWithAudiopath(leaf(file, loop), performance_.get()));
        return SoundPtr(new CCachedSound(withPath, loop));
    }

    std::unique_ptr<CPerformance> performance_;
};

}  // namespace

TEST_F(SoundChain, LoadDownloadsOnceAndLoopsTheWholeFile) {
    tone("loop.wav", 0.2);
    SoundPtr sound = leaf("loop.wav", true);
    EXPECT_EQ(sound->play(0x80, nullptr, nullptr), nullptr) << "played before loading";
    sound->load();
    sound->load();
    EXPECT_EQ(count(Call::LoadObjectFromFile), 1u);
    EXPECT_EQ(count(Call::Download), 1u);
    const auto points = events(Call::SetLoopPoints);
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].start, 0);
    EXPECT_EQ(points[0].end, 0);
    const auto repeats = events(Call::SetRepeats);
    ASSERT_EQ(repeats.size(), 1u);
    EXPECT_EQ(repeats[0].value, DMUS_SEG_REPEAT_INFINITE);

    ASSERT_NE(sound->play(0x80, nullptr, nullptr), nullptr);
    advance(0.5);
    EXPECT_TRUE(sound->isPlaying()) << "a looping sound ended";
    sound->stop();
    EXPECT_FALSE(sound->isPlaying());
    sound->unload();
    EXPECT_EQ(count(Call::Unload), 1u);
    EXPECT_EQ(cache_->size(), 0u);
}

TEST_F(SoundChain, MissingFileIsReportedOnceAndStaysSilent) {
    testing_lua::loggedLines();
    testing_lua::loggedLines().clear();
    SoundPtr sound = chain("absent.wav", false);
    EXPECT_NO_THROW(sound->play(0x80, nullptr, nullptr));
    EXPECT_NO_THROW(sound->play(0x80, nullptr, nullptr));
    EXPECT_FALSE(sound->isPlaying());
    EXPECT_TRUE(events(Call::PlaySegmentEx).empty());
    const auto lines = testing_lua::linesOf("resource");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("LoadObjectFromFile failed - path = " + sounds_.path() + "absent.wav"),
              std::string::npos)
        << lines[0];
}

TEST_F(SoundChain, UnloadingOneUserOfASharedFileLeavesTheOtherPlaying) {
    tone("shared.wav", 0.5);
    SoundPtr first = chain("shared.wav", true);
    SoundPtr second = chain("shared.wav", false);
    first->play(0x80, nullptr, nullptr);
    second->play(0x80, nullptr, nullptr);
    EXPECT_EQ(count(Call::LoadObjectFromFile), 1u);
    EXPECT_EQ(cache_->users("shared.wav"), 2);
    // The one-shot's chain goes away (an eviction unloads it the same way).
    second->unload();
    second.reset();
    advance(0.1);
    EXPECT_TRUE(first->isPlaying());
    EXPECT_EQ(cache_->users("shared.wav"), 1);
}

TEST_F(SoundChain, CombinedLoopQueuesBehindTheIntroState) {
    tone("intro.wav", 0.2);
    tone("loop.wav", 0.1);
    tone("outro.wav", 0.1);
    CCombinedSound combined(chain("intro.wav", false), chain("loop.wav", true),
                            chain("outro.wav", false));
    combined.play(0x80, nullptr, nullptr);
    const auto plays = events(Call::PlaySegmentEx);
    ASSERT_EQ(plays.size(), 2u);
    EXPECT_EQ(fileOf(plays[0].object), "intro.wav");
    EXPECT_EQ(fileOf(plays[1].object), "loop.wav");
    EXPECT_EQ(plays[1].flags, 0x180u);
    EXPECT_EQ(plays[1].from, plays[0].state);
    EXPECT_FALSE(combined.isPlaying()) << "the loop started over the intro";
    advance(0.3);
    EXPECT_TRUE(combined.isPlaying());
    advance(1.0);
    EXPECT_TRUE(combined.isPlaying());
    combined.stop();
    EXPECT_FALSE(combined.isPlaying());
    EXPECT_EQ(playedFiles().back(), "outro.wav");
}
