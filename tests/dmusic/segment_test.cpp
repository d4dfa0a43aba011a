#include "fixture.h"

namespace dmusic_testing {
namespace {

using dmusic_test::advance;

class Segment : public DmusicTest {
protected:
    IDirectMusicSegment8* tone(IDirectMusicPerformance8* performance, const std::string& name,
                               double seconds) {
        Tone t;
        t.seconds = seconds;
        return loadTone(performance, name, t);
    }
};

TEST_F(Segment, LoopPointsMustLieInsideTheSegment) {
    IDirectMusicSegment8* segment = tone(nullptr, "points.wav", 0.25);  // 384 ticks
    MUSIC_TIME start = -1;
    MUSIC_TIME end = -1;
    ASSERT_EQ(segment->GetLoopPoints(&start, &end), S_OK);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 0);
    EXPECT_EQ(segment->SetLoopPoints(0, 384), S_OK);
    EXPECT_EQ(segment->SetLoopPoints(100, 200), S_OK);
    EXPECT_EQ(segment->SetLoopPoints(200, 100), DMUS_E_OUT_OF_RANGE);
    EXPECT_EQ(segment->SetLoopPoints(0, 385), DMUS_E_OUT_OF_RANGE);
    EXPECT_EQ(segment->SetLoopPoints(-1, 100), DMUS_E_OUT_OF_RANGE);
    EXPECT_EQ(segment->SetLoopPoints(50, 50), DMUS_E_OUT_OF_RANGE);
    ASSERT_EQ(segment->GetLoopPoints(&start, &end), S_OK);
    EXPECT_EQ(start, 100);  // failures change nothing
    EXPECT_EQ(end, 200);
    EXPECT_EQ(segment->SetLoopPoints(0, 0), S_OK);

