// What every benchmark here shares: the clocks, order statistics of a run's samples and the
// one table row format that tools/bench/run.sh gathers from all of them.
#pragma once

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

inline double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

inline double wallSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The value below which the share q (0..1) of the samples lie, nearest rank; 0 for none.
inline double quantile(std::vector<double> values, double q) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const double rank = q * static_cast<double>(values.size() - 1);
    return values[static_cast<std::size_t>(rank + 0.5)];
}

inline double median(const std::vector<double>& values) {
    return quantile(values, 0.5);
}

// One line of the table: what was measured, the figure with its unit, and the target it is
// held against (or "-").
inline void printRow(const std::string& measure, const std::string& figure,
                     const std::string& target) {
    std::printf("| %-44s | %16s | %-12s |\n", measure.c_str(), figure.c_str(), target.c_str());
    std::fflush(stdout);
}

inline std::string format(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

}  // namespace bench
