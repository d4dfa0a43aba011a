// Turns a sound file name into a DirectMusic segment read from the music folder: the loader
// behind the process-wide music cache.
#pragma once

#include <dmusici.h>

#include <string>

#include "engine/core/resource/resource_cache.h"
#include "win32/com_ptr.h"

namespace kesh {

class MusicSegmentLoader : public ResourceLoader<IDirectMusicSegment8> {
public:
    // folder ends with a separator and must exist. cacheEnabled turns DirectMusic's own
    // object cache on (the game keeps it off). Throws std::runtime_error with the DirectX
    // error when the loader cannot be made or set up.
    MusicSegmentLoader(const std::wstring& folder, bool cacheEnabled);
    ~MusicSegmentLoader() override;
    MusicSegmentLoader(const MusicSegmentLoader&) = delete;
    MusicSegmentLoader& operator=(const MusicSegmentLoader&) = delete;

    // A segment with one reference for the caller. Never null: a file that is missing or
    // cannot be decoded throws std::runtime_error "LoadObjectFromFile failed - path = ..."
    // followed by the DirectX error.
    IDirectMusicSegment8* load(const ResourceId& id) override;
    // Gives the segment back (also to DirectMusic's cache when that is on).
    void release(IDirectMusicSegment8*& segment) override;

private:
    std::wstring folder;
    win32::ComPtr<IDirectMusicLoader8> loader;
    bool cacheEnabled;
};

}  // namespace kesh
