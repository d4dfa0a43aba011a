#include "fixture.h"

#include <cmath>

namespace dmusic_testing {
namespace {

using dmusic_test::advance;
using dmusic_test::takeCapture;

constexpr std::size_t kRate = dmusic_test::kLoopbackRate;
// A full-scale sine of amplitude 0.5 has an RMS of 0.5 / sqrt(2).
const double kFullRms = 0.5 / std::sqrt(2.0);

// The longest run of frames in [first, last) whose left sample stays below `threshold`.
std::size_t longestQuietRun(const std::vector<float>& stereo, float threshold, std::size_t first,
                            std::size_t last) {
    std::size_t longest = 0;
    std::size_t run = 0;
    for (std::size_t i = first; i < last && i < stereo.size() / 2; ++i) {
        run = std::fabs(stereo[i * 2]) < threshold ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

class Mix : public DmusicTest {
protected:
    void SetUp() override {
        DmusicTest::SetUp();
        dmusic_test::setCapture(true);
        performance_ = makePerformance();
    }

    IDirectMusicSegment8* tone(const std::string& name, double seconds, double frequency = 441.0) {
        Tone t;
        t.seconds = seconds;
        t.frequency = frequency;
        return loadTone(performance_, name, t);
    }

    // Renders `seconds` and returns the level of both channels over the middle of it.
    std::pair<double, double> level(double seconds) {
        takeCapture(performance_);
        advance(seconds);
        const std::vector<float> mix = takeCapture(performance_);
        const std::size_t frames = mix.size() / 2;
        return {rms(mix, 0, frames / 4, frames * 3 / 4), rms(mix, 1, frames / 4, frames * 3 / 4)};
    }

    void setPathVolume(IDirectMusicAudioPath* path, LONG millibels) {
        ASSERT_EQ(path->SetVolume(millibels, 0), S_OK);
    }

    void setMaster(LONG millibels) {
        ASSERT_EQ(performance_->SetGlobalParam(GUID_PerfMasterVolume, &millibels, sizeof millibels),
                  S_OK);
    }

    IDirectMusicPerformance8* performance_ = nullptr;
};

TEST_F(Mix, ASoundIsAudibleAtFullLevelOnBothChannelsAndSilentAfterStop) {
    IDirectMusicSegment8* segment = tone("level.wav", 2.0);
    EXPECT_EQ(level(0.1).first, 0.0);
    play(performance_, segment);
    const auto [left, right] = level(0.5);
    EXPECT_NEAR(left, kFullRms, kFullRms * 0.05);
    EXPECT_NEAR(right, kFullRms, kFullRms * 0.05);
    performance_->StopEx(segment, 0, 0);
    EXPECT_EQ(level(0.2).first, 0.0);
}

TEST_F(Mix, PathAndMasterVolumesMultiplyAsMillibels) {
    IDirectMusicSegment8* segment = tone("volume.wav", 5.0);
    IDirectMusicAudioPath* path = nullptr;
    ASSERT_EQ(performance_->CreateStandardAudioPath(DMUS_APATH_DYNAMIC_STEREO, 1, TRUE, &path),
              S_OK);
    keep(path);
    play(performance_, segment, 0, nullptr, path);
    EXPECT_NEAR(level(0.2).first, kFullRms, kFullRms * 0.05);

    // -2000 mB is a tenth; it acts at once on what plays, and setting it again keeps it.
    setPathVolume(path, -2000);
    EXPECT_NEAR(level(0.2).first, kFullRms * 0.1, kFullRms * 0.1 * 0.05);
    setPathVolume(path, -2000);
    EXPECT_NEAR(level(0.2).first, kFullRms * 0.1, kFullRms * 0.1 * 0.05);
    // Master -1000 mB (0.316) times path -2000 mB (0.1).
    setMaster(-1000);
    EXPECT_NEAR(level(0.2).first, kFullRms * 0.0316, kFullRms * 0.0316 * 0.05);
    // The game's 0.5 volume: -2062 mB.
    setMaster(0);
    setPathVolume(path, -2062);
    EXPECT_NEAR(level(0.2).first, kFullRms * std::pow(10.0, -2062 / 2000.0), 0.005);
    // -10000 mB is silence, and so is anything below it; the next change still acts.
    setPathVolume(path, -10000);
    EXPECT_EQ(level(0.2).first, 0.0);
    setPathVolume(path, -12000);
    EXPECT_EQ(level(0.2).first, 0.0);
    setPathVolume(path, 0);
    EXPECT_NEAR(level(0.2).first, kFullRms, kFullRms * 0.05);
    setMaster(-10000);
    EXPECT_EQ(level(0.2).first, 0.0);
}

TEST_F(Mix, ThePathVolumePersistsForLaterPlays) {
    IDirectMusicSegment8* segment = tone("persist.wav", 1.0);
    IDirectMusicAudioPath* path = nullptr;
    ASSERT_EQ(performance_->GetDefaultAudioPath(&path), S_OK);
    setPathVolume(path, -2000);
    path->Release();
    play(performance_, segment);
    EXPECT_NEAR(level(0.2).first, kFullRms * 0.1, kFullRms * 0.1 * 0.05);
}

TEST_F(Mix, SecondarySegmentsSumInTheMix) {
    IDirectMusicSegment8* low = tone("low.wav", 2.0, 441.0);
    IDirectMusicSegment8* high = tone("high.wav", 2.0, 882.0);
    play(performance_, low);
    play(performance_, high);
    // Two uncorrelated tones: the powers add.
    EXPECT_NEAR(level(0.5).first, kFullRms * std::sqrt(2.0), kFullRms * 0.07);
}

TEST_F(Mix, LoudSoundsTogetherAreLimitedNotClipped) {
    // Four loud tones in phase would sum to 3.6 times full scale.
    Tone loud;
    loud.seconds = 2.0;
    loud.frequency = 441.0;
    loud.amplitude = 0.9;
    for (const char* name : {"crash1.wav", "crash2.wav", "crash3.wav", "crash4.wav"}) {
        play(performance_, loadTone(performance_, name, loud));
    }
    takeCapture(performance_);
    advance(1.0);
    const std::vector<float> mix = takeCapture(performance_);
    float peak = 0.0f;
    for (const float sample : mix) {
        peak = std::max(peak, std::fabs(sample));
    }
    EXPECT_LE(peak, 1.0f);
    EXPECT_GT(peak, 0.5f) << "limited, not silenced";
}

TEST_F(Mix, AQueuedLoopFollowsItsIntroWithinAFrame) {
    IDirectMusicSegment8* intro = tone("intro.wav", 0.3, 441.0);
    IDirectMusicSegment8* loop = tone("loop.wav", 0.2, 882.0);
    ASSERT_EQ(loop->SetRepeats(DMUS_SEG_REPEAT_INFINITE), S_OK);
    takeCapture(performance_);
    IDirectMusicSegmentState* introState = play(performance_, intro);
    play(performance_, loop, DMUS_SEGF_QUEUE, introState);
    advance(1.0);
    const std::vector<float> mix = takeCapture(performance_);
    ASSERT_EQ(mix.size() / 2, kRate);
    // Sound from start to end: the only quiet spans are zero crossings and the hand-over.
    const std::size_t gap = longestQuietRun(mix, 0.05f, 0, kRate);
    EXPECT_LT(gap, kRate / 60) << "more than a frame of silence between intro and loop";
    EXPECT_LT(gap, 200u);
    // The loop's tone (twice the frequency) is what sounds at the end, at full level.
    EXPECT_NEAR(rms(mix, 0, kRate / 2, kRate), kFullRms, kFullRms * 0.05);
}

TEST_F(Mix, InfiniteLoopsRepeatSeamlessly) {
    // 0.1 s of a 440 Hz tone holds a whole number of periods, so the loop joins cleanly.
    IDirectMusicSegment8* loop = tone("seamless.wav", 0.1, 440.0);
    ASSERT_EQ(loop->SetRepeats(DMUS_SEG_REPEAT_INFINITE), S_OK);
    play(performance_, loop);
    takeCapture(performance_);
    advance(1.0);
    const std::vector<float> mix = takeCapture(performance_);
    // From the end of the output limiter's look-ahead, which delays the mix by about 1 ms.
    EXPECT_LT(longestQuietRun(mix, 0.05f, kRate / 500, kRate), 10u);
    EXPECT_NEAR(rms(mix, 0, 0, kRate), kFullRms, kFullRms * 0.05);
}

TEST_F(Mix, OnlyTheLoopSectionRepeats) {
    // 0.25 s of silence, then 0.25 s of tone (whole periods); the loop is the tone half.
    Tone t;
    t.seconds = 0.5;
    t.frequency = 440.0;
    t.silentStart = 0.25;
    IDirectMusicSegment8* infinite = loadTone(performance_, "halfloop.wav", t);
    ASSERT_EQ(infinite->SetLoopPoints(384, 768), S_OK);
    ASSERT_EQ(infinite->SetRepeats(DMUS_SEG_REPEAT_INFINITE), S_OK);
    takeCapture(performance_);
    play(performance_, infinite);
    advance(1.5);
    std::vector<float> mix = takeCapture(performance_);
    EXPECT_EQ(longestQuietRun(mix, 0.05f, 0, kRate / 4 - 100), kRate / 4 - 100);
    EXPECT_LT(longestQuietRun(mix, 0.05f, kRate / 4 + 100, kRate * 3 / 2), 10u)
        << "the silent head came round again";

    // Two repeats: the tone sounds three times its length, then the segment ends.
    IDirectMusicSegment8* finite = loadTone(performance_, "halfloop2.wav", t);
    ASSERT_EQ(finite->SetLoopPoints(384, 768), S_OK);
    ASSERT_EQ(finite->SetRepeats(2), S_OK);
    performance_->StopEx(nullptr, 0, 0);
    takeCapture(performance_);
    play(performance_, finite);
    advance(1.5);
    mix = takeCapture(performance_);
    EXPECT_LT(longestQuietRun(mix, 0.05f, kRate / 4 + 100, kRate - 100), 10u);
    EXPECT_EQ(rms(mix, 0, kRate + 100, kRate * 3 / 2), 0.0);
    EXPECT_EQ(playing(performance_, finite), S_FALSE);
}

}  // namespace
}  // namespace dmusic_testing
