#include "fixture.h"

#include <chrono>
#include <thread>

namespace dmusic_testing {
namespace {

class Output : public DmusicTest {
protected:
    // Waits (on the wall clock, generously) for a short sound to end by itself.
    static bool endsByItself(IDirectMusicPerformance8* performance, IDirectMusicSegment8* segment) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < deadline) {
            if (performance->IsPlaying(segment, nullptr) == S_FALSE) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    void playsAndEnds() {
        IDirectMusicPerformance8* performance = makePerformance();
        Tone tone;
        tone.seconds = 0.05;
        IDirectMusicSegment8* segment = loadTone(performance, "wall.wav", tone);
        IDirectMusicSegment8* loop = loadTone(performance, "wallloop.wav", tone);
        loop->SetRepeats(DMUS_SEG_REPEAT_INFINITE);
        IDirectMusicSegmentState* state = play(performance, segment);
        IDirectMusicSegmentState* queued = play(performance, loop, DMUS_SEGF_QUEUE, state);
        ASSERT_NE(state, nullptr);
        EXPECT_TRUE(endsByItself(performance, segment));
        // The queued loop starts on its own once the first sound is over.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (performance->IsPlaying(nullptr, queued) != S_OK &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        EXPECT_EQ(performance->IsPlaying(nullptr, queued), S_OK);
    }
};

TEST_F(Output, WithoutASoundDeviceTimeStillPasses) {
    dmusic_test::setOutput(dmusic_test::Output::NoDevice);
    playsAndEnds();
}

TEST_F(Output, TheAutomaticOutputAlwaysInitialises) {
    dmusic_test::setOutput(dmusic_test::Output::Automatic);
    playsAndEnds();
}

TEST_F(Output, InitAudioIsCheckedAndOnce) {
    IDirectMusicPerformance8* performance = createPerformance();
    IDirectMusic* music = nullptr;
    EXPECT_EQ(performance->InitAudio(&music, nullptr, nullptr, DMUS_APATH_DYNAMIC_STEREO, 6,
                                     DMUS_AUDIOF_ALL, nullptr),
              E_NOTIMPL);
    EXPECT_EQ(performance->InitAudio(nullptr, nullptr, nullptr, 99, 6, DMUS_AUDIOF_ALL, nullptr),
              DMUS_E_AUDIOPATHS_NOT_VALID);
    EXPECT_EQ(performance->InitAudio(nullptr, nullptr, nullptr, DMUS_APATH_DYNAMIC_STEREO, 6,
                                     DMUS_AUDIOF_ALL, nullptr),
              S_OK);
    EXPECT_TRUE(dmusic_test::usesLoopback(performance));
    EXPECT_EQ(performance->InitAudio(nullptr, nullptr, nullptr, DMUS_APATH_DYNAMIC_STEREO, 6,
                                     DMUS_AUDIOF_ALL, nullptr),
              DMUS_E_ALREADY_INITED);

    IDirectMusicAudioPath* path = nullptr;
    EXPECT_EQ(performance->CreateStandardAudioPath(12345, 1, TRUE, &path),
              DMUS_E_AUDIOPATHS_NOT_VALID);
    EXPECT_EQ(path, nullptr);
    EXPECT_EQ(performance->CreateStandardAudioPath(DMUS_APATH_DYNAMIC_STEREO, 1, TRUE, nullptr),
              E_POINTER);
}

TEST_F(Output, APerformanceWithoutDefaultPathNeedsAPathToPlay) {
    IDirectMusicPerformance8* performance = createPerformance();
    ASSERT_EQ(performance->InitAudio(nullptr, nullptr, nullptr, 0, 0, 0, nullptr), S_OK);
    IDirectMusicAudioPath* path = nullptr;
    EXPECT_EQ(performance->GetDefaultAudioPath(&path), DMUS_E_NO_AUDIOPATH);
    IDirectMusicSegment8* segment = loadTone(performance, "nopath.wav", Tone());
    EXPECT_EQ(performance->PlaySegmentEx(segment, nullptr, nullptr, DMUS_SEGF_SECONDARY, 0, nullptr,
                                         nullptr, nullptr),
              DMUS_E_NO_AUDIOPATH);
    ASSERT_EQ(performance->CreateStandardAudioPath(DMUS_APATH_DYNAMIC_STEREO, 1, TRUE, &path),
              S_OK);
    keep(path);
    EXPECT_NE(play(performance, segment, 0, nullptr, path), nullptr);
}

}  // namespace
}  // namespace dmusic_testing
