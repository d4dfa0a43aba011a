// The loader: finds sound files in its search folder, decodes them into segments and, while
// its cache is on, hands out the same segment for the same file.
#pragma once

#include "registry.h"

#include <dmusici.h>

#include <map>
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

    std::string folder_;  // UTF-8, as found on disk
    bool cacheEnabled_ = true;
    std::map<std::string, IDirectMusicSegment8*> cache_;  // one reference each
};

}  // namespace dmusic
