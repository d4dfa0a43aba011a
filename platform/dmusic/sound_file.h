// One sound file as the layer holds it, shared by every segment loaded from it under any of
// its names. Its samples are held until a mixer has them in an OpenAL buffer, and decoded
// again only for a mixer or a stretch of it that no buffer holds yet.
#pragma once

#include "sndfile/decode.h"

#include <mutex>

namespace dmusic {

class SoundFile {
public:
    // Null on failure, with `error` as decodeFile sets it.
    static std::shared_ptr<SoundFile> open(const std::string& path, HRESULT& error);

    SoundFile(const SoundFile&) = delete;
    SoundFile& operator=(const SoundFile&) = delete;

    int rate() const { return rate_; }
    std::size_t frames() const { return frames_; }
    std::uint64_t bytes() const { return frames_ * kBytesPerFrame; }

    // The held samples, or the file decoded again (null on failure, e.g. past the budget).
    std::shared_ptr<const Pcm> samples(HRESULT& error);
    // A buffer holds the samples now: this copy goes once its last user lets go.
    void dropSamples();

private:
    SoundFile(std::string path, std::shared_ptr<const Pcm> pcm);

    const std::string path_;
    const int rate_;
    const std::size_t frames_;
    std::mutex mutex_;
    std::shared_ptr<const Pcm> held_;
};

}  // namespace dmusic
