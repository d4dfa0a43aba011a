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

class AudioSystemTest : public LoopbackAudio<testing_lua::LuaTest> {
protected:
    AudioSystemTest() : LoopbackAudio("art", true) {}

    void TearDown() override {
        audio_.reset();
        LoopbackAudio::TearDown();
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

    std::unique_ptr<AudioSystem> audio_;
};

}  // namespace audio_testing
