// The frame clock over the performance counter.
#pragma once

#include <windows.h>

namespace kesh {

// Elapsed seconds are (now - start) / freq, or the difference of two successive values of
// now divided by freq; callers compute them.
class PerfTimer {
public:
    // Reads the frequency, then the counter into start and now.
    PerfTimer();

    // Reads the counter into now.
    void update();

    LARGE_INTEGER start;
    LARGE_INTEGER freq;
    LARGE_INTEGER now;
};

}  // namespace kesh
