#include "performance.h"

#include "seam_state.h"
#include "segment.h"
#include "volume.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace dmusic {
namespace {

// Handles of ended plays are kept this long (in handles) so that a caller that still
// holds one, e.g. as a later `from`, is recognised instead of being looked up stale.
constexpr std::size_t kKeptStates = 1024;
// The MIDI pitch-bend range, in semitones either way.
constexpr double kBendRangeSemitones = 2.0;

struct ManualMixers {
    std::mutex mutex;
    std::vector<std::weak_ptr<Mixer>> mixers;
};

ManualMixers& manualRegistry() {
    static ManualMixers instance;
    return instance;
}

bool validPathType(DWORD type) {
    return type == DMUS_APATH_SHARED_STEREOPLUSREVERB || type == DMUS_APATH_DYNAMIC_STEREO ||
           type == DMUS_APATH_DYNAMIC_3D || type == DMUS_APATH_DYNAMIC_MONO;
}

Mixer::Clock clockForOutput(dmusic_test::Output output) {
    switch (output) {
        case dmusic_test::Output::NoDevice:
            return Mixer::Clock::Wall;
        case dmusic_test::Output::ManualLoopback:
            return Mixer::Clock::Manual;
        case dmusic_test::Output::Automatic:
            break;
    }
    return Mixer::Clock::Device;
}

}  // namespace

PerformanceImpl::PerformanceImpl() {
    const LONG full = 0;
    params_[keyOf(GUID_PerfMasterVolume)] =
        std::vector<unsigned char>(reinterpret_cast<const unsigned char*>(&full),
                                   reinterpret_cast<const unsigned char*>(&full) + sizeof full);
}

PerformanceImpl::~PerformanceImpl() {
    for (SegmentStateImpl* state : states_) {
        state->disown();
    }
    if (defaultPath_ != nullptr) {
        defaultPath_->Release();
    }
    for (const auto& message : messages_) {
        std::free(message.first);
    }
}

PerformanceImpl::GuidKey PerformanceImpl::keyOf(REFGUID guid) {
    GuidKey key;
    std::memcpy(key.data(), &guid, sizeof(GUID));
    return key;
}

