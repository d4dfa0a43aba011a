// Sound files written by the tests, a COM apartment with a manually clocked loopback output,
// a music cache over a scratch folder, and helpers to read what the DirectMusic layer saw.
#pragma once

#include <dmusic/test_seam.h>
#include <dmusici.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/strings.h"
#include "game/audio/music_segment_cache.h"
#include "game/audio/music_segment_loader.h"

namespace audio_testing {

// A mono 16-bit sine tone, `seconds` long, as a RIFF/WAVE file.
inline void writeTone(const std::string& path, double seconds, double amplitude = 0.5,
                      double frequency = 441.0) {
    const int rate = 22050;
    const std::uint32_t frames = static_cast<std::uint32_t>(seconds * rate);
    std::vector<std::int16_t> samples(frames);
    for (std::uint32_t i = 0; i < frames; ++i) {
        samples[i] = static_cast<std::int16_t>(
            std::lround(amplitude * 32767.0 * std::sin(2.0 * M_PI * frequency * i / rate)));
    }
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&out](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&out](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    const std::uint32_t bytes = frames * 2;
    out.write("RIFF", 4);
    u32(36 + bytes);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);  // PCM
    u16(1);  // mono
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    out.write("data", 4);
    u32(bytes);
    out.write(reinterpret_cast<const char*>(samples.data()), bytes);
}

// A fresh folder removed with its files at the end.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& tag) {
        path_ = ::testing::TempDir() + "audio-" + tag + "-" + std::to_string(getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + "/";
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() { std::filesystem::remove_all(path_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Ends with '/'.
    const std::string& path() const { return path_; }
    std::wstring wide() const { return kesh::toWide(path_); }

private:
    std::string path_;
};

// The file a recorded segment was loaded from (its last path component), or "".
inline std::string fileOf(const void* segment) {
    for (const dmusic_test::Event& event :
         dmusic_test::events(dmusic_test::Call::LoadObjectFromFile)) {
        if (event.object == segment && segment != nullptr) {
            const std::string path = kesh::toNarrow(event.path);
            return path.substr(path.find_last_of("/\\") + 1);
        }
    }
    return "";
}

// The files of the recorded plays (PlaySegmentEx) in order.
inline std::vector<std::string> playedFiles() {
    std::vector<std::string> files;
    for (const dmusic_test::Event& event : dmusic_test::events(dmusic_test::Call::PlaySegmentEx)) {
        files.push_back(fileOf(event.object));
    }
    return files;
}

inline std::size_t count(dmusic_test::Call call) {
    return dmusic_test::events(call).size();
}

// COM, the manual loopback clock and call recording for one test of the fixture Base; a
// music cache over the test's own sound folder (named folder), and the output captured
// when asked for. The derived fixture releases its DirectMusic objects before TearDown.
template <class Base>
class LoopbackAudio : public Base {
protected:
    explicit LoopbackAudio(const char* folder, bool capture = false)
        : sounds_(folder), capture_(capture) {}

    void SetUp() override {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        dmusic_test::reset();
        dmusic_test::setOutput(dmusic_test::Output::ManualLoopback);
        if (capture_) {
            dmusic_test::setCapture(true);
        }
        dmusic_test::setRecording(true);
        cache_.reset(new kesh::MusicSegmentCache(boost::shared_ptr<kesh::MusicSegmentCache::Loader>(
            new kesh::MusicSegmentLoader(sounds_.wide(), false))));
    }

    void TearDown() override {
        cache_.reset();
        EXPECT_EQ(dmusic_test::liveObjects(), 0) << "DirectMusic objects outlived their owners";
        dmusic_test::reset();
        CoUninitialize();
    }

    void tone(const std::string& name, double seconds, double amplitude = 0.5) {
        writeTone(sounds_.path() + name, seconds, amplitude);
    }

    ScratchFolder sounds_;
    std::unique_ptr<kesh::MusicSegmentCache> cache_;

private:
    bool capture_;
};

class AudioTest : public LoopbackAudio<::testing::Test> {
protected:
    AudioTest() : LoopbackAudio("sounds") {}
};

}  // namespace audio_testing
