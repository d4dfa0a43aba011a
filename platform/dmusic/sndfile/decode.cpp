#include "sndfile/decode.h"

#include <dmerror.h>
#include <sndfile.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "seam_state.h"

namespace dmusic {
namespace {

// A sound is held whole as stereo float, so its length bounds its memory: ten minutes, and
// no more frames than ten minutes at 48 kHz (230 MB) at higher rates.
constexpr sf_count_t kLongestSeconds = 600;
constexpr sf_count_t kFastestHeldRate = 48000;

struct SndFileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};

sf_count_t longestSeconds() {
    const int chosen = longestSoundSeconds();
    return chosen > 0 ? chosen : kLongestSeconds;
}

sf_count_t mostFrames(int rate) {
    return longestSeconds() * std::min<sf_count_t>(rate, kFastestHeldRate);
}

std::shared_ptr<const Pcm> refuseTooLong(const std::string& path, HRESULT& error) {
    const std::string text = "dmusic: " + path + " is longer than the " +
                             std::to_string(longestSeconds()) +
                             " seconds a sound may last: not loaded\n";
    std::wstring wide;
    for (const char c : text) {
        wide += static_cast<wchar_t>(static_cast<unsigned char>(c));  // the bytes, as text
    }
    OutputDebugStringW(wide.c_str());
    error = E_OUTOFMEMORY;
    return nullptr;
}

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
    const sf_count_t limit = mostFrames(info.samplerate);
    // A length the header declares past the limit is refused unread (libsndfile reports the
    // largest count for a length it does not know).
    if (info.frames > limit && info.frames != SF_COUNT_MAX) {
        return refuseTooLong(path, error);
    }

    auto pcm = std::make_shared<Pcm>();
    pcm->rate = info.samplerate;
    const int channels = info.channels;
    std::vector<float>& samples = pcm->samples;
    // Sized once from the header; a truncated file holds less, and a header that understates
    // the length grows the buffer up to the limit and no further.
    samples.reserve(static_cast<std::size_t>(2 * std::clamp<sf_count_t>(info.frames, 0, limit)));
    constexpr sf_count_t kChunk = 4096;
    std::vector<float> chunk(static_cast<std::size_t>(kChunk * channels));
    sf_count_t total = 0;
    for (;;) {
        const sf_count_t got = sf_readf_float(file.get(), chunk.data(), kChunk);
        if (got <= 0) {
            break;
        }
        if (got > limit - total) {
            return refuseTooLong(path, error);
        }
        total += got;
        const auto wanted = static_cast<std::size_t>(2 * total);
        if (wanted > samples.capacity()) {
            samples.reserve(static_cast<std::size_t>(std::min<sf_count_t>(
                std::max<sf_count_t>(2 * samples.capacity(), wanted), 2 * limit)));
        }
        for (sf_count_t i = 0; i < got; ++i) {
            const float* frame = &chunk[static_cast<std::size_t>(i * channels)];
            samples.push_back(frame[0]);
            samples.push_back(channels > 1 ? frame[1] : frame[0]);
        }
    }
    if (samples.empty()) {
        error = DMUS_E_UNSUPPORTED_STREAM;
        return nullptr;
    }
    if (samples.capacity() > samples.size()) {
        samples.shrink_to_fit();
    }
    error = S_OK;
    return pcm;
}

}  // namespace dmusic
