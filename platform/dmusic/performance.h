// The performance: the audio output, the default audio path, the segment states it hands
// out, its global parameters and its messages. It is also its own message graph.
#pragma once

#include "audio_path.h"
#include "openal/mixer.h"
#include "registry.h"
#include "segment_state.h"

#include <dmusici.h>

#include <array>
#include <deque>
#include <map>
#include <memory>
#include <vector>

namespace dmusic {

class PerformanceImpl : public ComObject<IDirectMusicPerformance8, Kind::Performance>,
                        public IDirectMusicGraph {
public:
    PerformanceImpl();
    ~PerformanceImpl() override;

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override { return ComObject::AddRef(); }
    ULONG Release() override { return ComObject::Release(); }

    HRESULT InitAudio(IDirectMusic** directMusic, IDirectSound** directSound, HWND window,
                      DWORD defaultPathType, DWORD pChannelCount, DWORD flags,
                      DMUS_AUDIOPARAMS* params) override;
    HRESULT PlaySegmentEx(IUnknown* source, const WCHAR* segmentName, IUnknown* transition,
                          DWORD flags, REFERENCE_TIME startTime, IDirectMusicSegmentState** state,
                          IUnknown* from, IUnknown* audioPath) override;
    HRESULT StopEx(IUnknown* object, REFERENCE_TIME stopTime, DWORD flags) override;
    HRESULT IsPlaying(IDirectMusicSegment* segment, IDirectMusicSegmentState* state) override;
    HRESULT SetGlobalParam(REFGUID type, void* data, DWORD size) override;
    HRESULT GetGlobalParam(REFGUID type, void* data, DWORD size) override;
    HRESULT GetDefaultAudioPath(IDirectMusicAudioPath** path) override;
    HRESULT CreateStandardAudioPath(DWORD type, DWORD pChannelCount, BOOL activate,
                                    IDirectMusicAudioPath** path) override;
    HRESULT AllocPMsg(ULONG size, DMUS_PMSG** message) override;
    HRESULT SendPMsg(DMUS_PMSG* message) override;
    HRESULT FreePMsg(DMUS_PMSG* message) override;
    HRESULT StampPMsg(DMUS_PMSG* message) override;

    // Null before InitAudio.
    const std::shared_ptr<Mixer>& mixer() const { return mixer_; }

private:
    using GuidKey = std::array<unsigned char, sizeof(GUID)>;
    static GuidKey keyOf(REFGUID guid);
    void keepState(SegmentStateImpl* state);

    std::shared_ptr<Mixer> mixer_;
    AudioPathImpl* defaultPath_ = nullptr;
    std::deque<SegmentStateImpl*> states_;
    std::map<GuidKey, std::vector<unsigned char>> params_;
    std::map<DMUS_PMSG*, ULONG> messages_;
};

// The live performance behind `object`, or null.
PerformanceImpl* asPerformance(const void* object);

// What a segment downloads to: a performance, or the performance of an audio path.
struct PlayTarget {
    const void* performance = nullptr;
    std::shared_ptr<Mixer> mixer;
};
PlayTarget resolvePlayTarget(IUnknown* performanceOrPath);

// Every performance initialised on the manual clock, in order of creation.
std::vector<std::shared_ptr<Mixer>> manualMixers();

}  // namespace dmusic
