#include "engine/core/perf_timer.h"

#include <win32/seams.h>

#include <gtest/gtest.h>

namespace {

TEST(PerfTimer, StartsAtTheCounterAndUpdatesNowOnly) {
    LONGLONG ticks = 1000;
    auto previousSource = win32::setPerformanceCounterSource([&] { return ticks++; });
    const LONGLONG previousFrequency = win32::setPerformanceFrequency(250);

    kesh::PerfTimer timer;
    EXPECT_EQ(timer.freq.QuadPart, 250);
    // start is read before now.
    EXPECT_EQ(timer.start.QuadPart, 1000);
    EXPECT_EQ(timer.now.QuadPart, 1001);

    ticks = 1500;
    timer.update();
    EXPECT_EQ(timer.start.QuadPart, 1000);
    EXPECT_EQ(timer.now.QuadPart, 1500);
    EXPECT_DOUBLE_EQ(double(timer.now.QuadPart - timer.start.QuadPart) / timer.freq.QuadPart, 2.0);

    win32::setPerformanceCounterSource(previousSource);
    win32::setPerformanceFrequency(previousFrequency);
}

}  // namespace
