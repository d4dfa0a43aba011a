// A sampling profiler of one thread's CPU time: a timer interrupts the thread at a fixed
// interval of wall time and keeps the call stack it finds, weighed by the CPU time the thread
// used since the sample before. (A timer on the thread's CPU clock would fire only at the
// kernel's scheduler ticks, a few hundred times a second.) Afterwards each sample is put
// under the first of the named functions found on its stack, and the weights are summed by
// the function and by the library they were taken in. Time the thread spends waiting (a GL
// finish, a sleep) weighs nothing: shares are shares of the thread's CPU time.
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
    // Samples the calling thread every interval, from start to stop; holds
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
