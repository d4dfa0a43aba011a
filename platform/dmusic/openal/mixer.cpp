#include "openal/mixer.h"

#include "volume.h"

#include <dmusici.h>

#include <algorithm>
#include <chrono>
#include <system_error>

namespace dmusic {
namespace {

// Short renders while something waits to start, so that it starts within about a
// millisecond and a half of the end it waits for; longer ones otherwise.
constexpr long kQueuedRenderFrames = 64;
constexpr long kIdleRenderFrames = 1024;
// How often a sound device's voices are looked at.
constexpr std::chrono::milliseconds kPollPeriod(4);
// A wall-clock loopback device never catches up more than this at once (after a stall the
// rest is dropped instead of being rendered in a burst).
constexpr double kMaxCatchUpSeconds = 1.0;
// Finite repeats are queued buffer by buffer; more passes than this are not queued.
constexpr DWORD kMaxQueuedRepeats = 65535;

}  // namespace

std::shared_ptr<Mixer> Mixer::create(Clock clock, int loopbackRate) {
    std::unique_ptr<AlOutput> output;
    if (clock == Clock::Device) {
        output = AlOutput::openDevice();
        if (!output) {
            clock = Clock::Wall;
        }
    }
    if (!output) {
        output = AlOutput::openLoopback(loopbackRate);
    }
    if (!output) {
        return nullptr;
    }
    std::shared_ptr<Mixer> mixer(new Mixer(std::move(output), clock));
    if (clock != Clock::Manual) {
        try {
            mixer->thread_ = std::thread(&Mixer::threadMain, mixer.get());
        } catch (const std::system_error&) {
            return nullptr;  // no exception leaves the layer: the caller reports a failure
        }
    }
    return mixer;
}

Mixer::Mixer(std::unique_ptr<AlOutput> output, Clock clock)
    : output_(std::move(output)), clock_(clock) {
    AlOutput::Bind bind(*output_);
    directChannels_ = alIsExtensionPresent("AL_SOFT_direct_channels") == AL_TRUE;
    alListenerf(AL_GAIN, 1.0f);
}

Mixer::~Mixer() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
    AlOutput::Bind bind(*output_);
    for (Voice& voice : voices_) {
        endVoice(voice);
    }
    voices_.clear();
    for (auto& entry : sounds_) {
        freeBuffers(entry.second);
    }
}

void Mixer::threadMain() {
    auto last = std::chrono::steady_clock::now();
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_) {
        wake_.wait_for(lock, kPollPeriod);
        if (stopping_) {
            break;
        }
        AlOutput::Bind bind(*output_);
        if (clock_ == Clock::Wall) {
            const auto now = std::chrono::steady_clock::now();
            const double seconds =
                std::min(std::chrono::duration<double>(now - last).count(), kMaxCatchUpSeconds);
            last = now;
            pendingFrames_ += seconds * output_->rate();
            const long frames = static_cast<long>(pendingFrames_);
            pendingFrames_ -= static_cast<double>(frames);
            renderLocked(frames, false);
        } else {
            settle();
        }
    }
}

HRESULT Mixer::download(const void* segment, const std::shared_ptr<SoundFile>& sound) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        Download& entry = downloads_[segment];
        if (entry.count++ > 0) {
            return S_OK;
        }
        entry.sound = sound;
        ++sounds_[sound.get()].downloads;
    }
    HRESULT error = S_OK;
    if (!makeBuffers(sound, {keyOf(*sound, false, 0, sound->frames())}, error)) {
        forget(segment);
        return error;
    }
    sound->dropSamples();
    return S_OK;
}

bool Mixer::unload(const void* segment) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = downloads_.find(segment);
        if (found == downloads_.end()) {
            return false;
        }
        if (--found->second.count > 0) {
            return true;
        }
    }
    forget(segment);
    return true;
}

bool Mixer::isDownloaded(const void* segment) {
    std::lock_guard<std::mutex> lock(mutex_);
    return downloads_.count(segment) != 0;
}

void Mixer::forget(const void* segment) {
    std::lock_guard<std::mutex> lock(mutex_);
    AlOutput::Bind bind(*output_);
    for (Voice& voice : voices_) {
        if (voice.segment == segment) {
            endVoice(voice);
        }
    }
    settle();
    const auto found = downloads_.find(segment);
    if (found != downloads_.end()) {
        const std::shared_ptr<SoundFile> sound = std::move(found->second.sound);
        downloads_.erase(found);
        const auto buffers = sounds_.find(sound.get());
        if (buffers != sounds_.end() && --buffers->second.downloads <= 0) {
            freeBuffers(buffers->second);
            sounds_.erase(buffers);
        }
    }
}

