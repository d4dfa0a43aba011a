// FLAC files of 16-bit samples, through libsndfile's encoder.
#pragma once

#include "tools/artlib/bytes.h"
#include "tools/artlib/wav_writer.h"

namespace artlib {

// Throws std::runtime_error when libsndfile cannot encode the sound.
Bytes flacBytes(const Sound& sound);

}  // namespace artlib
