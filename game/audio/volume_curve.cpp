#include "game/audio/volume_curve.h"

#include <cmath>

std::int32_t volumeToMillibels(float volume) {
    if (!(volume > 0.0f)) {  // also NaN
        volume = 0.0f;
    } else if (volume > 1.0f) {
        volume = 1.0f;
    }
    // The exponent is a third rounded to float and widened again; the published values
    // (-1120 at 0.7) depend on exactly that.
    const double exponent = static_cast<double>(static_cast<float>(1.0 / 3.0));
    const double p = std::pow(static_cast<double>(volume), exponent);
    return static_cast<std::int32_t>(0.0 * p - (1.0 - p) * 10000.0);
}
