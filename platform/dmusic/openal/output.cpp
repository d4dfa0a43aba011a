#include "openal/output.h"

namespace dmusic {

namespace {

// Many sounds at once (a crash over the engine and the music) can sum beyond full scale.
// OpenAL Soft limits integer output by itself but hands float output on unclamped, and the
// sound server then clips it hard: the limiter is asked for on every output.
const ALCint kLimited[] = {ALC_OUTPUT_LIMITER_SOFT, ALC_TRUE, 0};

}  // namespace

AlOutput::AlOutput(ALCdevice* device, ALCcontext* context, bool loopback, int rate)
    : device_(device), context_(context), loopback_(loopback), rate_(rate) {}

AlOutput::~AlOutput() {
    if (alcGetThreadContext() == context_) {
        alcSetThreadContext(nullptr);
    }
    alcDestroyContext(context_);
    alcCloseDevice(device_);
}

std::unique_ptr<AlOutput> AlOutput::openDevice() {
    if (alcIsExtensionPresent(nullptr, "ALC_EXT_thread_local_context") == ALC_FALSE) {
        return nullptr;
    }
    ALCdevice* device = alcOpenDevice(nullptr);
    if (device == nullptr) {
        return nullptr;
    }
    ALCcontext* context = alcCreateContext(device, kLimited);
    if (context == nullptr) {
        alcCloseDevice(device);
        return nullptr;
    }
    ALCint rate = 0;
    alcGetIntegerv(device, ALC_FREQUENCY, 1, &rate);
    return std::unique_ptr<AlOutput>(new AlOutput(device, context, false, rate));
}

std::unique_ptr<AlOutput> AlOutput::openLoopback(int rate) {
    if (alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback") == ALC_FALSE ||
        alcIsExtensionPresent(nullptr, "ALC_EXT_thread_local_context") == ALC_FALSE) {
        return nullptr;
    }
    ALCdevice* device = alcLoopbackOpenDeviceSOFT(nullptr);
    if (device == nullptr) {
        return nullptr;
    }
    if (alcIsRenderFormatSupportedSOFT(device, rate, ALC_STEREO_SOFT, ALC_FLOAT_SOFT) ==
        ALC_FALSE) {
        alcCloseDevice(device);
        return nullptr;
    }
    const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT,
                                 ALC_STEREO_SOFT,
                                 ALC_FORMAT_TYPE_SOFT,
                                 ALC_FLOAT_SOFT,
                                 ALC_FREQUENCY,
                                 rate,
                                 ALC_HRTF_SOFT,
                                 ALC_FALSE,
                                 ALC_OUTPUT_LIMITER_SOFT,
                                 ALC_TRUE,
                                 0};
    ALCcontext* context = alcCreateContext(device, attributes);
    if (context == nullptr) {
        alcCloseDevice(device);
        return nullptr;
    }
    return std::unique_ptr<AlOutput>(new AlOutput(device, context, true, rate));
}

void AlOutput::render(float* out, int frames) {
    if (loopback_ && frames > 0) {
        alcRenderSamplesSOFT(device_, out, frames);
    }
}

AlOutput::Bind::Bind(const AlOutput& output) : previous_(alcGetThreadContext()) {
    alcSetThreadContext(output.context_);
}

AlOutput::Bind::~Bind() {
    alcSetThreadContext(previous_);
}

}  // namespace dmusic