    DWORD repeats = 7;
    ASSERT_EQ(segment->GetRepeats(&repeats), S_OK);
    EXPECT_EQ(repeats, 0u);
    ASSERT_EQ(segment->SetRepeats(DMUS_SEG_REPEAT_INFINITE), S_OK);
    ASSERT_EQ(segment->GetRepeats(&repeats), S_OK);
    EXPECT_EQ(repeats, DMUS_SEG_REPEAT_INFINITE);
    EXPECT_EQ(segment->GetLength(nullptr), E_POINTER);
}

TEST_F(Segment, DownloadsAreCountedPerPerformance) {
    IDirectMusicPerformance8* performance = makePerformance();
    IDirectMusicSegment8* segment = tone(performance, "counted.wav", 1.0);
    // A second user of the same segment downloads it again.
    ASSERT_EQ(segment->Download(performance), S_OK);
    play(performance, segment);
    EXPECT_EQ(segment->Unload(performance), S_OK);
    EXPECT_EQ(playing(performance, segment), S_OK) << "the other user's sound was cut";
    EXPECT_EQ(segment->Unload(performance), S_OK);
    EXPECT_EQ(playing(performance, segment), S_FALSE);
    EXPECT_EQ(segment->Unload(performance), DMUS_E_NOT_DOWNLOADED_TO_PORT);
    EXPECT_EQ(performance->PlaySegmentEx(segment, nullptr, nullptr, DMUS_SEGF_SECONDARY, 0, nullptr,
                                         nullptr, nullptr),
              DMUS_E_NOT_DOWNLOADED_TO_PORT);

    // Each performance has its own download.
    IDirectMusicPerformance8* other = makePerformance();
    ASSERT_EQ(segment->Download(other), S_OK);
    EXPECT_NE(play(other, segment), nullptr);
    EXPECT_EQ(performance->PlaySegmentEx(segment, nullptr, nullptr, DMUS_SEGF_SECONDARY, 0, nullptr,
                                         nullptr, nullptr),
              DMUS_E_NOT_DOWNLOADED_TO_PORT);
    EXPECT_EQ(segment->Unload(other), S_OK);
}

TEST_F(Segment, ASoundIsHeldOnceWhateverItsNamesAndDownloads) {
    constexpr unsigned long long kHeld = 44100 * 4;  // a second, 16-bit stereo
    Tone oneSecond;
    oneSecond.seconds = 1.0;
    writeToneWav(folder_.file("held.wav"), oneSecond);
    IDirectMusicLoader8* loader = makeLoader();
    auto load = [&](const wchar_t* name) {
        IDirectMusicSegment8* segment = nullptr;
        EXPECT_EQ(loader->LoadObjectFromFile(CLSID_DirectMusicSegment, IID_IDirectMusicSegment8,
                                             name, reinterpret_cast<void**>(&segment)),
                  S_OK);
        keep(segment);
        return segment;
    };
    IDirectMusicSegment8* first = load(L"held.wav");
    IDirectMusicSegment8* second = load(L"HELD.WAV");
    EXPECT_NE(first, second);
    EXPECT_EQ(dmusic_test::heldSoundBytes(), kHeld);

    // OpenAL's buffer replaces the decoded samples, for every segment of the file.
    IDirectMusicPerformance8* performance = makePerformance();
    ASSERT_EQ(first->Download(performance), S_OK);
    ASSERT_EQ(second->Download(performance), S_OK);
    EXPECT_EQ(dmusic_test::heldSoundBytes(), kHeld);
    ASSERT_NE(play(performance, second, DMUS_SEGF_SECONDARY), nullptr);
    EXPECT_EQ(playing(performance, second), S_OK);

    // Another output and a looped stretch need buffers of their own: the file is decoded
    // again for them, and nothing more is kept.
    IDirectMusicPerformance8* other = makePerformance();
    ASSERT_EQ(first->Download(other), S_OK);
    EXPECT_EQ(dmusic_test::heldSoundBytes(), 2 * kHeld);
    ASSERT_EQ(first->SetLoopPoints(384, 768), S_OK);  // the second quarter
    ASSERT_EQ(first->SetRepeats(DMUS_SEG_REPEAT_INFINITE), S_OK);
    ASSERT_NE(play(other, first, DMUS_SEGF_SECONDARY), nullptr);
    EXPECT_EQ(dmusic_test::heldSoundBytes(), 3 * kHeld);

    for (IDirectMusicPerformance8* output : {performance, other}) {
        EXPECT_EQ(first->Unload(output), S_OK);
    }
    EXPECT_EQ(second->Unload(performance), S_OK);
    EXPECT_EQ(dmusic_test::heldSoundBytes(), 0u);
    // With the budget spent, a download that needs the file again fails cleanly.
    dmusic_test::setSoundBudget(kHeld - 1);
    EXPECT_EQ(first->Download(performance), E_OUTOFMEMORY);
    EXPECT_EQ(dmusic_test::heldSoundBytes(), 0u);
}

TEST_F(Segment, DownloadTargetsAreChecked) {
    IDirectMusicPerformance8* uninitialised = createPerformance();
    IDirectMusicPerformance8* performance = makePerformance();
    IDirectMusicSegment8* segment = tone(nullptr, "targets.wav", 0.5);
    EXPECT_EQ(segment->Download(uninitialised), DMUS_E_NOT_INIT);
    EXPECT_EQ(segment->Download(nullptr), E_POINTER);
    EXPECT_EQ(segment->Download(segment), E_INVALIDARG);

    // Through an audio path, to the path's performance.
    IDirectMusicAudioPath* path = nullptr;
    ASSERT_EQ(performance->GetDefaultAudioPath(&path), S_OK);
    keep(path);
    ASSERT_EQ(segment->Download(path), S_OK);
    EXPECT_NE(play(performance, segment), nullptr);
    EXPECT_EQ(segment->Unload(performance), S_OK);
}

TEST_F(Segment, AFinishedPlayFreesItsVoiceForMore) {
    // Many short plays one after another: ended voices must not pile up.
    IDirectMusicPerformance8* performance = makePerformance();
    IDirectMusicSegment8* segment = tone(performance, "click.wav", 0.01);
    for (int i = 0; i < 2000; ++i) {
        ASSERT_NE(play(performance, segment), nullptr);
        advance(0.02);
    }
    EXPECT_EQ(playing(performance, segment), S_FALSE);
    EXPECT_NE(play(performance, segment), nullptr);
    EXPECT_EQ(playing(performance, segment), S_OK);
    // Handles of old plays are let go, a bounded number kept.
    EXPECT_LT(dmusic_test::liveObjects(), 1100);
}

}  // namespace
}  // namespace dmusic_testing
