// The leaf of every sound chain: one sound file as a DirectMusic segment on a performance,
// fetched through the music cache when loaded.
#pragma once

#include "engine/core/resource/resource_id.h"
#include "game/audio/music_segment_cache.h"
#include "game/audio/sound_base.h"

class CPerformance;

class CSound : public CSoundBase {
public:
    // Nothing is loaded yet. A looping sound repeats the whole file until stopped. The
    // performance and the cache must outlive the sound.
    CSound(const kesh::ResourceId& id, CPerformance* performance, bool loop,
           kesh::MusicSegmentCache& cache);
    // Unloads the segment when it is still loaded.
    ~CSound() override;

    // Null while no segment is loaded.
    IDirectMusicSegmentState* play(std::uint32_t segmentFlags, IUnknown* audioPath,
                                   IUnknown* from) override;
    void stop() override;
    IDirectMusicSegment8* getSegment() override { return segment; }
    bool isPlaying() override;
    void setPitch(float pitch) override;
    void setVolume(float) override {}
    // Fetches and downloads the segment; does nothing when it is loaded. A file that cannot
    // be loaded is reported once on the "resource" channel and the sound stays silent.
    void load() override;
    void unload() override;

private:
    kesh::ResourceId id;
    CPerformance* performance;
    IDirectMusicSegment8* segment;
    bool loop;
    kesh::MusicSegmentCache& cache;
    bool loadFailed;
};
