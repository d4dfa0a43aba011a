// Sound files to the one sample layout the mixer uses.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sound_memory.h"

namespace dmusic {

// Interleaved stereo 16-bit at the file's own rate (mono files are doubled, files with more
// channels keep their first two): what OpenAL is given, so one copy of it is all a sound
// needs. Its bytes are claimed from the sound budget while it lives.
struct Pcm {
    int rate = 0;
    std::vector<std::int16_t> samples;
    SoundClaim claim;

    std::size_t frames() const { return samples.size() / 2; }
};

// Bytes a second of sound takes held.
constexpr std::uint64_t kBytesPerFrame = 2 * sizeof(std::int16_t);

// Decodes a whole file. On failure returns null and sets `error` to
// DMUS_E_LOADER_FAILEDOPEN (cannot be opened), DMUS_E_UNSUPPORTED_STREAM (not a sound
// file libsndfile reads, or no sound in it) or E_OUTOFMEMORY (the sound budget
// has not room for it twice, decoded and in an OpenAL buffer; the debugger output says so).
std::shared_ptr<const Pcm> decodeFile(const std::string& path, HRESULT& error);

}  // namespace dmusic
