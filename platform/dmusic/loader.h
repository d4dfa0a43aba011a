// The loader: finds sound files in its search folder, decodes them into segments and, while
// its cache is on, hands out the same segment for the same file. Whatever the cache, a file
// is decoded once while any segment of it lives, however its name is spelt.
#pragma once

#include "registry.h"
#include "sound_file.h"

#include "win32/file_paths.h"

#include <dmusici.h>

#include <map>
#include <memory>
#include <string>

namespace dmusic {

class LoaderImpl : public ComObject<IDirectMusicLoader8, Kind::Loader> {
public:
    LoaderImpl() = default;
    ~LoaderImpl() override;

    HRESULT QueryInterface(REFIID iid, void** object) override;
    HRESULT SetSearchDirectory(REFGUID classId, const WCHAR* path, BOOL clear) override;
    HRESULT EnableCache(REFGUID classId, BOOL enable) override;
    HRESULT LoadObjectFromFile(REFGUID classId, REFIID iid, const WCHAR* path,
                               void** object) override;
    HRESULT ReleaseObjectByUnknown(IUnknown* object) override;

private:
    void clearCache();
    // The sound of an existing file, shared with the segments already made of it.
    std::shared_ptr<SoundFile> soundOf(const std::string& path, HRESULT& error);

    std::string folder_;  // UTF-8, as found on disk
    bool cacheEnabled_ = true;
    std::map<std::string, IDirectMusicSegment8*> cache_;  // one reference each
    struct KnownSound {
        std::weak_ptr<SoundFile> sound;
        // A file written again since is decoded again.
        long long size = 0;
        long long modified = 0;
    };
    std::map<win32::FileIdentity, KnownSound> sounds_;
};

}  // namespace dmusic
