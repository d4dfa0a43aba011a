// The music cache: a resource cache of segments by sound file name that counts its users.
// Several sounds may name the same file; the segment stays loaded until the last of them
// releases it, so one sound's unload never pulls the data from under another that plays.
#pragma once

#include <dmusici.h>

#include <string>
#include <unordered_map>

#include "engine/core/resource/resource_cache.h"

namespace kesh {

class MusicSegmentCache : public ResourceCache<IDirectMusicSegment8> {
public:
    explicit MusicSegmentCache(boost::shared_ptr<Loader> loader);

    // Every fetch is one use, also of a segment already loaded.
    IDirectMusicSegment8* fetch(const ResourceId& id) override;
    // Ends one use; the segment goes back to the loader with the last one.
    void release(const ResourceId& id) override;
    // Frees every segment whatever its users.
    void releaseAll() override;

    // How many users the file has now (0 when it is not loaded).
    int users(const ResourceId& id) const;

private:
    typedef ResourceCache<IDirectMusicSegment8> Base;
    std::unordered_map<std::string, int> users_;
};

// The game's music cache over the art folder's "audio/", published by the game object.
extern MusicSegmentCache* theMusicCache;

}  // namespace kesh
