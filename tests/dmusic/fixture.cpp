#include "fixture.h"

namespace dmusic_testing {

void DmusicTest::SetUp() {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    dmusic_test::reset();
    dmusic_test::setOutput(dmusic_test::Output::ManualLoopback);
    dmusic_test::setRecording(true);
}

void DmusicTest::TearDown() {
    for (auto it = kept_.rbegin(); it != kept_.rend(); ++it) {
        (*it)->Release();
    }
    kept_.clear();
    EXPECT_EQ(dmusic_test::liveObjects(), 0) << "objects outlived their last reference";
    dmusic_test::reset();
    CoUninitialize();
}

IDirectMusicPerformance8* DmusicTest::createPerformance() {
    IDirectMusicPerformance8* performance = nullptr;
    EXPECT_EQ(
        CoCreateInstance(CLSID_DirectMusicPerformance, nullptr, CLSCTX_INPROC,
                         IID_IDirectMusicPerformance8, reinterpret_cast<void**>(&performance)),
        S_OK);
    if (performance != nullptr) {
        keep(performance);
    }
    return performance;
}

IDirectMusicPerformance8* DmusicTest::makePerformance() {
    IDirectMusicPerformance8* performance = createPerformance();
    if (performance == nullptr) {
        return nullptr;
    }
    EXPECT_EQ(performance->InitAudio(nullptr, nullptr, nullptr, DMUS_APATH_DYNAMIC_STEREO, 6,
                                     DMUS_AUDIOF_ALL, nullptr),
              S_OK);
    return performance;
}

IDirectMusicSegmentState* DmusicTest::play(IDirectMusicPerformance8* performance,
                                           IDirectMusicSegment8* segment, DWORD flags,
                                           IDirectMusicSegmentState* from,
                                           IDirectMusicAudioPath* path) {
    IDirectMusicSegmentState* state = nullptr;
    const HRESULT result = performance->PlaySegmentEx(
        segment, nullptr, nullptr, DMUS_SEGF_SECONDARY | flags, 0, &state, from, path);
    return SUCCEEDED(result) ? state : nullptr;
}

IDirectMusicLoader8* DmusicTest::makeLoader() {
    IDirectMusicLoader8* loader = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_DirectMusicLoader, nullptr, CLSCTX_INPROC,
                               IID_IDirectMusicLoader8, reinterpret_cast<void**>(&loader)),
              S_OK);
    if (loader == nullptr) {
        return nullptr;
    }
    keep(loader);
    EXPECT_EQ(loader->SetSearchDirectory(GUID_DirectMusicAllTypes, folder_.wide().c_str(), TRUE),
              S_OK);
    EXPECT_EQ(loader->EnableCache(GUID_DirectMusicAllTypes, FALSE), S_OK);
    return loader;
}

IDirectMusicSegment8* DmusicTest::loadTone(IDirectMusicPerformance8* performance,
                                           const std::string& name, const Tone& tone) {
    if (loader_ == nullptr) {
        loader_ = makeLoader();
    }
    writeToneWav(folder_.file(name), tone);
    IDirectMusicSegment8* segment = nullptr;
    const std::wstring wideName(name.begin(), name.end());
    EXPECT_EQ(loader_->LoadObjectFromFile(CLSID_DirectMusicSegment, IID_IDirectMusicSegment8,
                                          wideName.c_str(), reinterpret_cast<void**>(&segment)),
              S_OK);
    if (segment == nullptr) {
        return nullptr;
    }
    keep(segment);
    if (performance != nullptr) {
        EXPECT_EQ(segment->Download(performance), S_OK);
    }
    return segment;
}

}  // namespace dmusic_testing
