// A sound loaded on its first play. Looping sounds stay loaded once loaded (resident);
// the others share a bounded cache in which the least-played silent sound makes room.
#pragma once

#include <cstddef>
#include <vector>

#include "game/audio/sound_base.h"

class CCachedSound : public CSoundBase {
public:
    // The most non-resident sounds loaded at once.
    static constexpr std::size_t kCacheSize = 64;

    CCachedSound(SoundPtr inner, bool resident);
    // Leaves the resident or cache list, so that neither keeps a dangling entry.
    ~CCachedSound() override;

    // Loads first when needed (which may evict another sound, or find every slot playing
    // and play nothing), counts the play and plays the inner sound.
    IDirectMusicSegmentState* play(std::uint32_t segmentFlags, IUnknown* audioPath,
                                   IUnknown* from) override;
    void stop() override;
    bool isPlaying() override;
    IDirectMusicSegment8* getSegment() override;
    void setPitch(float) override {}
    void setVolume(float volume) override;
    void load() override;
    void unload() override;

    bool isLoaded() const { return loaded; }
    int getPlayCount() const { return playCount; }

    // Loads the sound into the resident list or the cache (see play).
    static void ensureLoaded(CCachedSound* sound);

    // Shared by every cached sound; they refer to sounds without owning them.
    static std::vector<CCachedSound*> residentList;
    static std::vector<CCachedSound*> cacheList;

private:
    SoundPtr inner;
    bool resident;
    bool loaded;
    int playCount;
};
