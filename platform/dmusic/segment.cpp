#include "segment.h"

#include "performance.h"
#include "seam_state.h"

#include <algorithm>

namespace dmusic {

SegmentImpl::SegmentImpl(std::shared_ptr<SoundFile> sound) : sound_(std::move(sound)) {}

SegmentImpl::~SegmentImpl() {
    for (const auto& weak : mixers_) {
        if (auto mixer = weak.lock()) {
            mixer->forget(this);
        }
    }
}

HRESULT SegmentImpl::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IDirectMusicSegment || iid == IID_IDirectMusicSegment8) {
        AddRef();
        *object = static_cast<IDirectMusicSegment8*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

MUSIC_TIME SegmentImpl::length() const {
    const long long frames = static_cast<long long>(sound_->frames());
    const long long ticks =
        (frames * MORVALE_DMUS_TICKS_PER_SECOND + sound_->rate() - 1) / sound_->rate();
    return static_cast<MUSIC_TIME>(std::min<long long>(ticks, 0x7FFFFFFF));
}

std::size_t SegmentImpl::toFrames(MUSIC_TIME ticks) const {
    const long long frames =
        static_cast<long long>(ticks) * sound_->rate() / MORVALE_DMUS_TICKS_PER_SECOND;
    return std::min<std::size_t>(static_cast<std::size_t>(frames), sound_->frames());
}

HRESULT SegmentImpl::GetLength(MUSIC_TIME* length) {
    if (length == nullptr) {
        return E_POINTER;
    }
    *length = this->length();
    return S_OK;
}

HRESULT SegmentImpl::SetRepeats(DWORD repeats) {
    repeats_ = repeats;
    dmusic_test::Event event{dmusic_test::Call::SetRepeats};
    event.object = this;
    event.value = repeats;
    record(event);
    return S_OK;
}

HRESULT SegmentImpl::GetRepeats(DWORD* repeats) {
    if (repeats == nullptr) {
        return E_POINTER;
    }
    *repeats = repeats_;
    return S_OK;
}

HRESULT SegmentImpl::SetLoopPoints(MUSIC_TIME start, MUSIC_TIME end) {
    const bool whole = start == 0 && end == 0;
    HRESULT result = S_OK;
    if (!whole &&
        (start < 0 || start >= end || end > length() || toFrames(start) >= toFrames(end))) {
        result = DMUS_E_OUT_OF_RANGE;
    } else {
        loopStart_ = start;
        loopEnd_ = end;
    }
    dmusic_test::Event event{dmusic_test::Call::SetLoopPoints};
    event.object = this;
    event.start = start;
    event.end = end;
    event.result = result;
    record(event);
    return result;
}

HRESULT SegmentImpl::GetLoopPoints(MUSIC_TIME* start, MUSIC_TIME* end) {
    if (start == nullptr || end == nullptr) {
        return E_POINTER;
    }
    *start = loopStart_;
    *end = loopEnd_;
    return S_OK;
}

HRESULT SegmentImpl::Download(IUnknown* performanceOrPath) {
    HRESULT result = S_OK;
    const PlayTarget target = resolvePlayTarget(performanceOrPath);
    const std::shared_ptr<Mixer>& mixer = target.mixer;
    if (performanceOrPath == nullptr) {
        result = E_POINTER;
    } else if (target.performance == nullptr) {
        result = E_INVALIDARG;
    } else if (!mixer) {
        result = DMUS_E_NOT_INIT;
    } else if (SUCCEEDED(result = mixer->download(this, sound_))) {
        mixers_.erase(std::remove_if(mixers_.begin(), mixers_.end(),
                                     [](const auto& weak) { return weak.expired(); }),
                      mixers_.end());
        const bool known = std::any_of(mixers_.begin(), mixers_.end(),
                                       [&](const auto& weak) { return weak.lock() == mixer; });
        if (!known) {
            mixers_.push_back(mixer);
        }
    }
    dmusic_test::Event event{dmusic_test::Call::Download};
    event.object = this;
    event.performance = target.performance;
    event.result = result;
    record(event);
    return result;
}

HRESULT SegmentImpl::Unload(IUnknown* performanceOrPath) {
    HRESULT result = S_OK;
    const PlayTarget target = resolvePlayTarget(performanceOrPath);
    const std::shared_ptr<Mixer>& mixer = target.mixer;
    if (performanceOrPath == nullptr) {
        result = E_POINTER;
    } else if (target.performance == nullptr) {
        result = E_INVALIDARG;
    } else if (!mixer) {
        result = DMUS_E_NOT_INIT;
    } else if (!mixer->unload(this)) {
        result = DMUS_E_NOT_DOWNLOADED_TO_PORT;
    }
    dmusic_test::Event event{dmusic_test::Call::Unload};
    event.object = this;
    event.performance = target.performance;
    event.result = result;
    record(event);
    return result;
}

PlayRequest SegmentImpl::playRequest() const {
    PlayRequest request;
    request.segment = this;
    request.repeats = repeats_;
    if (loopStart_ != 0 || loopEnd_ != 0) {
        request.loopStart = toFrames(loopStart_);
        request.loopEnd = toFrames(loopEnd_);
    }
    return request;
}

SegmentImpl* asSegment(const void* object) {
    if (!isLive(object, Kind::Segment)) {
        return nullptr;
    }
    return static_cast<SegmentImpl*>(
        static_cast<IDirectMusicSegment8*>(static_cast<IUnknown*>(const_cast<void*>(object))));
}

}  // namespace dmusic
