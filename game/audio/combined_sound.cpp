#include "game/audio/combined_sound.h"

#include <utility>

CCombinedSound::CCombinedSound(SoundPtr intro, SoundPtr loop, SoundPtr outro)
    : intro(std::move(intro)), loop(std::move(loop)), outro(std::move(outro)), playCount(0) {}

IDirectMusicSegmentState* CCombinedSound::play(std::uint32_t, IUnknown*, IUnknown*) {
    ++playCount;
    if (intro) {
        introState = win32::addRef(intro->play(kSegmentSecondary, nullptr, nullptr));
    }
    if (loop && playCount == 1) {
        loop->play(kSegmentSecondaryQueued, nullptr, introState.get());
    }
    return nullptr;
}

void CCombinedSound::stop() {
    if (playCount <= 0) {
        return;
    }
    --playCount;
    if (intro) {
        intro->stop();
    }
    if (outro) {
        outro->play(kSegmentSecondary, nullptr, nullptr);
    }
    if (loop && playCount == 0) {
        loop->stop();
    }
}

bool CCombinedSound::isPlaying() {
    return loop && loop->isPlaying();
}

void CCombinedSound::setPitch(float pitch) {
    if (loop) {
        loop->setPitch(pitch);
    }
}

void CCombinedSound::setVolume(float volume) {
    if (intro) {
        intro->setVolume(volume);
    }
    if (loop) {
        loop->setVolume(volume);
    }
    if (outro) {
        outro->setVolume(volume);
    }
}
