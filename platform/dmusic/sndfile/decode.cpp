#include "sndfile/decode.h"

#include <dmerror.h>
#include <sndfile.h>

#include <algorithm>
#include <cstdio>

namespace dmusic {
namespace {

struct SndFileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};

std::shared_ptr<const Pcm> refuseOverBudget(const std::string& path, HRESULT& error) {
    const std::string text = "dmusic: " + path + " does not fit in the " +
                             std::to_string(soundBudget() >> 20) +
                             " MiB all sounds may hold: not loaded\n";
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
    // Float files read as 16-bit would be all but silent unless scaled.
    sf_command(file.get(), SFC_SET_SCALE_FLOAT_INT_READ, nullptr, SF_TRUE);

    auto pcm = std::make_shared<Pcm>();
    pcm->rate = info.samplerate;
    std::vector<std::int16_t>& samples = pcm->samples;
    // A sound loads only with room to hand it to OpenAL too: while its buffer is made, the
    // samples are held twice. A known length is claimed and sized at once, and refused unread
    // when it does not fit (libsndfile reports the largest count for a length it does not
    // know).
    const bool known = info.frames > 0 && info.frames != SF_COUNT_MAX;
    if (known) {
        const std::uint64_t frames = static_cast<std::uint64_t>(info.frames);
        if (frames > soundBudget() / (2 * kBytesPerFrame) ||
            !pcm->claim.grow(2 * frames * kBytesPerFrame)) {
            return refuseOverBudget(path, error);
        }
        samples.reserve(static_cast<std::size_t>(2 * frames));
    }
    const int channels = info.channels;
    constexpr sf_count_t kChunk = 4096;
    std::vector<std::int16_t> chunk(static_cast<std::size_t>(kChunk * channels));
    for (;;) {
        const sf_count_t got = sf_readf_short(file.get(), chunk.data(), kChunk);
        if (got <= 0) {
            break;
        }
        // A header that understates the length, or gives none, claims as the sound grows.
        const std::uint64_t wanted =
            2 * (samples.size() / 2 + static_cast<std::size_t>(got)) * kBytesPerFrame;
        if (wanted > pcm->claim.bytes() && !pcm->claim.grow(wanted - pcm->claim.bytes())) {
            return refuseOverBudget(path, error);
        }
        for (sf_count_t i = 0; i < got; ++i) {
            const std::int16_t* frame = &chunk[static_cast<std::size_t>(i * channels)];
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
    // The room for OpenAL's copy is claimed again when that copy is made.
    pcm->claim.shrinkTo(samples.size() / 2 * kBytesPerFrame);
    error = S_OK;
    return pcm;
}

}  // namespace dmusic
