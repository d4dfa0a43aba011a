#include "wav_files.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace dmusic_testing {
namespace {

void put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
    }
}

void putTag(std::vector<std::uint8_t>& out, const char* tag) {
    out.insert(out.end(), tag, tag + 4);
}

}  // namespace

void writeToneWav(const std::string& path, const Tone& tone) {
    const auto frames = static_cast<std::uint32_t>(std::lround(tone.seconds * tone.rate));
    const bool isFloat = tone.type == SampleType::Float32;
    const std::uint16_t bytesPerSample = isFloat ? 4 : 2;
    const std::uint32_t dataBytes = frames * tone.channels * bytesPerSample;

    std::vector<std::uint8_t> out;
    putTag(out, "RIFF");
    put32(out, 36 + dataBytes);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, 16);
    put16(out, isFloat ? 3 : 1);
    put16(out, static_cast<std::uint16_t>(tone.channels));
    put32(out, static_cast<std::uint32_t>(tone.rate));
    put32(out, static_cast<std::uint32_t>(tone.rate * tone.channels * bytesPerSample));
    put16(out, static_cast<std::uint16_t>(tone.channels * bytesPerSample));
    put16(out, static_cast<std::uint16_t>(bytesPerSample * 8));
    putTag(out, "data");
    put32(out, dataBytes);
    const double pi = std::acos(-1.0);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const bool silent = i < tone.silentStart * tone.rate;
        const double value =
            silent ? 0.0 : tone.amplitude * std::sin(2.0 * pi * tone.frequency * i / tone.rate);
        for (int c = 0; c < tone.channels; ++c) {
            if (isFloat) {
                const float f = static_cast<float>(value);
                std::uint32_t bits;
                std::memcpy(&bits, &f, 4);
                put32(out, bits);
            } else {
                put16(out, static_cast<std::uint16_t>(
                               static_cast<std::int16_t>(std::lround(value * 32767.0))));
            }
        }
    }
    writeBytes(path, out);
}

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        throw std::runtime_error("cannot write " + path);
    }
    if (!bytes.empty()) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
    }
    std::fclose(file);
}

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "dmusic-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

double rms(const std::vector<float>& stereo, int channel, std::size_t first, std::size_t last) {
    last = std::min(last, stereo.size() / 2);
    if (last <= first) {
        return 0.0;
    }
    double sum = 0.0;
    for (std::size_t i = first; i < last; ++i) {
        const double v = stereo[i * 2 + static_cast<std::size_t>(channel)];
        sum += v * v;
    }
    return std::sqrt(sum / static_cast<double>(last - first));
}

std::size_t firstLoudFrame(const std::vector<float>& stereo, float threshold, std::size_t from) {
    const std::size_t frames = stereo.size() / 2;
    for (std::size_t i = from; i < frames; ++i) {
        if (std::fabs(stereo[i * 2]) > threshold) {
            return i;
        }
    }
    return frames;
}

}  // namespace dmusic_testing
