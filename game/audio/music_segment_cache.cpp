#include "game/audio/music_segment_cache.h"

#include <utility>

namespace kesh {

MusicSegmentCache* theMusicCache = nullptr;

MusicSegmentCache::MusicSegmentCache(boost::shared_ptr<Loader> loader) : Base(std::move(loader)) {}

IDirectMusicSegment8* MusicSegmentCache::fetch(const ResourceId& id) {
    IDirectMusicSegment8* segment = Base::fetch(id);
    ++users_[id.id];
    return segment;
}

void MusicSegmentCache::release(const ResourceId& id) {
    const auto found = users_.find(id.id);
    if (found == users_.end()) {
        return;
    }
    if (--found->second > 0) {
        return;
    }
    users_.erase(found);
    Base::release(id);
}

void MusicSegmentCache::releaseAll() {
    users_.clear();
    Base::releaseAll();
}

int MusicSegmentCache::users(const ResourceId& id) const {
    const auto found = users_.find(id.id);
    return found == users_.end() ? 0 : found->second;
}

}  // namespace kesh
