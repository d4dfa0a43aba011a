#include <stdexcept>
#include <string>

#include "game/audio/music_segment_cache.h"
#include "game/audio/music_segment_loader.h"
#include "tests/audio_support/audio_fixture.h"

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
