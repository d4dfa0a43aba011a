// The one volume curve of the game's sound: a linear volume 0..1 as DirectMusic millibels.
#pragma once

#include <cstdint>

// Roughly perceptual: the cube root of the volume, scaled so that 1.0 is 0 mB (full) and 0.0
// is -10000 mB (silence). 0.5 gives -2062, 0.125 gives -5000. Out-of-range input is clamped
// to [0, 1] and NaN counts as 0, so no caller can ask for a gain above full or an undefined
// conversion.
std::int32_t volumeToMillibels(float volume);
