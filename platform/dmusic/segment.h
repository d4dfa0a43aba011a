// A segment: a sound file, its repeats and loop points, and the performances it is
// downloaded to.
#pragma once

#include "openal/mixer.h"
#include "registry.h"
#include "sound_file.h"

#include <dmusici.h>

#include <memory>
#include <vector>

namespace dmusic {

class SegmentImpl : public ComObject<IDirectMusicSegment8, Kind::Segment> {
public:
    explicit SegmentImpl(std::shared_ptr<SoundFile> sound);
    ~SegmentImpl() override;

    HRESULT QueryInterface(REFIID iid, void** object) override;
    HRESULT GetLength(MUSIC_TIME* length) override;
    HRESULT SetRepeats(DWORD repeats) override;
    HRESULT GetRepeats(DWORD* repeats) override;
    HRESULT SetLoopPoints(MUSIC_TIME start, MUSIC_TIME end) override;
    HRESULT GetLoopPoints(MUSIC_TIME* start, MUSIC_TIME* end) override;
    HRESULT Download(IUnknown* performanceOrPath) override;
    HRESULT Unload(IUnknown* performanceOrPath) override;

    // A play request carrying this segment's looping as it stands now.
    PlayRequest playRequest() const;

private:
    MUSIC_TIME length() const;
    std::size_t toFrames(MUSIC_TIME ticks) const;

    std::shared_ptr<SoundFile> sound_;
    DWORD repeats_ = 0;
    MUSIC_TIME loopStart_ = 0;
    MUSIC_TIME loopEnd_ = 0;
    std::vector<std::weak_ptr<Mixer>> mixers_;
};

// The live segment behind `object`, or null.
SegmentImpl* asSegment(const void* object);

}  // namespace dmusic
