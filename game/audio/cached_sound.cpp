#include "game/audio/cached_sound.h"

#include <algorithm>
#include <utility>

std::vector<CCachedSound*> CCachedSound::residentList;
std::vector<CCachedSound*> CCachedSound::cacheList;

namespace {

void forget(std::vector<CCachedSound*>& list, CCachedSound* sound) {
    list.erase(std::remove(list.begin(), list.end(), sound), list.end());
}

}  // namespace

CCachedSound::CCachedSound(SoundPtr inner, bool resident)
    : inner(std::move(inner)), resident(resident), loaded(false), playCount(0) {}

CCachedSound::~CCachedSound() {
    forget(residentList, this);
    forget(cacheList, this);
}

IDirectMusicSegmentState* CCachedSound::play(std::uint32_t segmentFlags, IUnknown* audioPath,
                                             IUnknown* from) {
    if (!loaded) {
        ensureLoaded(this);
    }
    ++playCount;
    return inner ? inner->play(segmentFlags, audioPath, from) : nullptr;
}

void CCachedSound::stop() {
    if (inner) {
        inner->stop();
    }
}

bool CCachedSound::isPlaying() {
    return inner && inner->isPlaying();
}

IDirectMusicSegment8* CCachedSound::getSegment() {
    return inner ? inner->getSegment() : nullptr;
}

void CCachedSound::setVolume(float volume) {
    if (inner) {
        inner->setVolume(volume);
    }
}

void CCachedSound::load() {
    if (inner) {
        inner->load();
    }
    loaded = true;
}

void CCachedSound::unload() {
    if (loaded && inner) {
        inner->unload();
    }
    loaded = false;
}

void CCachedSound::ensureLoaded(CCachedSound* sound) {
    if (sound->resident) {
        sound->load();
        residentList.push_back(sound);
        return;
    }
    if (cacheList.size() >= kCacheSize) {
        // Ask each sound once: whether it plays may change while the sort runs otherwise.
        std::vector<std::pair<bool, CCachedSound*>> ranked;
        ranked.reserve(cacheList.size());
        for (CCachedSound* cached : cacheList) {
            ranked.emplace_back(cached->isPlaying(), cached);
        }
        std::stable_sort(
            ranked.begin(), ranked.end(),
            [](const std::pair<bool, CCachedSound*>& a, const std::pair<bool, CCachedSound*>& b) {
                if (a.first != b.first) {
                    return !a.first;
                }
                return a.second->playCount < b.second->playCount;
            });
        cacheList.clear();
        for (const auto& entry : ranked) {
            cacheList.push_back(entry.second);
        }
        if (ranked.front().first) {
            return;  // every loaded sound plays: this one stays silent until its next play
        }
        CCachedSound* evicted = cacheList.front();
        evicted->unload();
        cacheList.erase(cacheList.begin());
    }
    sound->load();
    cacheList.push_back(sound);
    int sum = 0;
    for (const CCachedSound* cached : cacheList) {
        sum += cached->playCount;
    }
    sound->playCount = (1 + sum) / static_cast<int>(cacheList.size());
}
