#include "loader.h"

#include "file_path.h"
#include "seam_state.h"
#include "segment.h"

#include <sys/stat.h>

#include <new>

namespace dmusic {
namespace {

bool knownClass(REFGUID classId) {
    return classId == GUID_DirectMusicAllTypes || classId == CLSID_DirectMusicSegment;
}

}  // namespace

LoaderImpl::~LoaderImpl() {
    clearCache();
}

void LoaderImpl::clearCache() {
    for (auto& entry : cache_) {
        entry.second->Release();
    }
    cache_.clear();
}

std::shared_ptr<SoundFile> LoaderImpl::soundOf(const std::string& path, HRESULT& error) {
    const std::optional<win32::FileIdentity> identity = win32::identifyFile(path);
    struct stat info {};
    const bool stated = ::stat(path.c_str(), &info) == 0;
    const long long modified =
        static_cast<long long>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    if (identity && stated) {
        const auto known = sounds_.find(*identity);
        if (known != sounds_.end() && known->second.size == info.st_size &&
            known->second.modified == modified) {
            if (std::shared_ptr<SoundFile> sound = known->second.sound.lock()) {
                return sound;
            }
        }
    }
    std::shared_ptr<SoundFile> sound;
    try {
        sound = SoundFile::open(path, error);
    } catch (const std::bad_alloc&) {
        error = E_OUTOFMEMORY;  // a sound too big to hold
    }
    if (sound && identity && stated) {
        // Files whose sounds have all gone are forgotten as new ones come.
        for (auto it = sounds_.begin(); it != sounds_.end();) {
            it = it->second.sound.expired() ? sounds_.erase(it) : std::next(it);
        }
        sounds_[*identity] = {sound, static_cast<long long>(info.st_size), modified};
    }
    return sound;
}

HRESULT LoaderImpl::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IDirectMusicLoader || iid == IID_IDirectMusicLoader8) {
        AddRef();
        *object = static_cast<IDirectMusicLoader8*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT LoaderImpl::SetSearchDirectory(REFGUID classId, const WCHAR* path, BOOL clear) {
    HRESULT result = S_OK;
    if (path == nullptr) {
        result = E_POINTER;
    } else if (!knownClass(classId)) {
        result = DMUS_E_LOADER_NOCLASSID;
    } else {
        const auto found = findExisting(joinPath("", path));
        if (!found || !isDirectory(*found)) {
            result = DMUS_E_LOADER_BADPATH;
        } else {
            folder_ = *found;
            if (clear) {
                clearCache();
            }
        }
    }
    if (recordingCalls()) {
        dmusic_test::Event event{dmusic_test::Call::SetSearchDirectory};
        event.object = this;
        event.path = path != nullptr ? path : L"";
        event.value = static_cast<DWORD>(clear);
        event.result = result;
        record(event);
    }
    return result;
}

HRESULT LoaderImpl::EnableCache(REFGUID classId, BOOL enable) {
    HRESULT result = S_OK;
    if (!knownClass(classId)) {
        result = DMUS_E_LOADER_NOCLASSID;
    } else {
        cacheEnabled_ = enable != FALSE;
        if (!cacheEnabled_) {
            clearCache();
        }
    }
    dmusic_test::Event event{dmusic_test::Call::EnableCache};
    event.object = this;
    event.value = static_cast<DWORD>(enable);
    event.result = result;
    record(event);
    return result;
}

HRESULT LoaderImpl::LoadObjectFromFile(REFGUID classId, REFIID iid, const WCHAR* path,
                                       void** object) {
    HRESULT result = S_OK;
    IDirectMusicSegment8* segment = nullptr;
    if (object == nullptr || path == nullptr) {
        result = E_POINTER;
    } else if (classId != CLSID_DirectMusicSegment) {
        result = DMUS_E_LOADER_NOCLASSID;
    } else if (iid != IID_IUnknown && iid != IID_IDirectMusicSegment &&
               iid != IID_IDirectMusicSegment8) {
        result = E_NOINTERFACE;
    } else if (FAILED(result = injectedLoadFailure(path))) {
        // failure chosen by a test
    } else {
        const auto found = findExisting(joinPath(folder_, path));
        if (!found) {
            result = DMUS_E_LOADER_FAILEDOPEN;
        } else if (isDirectory(*found)) {
            result = DMUS_E_LOADER_FAILEDOPEN;
        } else if (cacheEnabled_ && cache_.count(*found) != 0) {
            segment = cache_[*found];
            segment->AddRef();
        } else {
            HRESULT error = S_OK;
            std::shared_ptr<SoundFile> sound = soundOf(*found, error);
            if (!sound) {
                result = error;
            } else {
                segment = new SegmentImpl(std::move(sound));
                if (cacheEnabled_) {
                    segment->AddRef();
                    cache_[*found] = segment;
                }
            }
        }
    }
    if (object != nullptr) {
        *object = segment;
    }
    if (recordingCalls()) {
        dmusic_test::Event event{dmusic_test::Call::LoadObjectFromFile};
        event.object = segment;
        event.path = path != nullptr ? path : L"";
        event.result = result;
        record(event);
    }
    return result;
}

HRESULT LoaderImpl::ReleaseObjectByUnknown(IUnknown* object) {
    HRESULT result = S_FALSE;
    if (object == nullptr) {
        result = E_POINTER;
    } else {
        for (auto it = cache_.begin(); it != cache_.end(); ++it) {
            if (static_cast<IUnknown*>(it->second) == object) {
                it->second->Release();
                cache_.erase(it);
                result = S_OK;
                break;
            }
        }
    }
    dmusic_test::Event event{dmusic_test::Call::ReleaseObjectByUnknown};
    event.object = object;
    event.result = result;
    record(event);
    return result;
}

}  // namespace dmusic
