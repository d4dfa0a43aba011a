// A sampling profiler of one thread's CPU time: a timer on the thread's own CPU clock
// interrupts it each time it has run for the interval and keeps the call stack it finds,
// weighed by the CPU time the thread used since the sample before. The kernel looks at CPU
// timers at its scheduler ticks, so a sample comes at most once a tick (a few hundred times
// a second of CPU); a timer of wall time would instead land in blocking waits (a GL finish,
// a sleep) and charge them the CPU time used before them. Afterwards each sample is put
// under the first of the named functions found on its stack, and the weights are summed by
// the function and by the library they were taken in: shares are shares of the thread's CPU
// time.
#pragma once

#include <signal.h>
#include <time.h>

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace bench {

class CpuSampler {
public:
    // Samples the calling thread every interval of its CPU time, from start to stop; holds
    // at most capacity samples (the rest are dropped). One sampler per process at a time.
    explicit CpuSampler(long intervalMicroseconds = 50, std::size_t capacity = 40000);
    ~CpuSampler();
    CpuSampler(const CpuSampler&) = delete;
    CpuSampler& operator=(const CpuSampler&) = delete;

    void start();
    void stop();
    std::size_t sampleCount() const;

    // The CPU time of the samples, in seconds.
    double sampledSeconds() const;

    struct Count {
        std::string name;
        double seconds = 0.0;
    };
    // For every function name given (a demangled name's beginning, such as "Level::update("),
    // the CPU time of the samples whose stack holds it and none of the names before it; the
    // last entry, named "other", holds the rest.
    std::vector<Count> attribute(const std::vector<std::string>& functions) const;
    // The functions (demangled, arguments dropped) and the libraries the samples were taken
    // in, most samples first, at most limit of each.
    std::vector<Count> topFunctions(std::size_t limit) const;
    std::vector<Count> topLibraries(std::size_t limit) const;

private:
    timer_t timer{};
    long interval;
    struct sigaction previous {};
};

}  // namespace bench
