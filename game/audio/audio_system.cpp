#include "game/audio/audio_system.h"

#include <luabind/luabind.hpp>

#include "engine/core/lua/lua_config.h"
#include "game/audio/config/sound_config.h"
#include "game/audio/sound_bank.h"

namespace {

constexpr std::size_t kQueueReserve = 128;
const wchar_t* const kAudioScript = L"audio.lua";

// Empties the queues when the drain ends, also when a sound throws half-way: the same
// requests must not run again next frame.
class QueueClearer {
public:
    QueueClearer(std::vector<kesh::ResourceId>& plays, std::vector<kesh::ResourceId>& starts,
                 std::vector<SoundStopRequest>& stops)
        : plays_(plays), starts_(starts), stops_(stops) {}
    ~QueueClearer() {
        plays_.clear();
        starts_.clear();
        stops_.clear();
    }
    QueueClearer(const QueueClearer&) = delete;
    QueueClearer& operator=(const QueueClearer&) = delete;

private:
    std::vector<kesh::ResourceId>& plays_;
    std::vector<kesh::ResourceId>& starts_;
    std::vector<SoundStopRequest>& stops_;
};

}  // namespace

AudioSystem::AudioSystem(kesh::LuaConfig& scripts, kesh::MusicSegmentCache& musicCache)
    : initialised(false) {
    const audio::SSoundsPerformanceConfig config =
        scripts.runFileAs<audio::SSoundsPerformanceConfig>(kAudioScript);
    bank.reset(new CSoundBank(config, musicCache));
    playQueue.reserve(kQueueReserve);
    startQueue.reserve(kQueueReserve);
    stopQueue.reserve(kQueueReserve);
    bank->flags |= CSoundBank::kMusicEnabled | CSoundBank::kSoundsEnabled;
}

AudioSystem::~AudioSystem() = default;

void AudioSystem::init(HWND window) {
    if (initialised) {
        return;
    }
    bank->setup(window);
    bank->getMusicPerformance()->setMasterVolume(1.0f);
    bank->getEffectsPerformance()->setMasterVolume(1.0f);
    initialised = true;
}

void AudioSystem::enableSounds(bool enabled) {
    if (enabled) {
        bank->flags |= CSoundBank::kSoundsEnabled;
    } else {
        bank->flags &= ~CSoundBank::kSoundsEnabled;
    }
}

void AudioSystem::enableMusic(bool enabled) {
    if (enabled) {
        bank->flags |= CSoundBank::kMusicEnabled;
    } else {
        bank->flags &= ~CSoundBank::kMusicEnabled;
    }
}

void AudioSystem::setMusicVolume(float volume) {
    if (CPerformance* music = bank->getMusicPerformance()) {
        music->setMasterVolume(volume);
    }
}

void AudioSystem::setEffectsVolume(float volume) {
    if (CPerformance* effects = bank->getEffectsPerformance()) {
        effects->setMasterVolume(volume);
    }
}

bool AudioSystem::soundsEnabled() const {
    return (bank->flags & CSoundBank::kSoundsEnabled) != 0;
}

void AudioSystem::playSound(const std::string& name) {
    if (soundsEnabled() && !name.empty()) {
        playQueue.emplace_back(name);
    }
}

void AudioSystem::startSound(const std::string& name) {
    if (soundsEnabled()) {
        startQueue.emplace_back(name);
    }
}

void AudioSystem::stopSound(const std::string& name) {
    if (soundsEnabled()) {
        stopQueue.push_back(SoundStopRequest{name});
    }
}

void AudioSystem::setVolume(const std::string& name, float volume) {
    if (bank) {
        bank->setVolume(name, volume);
    }
}

CSoundBase* AudioSystem::findSound(const std::string& name) const {
    if (!bank) {
        return nullptr;
    }
    SoundPtr sound = bank->findRandomSound(name);
    return sound ? sound.get() : bank->findCombinedSound(name).get();
}

void AudioSystem::setVolume(CSoundBase* sound, float volume) {
    if (sound != nullptr && bank && (bank->flags & CSoundBank::kSoundsEnabled) != 0) {
        sound->setVolume(volume);
    }
}

void AudioSystem::stopAll() {
    if (bank) {
        bank->stopAll();
    }
}

void AudioSystem::playBackgroundMusic() {
    if ((bank->flags & CSoundBank::kMusicEnabled) == 0) {
        return;
    }
    const SoundPtr& background = bank->getBackground();
    if (background) {
        background->load();
        background->play(kSegmentSecondary, nullptr, nullptr);
    }
}

void AudioSystem::update() {
    if (!soundsEnabled()) {
        return;
    }
    QueueClearer clearer(playQueue, startQueue, stopQueue);
    for (const kesh::ResourceId& name : playQueue) {
        if (!soundsEnabled()) {
            continue;
        }
        if (SoundPtr sound = bank->findRandomSound(name.id)) {
            sound->play(kSegmentSecondary, nullptr, nullptr);
        }
    }
    for (const kesh::ResourceId& name : startQueue) {
        if (!soundsEnabled()) {
            continue;
        }
        if (SoundPtr sound = bank->findCombinedSound(name.id)) {
            sound->play(kSegmentSecondary, nullptr, nullptr);
        }
    }
    for (const SoundStopRequest& request : stopQueue) {
        if (!soundsEnabled()) {
            continue;
        }
        if (SoundPtr sound = bank->findCombinedSound(request.id.id)) {
            sound->stop();
        }
    }
}
