#include "fixture.h"

namespace dmusic_testing {
namespace {

using dmusic_test::advance;

class Playback : public DmusicTest {};

TEST_F(Playback, ASoundPlaysForItsLengthThenEnds) {
    IDirectMusicPerformance8* performance = makePerformance();
    Tone tone;
    tone.seconds = 0.2;
    IDirectMusicSegment8* segment = loadTone(performance, "short.wav", tone);
    ASSERT_NE(segment, nullptr);

    EXPECT_EQ(playing(performance, segment), S_FALSE);
    IDirectMusicSegmentState* state = nullptr;
    ASSERT_EQ(performance->PlaySegmentEx(segment, nullptr, nullptr, DMUS_SEGF_SECONDARY, 0, &state,
                                         nullptr, nullptr),
              S_OK);
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(playing(performance, segment), S_OK);
    EXPECT_EQ(performance->IsPlaying(nullptr, state), S_OK);
    advance(0.15);
    EXPECT_EQ(playing(performance, segment), S_OK);
    advance(0.1);
    EXPECT_EQ(playing(performance, segment), S_FALSE);
    EXPECT_EQ(performance->IsPlaying(nullptr, state), S_FALSE);
}

}  // namespace
}  // namespace dmusic_testing
