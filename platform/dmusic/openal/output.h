// One OpenAL device and its context: a sound device, or a loopback device that renders
// only when asked. AL calls are made with the context bound to the calling thread
// (ALC_EXT_thread_local_context), so several outputs and threads do not disturb each other.
#pragma once

#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <memory>

namespace dmusic {

class AlOutput {
public:
    // Null when no sound device opens.
    static std::unique_ptr<AlOutput> openDevice();
    // Stereo float at `rate`; null when OpenAL cannot make one.
    static std::unique_ptr<AlOutput> openLoopback(int rate);

    ~AlOutput();
    AlOutput(const AlOutput&) = delete;
    AlOutput& operator=(const AlOutput&) = delete;

    bool isLoopback() const { return loopback_; }
    int rate() const { return rate_; }
    // Loopback only: mixes `frames` stereo float frames into `out`.
    void render(float* out, int frames);

    // Binds the context to this thread for the scope's lifetime.
    class Bind {
    public:
        explicit Bind(const AlOutput& output);
        ~Bind();
        Bind(const Bind&) = delete;
        Bind& operator=(const Bind&) = delete;

    private:
        ALCcontext* previous_;
    };

private:
    AlOutput(ALCdevice* device, ALCcontext* context, bool loopback, int rate);

    ALCdevice* device_;
    ALCcontext* context_;
    bool loopback_;
    int rate_;
};

}  // namespace dmusic
