#include "sndfile/decode.h"

#include <dmerror.h>
#include <sndfile.h>

#include <cerrno>
#include <cstdio>

namespace dmusic {
namespace {

// Longer files are refused rather than filling memory: 20 minutes at 48 kHz.
constexpr sf_count_t kMaxFrames = 48000 * 60 * 20;

struct SndFileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};

}  // namespace

std::shared_ptr<const Pcm> decodeFile(const std::string& path, HRESULT& error) {
    std::FILE* probe = std::fopen(path.c_str(), "rb");
    if (probe == nullptr) {
        error = DMUS_E_LOADER_FAILEDOPEN;
        return nullptr;
    }
    std::fclose(probe);

    SF_INFO info{};
    std::unique_ptr<SNDFILE, SndFileCloser> file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file || info.channels < 1 || info.samplerate < 1 || info.samplerate > 768000) {
        error = DMUS_E_UNSUPPORTED_STREAM;
        return nullptr;
    }

    auto pcm = std::make_shared<Pcm>();
    pcm->rate = info.samplerate;
    const int channels = info.channels;
    // The frame count in the header may lie (truncated files): read until the data ends.
    constexpr sf_count_t kChunk = 4096;
    std::vector<float> chunk(static_cast<std::size_t>(kChunk * channels));
    sf_count_t total = 0;
    for (;;) {
        const sf_count_t got = sf_readf_float(file.get(), chunk.data(), kChunk);
        if (got <= 0) {
            break;
        }
        total += got;
        if (total > kMaxFrames) {
            error = DMUS_E_UNSUPPORTED_STREAM;
            return nullptr;
        }
        for (sf_count_t i = 0; i < got; ++i) {
            const float* frame = &chunk[static_cast<std::size_t>(i * channels)];
            pcm->samples.push_back(frame[0]);
            pcm->samples.push_back(channels > 1 ? frame[1] : frame[0]);
        }
    }
    if (pcm->samples.empty()) {
        error = DMUS_E_UNSUPPORTED_STREAM;
        return nullptr;
    }
    error = S_OK;
    return pcm;
}

}  // namespace dmusic
