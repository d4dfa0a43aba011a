// A Lua state and script host as the game builds them, COM with a manually clocked loopback
// output, and a music cache over the test's own sound folder.
#pragma once

#include <memory>
#include <string>

#include "game/audio/audio_system.h"
#include "game/audio/sound_bank.h"
#include "tests/audio_support/audio_fixture.h"
#include "tests/core_lua/lua_fixture.h"

namespace audio_testing {

class AudioSystemTest : public testing_lua::LuaTest {
protected:
    AudioSystemTest() : sounds_("art") {}

    void SetUp() override {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        dmusic_test::reset();
        dmusic_test::setOutput(dmusic_test::Output::ManualLoopback);
        dmusic_test::setCapture(true);
        dmusic_test::setRecording(true);
        cache_.reset(new kesh::MusicSegmentCache(boost::shared_ptr<kesh::MusicSegmentCache::Loader>(
            new kesh::MusicSegmentLoader(sounds_.wide(), false))));
    }

    void TearDown() override {
        audio_.reset();
        cache_.reset();
        EXPECT_EQ(dmusic_test::liveObjects(), 0) << "DirectMusic objects outlived their owners";
        dmusic_test::reset();
        CoUninitialize();
    }

    void tone(const std::string& name, double seconds, double amplitude = 0.5) {
        writeTone(sounds_.path() + name, seconds, amplitude);
    }

    // Writes "audio.lua" and builds the audio system from it, initialised.
    AudioSystem& build(const std::string& script, bool initialise = true) {
        writeScript("audio.lua", script);
        audio_.reset(new AudioSystem(*config_, *cache_));
        if (initialise) {
            audio_->init(nullptr);
        }
        return *audio_;
    }

    CSoundBank& bank() { return *audio_->getBank(); }
    IDirectMusicPerformance8* effects() { return bank().getEffectsPerformance()->get(); }
    IDirectMusicPerformance8* music() { return bank().getMusicPerformance()->get(); }

    ScratchFolder sounds_;
    std::unique_ptr<kesh::MusicSegmentCache> cache_;
    std::unique_ptr<AudioSystem> audio_;
};

}  // namespace audio_testing
