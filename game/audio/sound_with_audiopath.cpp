#include "game/audio/sound_with_audiopath.h"

#include <utility>

#include "game/audio/performance.h"
#include "game/audio/volume_curve.h"

namespace {

constexpr DWORD kPathChannels = 1;

}  // namespace

CSoundWithAudiopath::CSoundWithAudiopath(SoundPtr inner, CPerformance* performance)
    : inner(std::move(inner)), active(false) {
    performance->get()->CreateStandardAudioPath(DMUS_APATH_DYNAMIC_STEREO, kPathChannels, FALSE,
                                                audioPath.out());
    if (audioPath) {
        audioPath->SetVolume(volumeToMillibels(1.0f), 0);
    }
}

CSoundWithAudiopath::~CSoundWithAudiopath() {
    // The inner sound goes before the path: it may still unload its segment, which stops its
    // plays on this path.
    inner.reset();
}

IDirectMusicSegmentState* CSoundWithAudiopath::play(std::uint32_t segmentFlags, IUnknown*,
                                                    IUnknown* from) {
    if (!inner) {
        return nullptr;
    }
    return inner->play(segmentFlags, audioPath.get(), from);
}

void CSoundWithAudiopath::stop() {
    if (inner) {
        inner->stop();
    }
}

bool CSoundWithAudiopath::isPlaying() {
    return inner && inner->isPlaying();
}

void CSoundWithAudiopath::setPitch(float pitch) {
    if (inner) {
        inner->setPitch(pitch);
    }
}

void CSoundWithAudiopath::setVolume(float volume) {
    if (audioPath) {
        audioPath->SetVolume(volumeToMillibels(volume), 0);
    }
}

void CSoundWithAudiopath::load() {
    if (!active && audioPath) {
        audioPath->Activate(TRUE);
        active = true;
    }
    if (inner) {
        inner->load();
    }
}

void CSoundWithAudiopath::unload() {
    if (active) {
        audioPath->Activate(FALSE);
        active = false;
    }
    if (inner) {
        inner->unload();
    }
}
