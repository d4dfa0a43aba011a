// The interface of every sound the game can name. Sounds are chains of small wrappers
// around one leaf that owns a DirectMusic segment, held by shared handles.
#pragma once

#include <dmusici.h>

#include <boost/shared_ptr.hpp>

#include <cstdint>

class CSoundBase {
public:
    virtual ~CSoundBase() = default;

    // Plays with DirectMusic segment flags (DMUS_SEGF_SECONDARY, DMUS_SEGF_QUEUE) on an
    // audio path (null: the performance's default), replacing or queued after `from` (a
    // segment state or audio path, null: none). The state of the new play, or null when
    // nothing played; the state belongs to the performance.
    virtual IDirectMusicSegmentState* play(std::uint32_t segmentFlags, IUnknown* audioPath,
                                           IUnknown* from) = 0;
    virtual void stop() = 0;
    virtual IDirectMusicSegment8* getSegment() { return nullptr; }
    virtual bool isPlaying() = 0;
    // -1..1, 0 leaves the pitch unchanged.
    virtual void setPitch(float pitch) = 0;
    // 0 (silent) .. 1 (full).
    virtual void setVolume(float volume) = 0;
    virtual void load() {}
    virtual void unload() {}

protected:
    CSoundBase() = default;
    CSoundBase(const CSoundBase&) = delete;
    CSoundBase& operator=(const CSoundBase&) = delete;
};

typedef boost::shared_ptr<CSoundBase> SoundPtr;

// The segment flags the game plays with.
constexpr std::uint32_t kSegmentSecondary = DMUS_SEGF_SECONDARY;
constexpr std::uint32_t kSegmentSecondaryQueued = DMUS_SEGF_SECONDARY | DMUS_SEGF_QUEUE;
