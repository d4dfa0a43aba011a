#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "game/audio/cached_sound.h"
#include "tests/audio_sound/fake_sound.h"

using audio_testing::FakeSound;

namespace {

// Cached sounds over fakes; the process-wide lists must be empty before and after.
class CachedSoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CCachedSound::cacheList.empty());
        ASSERT_TRUE(CCachedSound::residentList.empty());
    }
    void TearDown() override {
        sounds_.clear();
        EXPECT_TRUE(CCachedSound::cacheList.empty()) << "a destroyed sound stayed listed";
        EXPECT_TRUE(CCachedSound::residentList.empty()) << "a destroyed sound stayed listed";
    }

    CCachedSound& add(bool resident = false) {
        fakes_.push_back(boost::shared_ptr<FakeSound>(new FakeSound()));
        sounds_.emplace_back(new CCachedSound(fakes_.back(), resident));
        return *sounds_.back();
    }

    void play(CCachedSound& sound, int times = 1) {
        for (int i = 0; i < times; ++i) {
            sound.play(DMUS_SEGF_SECONDARY, nullptr, nullptr);
        }
    }

    std::vector<boost::shared_ptr<FakeSound>> fakes_;
    std::vector<std::unique_ptr<CCachedSound>> sounds_;
};

}  // namespace

TEST_F(CachedSoundTest, SixtyFifthSoundEvictsTheLeastPlayedSilentOne) {
    for (std::size_t i = 0; i < CCachedSound::kCacheSize; ++i) {
        play(add(), 3);
    }
    // Sounds 10 and 20 fall far behind the others; 10 plays, so 20 is the one to go.
    for (std::size_t i = 0; i < CCachedSound::kCacheSize; ++i) {
        if (i != 10 && i != 20) {
            play(*sounds_[i], 100);
        }
    }
    fakes_[10]->playing = true;
    ASSERT_LT(sounds_[10]->getPlayCount(), sounds_[0]->getPlayCount());
    ASSERT_LT(sounds_[20]->getPlayCount(), sounds_[0]->getPlayCount());

    CCachedSound& newcomer = add();
    play(newcomer);
    EXPECT_TRUE(newcomer.isLoaded());
    EXPECT_FALSE(sounds_[20]->isLoaded());
    EXPECT_EQ(fakes_[20]->unloads, 1);
    EXPECT_TRUE(sounds_[10]->isLoaded());
    EXPECT_EQ(CCachedSound::cacheList.size(), CCachedSound::kCacheSize);
    int unloads = 0;
    for (const auto& fake : fakes_) {
        unloads += fake->unloads;
    }
    EXPECT_EQ(unloads, 1);
}

TEST_F(CachedSoundTest, FullCacheOfPlayingSoundsLeavesTheNewcomerSilent) {
    for (std::size_t i = 0; i < CCachedSound::kCacheSize; ++i) {
        play(add());
        fakes_.back()->playing = true;
    }
    CCachedSound& newcomer = add();
    play(newcomer);
    EXPECT_FALSE(newcomer.isLoaded());
    EXPECT_EQ(fakes_.back()->loads, 0);
    for (const auto& fake : fakes_) {
        EXPECT_EQ(fake->unloads, 0);
    }
    // Once one falls silent the newcomer gets its slot at its next play.
    fakes_[5]->playing = false;
    play(newcomer);
    EXPECT_TRUE(newcomer.isLoaded());
    EXPECT_FALSE(sounds_[5]->isLoaded());
}

TEST_F(CachedSoundTest, NewlyLoadedSoundIsSeededWithTheAverageCount) {
    // One play each leaves every count at 2: (1 + 2 (k - 1)) / k is 1, then the play.
    for (int i = 0; i < 63; ++i) {
        play(add());
        ASSERT_EQ(sounds_.back()->getPlayCount(), 2);
    }
    // 64 more plays of one sound: the counts now sum to 190.
    play(*sounds_[0], 64);
    CCachedSound& newcomer = add();
    play(newcomer);
    EXPECT_EQ(newcomer.getPlayCount(), (1 + 190 + 0) / 64 + 1);
}
