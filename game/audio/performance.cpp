#include "game/audio/performance.h"

#include <cmath>
#include <cstring>
#include <exception>

#include "engine/core/errors.h"
#include "engine/core/log.h"
#include "game/audio/sound_base.h"
#include "game/audio/volume_curve.h"

namespace {

constexpr DWORD kPerformanceChannels = 6;
constexpr BYTE kPitchBendChannel0 = 0xE0;

}  // namespace

int pitchBendValue(float pitch) {
    // NaN would make the conversion below undefined; it leaves the pitch alone instead.
    double y = std::isnan(pitch) ? 1.0 : static_cast<double>(pitch) + 1.0;
    if (y < 0.0) {
        y = 0.0;
    } else if (y > 2.0) {
        y = 2.0;
    }
    const int bend = static_cast<int>(y * 8192.0);
    return bend > 16383 ? 16383 : bend;
}

CPerformance::CPerformance(HWND window) : masterVolume(1.0f), pathVolume(1.0f) {
    const HRESULT created =
        CoCreateInstance(CLSID_DirectMusicPerformance, nullptr, CLSCTX_INPROC,
                         IID_IDirectMusicPerformance8, reinterpret_cast<void**>(performance.out()));
    if (FAILED(created) || !performance) {
        kesh::throwDxError(created, L"Failed to create the DirectMusic performance");
    }
    performance->InitAudio(nullptr, nullptr, window, DMUS_APATH_DYNAMIC_STEREO,
                           kPerformanceChannels, DMUS_AUDIOF_ALL, nullptr);
    setMasterVolume(masterVolume);
    setDefaultPathVolume(pathVolume);
}

CPerformance::~CPerformance() = default;

void CPerformance::setMasterVolume(float volume) {
    LONG millibels = volumeToMillibels(volume);
    performance->SetGlobalParam(GUID_PerfMasterVolume, &millibels, sizeof millibels);
    masterVolume = volume;
}

void CPerformance::setDefaultPathVolume(float volume) {
    win32::ComPtr<IDirectMusicAudioPath> path;
    if (SUCCEEDED(performance->GetDefaultAudioPath(path.out())) && path) {
        path->SetVolume(volumeToMillibels(volume), 0);
    }
    pathVolume = volume;
}

void CPerformance::setPitchBend(float pitch) {
    const int bend = pitchBendValue(pitch);
    win32::ComPtr<IDirectMusicGraph> graph;
    if (FAILED(performance->QueryInterface(IID_IDirectMusicGraph,
                                           reinterpret_cast<void**>(graph.out()))) ||
        !graph) {
        return;
    }
    DMUS_PMSG* message = nullptr;
    if (FAILED(performance->AllocPMsg(sizeof(DMUS_MIDI_PMSG), &message)) || message == nullptr) {
        return;
    }
    DMUS_MIDI_PMSG* midi = reinterpret_cast<DMUS_MIDI_PMSG*>(message);
    std::memset(midi, 0, sizeof(DMUS_MIDI_PMSG));
    // The size is the one header field worth keeping: it tells the performance how much of
    // the message to read.
    midi->dwSize = sizeof(DMUS_MIDI_PMSG);
    midi->dwType = DMUS_PMSGT_MIDI;
    midi->bStatus = kPitchBendChannel0;
    midi->bByte1 = static_cast<BYTE>(bend & 0x7F);
    midi->bByte2 = static_cast<BYTE>((bend >> 7) & 0x7F);
    graph->StampPMsg(message);
    if (FAILED(performance->SendPMsg(message))) {
        performance->FreePMsg(message);
    }
}

void CPerformance::stopSound(CSoundBase* sound, std::uint32_t flags) {
    if (sound == nullptr) {
        return;  // StopEx of null would stop everything on the performance
    }
    try {
        performance->StopEx(sound->getSegment(), 0, flags);
    } catch (...) {
        boost::log::LogLine line(boost::log::logDebug());
        if (line.stream()) {
            *line.stream() << "CPerformance::stopSound failed!" << std::endl;
        }
    }
}
