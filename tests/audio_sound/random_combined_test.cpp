#include <gtest/gtest.h>

#include <cstdlib>

#include "game/audio/combined_sound.h"
#include "game/audio/random_sound.h"
#include "tests/audio_sound/fake_sound.h"

using audio_testing::FakeSound;

namespace {

typedef boost::shared_ptr<FakeSound> FakePtr;

struct RandomFixture {
    RandomFixture(int children, int limit) {
        for (int i = 0; i < children; ++i) {
            fakes.push_back(FakePtr(new FakeSound()));
            sound.addChild(fakes.back());
        }
        sound.setMaxConcurrentSounds(limit);
    }
    std::size_t plays() const {
        std::size_t total = 0;
        for (const FakePtr& fake : fakes) {
            total += fake->plays.size();
        }
        return total;
    }
    std::vector<FakePtr> fakes;
    CRandomSound sound;
};

}  // namespace

TEST(RandomSound, LimitCountsPlayingChildren) {
    RandomFixture random(3, 2);
    random.fakes[0]->playing = true;
    random.fakes[2]->playing = true;
    EXPECT_EQ(random.sound.countPlaying(), 2);
    EXPECT_EQ(random.sound.play(0x80, nullptr, nullptr), nullptr);
    EXPECT_EQ(random.plays(), 0u);
    random.fakes[2]->playing = false;
    random.sound.play(0x80, nullptr, nullptr);
    EXPECT_EQ(random.plays(), 1u);
}

TEST(RandomSound, NoLimitAlwaysPlaysAndPicksEveryChildInTime) {
    RandomFixture random(3, 0);
    for (const FakePtr& fake : random.fakes) {
        fake->playing = true;
    }
    std::srand(7);
    for (int i = 0; i < 200; ++i) {
        random.sound.play(0x80, nullptr, nullptr);
    }
    EXPECT_EQ(random.plays(), 200u);
    for (const FakePtr& fake : random.fakes) {
        EXPECT_FALSE(fake->plays.empty());
        EXPECT_EQ(fake->plays[0].flags, 0x80u);
    }
}

TEST(RandomSound, WithoutChildrenNeverPlays) {
    CRandomSound sound;
    sound.addChild(SoundPtr());  // an absent sound is no child
    EXPECT_TRUE(sound.getChildren().empty());
    EXPECT_EQ(sound.play(0x80, nullptr, nullptr), nullptr);
    EXPECT_FALSE(sound.isPlaying());
    sound.stop();
}

namespace {

struct CombinedFixture {
    CombinedFixture(bool withIntro = true)
        : intro(withIntro ? new FakeSound() : nullptr),
          loop(new FakeSound()),
          outro(new FakeSound()),
          sound(intro, loop, outro) {}
    FakePtr intro, loop, outro;
    CCombinedSound sound;
};

}  // namespace

TEST(CombinedSound, LoopStartsQueuedBehindTheIntroOnlyForTheFirstUser) {
    CombinedFixture combined;
    EXPECT_EQ(combined.sound.play(0, nullptr, nullptr), nullptr);
    combined.sound.play(0, nullptr, nullptr);
    ASSERT_EQ(combined.intro->plays.size(), 2u);
    EXPECT_EQ(combined.intro->plays[0].flags, 0x80u);
    ASSERT_EQ(combined.loop->plays.size(), 1u);
    EXPECT_EQ(combined.loop->plays[0].flags, 0x180u);
    EXPECT_EQ(combined.loop->plays[0].audioPath, nullptr);
    EXPECT_TRUE(combined.outro->plays.empty());
    EXPECT_EQ(combined.sound.getPlayCount(), 2);
}

TEST(CombinedSound, LoopStopsWithTheLastUserAndEveryStopPlaysTheOutro) {
    CombinedFixture combined;
    combined.sound.play(0, nullptr, nullptr);
    combined.sound.play(0, nullptr, nullptr);
    combined.sound.stop();
    EXPECT_EQ(combined.loop->stops, 0);
    EXPECT_EQ(combined.outro->plays.size(), 1u);
    EXPECT_EQ(combined.outro->plays[0].flags, 0x80u);
    EXPECT_EQ(combined.intro->stops, 1);
    combined.sound.stop();
    EXPECT_EQ(combined.loop->stops, 1);
    EXPECT_EQ(combined.outro->plays.size(), 2u);
    EXPECT_EQ(combined.sound.getPlayCount(), 0);
}

TEST(CombinedSound, StopWithoutUsersDoesNothing) {
    CombinedFixture combined;
    combined.sound.stop();
    combined.sound.stop();
    EXPECT_EQ(combined.sound.getPlayCount(), 0);
    EXPECT_TRUE(combined.outro->plays.empty());
    EXPECT_EQ(combined.loop->stops, 0);
    // So the next start still starts the loop (the second video after the first was
    // stopped twice).
    combined.sound.play(0, nullptr, nullptr);
    EXPECT_EQ(combined.loop->plays.size(), 1u);
}

TEST(CombinedSound, WithoutIntroTheLoopStartsFromNothing) {
    CombinedFixture combined(false);
    combined.sound.play(0, nullptr, nullptr);
    ASSERT_EQ(combined.loop->plays.size(), 1u);
    EXPECT_EQ(combined.loop->plays[0].from, nullptr);
}
