// The voices of one performance over one OpenAL output: which instance of which segment
// plays on which audio path, what waits for what, and the gains and pitch they get.
// Thread-safe: sound devices (and loopback devices on the wall clock) have a thread of
// their own that renders or polls as time passes; a manual loopback device only moves
// when advance() is called.
#pragma once

#include "openal/output.h"
#include "sound_file.h"

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <tuple>
#include <vector>

namespace dmusic {

// The shared state of an audio path: the path object and its voices refer to it. Set by
// the caller's thread, read by the output's thread when a queued voice starts.
struct PathState {
    std::atomic<LONG> millibels{0};
    std::atomic<bool> active{false};
};

// How one play of a segment is going. Changed under the mixer's lock, read anywhere.
struct StateCore {
    enum class Status { Pending, Playing, Ended };
    std::atomic<Status> status{Status::Pending};
};

// One play request, with the segment's looping as it was when the play was asked for.
struct PlayRequest {
    const void* segment = nullptr;
    std::shared_ptr<PathState> path;
    bool primary = false;
    bool queue = false;
    std::vector<std::shared_ptr<StateCore>> from;
    DWORD repeats = 0;
    std::size_t loopStart = 0;  // frames; loopEnd 0 means the whole segment
    std::size_t loopEnd = 0;
};

class Mixer {
public:
    enum class Clock { Device, Wall, Manual };
    // At most this many instances of one segment sound at once.
    static constexpr int kMaxInstances = 8;

    // Device tries a sound device and falls back to a loopback device on the wall clock.
    // Null when not even a loopback device can be made.
    static std::shared_ptr<Mixer> create(Clock clock, int loopbackRate);
    ~Mixer();
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    Clock clock() const { return clock_; }

    // Counted downloads; the data goes with the last unload (false when not downloaded).
    // Segments of one sound file share its buffers. The first download of a sound makes its
    // buffer and lets the file's decoded copy go; it fails (E_OUTOFMEMORY past the sound
    // budget) when no buffer can be made.
    HRESULT download(const void* segment, const std::shared_ptr<SoundFile>& sound);
    bool unload(const void* segment);
    bool isDownloaded(const void* segment);
    // The segment is going away: stop it and drop its data whatever the count.
    void forget(const void* segment);

    std::shared_ptr<StateCore> play(const PlayRequest& request);
    void stopSegment(const void* segment);
    void stopState(const std::shared_ptr<StateCore>& state);
    void stopPath(const PathState* path);
    void stopAll();
    bool segmentPlaying(const void* segment);
    bool statePlaying(const std::shared_ptr<StateCore>& state);
    std::vector<std::shared_ptr<StateCore>> statesOnPath(const PathState* path);

    void setMasterGain(float gain);
    void pathVolumeChanged(const PathState* path);
    void setPitch(float pitch);

    // Manual clock only: renders `seconds` of sound, capturing it when asked to.
    void advance(double seconds, bool capture);
    std::vector<float> takeCapture();

private:
    struct Voice {
        std::shared_ptr<StateCore> core;
        const void* segment = nullptr;
        std::shared_ptr<PathState> path;
        std::vector<std::shared_ptr<StateCore>> waits;
        bool primary = false;
        std::uint64_t order = 0;
        DWORD repeats = 0;
        std::size_t loopStart = 0;
        std::size_t loopEnd = 0;
        ALuint source = 0;
    };
    struct Download {
        int count = 0;
        std::shared_ptr<SoundFile> sound;
    };
    // (looped, first frame, end frame); a looped whole sound is the plain whole one.
    using BufferKey = std::tuple<bool, std::size_t, std::size_t>;
    struct AlBuffer {
        ALuint name = 0;
        SoundClaim claim;
    };
    // The buffers of one sound file, kept while a segment of it is downloaded.
    struct SoundBuffers {
        int downloads = 0;
        std::map<BufferKey, AlBuffer> buffers;
    };

    Mixer(std::unique_ptr<AlOutput> output, Clock clock);

    static BufferKey keyOf(const SoundFile& sound, bool looped, std::size_t first, std::size_t end);
    // The keys of the buffers a play of the request needs.
    static std::vector<BufferKey> keysFor(const SoundFile& sound, const PlayRequest& request);
    // Makes the missing buffers of `keys` (taking the lock itself), decoding the file again
    // only when its samples are no longer held. False when one cannot be made.
    bool makeBuffers(const std::shared_ptr<SoundFile>& sound, const std::vector<BufferKey>& keys,
                     HRESULT& error);
    ALuint bufferFor(const SoundFile& sound, bool looped, std::size_t first, std::size_t end);
    void dropSoundUse(const std::shared_ptr<SoundFile>& sound);
    void freeBuffers(SoundBuffers& buffers);
    void startVoice(Voice& voice);
    void endVoice(Voice& voice);
    // Ends voices whose sources have finished, starts queued ones that may start, drops
    // ended voices. Called with the lock held after every change and every render.
    void settle();
    bool anyPending() const;
    void renderLocked(long frames, bool capture);
    void threadMain();

    std::unique_ptr<AlOutput> output_;
    const Clock clock_;
    std::mutex mutex_;
    std::list<Voice> voices_;
    std::map<const void*, Download> downloads_;
    std::map<const SoundFile*, SoundBuffers> sounds_;
    std::uint64_t nextOrder_ = 0;
    float pitch_ = 1.0f;
    bool directChannels_ = false;
    double pendingFrames_ = 0.0;
    std::vector<float> capture_;
    std::vector<float> scratch_;

    std::thread thread_;
    std::condition_variable wake_;
    bool stopping_ = false;
};

}  // namespace dmusic
