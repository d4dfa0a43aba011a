#include "fixture.h"

namespace dmusic_testing {
namespace {

class Com : public DmusicTest {};

TEST_F(Com, CreationNeedsComAndAKnownInProcessClass) {
    void* object = reinterpret_cast<void*>(1);
    CoUninitialize();
    EXPECT_EQ(CoCreateInstance(CLSID_DirectMusicLoader, nullptr, CLSCTX_INPROC,
                               IID_IDirectMusicLoader8, &object),
              CO_E_NOTINITIALIZED);
    EXPECT_EQ(object, nullptr);
    ASSERT_EQ(CoInitializeEx(nullptr, 0), S_OK);
    EXPECT_EQ(CoInitializeEx(nullptr, 0), S_FALSE);  // nested
    CoUninitialize();

    IUnknown* outer = makePerformance();
    EXPECT_EQ(CoCreateInstance(CLSID_DirectMusicLoader, outer, CLSCTX_INPROC,
                               IID_IDirectMusicLoader8, &object),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(CoCreateInstance(CLSID_DirectMusicSegment, nullptr, CLSCTX_INPROC,
                               IID_IDirectMusicSegment8, &object),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(CoCreateInstance(CLSID_DirectMusicLoader, nullptr, CLSCTX_INPROC,
                               IID_IDirectMusicPerformance8, &object),
              E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(CoCreateInstance(CLSID_DirectMusicLoader, nullptr, CLSCTX_INPROC,
                               IID_IDirectMusicLoader8, nullptr),
              E_POINTER);
    // Only the performance made above and its default path are alive: failed creations
    // leave nothing behind.
    EXPECT_EQ(dmusic_test::liveObjects(), 2);
}

TEST_F(Com, ReferenceCountsAreExact) {
    IDirectMusicPerformance8* performance = makePerformance();
    EXPECT_EQ(performance->AddRef(), 2u);
    IDirectMusicGraph* graph = nullptr;
    ASSERT_EQ(performance->QueryInterface(IID_IDirectMusicGraph, reinterpret_cast<void**>(&graph)),
              S_OK);
    EXPECT_EQ(graph->AddRef(), 4u);  // the graph is the performance itself
    EXPECT_EQ(graph->Release(), 3u);
    EXPECT_EQ(graph->Release(), 2u);
    EXPECT_EQ(performance->Release(), 1u);

    IDirectMusicAudioPath* path = nullptr;
    ASSERT_EQ(performance->GetDefaultAudioPath(&path), S_OK);
    EXPECT_EQ(path->Release(), 1u);  // the performance keeps its own reference
    ASSERT_EQ(performance->CreateStandardAudioPath(DMUS_APATH_DYNAMIC_STEREO, 1, FALSE, &path),
              S_OK);
    const int before = dmusic_test::liveObjects();
    EXPECT_EQ(path->Release(), 0u);
    EXPECT_EQ(dmusic_test::liveObjects(), before - 1);

    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(performance->QueryInterface(IID_IDirectMusicLoader8, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
}

TEST_F(Com, SegmentStatesBelongToThePerformance) {
    // Made here rather than by the fixture: this test releases it itself.
    IDirectMusicPerformance8* performance = nullptr;
    ASSERT_EQ(
        CoCreateInstance(CLSID_DirectMusicPerformance, nullptr, CLSCTX_INPROC,
                         IID_IDirectMusicPerformance8, reinterpret_cast<void**>(&performance)),
        S_OK);
    ASSERT_EQ(performance->InitAudio(nullptr, nullptr, nullptr, DMUS_APATH_DYNAMIC_STEREO, 6,
                                     DMUS_AUDIOF_ALL, nullptr),
              S_OK);
    Tone tone;
    tone.seconds = 1.0;
    IDirectMusicSegment8* segment = loadTone(performance, "state.wav", tone);
    IDirectMusicSegmentState* state = play(performance, segment);
    ASSERT_NE(state, nullptr);

    // The handle is not the caller's: an unmatched Release cannot destroy it.
    EXPECT_EQ(state->Release(), 1u);
    EXPECT_EQ(performance->IsPlaying(nullptr, state), S_OK);
    // A caller that AddRefs it keeps it beyond the performance.
    EXPECT_EQ(state->AddRef(), 2u);
    const int withState = dmusic_test::liveObjects();
    EXPECT_EQ(performance->Release(), 0u);
    EXPECT_EQ(dmusic_test::liveObjects(), withState - 2);  // performance and its default path
    EXPECT_EQ(state->Release(), 0u);
    EXPECT_EQ(dmusic_test::liveObjects(), withState - 3);
    // The segment outlives the performance it was downloaded to.
    MUSIC_TIME length = 0;
    EXPECT_EQ(segment->GetLength(&length), S_OK);
    EXPECT_EQ(segment->Unload(segment), E_INVALIDARG);  // not a performance or path
}

TEST_F(Com, ASegmentReleasedWhilePlayingStopsSafely) {
    IDirectMusicPerformance8* performance = makePerformance();
    IDirectMusicLoader8* loader = makeLoader();
    Tone tone;
    writeToneWav(folder_.file("gone.wav"), tone);
    IDirectMusicSegment8* segment = nullptr;
    ASSERT_EQ(loader->LoadObjectFromFile(CLSID_DirectMusicSegment, IID_IDirectMusicSegment8,
                                         L"gone.wav", reinterpret_cast<void**>(&segment)),
              S_OK);
    ASSERT_EQ(segment->Download(performance), S_OK);
    IDirectMusicSegmentState* state = play(performance, segment);
    EXPECT_EQ(segment->Release(), 0u);
    EXPECT_EQ(performance->IsPlaying(nullptr, state), S_FALSE);
    // A pointer to a dead segment is refused, not followed.
    EXPECT_EQ(performance->IsPlaying(segment, nullptr), E_INVALIDARG);
    dmusic_test::advance(1.0);
}

}  // namespace
}  // namespace dmusic_testing