HRESULT PerformanceImpl::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IDirectMusicPerformance ||
        iid == IID_IDirectMusicPerformance8) {
        AddRef();
        *object = static_cast<IDirectMusicPerformance8*>(this);
        return S_OK;
    }
    if (iid == IID_IDirectMusicGraph) {
        AddRef();
        *object = static_cast<IDirectMusicGraph*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT PerformanceImpl::InitAudio(IDirectMusic** directMusic, IDirectSound** directSound,
                                   HWND /*window*/, DWORD defaultPathType, DWORD /*pChannelCount*/,
                                   DWORD flags, DMUS_AUDIOPARAMS* /*params*/) {
    HRESULT result = S_OK;
    if (mixer_) {
        result = DMUS_E_ALREADY_INITED;
    } else if (directMusic != nullptr || directSound != nullptr) {
        result = E_NOTIMPL;  // there are no DirectMusic or DirectSound objects to give out
    } else if (defaultPathType != 0 && !validPathType(defaultPathType)) {
        result = DMUS_E_AUDIOPATHS_NOT_VALID;
    } else {
        const Mixer::Clock clock = clockForOutput(outputMode());
        mixer_ = Mixer::create(clock, dmusic_test::kLoopbackRate);
        if (!mixer_) {
            result = DMUS_E_DRIVER_FAILED;
        } else {
            if (clock == Mixer::Clock::Manual) {
                ManualMixers& registry = manualRegistry();
                std::lock_guard<std::mutex> lock(registry.mutex);
                registry.mixers.push_back(mixer_);
            }
            LONG master = 0;
            std::memcpy(&master, params_[keyOf(GUID_PerfMasterVolume)].data(), sizeof master);
            mixer_->setMasterGain(gainFromMillibels(master));
            if (defaultPathType != 0) {
                defaultPath_ = new AudioPathImpl(mixer_, this, true);
            }
        }
    }
    dmusic_test::Event event{dmusic_test::Call::InitAudio};
    event.performance = this;
    event.value = defaultPathType;
    event.flags = flags;
    event.result = result;
    record(event);
    return result;
}

void PerformanceImpl::keepState(SegmentStateImpl* state) {
    states_.push_back(state);
    // Forget the oldest ended handles; handles of plays still going are always kept.
    for (auto it = states_.begin(); states_.size() > kKeptStates && it != states_.end();) {
        if ((*it)->core()->status == StateCore::Status::Ended) {
            (*it)->disown();
            it = states_.erase(it);
        } else {
            ++it;
        }
    }
}

HRESULT PerformanceImpl::PlaySegmentEx(IUnknown* source, const WCHAR* /*segmentName*/,
                                       IUnknown* /*transition*/, DWORD flags,
                                       REFERENCE_TIME /*startTime*/,
                                       IDirectMusicSegmentState** state, IUnknown* from,
                                       IUnknown* audioPath) {
    if (state != nullptr) {
        *state = nullptr;
    }
    HRESULT result = S_OK;
    SegmentImpl* segment = asSegment(source);
    AudioPathImpl* path = audioPath == nullptr ? defaultPath_ : asAudioPath(audioPath);
    SegmentStateImpl* made = nullptr;
    if (!mixer_) {
        result = DMUS_E_NOT_INIT;
    } else if (source == nullptr) {
        result = E_POINTER;
    } else if (segment == nullptr) {
        result = E_INVALIDARG;
    } else if (!mixer_->isDownloaded(segment)) {
        result = DMUS_E_NOT_DOWNLOADED_TO_PORT;
    } else if (path == nullptr && audioPath == nullptr) {
        result = DMUS_E_NO_AUDIOPATH;
    } else if (path == nullptr || path->performance() != this) {
        result = E_INVALIDARG;
    } else if (!path->state()->active) {
        result = DMUS_E_AUDIOPATH_INACTIVE;
    } else {
        PlayRequest request = segment->playRequest();
        request.path = path->state();
        request.primary = (flags & DMUS_SEGF_SECONDARY) == 0;
        request.queue = (flags & DMUS_SEGF_QUEUE) != 0;
        // A `from` this performance does not know (or no longer knows) has nothing left
        // to wait for or to stop.
        if (SegmentStateImpl* fromState = asSegmentState(from)) {
            if (fromState->performance() == this) {
                request.from.push_back(fromState->core());
            }
        } else if (AudioPathImpl* fromPath = asAudioPath(from)) {
            if (fromPath->performance() == this) {
                request.from = mixer_->statesOnPath(fromPath->state().get());
            }
        }
        made = new SegmentStateImpl(mixer_->play(request), this);
        keepState(made);
        if (state != nullptr) {
            *state = made;
        }
    }
    dmusic_test::Event event{dmusic_test::Call::PlaySegmentEx};
    event.performance = this;
    event.object = source;
    event.flags = flags;
    event.from = from;
    event.audioPath = audioPath;
    event.state = made;
    event.result = result;
    record(event);
    return result;
}

HRESULT PerformanceImpl::StopEx(IUnknown* object, REFERENCE_TIME /*stopTime*/, DWORD /*flags*/) {
    HRESULT result = S_OK;
    if (!mixer_) {
        result = DMUS_E_NOT_INIT;
    } else if (object == nullptr) {
        mixer_->stopAll();
    } else if (SegmentImpl* segment = asSegment(object)) {
        mixer_->stopSegment(segment);
    } else if (SegmentStateImpl* state = asSegmentState(object)) {
        if (state->performance() == this) {
            mixer_->stopState(state->core());
        }
    } else if (AudioPathImpl* path = asAudioPath(object)) {
        if (path->performance() == this) {
            mixer_->stopPath(path->state().get());
        }
    } else {
        result = E_INVALIDARG;
    }
    dmusic_test::Event event{dmusic_test::Call::StopEx};
    event.performance = this;
    event.object = object;
    event.result = result;
    record(event);
    return result;
}

HRESULT PerformanceImpl::IsPlaying(IDirectMusicSegment* segment, IDirectMusicSegmentState* state) {
    HRESULT result = S_FALSE;
    if (!mixer_) {
        result = DMUS_E_NOT_INIT;
    } else if (segment == nullptr && state == nullptr) {
        result = E_POINTER;
    } else if (state != nullptr) {
        SegmentStateImpl* known = asSegmentState(state);
        if (known == nullptr || known->performance() != this) {
            result = E_INVALIDARG;
        } else if (mixer_->statePlaying(known->core())) {
            result = S_OK;
        }
    } else {
        SegmentImpl* known = asSegment(segment);
        if (known == nullptr) {
            result = E_INVALIDARG;
        } else if (mixer_->segmentPlaying(known)) {
            result = S_OK;
        }
    }
    dmusic_test::Event event{dmusic_test::Call::IsPlaying};
    event.performance = this;
    event.object = segment;
    event.state = state;
    event.result = result;
    record(event);
    return result;
}

HRESULT PerformanceImpl::SetGlobalParam(REFGUID type, void* data, DWORD size) {
    if (data == nullptr) {
        return E_POINTER;
    }
    const bool master = type == GUID_PerfMasterVolume;
    if (size == 0 || (master && size != sizeof(LONG))) {
        return E_INVALIDARG;
    }
    const auto* bytes = static_cast<const unsigned char*>(data);
    params_[keyOf(type)] = std::vector<unsigned char>(bytes, bytes + size);
    if (master) {
        LONG millibels = 0;
        std::memcpy(&millibels, data, sizeof millibels);
        if (mixer_) {
            mixer_->setMasterGain(gainFromMillibels(millibels));
        }
        dmusic_test::Event event{dmusic_test::Call::SetMasterVolume};
        event.performance = this;
        event.millibels = millibels;
        record(event);
    }
    return S_OK;
}

HRESULT PerformanceImpl::GetGlobalParam(REFGUID type, void* data, DWORD size) {
    if (data == nullptr) {
        return E_POINTER;
    }
    const auto found = params_.find(keyOf(type));
    if (found == params_.end()) {
        return DMUS_E_GET_UNSUPPORTED;
    }
    if (size != found->second.size()) {
        return E_INVALIDARG;
    }
    std::memcpy(data, found->second.data(), size);
    return S_OK;
}

HRESULT PerformanceImpl::GetDefaultAudioPath(IDirectMusicAudioPath** path) {
    if (path == nullptr) {
        return E_POINTER;
    }
    *path = nullptr;
    if (!mixer_) {
        return DMUS_E_NOT_INIT;
    }
    if (defaultPath_ == nullptr) {
        return DMUS_E_NO_AUDIOPATH;
    }
    defaultPath_->AddRef();
    *path = defaultPath_;
    return S_OK;
}

HRESULT PerformanceImpl::CreateStandardAudioPath(DWORD type, DWORD pChannelCount, BOOL activate,
                                                 IDirectMusicAudioPath** path) {
    if (path == nullptr) {
        return E_POINTER;
    }
    *path = nullptr;
    HRESULT result = S_OK;
    if (!mixer_) {
        result = DMUS_E_NOT_INIT;
    } else if (!validPathType(type)) {
        result = DMUS_E_AUDIOPATHS_NOT_VALID;
    } else if (pChannelCount == 0) {
        result = E_INVALIDARG;
    } else {
        *path = new AudioPathImpl(mixer_, this, activate != FALSE);
    }
    dmusic_test::Event event{dmusic_test::Call::CreateStandardAudioPath};
    event.performance = this;
    event.object = SUCCEEDED(result) ? *path : nullptr;
    event.value = type;
    event.result = result;
    record(event);
    return result;
}

HRESULT PerformanceImpl::AllocPMsg(ULONG size, DMUS_PMSG** message) {
    if (message == nullptr) {
        return E_POINTER;
    }
    *message = nullptr;
    if (size < sizeof(DMUS_PMSG)) {
        return E_INVALIDARG;
    }
    auto* made = static_cast<DMUS_PMSG*>(std::calloc(1, size));
    if (made == nullptr) {
        return E_OUTOFMEMORY;
    }
    made->dwSize = size;
    messages_[made] = size;
    *message = made;
    return S_OK;
}

HRESULT PerformanceImpl::FreePMsg(DMUS_PMSG* message) {
    if (message == nullptr) {
        return E_POINTER;
    }
    const auto found = messages_.find(message);
    if (found == messages_.end()) {
        return DMUS_E_CANNOT_FREE;
    }
    std::free(found->first);
    messages_.erase(found);
    return S_OK;
}

HRESULT PerformanceImpl::StampPMsg(DMUS_PMSG* message) {
    if (message == nullptr) {
        return E_POINTER;
    }
    // No tools: the message goes straight to the output.
    message->pGraph = this;
    message->pTool = nullptr;
    return S_OK;
}

HRESULT PerformanceImpl::SendPMsg(DMUS_PMSG* message) {
    if (message == nullptr) {
        return E_POINTER;
    }
    const auto found = messages_.find(message);
    if (found == messages_.end()) {
        return DMUS_E_CANNOT_FREE;
    }
    if (!mixer_) {
        return DMUS_E_NOT_INIT;  // still the caller's to free
    }
    dmusic_test::Event event{dmusic_test::Call::SendPMsg};
    event.performance = this;
    event.value = message->dwType;
    if (message->dwType == DMUS_PMSGT_MIDI && found->second >= sizeof(DMUS_MIDI_PMSG)) {
        const auto* midi = reinterpret_cast<const DMUS_MIDI_PMSG*>(message);
        event.status = midi->bStatus;
        event.data1 = midi->bByte1;
        event.data2 = midi->bByte2;
        if ((midi->bStatus & 0xF0) == 0xE0) {
            const int bend = (midi->bByte1 & 0x7F) | ((midi->bByte2 & 0x7F) << 7);
            const double semitones = (bend - 8192) / 8192.0 * kBendRangeSemitones;
            mixer_->setPitch(static_cast<float>(std::pow(2.0, semitones / 12.0)));
        }
    }
    record(event);
    // A sent message belongs to the performance, which is done with it.
    std::free(found->first);
    messages_.erase(found);
    return S_OK;
}

PerformanceImpl* asPerformance(const void* object) {
    if (!isLive(object, Kind::Performance)) {
        return nullptr;
    }
    return static_cast<PerformanceImpl*>(
        static_cast<IDirectMusicPerformance8*>(static_cast<IUnknown*>(const_cast<void*>(object))));
}

PlayTarget resolvePlayTarget(IUnknown* performanceOrPath) {
    PlayTarget target;
    if (PerformanceImpl* performance = asPerformance(performanceOrPath)) {
        target.performance = performance;
        target.mixer = performance->mixer();
    } else if (AudioPathImpl* path = asAudioPath(performanceOrPath)) {
        target.performance = path->performance();
        target.mixer = path->mixer();
    }
    return target;
}

std::vector<std::shared_ptr<Mixer>> manualMixers() {
    ManualMixers& registry = manualRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    std::vector<std::shared_ptr<Mixer>> live;
    auto& mixers = registry.mixers;
    mixers.erase(std::remove_if(mixers.begin(), mixers.end(),
                                [](const auto& weak) { return weak.expired(); }),
                 mixers.end());
    for (const auto& weak : mixers) {
        if (auto mixer = weak.lock()) {
            live.push_back(mixer);
        }
    }
    return live;
}

}  // namespace dmusic