Mixer::BufferKey Mixer::keyOf(const SoundFile& sound, bool looped, std::size_t first,
                              std::size_t end) {
    if (looped && first == 0 && end == sound.frames()) {
        looped = false;  // the same samples without loop points
    }
    return std::make_tuple(looped, first, end);
}

std::vector<Mixer::BufferKey> Mixer::keysFor(const SoundFile& sound, const PlayRequest& request) {
    const std::size_t frames = sound.frames();
    const std::size_t loopEnd = request.loopEnd == 0 ? frames : std::min(request.loopEnd, frames);
    const std::size_t loopStart = std::min(request.loopStart, loopEnd - 1);
    if (request.repeats == DMUS_SEG_REPEAT_INFINITE) {
        return {keyOf(sound, true, loopStart, loopEnd)};
    }
    if (request.repeats == 0) {
        return {keyOf(sound, false, 0, frames)};
    }
    std::vector<BufferKey> keys{keyOf(sound, false, 0, loopEnd),
                                keyOf(sound, false, loopStart, loopEnd)};
    if (loopEnd < frames) {
        keys.push_back(keyOf(sound, false, loopEnd, frames));
    }
    return keys;
}

bool Mixer::makeBuffers(const std::shared_ptr<SoundFile>& sound, const std::vector<BufferKey>& keys,
                        HRESULT& error) {
    const auto missing = [&] {
        std::vector<BufferKey> wanted;
        const auto found = sounds_.find(sound.get());
        for (const BufferKey& key : keys) {
            if (found != sounds_.end() && found->second.buffers.count(key) == 0) {
                wanted.push_back(key);
            }
        }
        return wanted;
    };
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (missing().empty()) {
            return true;
        }
    }
    // Decoding again (rare: a second output, or loop points) runs outside the lock, so the
    // output's thread never waits for a file.
    const std::shared_ptr<const Pcm> pcm = sound->samples(error);
    if (!pcm) {
        return false;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    AlOutput::Bind bind(*output_);
    const auto found = sounds_.find(sound.get());
    for (const BufferKey& key : missing()) {
        const auto [looped, first, end] = key;
        // A looped buffer holds the whole sound with its loop points; a plain one the range.
        const std::size_t from = looped ? 0 : first;
        const std::size_t to = looped ? pcm->frames() : end;
        const std::uint64_t bytes = (to - from) * kBytesPerFrame;
        AlBuffer made;
        if (bytes > 0x7FFFFFFF || !made.claim.grow(bytes)) {
            error = E_OUTOFMEMORY;
            return false;
        }
        alGetError();
        alGenBuffers(1, &made.name);
        if (alGetError() != AL_NO_ERROR) {
            error = E_OUTOFMEMORY;
            return false;
        }
        alBufferData(made.name, AL_FORMAT_STEREO16, pcm->samples.data() + from * 2,
                     static_cast<ALsizei>(bytes), pcm->rate);
        if (looped) {
            const ALint points[2] = {static_cast<ALint>(first), static_cast<ALint>(end)};
            alBufferiv(made.name, AL_LOOP_POINTS_SOFT, points);
        }
        if (alGetError() != AL_NO_ERROR) {
            alDeleteBuffers(1, &made.name);
            error = E_OUTOFMEMORY;
            return false;
        }
        found->second.buffers.emplace(key, std::move(made));
    }
    return true;
}

ALuint Mixer::bufferFor(const SoundFile& sound, bool looped, std::size_t first, std::size_t end) {
    const auto found = sounds_.find(&sound);
    if (found == sounds_.end()) {
        return 0;
    }
    const auto buffer = found->second.buffers.find(keyOf(sound, looped, first, end));
    return buffer == found->second.buffers.end() ? 0 : buffer->second.name;
}

void Mixer::freeBuffers(SoundBuffers& sound) {
    for (const auto& entry : sound.buffers) {
        alDeleteBuffers(1, &entry.second.name);
    }
    sound.buffers.clear();
}

