#include <sndfile.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "game/audio/music_segment_cache.h"
#include "game/audio/music_segment_loader.h"
#include "tests/audio_support/audio_fixture.h"
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

// Stereo 16-bit FLAC silence written a block at a time, so that an hour costs no memory.
void writeSilence(const std::string& path, int rate, long long frames) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 2;
    info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    const std::vector<short> block(2 * 65536, 0);
    for (long long left = frames; left > 0; left -= 65536) {
        sf_writef_short(file, block.data(), std::min<long long>(left, 65536));
    }
    sf_close(file);
}

TEST_F(SegmentLoader, AHalfHourTrackLoadsAndIsHeldOnceAs16BitStereo) {
    writeSilence(sounds_.path() + "battle1.flac", 48000, 30LL * 60 * 48000);
    kesh::MusicSegmentLoader loader(sounds_.wide(), false);
    IDirectMusicSegment8* segment = loader.load("battle1.flac");
    EXPECT_EQ(dmusic_test::heldSoundBytes(), 30ull * 60 * 48000 * 4);
    loader.release(segment);
    EXPECT_EQ(dmusic_test::heldSoundBytes(), 0u);
}

TEST_F(SegmentLoader, AllSoundsShareOneBudgetAndAFileIsHeldOnceUnderEveryName) {
    // Ten minutes of stereo silence at 1 kHz: 2.4 MB held, cheap to write and to decode. The
    // budget holds exactly six, and room to hand the last to OpenAL.
    constexpr unsigned long long kHeld = 600000ull * 4;
    for (const char* name :
         {"a.flac", "b.flac", "c.flac", "d.flac", "e.flac", "f.flac", "g.flac"}) {
        writeSilence(sounds_.path() + name, 1000, 600000);
    }
    std::filesystem::create_symlink(sounds_.path() + "a.flac", sounds_.path() + "link.flac");
    // STREAMINFO's total sample count (the low 36 bits of bytes 18..25) set to "unknown": the
    // decoder finds the length only by reading, and must stop at the budget.
    std::fstream unknown(sounds_.path() + "g.flac",
                         std::ios::in | std::ios::out | std::ios::binary);
    unknown.seekg(21);
    const char low = static_cast<char>(unknown.get() & 0xF0);
    unknown.seekp(21);
    unknown.write(&low, 1).write("\0\0\0\0", 4);
    unknown.close();

    dmusic_test::setSoundBudget(7 * kHeld);
    std::vector<std::wstring> debugLines;
    const win32::DebugOutputSink before = win32::setDebugOutputSink(
        [&debugLines](const std::wstring& text) { debugLines.push_back(text); });
    kesh::MusicSegmentLoader loader(sounds_.wide(), false);
    std::vector<IDirectMusicSegment8*> held;
    for (const char* name : {"a.flac", "b.flac", "c.flac", "d.flac", "e.flac", "f.flac", "A.FLAC",
                             ".\\a.flac", "link.flac"}) {
        held.push_back(loader.load(name));
    }
    EXPECT_EQ(dmusic_test::heldSoundBytes(), 6 * kHeld);
    EXPECT_EQ(count(Call::LoadObjectFromFile), 9u);
    writeSilence(sounds_.path() + "h.flac", 1000, 600000);
    for (const char* name : {"g.flac", "h.flac"}) {
        const std::string text = failureOf(loader, name);
        EXPECT_NE(text.find(std::string("path = ") + sounds_.path() + name), std::string::npos)
            << text;
        EXPECT_NE(text.find("E_OUTOFMEMORY"), std::string::npos) << text;
    }
    win32::setDebugOutputSink(before);
    ASSERT_EQ(debugLines.size(), 2u);
    EXPECT_EQ(debugLines[1], L"dmusic: " + sounds_.wide() +
                                 L"h.flac does not fit in the 16 MiB all sounds may hold: not "
                                 L"loaded\n");
    EXPECT_EQ(dmusic_test::heldSoundBytes(), 6 * kHeld);

    // Room made by a file's last segment loads the next.
    loader.release(held[1]);
    EXPECT_EQ(failureOf(loader, "h.flac"), "");
    for (std::size_t i = 2; i < held.size(); ++i) {
        loader.release(held[i]);
    }
    EXPECT_EQ(dmusic_test::heldSoundBytes(), kHeld);
    loader.release(held[0]);
    EXPECT_EQ(dmusic_test::heldSoundBytes(), 0u);
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
