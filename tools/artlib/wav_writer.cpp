#include "tools/artlib/wav_writer.h"

#include <algorithm>
#include <cmath>

namespace artlib {

Bytes wavBytes(const Sound& sound) {
    const auto dataSize = static_cast<std::uint32_t>(sound.samples.size() * 2);
    const auto channels = static_cast<std::uint32_t>(sound.channels);
    const auto rate = static_cast<std::uint32_t>(sound.rate);
    Bytes out;
    appendText(out, "RIFF");
    appendU32(out, 36 + dataSize);
    appendText(out, "WAVE");
    appendText(out, "fmt ");
    appendU32(out, 16);
    appendU16(out, 1);  // PCM
    appendU16(out, channels);
    appendU32(out, rate);
    appendU32(out, rate * channels * 2);
    appendU16(out, channels * 2);
    appendU16(out, 16);
    appendText(out, "data");
    appendU32(out, dataSize);
    for (const float sample : sound.samples) {
        const float clipped = std::clamp(sample, -1.0f, 1.0f);
        const auto value = static_cast<std::int16_t>(std::lround(clipped * 32767.0f));
        appendU16(out, static_cast<std::uint16_t>(value));
    }
    return out;
}

}  // namespace artlib
