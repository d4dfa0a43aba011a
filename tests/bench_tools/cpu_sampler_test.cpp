#include <gtest/gtest.h>

#include <time.h>

#include <stdexcept>
#include <vector>

#include "tools/bench/bench_figures.h"
#include "tools/bench/cpu_sampler.h"

// Named functions the sampler must find on the stack: outside any anonymous namespace and
// never inlined, so that the dynamic symbol table knows them, and with work after each call,
// so that no call becomes a jump that leaves no frame behind.
namespace sampled {

volatile double sink = 0.0;

// Reads the clock rarely, so that nearly all of its time is its own.
__attribute__((noinline)) void burn(double seconds) {
    const double end = bench::threadCpuSeconds() + seconds;
    double x = 1.0;
    while (bench::threadCpuSeconds() < end) {
        for (int i = 0; i < 100000; ++i) {
            x = x * 1.0000001 + 1e-9;
        }
    }
    sink = x;
}

__attribute__((noinline)) void threeParts() {
    burn(0.3);
    sink = sink + 1.0;
}

__attribute__((noinline)) void onePart() {
    burn(0.1);
    sink = sink + 1.0;
}

__attribute__((noinline)) void outer() {
    threeParts();
    onePart();
    sink = sink + 1.0;
}

}  // namespace sampled

namespace {

using bench::CpuSampler;

double secondsOf(const std::vector<CpuSampler::Count>& counts, const std::string& name) {
    for (const CpuSampler::Count& count : counts) {
        if (count.name == name) {
            return count.seconds;
        }
    }
    return -1.0;
}

TEST(CpuSampler, PutsTheCpuTimeUnderTheFirstNamedFunctionOnTheStack) {
    CpuSampler sampler;
    sampler.start();
    sampled::outer();
    sampled::burn(0.1);
    sampler.stop();
    // A timer on the thread's CPU clock fires at most once a scheduler tick.
    ASSERT_GT(sampler.sampleCount(), 40u);
    EXPECT_NEAR(sampler.sampledSeconds(), 0.5, 0.05);

    const auto parts = sampler.attribute({"sampled::threeParts(", "sampled::onePart("});
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_NEAR(secondsOf(parts, "sampled::threeParts("), 0.3, 0.04);
    EXPECT_NEAR(secondsOf(parts, "sampled::onePart("), 0.1, 0.03);
    // The burn outside both named callers.
    EXPECT_NEAR(secondsOf(parts, "other"), 0.1, 0.03);

    // The outer name comes first: everything under it counts there, not under its callees.
    const auto outerFirst = sampler.attribute({"sampled::outer(", "sampled::onePart("});
    EXPECT_NEAR(secondsOf(outerFirst, "sampled::outer("), 0.4, 0.05);
    EXPECT_NEAR(secondsOf(outerFirst, "sampled::onePart("), 0.0, 0.005);

    const auto top = sampler.topFunctions(3);
    ASSERT_FALSE(top.empty());
    EXPECT_EQ(top.front().name, "sampled::burn");
}

TEST(CpuSampler, WaitingWeighsNothingAndTheCapacityBoundsTheSamples) {
    CpuSampler sampler(50, 10);
    sampler.start();
    const timespec pause{0, 100 * 1000 * 1000};
    nanosleep(&pause, nullptr);
    const double sleptCpu = sampler.sampledSeconds();
    sampled::burn(0.1);
    sampler.stop();
    EXPECT_LT(sleptCpu, 0.005);
    EXPECT_EQ(sampler.sampleCount(), 10u);
    // Only one sampler at a time: the signal handler has one set of samples.
    EXPECT_THROW(CpuSampler second, std::logic_error);
}

TEST(BenchFigures, QuantilesByNearestRank) {
    EXPECT_EQ(bench::quantile({}, 0.5), 0.0);
    EXPECT_EQ(bench::median({7.0}), 7.0);
    std::vector<double> hundred;
    for (int i = 100; i >= 1; --i) {
        hundred.push_back(i);
    }
    EXPECT_EQ(bench::median(hundred), 51.0);
    EXPECT_EQ(bench::quantile(hundred, 0.99), 99.0);
    EXPECT_EQ(bench::quantile(hundred, 1.0), 100.0);
    EXPECT_EQ(bench::quantile(hundred, 0.0), 1.0);
}

}  // namespace
