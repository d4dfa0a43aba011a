#include "game/audio/music_segment_loader.h"

#include "engine/core/errors.h"
#include "engine/core/log.h"
#include "engine/core/strings.h"

namespace kesh {

MusicSegmentLoader::MusicSegmentLoader(const std::wstring& folder, bool cacheEnabled)
    : folder(folder), loader(nullptr), cacheEnabled(cacheEnabled) {
    HRESULT hr = CoCreateInstance(CLSID_DirectMusicLoader, nullptr, CLSCTX_INPROC,
                                  IID_IDirectMusicLoader8, reinterpret_cast<void**>(&loader));
    if (FAILED(hr) || loader == nullptr) {
        throwDxError(hr, L"Failed to initialize MusicSegmentLoader");
    }
    // From here on the constructor may throw with the loader made: the destructor would not
    // run, so give it back first.
    hr = loader->SetSearchDirectory(GUID_DirectMusicAllTypes, folder.c_str(), TRUE);
    if (FAILED(hr)) {
        loader->Release();
        throwDxError(
            hr, L"Failed to initialize MusicSegmentLoader. SetSearchDirectory failed - path = " +
                    folder);
    }
    hr = loader->EnableCache(GUID_DirectMusicAllTypes, cacheEnabled ? TRUE : FALSE);
    if (FAILED(hr)) {
        loader->Release();
        throwDxError(hr, L"Failed to disable loader's cache");
    }
}

MusicSegmentLoader::~MusicSegmentLoader() {
    {
        boost::log::LogLine line(boost::log::logResource());
        if (line.stream()) {
            *line.stream() << "MusicSegmentLoader::~MusicSegmentLoader" << std::endl;
        }
    }
    IDirectMusicLoader8* released = loader;
    loader = nullptr;
    released->Release();
}

IDirectMusicSegment8* MusicSegmentLoader::load(const ResourceId& id) {
    const std::wstring path = folder + toWide(id.id);
    IDirectMusicSegment8* segment = nullptr;
    const HRESULT hr =
        loader->LoadObjectFromFile(CLSID_DirectMusicSegment, IID_IDirectMusicSegment8, path.c_str(),
                                   reinterpret_cast<void**>(&segment));
    if (FAILED(hr) || segment == nullptr) {
        throwDxError(hr, L"LoadObjectFromFile failed - path = " + path);
    }
    return segment;
}

void MusicSegmentLoader::release(IDirectMusicSegment8*& segment) {
    if (segment == nullptr) {
        return;
    }
    IDirectMusicSegment8* released = segment;
    segment = nullptr;
    HRESULT hr = S_OK;
    if (cacheEnabled) {
        hr = loader->ReleaseObjectByUnknown(released);
    }
    // Our own reference goes in every case, also when the cache refused.
    released->Release();
    if (FAILED(hr)) {
        throwDxError(hr, L"Failed to release sound from cache");
    }
}

}  // namespace kesh
