// Sound files to the one sample layout the mixer uses.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace dmusic {

// Interleaved stereo 32-bit float at the file's own rate (mono files are doubled, files
// with more channels keep their first two).
struct Pcm {
    int rate = 0;
    std::vector<float> samples;

    std::size_t frames() const { return samples.size() / 2; }
};

// Decodes a whole file. On failure returns null and sets `error` to
// DMUS_E_LOADER_FAILEDOPEN (cannot be opened), DMUS_E_UNSUPPORTED_STREAM (not a sound
// file libsndfile reads, or no sound in it) or E_OUTOFMEMORY (longer than ten minutes, or
// than ten minutes at 48 kHz for a faster rate; the debugger output says so).
std::shared_ptr<const Pcm> decodeFile(const std::string& path, HRESULT& error);

}  // namespace dmusic
