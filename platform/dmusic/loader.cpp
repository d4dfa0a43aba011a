#include "loader.h"

#include "file_path.h"
#include "seam_state.h"
#include "segment.h"
#include "sndfile/decode.h"

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
            std::shared_ptr<const Pcm> pcm;
            try {
                pcm = decodeFile(*found, error);
            } catch (const std::bad_alloc&) {
                error = E_OUTOFMEMORY;  // a sound too big to hold
            }
            if (!pcm) {
                result = error;
            } else {
                segment = new SegmentImpl(std::move(pcm));
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
