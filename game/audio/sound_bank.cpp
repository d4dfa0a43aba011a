#include "game/audio/sound_bank.h"

#include "game/audio/cached_sound.h"
#include "game/audio/combined_sound.h"
#include "game/audio/random_sound.h"
#include "game/audio/sound.h"
#include "game/audio/sound_with_audiopath.h"

namespace {

const char* const kBackgroundMusic = "battle1.wav";

}  // namespace

CSoundBank::CSoundBank(const audio::SSoundsPerformanceConfig& config,
                       kesh::MusicSegmentCache& cache)
    : flags(0), config(config), cache(cache) {}

CSoundBank::~CSoundBank() {
    stopAll();
    releaseSounds();
    musicPerformance.reset();
    effectsPerformance.reset();
}

void CSoundBank::releaseSounds() {
    randomSounds.clear();
    combinedSounds.clear();
    background.reset();
}

void CSoundBank::setup(HWND window) {
    // Sounds of an earlier setup play on the performances about to be replaced.
    releaseSounds();
    effectsPerformance.reset(new CPerformance(window));
    musicPerformance.reset(new CPerformance(window));
    for (const audio::SRandomSoundEntry& entry : config.randomSoundTable) {
        createRandomSound(entry.name, *entry.config);
    }
    for (const audio::SCombinedSoundEntry& entry : config.combinedSoundTable) {
        createCombinedSound(entry.name, *entry.config);
    }
    SoundPtr music(new CSound(kBackgroundMusic, musicPerformance.get(), true, cache));
    background.reset(new CSoundWithAudiopath(music, musicPerformance.get()));
}

SoundPtr CSoundBank::createSound(const kesh::ResourceId& id, bool loop) {
    if (id.id.empty()) {
        return SoundPtr();
    }
    SoundPtr sound(new CSound(id, effectsPerformance.get(), loop, cache));
    SoundPtr withPath(new CSoundWithAudiopath(sound, effectsPerformance.get()));
    return SoundPtr(new CCachedSound(withPath, loop));
}

void CSoundBank::createRandomSound(const std::string& name,
                                   const audio::SRandomSoundConfig& record) {
    boost::shared_ptr<CRandomSound> sound(new CRandomSound());
    for (const audio::SSoundConfig* child :
         {record.s1, record.s2, record.s3, record.s4, record.s5}) {
        if (!child->id.id.empty()) {
            sound->addChild(createSound(child->id, false));
        }
    }
    sound->setMaxConcurrentSounds(record.maxConcurrentSounds);
    randomSounds.emplace(name, sound);
}

void CSoundBank::createCombinedSound(const std::string& name,
                                     const audio::SCombinedSoundConfig& record) {
    SoundPtr intro = createSound(record.intro.id, false);
    SoundPtr loop = createSound(record.loop.id, true);
    SoundPtr outro = createSound(record.outro.id, false);
    combinedSounds.emplace(name, SoundPtr(new CCombinedSound(intro, loop, outro)));
}

void CSoundBank::setVolume(const std::string& name, float volume) {
    if ((flags & kSoundsEnabled) == 0) {
        return;
    }
    SoundPtr sound = findRandomSound(name);
    if (!sound) {
        sound = findCombinedSound(name);
    }
    if (sound) {
        sound->setVolume(volume);
    }
}

void CSoundBank::stopAll() {
    for (const auto& entry : combinedSounds) {
        entry.second->stop();
    }
    for (const auto& entry : randomSounds) {
        entry.second->stop();
    }
    if (background) {
        background->stop();
    }
}

SoundPtr CSoundBank::findRandomSound(const std::string& name) const {
    const auto found = randomSounds.find(name);
    return found == randomSounds.end() ? SoundPtr() : found->second;
}

SoundPtr CSoundBank::findCombinedSound(const std::string& name) const {
    const auto found = combinedSounds.find(name);
    return found == combinedSounds.end() ? SoundPtr() : found->second;
}
