// Every sound the game can name, built from the sound configuration on two performances:
// one for the configured sounds, one for the background music.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "engine/core/resource/resource_id.h"
#include "game/audio/config/sound_config.h"
#include "game/audio/music_segment_cache.h"
#include "game/audio/performance.h"
#include "game/audio/sound_base.h"

class CSoundBank {
public:
    static constexpr std::uint32_t kMusicEnabled = 0x1;
    static constexpr std::uint32_t kSoundsEnabled = 0x2;

    // Copies the configuration; no performance and no sound until setup. The cache must
    // outlive the bank.
    CSoundBank(const audio::SSoundsPerformanceConfig& config, kesh::MusicSegmentCache& cache);
    // Stops everything, then releases the sounds before the performances they play on.
    virtual ~CSoundBank();
    CSoundBank(const CSoundBank&) = delete;
    CSoundBank& operator=(const CSoundBank&) = delete;

    // Makes both performances and one sound per configured name (nothing is loaded yet).
    void setup(HWND window);

    // Empty for an empty id; else a cached chain with an audio path of its own on the
    // effects performance, resident when it loops.
    SoundPtr createSound(const kesh::ResourceId& id, bool loop);
    // Enter a sound under the name; a name already present keeps its earlier sound.
    void createRandomSound(const std::string& name, const audio::SRandomSoundConfig& config);
    void createCombinedSound(const std::string& name, const audio::SCombinedSoundConfig& config);

    // While sounds are enabled: the random sound of that name, else the combined one, gets
    // the volume; other names are ignored.
    void setVolume(const std::string& name, float volume);
    // Stops the combined sounds, the random sounds and the background music. Harmless
    // before setup.
    void stopAll();

    std::uint32_t flags;

    // Null before setup.
    CPerformance* getEffectsPerformance() const { return effectsPerformance.get(); }
    CPerformance* getMusicPerformance() const { return musicPerformance.get(); }
    // Empty when the name is not one of the family.
    SoundPtr findRandomSound(const std::string& name) const;
    SoundPtr findCombinedSound(const std::string& name) const;
    const SoundPtr& getBackground() const { return background; }
    std::size_t randomSoundCount() const { return randomSounds.size(); }
    std::size_t combinedSoundCount() const { return combinedSounds.size(); }

private:
    void releaseSounds();

    std::unique_ptr<CPerformance> effectsPerformance;
    std::unique_ptr<CPerformance> musicPerformance;
    std::map<std::string, SoundPtr> randomSounds;
    std::map<std::string, SoundPtr> combinedSounds;
    SoundPtr background;
    audio::SSoundsPerformanceConfig config;
    kesh::MusicSegmentCache& cache;
};
