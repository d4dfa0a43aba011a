#include <stdexcept>
#include <string>

#include "game/audio/music_segment_cache.h"
#include "game/audio/music_segment_loader.h"
#include "tests/audio_support/audio_fixture.h"
#include "tools/artlib/flac_writer.h"
#include "win32/seams.h"

using audio_testing::AudioTest;
using audio_testing::count;
using dmusic_test::Call;

typedef AudioTest SegmentLoader;

namespace {

std::string failureOf(kesh::MusicSegmentLoader& loader, const std::string& name) {
    try {
        IDirectMusicSegment8* segment = loader.load(name);
        loader.release(segment);
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "";
}

}  // namespace

TEST_F(SegmentLoader, MissingFileThrowsWithThePath) {
    kesh::MusicSegmentLoader loader(sounds_.wide(), false);
    const std::string text = failureOf(loader, "nothing.wav");
    EXPECT_EQ(text.rfind("LoadObjectFromFile failed - path = " + sounds_.path() + "nothing.wav", 0),
              0u)
        << text;
    EXPECT_NE(text.find("DMUS_E_LOADER_FAILEDOPEN"), std::string::npos) << text;
}

TEST_F(SegmentLoader, SoundsLongerThanTenMinutesAreRefusedWithAReason) {
    // Stereo silence at 1 kHz: ten minutes are 600000 frames, cheap to write and to decode.
    auto silence = [this](const std::string& name, int frames) {
        artlib::Sound sound;
        sound.rate = 1000;
        sound.channels = 2;
        sound.samples.assign(2 * static_cast<std::size_t>(frames), 0.0f);
        artlib::Bytes bytes = artlib::flacBytes(sound);
        artlib::saveFile(sounds_.path() + name, bytes);
        return bytes;
    };
    silence("ten.flac", 600000);
    silence("longer.flac", 600001);
    artlib::Bytes unknown = silence("twenty.flac", 1200000);
    // STREAMINFO's total sample count (the low 36 bits of bytes 18..25) set to "unknown":
    // the decoder finds the length only by reading, and must stop at the limit.
    unknown[21] &= 0xF0;
    std::fill(unknown.begin() + 22, unknown.begin() + 26, 0);
    artlib::saveFile(sounds_.path() + "unknown.flac", unknown);

    std::vector<std::wstring> debugLines;
    const win32::DebugOutputSink before = win32::setDebugOutputSink(
        [&debugLines](const std::wstring& text) { debugLines.push_back(text); });
    kesh::MusicSegmentLoader loader(sounds_.wide(), false);
    EXPECT_EQ(failureOf(loader, "ten.flac"), "");
    for (const char* name : {"longer.flac", "twenty.flac", "unknown.flac"}) {
        const std::string text = failureOf(loader, name);
        EXPECT_NE(text.find(std::string("path = ") + sounds_.path() + name), std::string::npos)
            << text;
        EXPECT_NE(text.find("E_OUTOFMEMORY"), std::string::npos) << text;
    }
    win32::setDebugOutputSink(before);
    ASSERT_EQ(debugLines.size(), 3u);
    EXPECT_EQ(debugLines[0], L"dmusic: " + sounds_.wide() +
                                 L"longer.flac is longer than the 600 seconds a sound may last: "
                                 L"not loaded\n");
}

TEST_F(SegmentLoader, ReleaseWithCacheOffOnlyDropsTheReference) {
    tone("a.wav", 0.1);
    {
        kesh::MusicSegmentLoader loader(sounds_.wide(), false);
        IDirectMusicSegment8* segment = loader.load("a.wav");
        ASSERT_NE(segment, nullptr);
        loader.release(segment);
        EXPECT_EQ(segment, nullptr);
        EXPECT_EQ(count(Call::ReleaseObjectByUnknown), 0u);
    }
    {
        kesh::MusicSegmentLoader loader(sounds_.wide(), true);
        IDirectMusicSegment8* segment = loader.load("a.wav");
        loader.release(segment);
        EXPECT_EQ(count(Call::ReleaseObjectByUnknown), 1u);
    }
}

typedef AudioTest MusicCache;

TEST_F(MusicCache, SharedFileStaysLoadedUntilItsLastUser) {
    tone("shared.wav", 0.1);
    IDirectMusicSegment8* first = cache_->fetch("shared.wav");
    IDirectMusicSegment8* second = cache_->fetch("shared.wav");
    EXPECT_EQ(first, second);
    EXPECT_EQ(count(Call::LoadObjectFromFile), 1u);
    EXPECT_EQ(cache_->users("shared.wav"), 2);

    cache_->release("shared.wav");
    EXPECT_EQ(cache_->size(), 1u);
    EXPECT_EQ(cache_->users("shared.wav"), 1);
    cache_->release("shared.wav");
    EXPECT_EQ(cache_->size(), 0u);
    // Releasing more often than fetched is ignored.
    cache_->release("shared.wav");
    EXPECT_EQ(cache_->users("shared.wav"), 0);

    cache_->fetch("shared.wav");
    EXPECT_EQ(count(Call::LoadObjectFromFile), 2u);
}
