// The only door through which the game reaches sound. Sounds are named ("tyreSlide",
// "carEngineHi", "video01", ...) as "audio.lua" configures them. Play, start and stop
// requests are queued and carried out together by update, once a frame; volumes, stopAll
// and the background music act at once.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/core/resource/resource_id.h"

class CSoundBank;
class CSoundBase;

namespace kesh {
class LuaConfig;
class MusicSegmentCache;
}  // namespace kesh

struct SoundStopRequest {
    kesh::ResourceId id;
};

class AudioSystem {
public:
    // Runs "audio.lua" on the script host and builds the sound bank from the
    // "SoundsPerformance" it returns, with music and sounds enabled. A script that fails
    // throws its std::runtime_error; a result of another type throws luabind::cast_failed.
    // The cache (the game's music cache) must outlive the audio system.
    AudioSystem(kesh::LuaConfig& scripts, kesh::MusicSegmentCache& musicCache);
    ~AudioSystem();
    AudioSystem(const AudioSystem&) = delete;
    AudioSystem& operator=(const AudioSystem&) = delete;

    // First call only: makes the performances and the sounds, both master volumes full.
    void init(HWND window);

    void enableSounds(bool enabled);
    void enableMusic(bool enabled);
    // Master volumes, 0..1; before init they do nothing.
    void setMusicVolume(float volume);
    void setEffectsVolume(float volume);

    // A random sound ("beep", "z1", ...), at the next update. An empty name is dropped.
    void playSound(const std::string& name);
    // A combined sound ("carEngine", "video01", ...), at the next update.
    void startSound(const std::string& name);
    void stopSound(const std::string& name);
    // At once, on a sound of either family.
    void setVolume(const std::string& name, float volume);
    // The sound setVolume by that name reaches, found once for a caller that sets its volume
    // every step: null before init and for a name of neither family. It lives as long as the
    // audio system.
    CSoundBase* findSound(const std::string& name) const;
    // As setVolume by name, without the lookup; null does nothing.
    void setVolume(CSoundBase* sound, float volume);
    void stopAll();
    // Loads and plays "battle1.wav" looping on the music performance, when music is on.
    void playBackgroundMusic();

    // Carries out the queued requests: every play, then every start, then every stop, each
    // in order of arrival. While sounds are disabled the requests wait.
    void update();

    CSoundBank* getBank() const { return bank.get(); }
    std::size_t queuedPlays() const { return playQueue.size(); }
    std::size_t queuedStarts() const { return startQueue.size(); }
    std::size_t queuedStops() const { return stopQueue.size(); }

private:
    bool soundsEnabled() const;

    bool initialised;
    std::vector<kesh::ResourceId> playQueue;
    std::vector<kesh::ResourceId> startQueue;
    std::vector<SoundStopRequest> stopQueue;
    std::unique_ptr<CSoundBank> bank;
};
