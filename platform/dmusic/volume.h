// Millibels to linear gain, as every volume stage of the layer uses it.
#pragma once

#include <windows.h>

#include <cmath>

namespace dmusic {

// 10^(mB / 2000); -10000 and below is silence, and nothing amplifies beyond full.
inline float gainFromMillibels(LONG millibels) {
    if (millibels <= -10000) {
        return 0.0f;
    }
    if (millibels >= 0) {
        return 1.0f;
    }
    return static_cast<float>(std::pow(10.0, millibels / 2000.0));
}

}  // namespace dmusic
