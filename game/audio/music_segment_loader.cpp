#include "game/audio/music_segment_loader.h"

#include "engine/core/errors.h"
#include "engine/core/log.h"
#include "engine/core/strings.h"

namespace kesh {

MusicSegmentLoader::MusicSegmentLoader(const std::wstring& folder, bool cacheEnabled)
    : folder(folder), cacheEnabled(cacheEnabled) {
    HRESULT hr = CoCreateInstance(CLSID_DirectMusicLoader, nullptr, CLSCTX_INPROC,
                                  IID_IDirectMusicLoader8, reinterpret_cast<void**>(loader.out()));
    if (FAILED(hr) || !loader) {
        throwDxError(hr, L"Failed to initialize MusicSegmentLoader");
    }
    hr = loader->SetSearchDirectory(GUID_DirectMusicAllTypes, folder.c_str(), TRUE);
    if (FAILED(hr)) {
        throwDxError(
            hr, L"Failed to initialize MusicSegmentLoader. SetSearchDirectory failed - path = " +
                    folder);
    }
    hr = loader->EnableCache(GUID_DirectMusicAllTypes, cacheEnabled ? TRUE : FALSE);
    if (FAILED(hr)) {
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
}

IDirectMusicSegment8* MusicSegmentLoader::load(const ResourceId& id) {
    const std::wstring path = folder + toWide(id.id);
    win32::ComPtr<IDirectMusicSegment8> segment;
    const HRESULT hr =
        loader->LoadObjectFromFile(CLSID_DirectMusicSegment, IID_IDirectMusicSegment8, path.c_str(),
                                   reinterpret_cast<void**>(segment.out()));
    if (FAILED(hr) || !segment) {
        throwDxError(hr, L"LoadObjectFromFile failed - path = " + path);
    }
    return segment.release();
}

void MusicSegmentLoader::release(IDirectMusicSegment8*& segment) {
    if (segment == nullptr) {
        return;
    }
    // Our own reference goes in every case, also when the cache refused.
    const win32::ComPtr<IDirectMusicSegment8> given(segment);
    segment = nullptr;
    HRESULT hr = S_OK;
    if (cacheEnabled) {
        hr = loader->ReleaseObjectByUnknown(given.get());
    }
    if (FAILED(hr)) {
        throwDxError(hr, L"Failed to release sound from cache");
    }
}

}  // namespace kesh
