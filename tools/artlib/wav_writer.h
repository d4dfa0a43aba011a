// RIFF/WAVE files of 16-bit PCM samples.
#pragma once

#include <vector>

#include "tools/artlib/bytes.h"

namespace artlib {

struct Sound {
    int rate = 22050;
    int channels = 1;
    std::vector<float> samples;  // interleaved, -1..1; values outside are clipped
};

Bytes wavBytes(const Sound& sound);

}  // namespace artlib
