#include "game/audio/sound.h"

#include <stdexcept>

#include "engine/core/log.h"
#include "game/audio/performance.h"

CSound::CSound(const kesh::ResourceId& id, CPerformance* performance, bool loop,
               kesh::MusicSegmentCache& cache)
    : id(id),
      performance(performance),
      segment(nullptr),
      loop(loop),
      cache(cache),
      loadFailed(false) {}

CSound::~CSound() {
    if (segment != nullptr) {
        try {
            unload();
        } catch (...) {
            // A destructor must not throw; the cache frees the segment at its own end.
        }
    }
}

IDirectMusicSegmentState* CSound::play(std::uint32_t segmentFlags, IUnknown* audioPath,
                                       IUnknown* from) {
    if (segment == nullptr) {
        return nullptr;
    }
    IDirectMusicSegmentState* state = nullptr;
    performance->get()->PlaySegmentEx(segment, nullptr, nullptr, segmentFlags, 0, &state, from,
                                      audioPath);
    return state;
}

void CSound::stop() {
    if (segment != nullptr) {
        performance->stopSound(this, 0);
    }
}

bool CSound::isPlaying() {
    return segment != nullptr && performance->get()->IsPlaying(segment, nullptr) == S_OK;
}

void CSound::setPitch(float pitch) {
    performance->setPitchBend(pitch);
}

void CSound::load() {
    if (segment != nullptr || loadFailed) {
        return;
    }
    IDirectMusicSegment8* fetched = nullptr;
    try {
        fetched = cache.fetch(id);
    } catch (const std::runtime_error& error) {
        // A missing sound must not end the run in the middle of a frame; say it once and
        // stay silent.
        loadFailed = true;
        boost::log::LogLine line(boost::log::logResource());
        if (line.stream()) {
            *line.stream() << error.what() << std::endl;
        }
        return;
    }
    segment = fetched;
    segment->Download(performance->get());
    if (loop) {
        segment->SetLoopPoints(0, 0);
        segment->SetRepeats(DMUS_SEG_REPEAT_INFINITE);
    }
}

void CSound::unload() {
    if (segment == nullptr) {
        return;
    }
    segment->Unload(performance->get());
    segment = nullptr;
    cache.release(id);
}
