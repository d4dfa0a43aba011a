#include "fixture.h"

namespace dmusic_testing {
namespace {

using dmusic_test::advance;

class Playback : public DmusicTest {
protected:
    void SetUp() override {
        DmusicTest::SetUp();
        performance_ = makePerformance();
    }

    IDirectMusicSegment8* tone(const std::string& name, double seconds) {
        Tone t;
        t.seconds = seconds;
        return loadTone(performance_, name, t);
    }

    IDirectMusicPerformance8* performance_ = nullptr;
};

TEST_F(Playback, ASoundPlaysForItsLengthThenEnds) {
    IDirectMusicSegment8* segment = tone("short.wav", 0.2);
    ASSERT_NE(segment, nullptr);

    EXPECT_EQ(playing(performance_, segment), S_FALSE);
    IDirectMusicSegmentState* state = play(performance_, segment);
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(playing(performance_, segment), S_OK);
    EXPECT_EQ(performance_->IsPlaying(nullptr, state), S_OK);
    advance(0.15);
    EXPECT_EQ(playing(performance_, segment), S_OK);
    advance(0.1);
    EXPECT_EQ(playing(performance_, segment), S_FALSE);
    EXPECT_EQ(performance_->IsPlaying(nullptr, state), S_FALSE);
}

TEST_F(Playback, RepeatsAddWholePassesOrLoopSections) {
    IDirectMusicSegment8* whole = tone("whole.wav", 0.1);
    ASSERT_EQ(whole->SetRepeats(2), S_OK);
    play(performance_, whole);
    advance(0.25);
    EXPECT_EQ(playing(performance_, whole), S_OK);
    advance(0.1);
    EXPECT_EQ(playing(performance_, whole), S_FALSE);

    // 0.25 s = 384 ticks; looping the second half twice gives 0.5 s.
    IDirectMusicSegment8* section = tone("section.wav", 0.25);
    MUSIC_TIME length = 0;
    ASSERT_EQ(section->GetLength(&length), S_OK);
    ASSERT_EQ(length, 384);
    ASSERT_EQ(section->SetLoopPoints(192, 384), S_OK);
    ASSERT_EQ(section->SetRepeats(2), S_OK);
    play(performance_, section);
    advance(0.45);
    EXPECT_EQ(playing(performance_, section), S_OK);
    advance(0.1);
    EXPECT_EQ(playing(performance_, section), S_FALSE);
}

TEST_F(Playback, InfiniteRepeatsPlayUntilStopped) {
    IDirectMusicSegment8* loop = tone("loop.wav", 0.1);
    ASSERT_EQ(loop->SetLoopPoints(0, 0), S_OK);
    ASSERT_EQ(loop->SetRepeats(DMUS_SEG_REPEAT_INFINITE), S_OK);
    IDirectMusicSegment8* inner = tone("inner.wav", 0.25);
    ASSERT_EQ(inner->SetLoopPoints(100, 300), S_OK);
    ASSERT_EQ(inner->SetRepeats(DMUS_SEG_REPEAT_INFINITE), S_OK);
    play(performance_, loop);
    play(performance_, inner);
    advance(2.0);
    EXPECT_EQ(playing(performance_, loop), S_OK);
    EXPECT_EQ(playing(performance_, inner), S_OK);
    EXPECT_EQ(performance_->StopEx(loop, 0, 0), S_OK);
    EXPECT_EQ(playing(performance_, loop), S_FALSE);
    EXPECT_EQ(playing(performance_, inner), S_OK);
}

TEST_F(Playback, RepeatsApplyToLaterPlaysOnly) {
    IDirectMusicSegment8* segment = tone("later.wav", 0.1);
    play(performance_, segment);
    ASSERT_EQ(segment->SetRepeats(DMUS_SEG_REPEAT_INFINITE), S_OK);
    advance(0.15);
    EXPECT_EQ(playing(performance_, segment), S_FALSE);
}

TEST_F(Playback, SecondarySegmentsAndInstancesPlayTogether) {
    IDirectMusicSegment8* a = tone("a.wav", 0.3);
    IDirectMusicSegment8* b = tone("b.wav", 0.3);
    IDirectMusicSegmentState* a1 = play(performance_, a);
    IDirectMusicSegmentState* a2 = play(performance_, a);
    IDirectMusicSegmentState* b1 = play(performance_, b);
    ASSERT_TRUE(a1 && a2 && b1);
    EXPECT_NE(a1, a2);
    EXPECT_EQ(performance_->IsPlaying(nullptr, a1), S_OK);
    EXPECT_EQ(performance_->IsPlaying(nullptr, a2), S_OK);
    EXPECT_EQ(performance_->IsPlaying(nullptr, b1), S_OK);

    EXPECT_EQ(performance_->StopEx(a1, 0, 0), S_OK);
    EXPECT_EQ(performance_->IsPlaying(nullptr, a1), S_FALSE);
    EXPECT_EQ(playing(performance_, a), S_OK);  // a2 still plays

    EXPECT_EQ(performance_->StopEx(a, 0, 0), S_OK);  // every instance of a
    EXPECT_EQ(playing(performance_, a), S_FALSE);
    EXPECT_EQ(playing(performance_, b), S_OK);

    EXPECT_EQ(performance_->StopEx(nullptr, 0, 0), S_OK);  // everything
    EXPECT_EQ(playing(performance_, b), S_FALSE);
}

TEST_F(Playback, ANinthInstanceDropsTheOldest) {
    IDirectMusicSegment8* segment = tone("many.wav", 1.0);
    std::vector<IDirectMusicSegmentState*> states;
    for (int i = 0; i < 9; ++i) {
        states.push_back(play(performance_, segment));
        ASSERT_NE(states.back(), nullptr);
    }
    EXPECT_EQ(performance_->IsPlaying(nullptr, states[0]), S_FALSE);
    for (int i = 1; i < 9; ++i) {
        EXPECT_EQ(performance_->IsPlaying(nullptr, states[i]), S_OK) << i;
    }
}

TEST_F(Playback, AQueuedSegmentStartsWhenItsFromEndsWithoutCuttingIt) {
    IDirectMusicSegment8* intro = tone("intro.wav", 0.2);
    IDirectMusicSegment8* loop = tone("loopq.wav", 0.2);
    ASSERT_EQ(loop->SetRepeats(DMUS_SEG_REPEAT_INFINITE), S_OK);

    IDirectMusicSegmentState* introState = play(performance_, intro);
    IDirectMusicSegmentState* loopState = play(performance_, loop, DMUS_SEGF_QUEUE, introState);
    ASSERT_NE(loopState, nullptr);
    // Queued, not playing yet, and the intro goes on.
    EXPECT_EQ(playing(performance_, intro), S_OK);
    EXPECT_EQ(performance_->IsPlaying(nullptr, loopState), S_FALSE);
    advance(0.1);
    EXPECT_EQ(playing(performance_, intro), S_OK);
    EXPECT_EQ(playing(performance_, loop), S_FALSE);
    advance(0.12);
    EXPECT_EQ(playing(performance_, intro), S_FALSE);
    EXPECT_EQ(performance_->IsPlaying(nullptr, loopState), S_OK);
}

TEST_F(Playback, AQueuedSegmentWithNothingToWaitForStartsAtOnce) {
    IDirectMusicSegment8* first = tone("first.wav", 0.1);
    IDirectMusicSegment8* second = tone("second.wav", 0.5);

    // No `from` at all.
    play(performance_, second, DMUS_SEGF_QUEUE, nullptr);
    EXPECT_EQ(playing(performance_, second), S_OK);
    performance_->StopEx(second, 0, 0);

    // A `from` that has already ended.
    IDirectMusicSegmentState* ended = play(performance_, first);
    advance(0.2);
    ASSERT_EQ(performance_->IsPlaying(nullptr, ended), S_FALSE);
    play(performance_, second, DMUS_SEGF_QUEUE, ended);
    EXPECT_EQ(playing(performance_, second), S_OK);
}

TEST_F(Playback, StoppingTheFromStartsTheQueuedSegment) {
    IDirectMusicSegment8* intro = tone("intro2.wav", 1.0);
    IDirectMusicSegment8* loop = tone("loop2.wav", 1.0);
    IDirectMusicSegmentState* introState = play(performance_, intro);
    play(performance_, loop, DMUS_SEGF_QUEUE, introState);
    EXPECT_EQ(playing(performance_, loop), S_FALSE);
    performance_->StopEx(intro, 0, 0);
    EXPECT_EQ(playing(performance_, loop), S_OK);
}

TEST_F(Playback, StoppingAQueuedSegmentKeepsItFromStarting) {
    IDirectMusicSegment8* intro = tone("intro3.wav", 0.1);
    IDirectMusicSegment8* loop = tone("loop3.wav", 1.0);
    IDirectMusicSegmentState* introState = play(performance_, intro);
    play(performance_, loop, DMUS_SEGF_QUEUE, introState);
    performance_->StopEx(loop, 0, 0);
    advance(0.3);
    EXPECT_EQ(playing(performance_, loop), S_FALSE);
}

TEST_F(Playback, WithoutQueueTheFromIsStopped) {
    IDirectMusicSegment8* first = tone("replaced.wav", 1.0);
    IDirectMusicSegment8* second = tone("replacing.wav", 1.0);
    IDirectMusicSegmentState* firstState = play(performance_, first);
    play(performance_, second, 0, firstState);
    EXPECT_EQ(playing(performance_, first), S_FALSE);
    EXPECT_EQ(playing(performance_, second), S_OK);
}

TEST_F(Playback, APrimarySegmentReplacesThePrimaryOneOnly) {
    IDirectMusicSegment8* first = tone("primary1.wav", 1.0);
    IDirectMusicSegment8* second = tone("primary2.wav", 1.0);
    IDirectMusicSegment8* effect = tone("effect.wav", 1.0);
    ASSERT_EQ(performance_->PlaySegmentEx(first, nullptr, nullptr, 0, 0, nullptr, nullptr, nullptr),
              S_OK);
    play(performance_, effect);
    ASSERT_EQ(
        performance_->PlaySegmentEx(second, nullptr, nullptr, 0, 0, nullptr, nullptr, nullptr),
        S_OK);
    EXPECT_EQ(playing(performance_, first), S_FALSE);
    EXPECT_EQ(playing(performance_, second), S_OK);
    EXPECT_EQ(playing(performance_, effect), S_OK);
}

TEST_F(Playback, AudioPathsMustBeActiveAndTheirOwn) {
    IDirectMusicSegment8* segment = tone("pathed.wav", 1.0);
    IDirectMusicAudioPath* path = nullptr;
    ASSERT_EQ(performance_->CreateStandardAudioPath(DMUS_APATH_DYNAMIC_STEREO, 1, FALSE, &path),
              S_OK);
    keep(path);
    EXPECT_EQ(performance_->PlaySegmentEx(segment, nullptr, nullptr, DMUS_SEGF_SECONDARY, 0,
                                          nullptr, nullptr, path),
              DMUS_E_AUDIOPATH_INACTIVE);

    ASSERT_EQ(path->Activate(TRUE), S_OK);
    IDirectMusicSegmentState* onPath = play(performance_, segment, 0, nullptr, path);
    IDirectMusicSegmentState* onDefault = play(performance_, segment);
    ASSERT_TRUE(onPath && onDefault);
    // Stopping the path stops what plays on it only.
    EXPECT_EQ(performance_->StopEx(path, 0, 0), S_OK);
    EXPECT_EQ(performance_->IsPlaying(nullptr, onPath), S_FALSE);
    EXPECT_EQ(performance_->IsPlaying(nullptr, onDefault), S_OK);
    // Deactivating stops it too.
    onPath = play(performance_, segment, 0, nullptr, path);
    ASSERT_EQ(path->Activate(FALSE), S_OK);
    EXPECT_EQ(performance_->IsPlaying(nullptr, onPath), S_FALSE);

    IDirectMusicPerformance8* other = makePerformance();
    IDirectMusicAudioPath* foreign = nullptr;
    ASSERT_EQ(other->CreateStandardAudioPath(DMUS_APATH_DYNAMIC_STEREO, 1, TRUE, &foreign), S_OK);
    keep(foreign);
    EXPECT_EQ(performance_->PlaySegmentEx(segment, nullptr, nullptr, DMUS_SEGF_SECONDARY, 0,
                                          nullptr, nullptr, foreign),
              E_INVALIDARG);
}

TEST_F(Playback, BadPlayRequestsFailCleanly) {
    IDirectMusicSegment8* notDownloaded = tone("elsewhere.wav", 0.5);
    ASSERT_EQ(notDownloaded->Unload(performance_), S_OK);
    IDirectMusicSegmentState* state = reinterpret_cast<IDirectMusicSegmentState*>(1);
    EXPECT_EQ(performance_->PlaySegmentEx(notDownloaded, nullptr, nullptr, DMUS_SEGF_SECONDARY, 0,
                                          &state, nullptr, nullptr),
              DMUS_E_NOT_DOWNLOADED_TO_PORT);
    EXPECT_EQ(state, nullptr);
    EXPECT_EQ(performance_->PlaySegmentEx(nullptr, nullptr, nullptr, DMUS_SEGF_SECONDARY, 0,
                                          nullptr, nullptr, nullptr),
              E_POINTER);
    // Something that is not a segment of this layer.
    EXPECT_EQ(performance_->PlaySegmentEx(performance_, nullptr, nullptr, DMUS_SEGF_SECONDARY, 0,
                                          nullptr, nullptr, nullptr),
              E_INVALIDARG);
    EXPECT_EQ(performance_->IsPlaying(nullptr, nullptr), E_POINTER);

    IDirectMusicPerformance8* uninitialised = createPerformance();
    EXPECT_EQ(uninitialised->PlaySegmentEx(notDownloaded, nullptr, nullptr, DMUS_SEGF_SECONDARY, 0,
                                           nullptr, nullptr, nullptr),
              DMUS_E_NOT_INIT);
    EXPECT_EQ(uninitialised->IsPlaying(notDownloaded, nullptr), DMUS_E_NOT_INIT);
    EXPECT_EQ(uninitialised->StopEx(nullptr, 0, 0), DMUS_E_NOT_INIT);
}

TEST_F(Playback, APitchBendChangesTheSpeed) {
    IDirectMusicSegment8* segment = tone("bent.wav", 0.5);
    auto bend = [this](int value) {
        DMUS_PMSG* message = nullptr;
        ASSERT_EQ(performance_->AllocPMsg(sizeof(DMUS_MIDI_PMSG), &message), S_OK);
        auto* midi = reinterpret_cast<DMUS_MIDI_PMSG*>(message);
        midi->bStatus = 0xE0;
        midi->bByte1 = static_cast<BYTE>(value & 0x7F);
        midi->bByte2 = static_cast<BYTE>(value >> 7);
        ASSERT_EQ(performance_->SendPMsg(message), S_OK);
    };
    // Two semitones up: 0.5 s of sound lasts about 0.445 s.
    bend(16383);
    play(performance_, segment);
    advance(0.47);
    EXPECT_EQ(playing(performance_, segment), S_FALSE);
    bend(8192);
    play(performance_, segment);
    advance(0.47);
    EXPECT_EQ(playing(performance_, segment), S_OK);
}

}  // namespace
}  // namespace dmusic_testing
