#include "loader.h"
#include "performance.h"

#include <dmusici.h>

#include <atomic>

namespace {

std::atomic<int> initialisations{0};

// Identities of the layer's own: only compared, never interpreted.
constexpr GUID makeGuid(std::uint32_t n) {
    return GUID{0x4d6f7276u,
                0x616c,
                0x6500,
                {0x64, 0x6d, 0x75, 0x73, 0x69, 0x63, 0x00, static_cast<std::uint8_t>(n)}};
}

}  // namespace

const CLSID CLSID_DirectMusicPerformance = makeGuid(1);
const CLSID CLSID_DirectMusicLoader = makeGuid(2);
const CLSID CLSID_DirectMusicSegment = makeGuid(3);
const IID IID_IDirectMusicPerformance = makeGuid(4);
const IID IID_IDirectMusicPerformance8 = makeGuid(5);
const IID IID_IDirectMusicLoader = makeGuid(6);
const IID IID_IDirectMusicLoader8 = makeGuid(7);
const IID IID_IDirectMusicSegment = makeGuid(8);
const IID IID_IDirectMusicSegment8 = makeGuid(9);
const IID IID_IDirectMusicSegmentState = makeGuid(10);
const IID IID_IDirectMusicSegmentState8 = makeGuid(11);
const IID IID_IDirectMusicAudioPath = makeGuid(12);
const IID IID_IDirectMusicAudioPath8 = makeGuid(13);
const IID IID_IDirectMusicGraph = makeGuid(14);
const GUID GUID_DirectMusicAllTypes = makeGuid(15);
const GUID GUID_PerfMasterVolume = makeGuid(16);

HRESULT CoInitializeEx(LPVOID /*reserved*/, DWORD /*coInit*/) {
    return initialisations++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize() {
    int current = initialisations.load();
    while (current > 0 && !initialisations.compare_exchange_weak(current, current - 1)) {
    }
}

HRESULT CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid,
                         LPVOID* object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (initialisations.load() <= 0) {
        return CO_E_NOTINITIALIZED;
    }
    if (outer != nullptr) {
        return CLASS_E_NOAGGREGATION;
    }
    if ((context & CLSCTX_INPROC_SERVER) == 0) {
        return REGDB_E_CLASSNOTREG;
    }
    IUnknown* made = nullptr;
    if (clsid == CLSID_DirectMusicPerformance) {
        made = static_cast<IDirectMusicPerformance8*>(new dmusic::PerformanceImpl());
    } else if (clsid == CLSID_DirectMusicLoader) {
        made = new dmusic::LoaderImpl();
    } else {
        return REGDB_E_CLASSNOTREG;
    }
    // The creation reference is handed over through QueryInterface.
    const HRESULT result = made->QueryInterface(iid, object);
    made->Release();
    return result;
}
