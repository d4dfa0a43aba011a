#include "game/audio/random_sound.h"

#include <cstdlib>
#include <utility>

CRandomSound::CRandomSound() : maxConcurrentSounds(0) {}

IDirectMusicSegmentState* CRandomSound::play(std::uint32_t segmentFlags, IUnknown* audioPath,
                                             IUnknown* from) {
    if (children.empty()) {
        return nullptr;
    }
    if (maxConcurrentSounds != 0 && countPlaying() >= maxConcurrentSounds) {
        return nullptr;
    }
    const unsigned pick = static_cast<unsigned>(std::rand()) % children.size();
    return children[pick]->play(segmentFlags, audioPath, from);
}

void CRandomSound::stop() {
    for (const SoundPtr& child : children) {
        child->stop();
    }
}

bool CRandomSound::isPlaying() {
    for (const SoundPtr& child : children) {
        if (child->isPlaying()) {
            return true;
        }
    }
    return false;
}

void CRandomSound::addChild(SoundPtr child) {
    if (child) {
        children.push_back(std::move(child));
    }
}

int CRandomSound::countPlaying() {
    int playing = 0;
    for (const SoundPtr& child : children) {
        if (child->isPlaying()) {
            ++playing;
        }
    }
    return playing;
}