void Mixer::startVoice(Voice& voice) {
    voice.core->status = StateCore::Status::Ended;
    const auto found = downloads_.find(voice.segment);
    if (found == downloads_.end()) {
        return;
    }
    const SoundFile& sound = *found->second.sound;
    const std::size_t frames = sound.frames();
    const std::size_t loopEnd = voice.loopEnd == 0 ? frames : std::min(voice.loopEnd, frames);
    const std::size_t loopStart = std::min(voice.loopStart, loopEnd - 1);

    alGetError();
    ALuint source = 0;
    alGenSources(1, &source);
    if (alGetError() != AL_NO_ERROR) {
        return;  // out of voices: this play stays silent
    }
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSourcef(source, AL_ROLLOFF_FACTOR, 0.0f);
    if (directChannels_) {
        alSourcei(source, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
    }
    alSourcef(source, AL_GAIN, gainFromMillibels(voice.path->millibels));
    alSourcef(source, AL_PITCH, pitch_);

    bool ok = true;
    if (voice.repeats == DMUS_SEG_REPEAT_INFINITE) {
        const ALuint buffer = bufferFor(sound, true, loopStart, loopEnd);
        ok = buffer != 0;
        alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
        alSourcei(source, AL_LOOPING, AL_TRUE);
    } else if (voice.repeats == 0) {
        const ALuint buffer = bufferFor(sound, false, 0, frames);
        ok = buffer != 0;
        alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
    } else {
        // Up to the loop's end, the loop section once per repeat, then the rest.
        std::vector<ALuint> queue;
        queue.push_back(bufferFor(sound, false, 0, loopEnd));
        const ALuint body = bufferFor(sound, false, loopStart, loopEnd);
        queue.insert(queue.end(), std::min(voice.repeats, kMaxQueuedRepeats), body);
        if (loopEnd < frames) {
            queue.push_back(bufferFor(sound, false, loopEnd, frames));
        }
        ok = std::find(queue.begin(), queue.end(), 0u) == queue.end();
        if (ok) {
            alSourceQueueBuffers(source, static_cast<ALsizei>(queue.size()), queue.data());
        }
    }
    if (ok) {
        alSourcePlay(source);
    }
    if (!ok || alGetError() != AL_NO_ERROR) {
        alDeleteSources(1, &source);
        return;
    }
    voice.source = source;
    voice.core->status = StateCore::Status::Playing;
}

void Mixer::endVoice(Voice& voice) {
    if (voice.source != 0) {
        alSourceStop(voice.source);
        alDeleteSources(1, &voice.source);
        voice.source = 0;
    }
    voice.core->status = StateCore::Status::Ended;
}

void Mixer::settle() {
    for (Voice& voice : voices_) {
        if (voice.source != 0) {
            ALint state = AL_STOPPED;
            alGetSourcei(voice.source, AL_SOURCE_STATE, &state);
            if (state != AL_PLAYING) {
                endVoice(voice);
            }
        }
    }
    // Starting a voice can end it at once (no source left), which may free another.
    bool changed = true;
    while (changed) {
        changed = false;
        for (Voice& voice : voices_) {
            if (voice.core->status != StateCore::Status::Pending) {
                continue;
            }
            const bool ready = std::all_of(
                voice.waits.begin(), voice.waits.end(),
                [](const auto& core) { return core->status == StateCore::Status::Ended; });
            if (ready) {
                voice.waits.clear();
                startVoice(voice);
                changed = true;
            }
        }
    }
    voices_.remove_if(
        [](const Voice& voice) { return voice.core->status == StateCore::Status::Ended; });
}

bool Mixer::anyPending() const {
    return std::any_of(voices_.begin(), voices_.end(), [](const Voice& voice) {
        return voice.core->status == StateCore::Status::Pending;
    });
}

std::shared_ptr<StateCore> Mixer::play(const PlayRequest& request) {
    std::shared_ptr<SoundFile> sound;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = downloads_.find(request.segment);
        if (found != downloads_.end()) {
            sound = found->second.sound;
        }
    }
    HRESULT error = S_OK;
    if (sound) {
        // A buffer that cannot be made leaves this play silent, as a lack of voices does.
        makeBuffers(sound, keysFor(*sound, request), error);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    AlOutput::Bind bind(*output_);
    settle();

    Voice voice;
    voice.core = std::make_shared<StateCore>();
    voice.segment = request.segment;
    voice.path = request.path;
    voice.primary = request.primary;
    voice.order = nextOrder_++;
    voice.repeats = request.repeats;
    voice.loopStart = request.loopStart;
    voice.loopEnd = request.loopEnd;

    for (const auto& from : request.from) {
        if (from->status == StateCore::Status::Ended) {
            continue;
        }
        if (request.queue) {
            voice.waits.push_back(from);
        } else {
            for (Voice& other : voices_) {
                if (other.core == from) {
                    endVoice(other);
                }
            }
        }
    }
    if (request.primary) {
        for (Voice& other : voices_) {
            if (!other.primary || other.core->status == StateCore::Status::Ended) {
                continue;
            }
            if (request.queue) {
                voice.waits.push_back(other.core);
            } else {
                endVoice(other);
            }
        }
    }
    // Make room: the oldest instances of the segment go first.
    int instances = 0;
    for (const Voice& other : voices_) {
        if (other.segment == request.segment && other.core->status != StateCore::Status::Ended) {
            ++instances;
        }
    }
    for (Voice& other : voices_) {
        if (instances < kMaxInstances) {
            break;
        }
        if (other.segment == request.segment && other.core->status != StateCore::Status::Ended) {
            endVoice(other);
            --instances;
        }
    }

    std::shared_ptr<StateCore> core = voice.core;
    voices_.push_back(std::move(voice));
    settle();
    return core;
}

void Mixer::stopSegment(const void* segment) {
    std::lock_guard<std::mutex> lock(mutex_);
    AlOutput::Bind bind(*output_);
    for (Voice& voice : voices_) {
        if (voice.segment == segment) {
            endVoice(voice);
        }
    }
    settle();
}

void Mixer::stopState(const std::shared_ptr<StateCore>& state) {
    std::lock_guard<std::mutex> lock(mutex_);
    AlOutput::Bind bind(*output_);
    for (Voice& voice : voices_) {
        if (voice.core == state) {
            endVoice(voice);
        }
    }
    settle();
}

void Mixer::stopPath(const PathState* path) {
    std::lock_guard<std::mutex> lock(mutex_);
    AlOutput::Bind bind(*output_);
    for (Voice& voice : voices_) {
        if (voice.path.get() == path) {
            endVoice(voice);
        }
    }
    settle();
}

void Mixer::stopAll() {
    std::lock_guard<std::mutex> lock(mutex_);
    AlOutput::Bind bind(*output_);
    for (Voice& voice : voices_) {
        endVoice(voice);
    }
    settle();
}

bool Mixer::segmentPlaying(const void* segment) {
    std::lock_guard<std::mutex> lock(mutex_);
    AlOutput::Bind bind(*output_);
    settle();
    return std::any_of(voices_.begin(), voices_.end(), [segment](const Voice& voice) {
        return voice.segment == segment && voice.core->status == StateCore::Status::Playing;
    });
}

bool Mixer::statePlaying(const std::shared_ptr<StateCore>& state) {
    std::lock_guard<std::mutex> lock(mutex_);
    AlOutput::Bind bind(*output_);
    settle();
    return state->status == StateCore::Status::Playing;
}

std::vector<std::shared_ptr<StateCore>> Mixer::statesOnPath(const PathState* path) {
    std::lock_guard<std::mutex> lock(mutex_);
    AlOutput::Bind bind(*output_);
    settle();
    std::vector<std::shared_ptr<StateCore>> states;
    for (const Voice& voice : voices_) {
        if (voice.path.get() == path) {
            states.push_back(voice.core);
        }
    }
    return states;
}

void Mixer::setMasterGain(float gain) {
    std::lock_guard<std::mutex> lock(mutex_);
    AlOutput::Bind bind(*output_);
    alListenerf(AL_GAIN, gain);
}

void Mixer::pathVolumeChanged(const PathState* path) {
    std::lock_guard<std::mutex> lock(mutex_);
    AlOutput::Bind bind(*output_);
    for (const Voice& voice : voices_) {
        if (voice.path.get() == path && voice.source != 0) {
            alSourcef(voice.source, AL_GAIN, gainFromMillibels(path->millibels));
        }
    }
}

void Mixer::setPitch(float pitch) {
    std::lock_guard<std::mutex> lock(mutex_);
    AlOutput::Bind bind(*output_);
    pitch_ = pitch;
    for (const Voice& voice : voices_) {
        if (voice.source != 0) {
            alSourcef(voice.source, AL_PITCH, pitch_);
        }
    }
}

void Mixer::renderLocked(long frames, bool capture) {
    while (frames > 0) {
        const long chunk = std::min(frames, anyPending() ? kQueuedRenderFrames : kIdleRenderFrames);
        scratch_.resize(static_cast<std::size_t>(chunk * 2));
        output_->render(scratch_.data(), static_cast<int>(chunk));
        if (capture) {
            capture_.insert(capture_.end(), scratch_.begin(), scratch_.end());
        }
        frames -= chunk;
        settle();
    }
}

void Mixer::advance(double seconds, bool capture) {
    if (clock_ != Clock::Manual || !(seconds > 0.0)) {
        return;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    AlOutput::Bind bind(*output_);
    pendingFrames_ += seconds * output_->rate();
    const long frames = static_cast<long>(pendingFrames_);
    pendingFrames_ -= static_cast<double>(frames);
    renderLocked(frames, capture);
}

std::vector<float> Mixer::takeCapture() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<float> taken;
    taken.swap(capture_);
    return taken;
}

}  // namespace dmusic
