#include "fixture.h"

#include <filesystem>

namespace dmusic_testing {
namespace {

class Loader : public DmusicTest {
protected:
    HRESULT load(IDirectMusicLoader8* loader, const std::wstring& path,
                 IDirectMusicSegment8** segment) {
        *segment = reinterpret_cast<IDirectMusicSegment8*>(1);
        const HRESULT result =
            loader->LoadObjectFromFile(CLSID_DirectMusicSegment, IID_IDirectMusicSegment8,
                                       path.c_str(), reinterpret_cast<void**>(segment));
        if (SUCCEEDED(result)) {
            keep(*segment);
        }
        return result;
    }

    static MUSIC_TIME length(IDirectMusicSegment8* segment) {
        MUSIC_TIME ticks = -1;
        EXPECT_EQ(segment->GetLength(&ticks), S_OK);
        return ticks;
    }
};

TEST_F(Loader, TheSearchFolderMustExist) {
    IDirectMusicLoader8* loader = makeLoader();
    EXPECT_EQ(loader->SetSearchDirectory(GUID_DirectMusicAllTypes,
                                         (folder_.wide() + L"/missing/").c_str(), TRUE),
              DMUS_E_LOADER_BADPATH);
    EXPECT_EQ(loader->SetSearchDirectory(GUID_DirectMusicAllTypes, nullptr, TRUE), E_POINTER);
    EXPECT_EQ(loader->SetSearchDirectory(IID_IDirectMusicGraph, folder_.wide().c_str(), TRUE),
              DMUS_E_LOADER_NOCLASSID);
    // A file is not a folder.
    writeToneWav(folder_.file("plain.wav"), Tone());
    EXPECT_EQ(loader->SetSearchDirectory(GUID_DirectMusicAllTypes,
                                         (folder_.wide() + L"/plain.wav").c_str(), TRUE),
              DMUS_E_LOADER_BADPATH);
}

TEST_F(Loader, FindsFilesWithEitherSeparatorAndAnyCase) {
    std::filesystem::create_directory(folder_.file("Sub"));
    Tone tone;
    tone.seconds = 0.5;
    writeToneWav(folder_.file("Sub/Tone.wav"), tone);
    IDirectMusicLoader8* loader = makeLoader();
    IDirectMusicSegment8* segment = nullptr;
    ASSERT_EQ(load(loader, L"Sub/Tone.wav", &segment), S_OK);
    EXPECT_EQ(length(segment), 768);
    EXPECT_EQ(load(loader, L"sub\\TONE.WAV", &segment), S_OK);
    EXPECT_EQ(load(loader, folder_.wide() + L"\\SUB\\tone.wav", &segment), S_OK);
    // The folder may be given with backslashes and the wrong case too.
    std::wstring upper = folder_.wide() + L"\\sub\\";
    ASSERT_EQ(loader->SetSearchDirectory(GUID_DirectMusicAllTypes, upper.c_str(), TRUE), S_OK);
    EXPECT_EQ(load(loader, L"tone.wav", &segment), S_OK);
}

TEST_F(Loader, MissingAndBrokenFilesFailWithNoObject) {
    IDirectMusicLoader8* loader = makeLoader();
    IDirectMusicSegment8* segment = nullptr;
    EXPECT_EQ(load(loader, L"absent.wav", &segment), DMUS_E_LOADER_FAILEDOPEN);
    EXPECT_EQ(segment, nullptr);

    writeBytes(folder_.file("noise.wav"), {'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v', 'e'});
    EXPECT_EQ(load(loader, L"noise.wav", &segment), DMUS_E_UNSUPPORTED_STREAM);
    EXPECT_EQ(segment, nullptr);

    writeBytes(folder_.file("empty.wav"), {});
    EXPECT_EQ(load(loader, L"empty.wav", &segment), DMUS_E_UNSUPPORTED_STREAM);

    Tone silentTone;
    silentTone.seconds = 0.0;  // a valid header and no sound at all
    writeToneWav(folder_.file("nothing.wav"), silentTone);
    EXPECT_EQ(load(loader, L"nothing.wav", &segment), DMUS_E_UNSUPPORTED_STREAM);

    std::filesystem::create_directory(folder_.file("folder.wav"));
    EXPECT_EQ(load(loader, L"folder.wav", &segment), DMUS_E_LOADER_FAILEDOPEN);
    EXPECT_EQ(dmusic_test::liveObjects(), 1);  // only the loader
}

TEST_F(Loader, ATruncatedFileKeepsTheSoundItHolds) {
    Tone tone;
    tone.seconds = 1.0;
    writeToneWav(folder_.file("cut.wav"), tone);
    std::filesystem::resize_file(folder_.file("cut.wav"), 44 + 44100);  // half a second
    IDirectMusicLoader8* loader = makeLoader();
    IDirectMusicSegment8* segment = nullptr;
    ASSERT_EQ(load(loader, L"cut.wav", &segment), S_OK);
    EXPECT_EQ(length(segment), 768);
}

TEST_F(Loader, DecodesOtherLayoutsAndRates) {
    Tone stereoFloat;
    stereoFloat.seconds = 1.0;
    stereoFloat.channels = 2;
    stereoFloat.type = SampleType::Float32;
    writeToneWav(folder_.file("float.wav"), stereoFloat);
    Tone slow;
    slow.seconds = 0.25;
    slow.rate = 24000;
    writeToneWav(folder_.file("slow.wav"), slow);
    IDirectMusicLoader8* loader = makeLoader();
    IDirectMusicSegment8* segment = nullptr;
    ASSERT_EQ(load(loader, L"float.wav", &segment), S_OK);
    EXPECT_EQ(length(segment), 1536);
    ASSERT_EQ(load(loader, L"slow.wav", &segment), S_OK);
    EXPECT_EQ(length(segment), 384);
}

TEST_F(Loader, TheCacheSharesOneSegmentPerFile) {
    writeToneWav(folder_.file("shared.wav"), Tone());
    IDirectMusicLoader8* loader = makeLoader();
    ASSERT_EQ(loader->EnableCache(GUID_DirectMusicAllTypes, TRUE), S_OK);
    IDirectMusicSegment8* first = nullptr;
    IDirectMusicSegment8* second = nullptr;
    ASSERT_EQ(load(loader, L"shared.wav", &first), S_OK);
    ASSERT_EQ(load(loader, L"SHARED.wav", &second), S_OK);
    EXPECT_EQ(first, second);
    // Two callers and the cache.
    EXPECT_EQ(first->AddRef(), 4u);
    EXPECT_EQ(first->Release(), 3u);
    EXPECT_EQ(loader->ReleaseObjectByUnknown(first), S_OK);
    EXPECT_EQ(loader->ReleaseObjectByUnknown(first), S_FALSE);
    EXPECT_EQ(first->AddRef(), 3u);
    EXPECT_EQ(first->Release(), 2u);

    // Off: every load is a segment of its own, and the cached ones are let go.
    IDirectMusicSegment8* cached = nullptr;
    ASSERT_EQ(load(loader, L"shared.wav", &cached), S_OK);
    EXPECT_NE(cached, first);
    ASSERT_EQ(loader->EnableCache(GUID_DirectMusicAllTypes, FALSE), S_OK);
    EXPECT_EQ(cached->AddRef(), 2u);
    EXPECT_EQ(cached->Release(), 1u);
    IDirectMusicSegment8* a = nullptr;
    IDirectMusicSegment8* b = nullptr;
    ASSERT_EQ(load(loader, L"shared.wav", &a), S_OK);
    ASSERT_EQ(load(loader, L"shared.wav", &b), S_OK);
    EXPECT_NE(a, b);
    EXPECT_EQ(a->AddRef(), 2u);
    EXPECT_EQ(a->Release(), 1u);
}

TEST_F(Loader, RefusesOtherClassesAndInterfacesAndInjectedFailures) {
    writeToneWav(folder_.file("fine.wav"), Tone());
    IDirectMusicLoader8* loader = makeLoader();
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(loader->LoadObjectFromFile(CLSID_DirectMusicPerformance, IID_IDirectMusicSegment8,
                                         L"fine.wav", &object),
              DMUS_E_LOADER_NOCLASSID);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(loader->LoadObjectFromFile(CLSID_DirectMusicSegment, IID_IDirectMusicLoader8,
                                         L"fine.wav", &object),
              E_NOINTERFACE);
    EXPECT_EQ(loader->LoadObjectFromFile(CLSID_DirectMusicSegment, IID_IDirectMusicSegment8,
                                         nullptr, &object),
              E_POINTER);
    dmusic_test::failLoad(L"FINE.WAV", DMUS_E_LOADER_FAILEDOPEN);
    IDirectMusicSegment8* segment = nullptr;
    EXPECT_EQ(load(loader, L"fine.wav", &segment), DMUS_E_LOADER_FAILEDOPEN);
    EXPECT_EQ(segment, nullptr);
}

}  // namespace
}  // namespace dmusic_testing
