#include <win32/crt.h>
#include <win32/seams.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <vector>

namespace {

TEST(PerformanceCounter, RunsAtOneBillionTicksASecondAndNeverGoesBack) {
    LARGE_INTEGER frequency{};
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    EXPECT_EQ(frequency.QuadPart, 1000000000);

    LARGE_INTEGER previous{};
    ASSERT_TRUE(QueryPerformanceCounter(&previous));
    for (int i = 0; i < 1000; ++i) {
        LARGE_INTEGER now{};
        ASSERT_TRUE(QueryPerformanceCounter(&now));
        ASSERT_GE(now.QuadPart, previous.QuadPart);
        previous = now;
    }
}

TEST(PerformanceCounter, NullArgumentsFail) {
    EXPECT_FALSE(QueryPerformanceCounter(nullptr));
    EXPECT_FALSE(QueryPerformanceFrequency(nullptr));
}

TEST(PerformanceCounter, SeamsReplaceCounterAndFrequency) {
    LONGLONG ticks = 500;
    auto previousSource = win32::setPerformanceCounterSource([&] { return ticks; });
    const LONGLONG previousFrequency = win32::setPerformanceFrequency(1000);

    LARGE_INTEGER value{};
    QueryPerformanceCounter(&value);
    EXPECT_EQ(value.QuadPart, 500);
    ticks = 1500;
    QueryPerformanceCounter(&value);
    EXPECT_EQ(value.QuadPart, 1500);
    QueryPerformanceFrequency(&value);
    EXPECT_EQ(value.QuadPart, 1000);

    win32::setPerformanceCounterSource(previousSource);
    win32::setPerformanceFrequency(previousFrequency);
    QueryPerformanceFrequency(&value);
    EXPECT_EQ(value.QuadPart, 1000000000);
}

TEST(Sleep, RecorderSeesTheRequestInsteadOfSleeping) {
    std::vector<DWORD> sleeps;
    auto previous = win32::setSleepRecorder([&](DWORD ms) { sleeps.push_back(ms); });
    // An hour: the test would time out if this really slept.
    Sleep(3600 * 1000);
    Sleep(10);
    win32::setSleepRecorder(previous);
    EXPECT_EQ(sleeps, (std::vector<DWORD>{3600 * 1000, 10}));
}

TEST(Sleep, RealSleepWaitsAtLeastTheTimeAsked) {
    LARGE_INTEGER before{};
    LARGE_INTEGER after{};
    QueryPerformanceCounter(&before);
    Sleep(20);
    QueryPerformanceCounter(&after);
    EXPECT_GE(after.QuadPart - before.QuadPart, 20 * 1000000LL);
}

TEST(SystemTime, SourceSeamReplacesTheClock) {
    SYSTEMTIME fixed{2006, 1, 1, 2, 14, 3, 9, 0};
    auto previous = win32::setSystemTimeSource([&] { return fixed; });
    SYSTEMTIME st{};
    GetSystemTime(&st);
    win32::setSystemTimeSource(previous);
    EXPECT_EQ(st.wYear, 2006);
    EXPECT_EQ(st.wSecond, 9);
}

// The Windows generator: state = state * 214013 + 2531011, result (state >> 16) & 0x7FFF.
TEST(CrtRand, FollowsTheWindowsGenerator) {
    msvcrt_srand(1);
    // Seed 1: state 2745024 -> 41; the rest follow the same recurrence.
    EXPECT_EQ(msvcrt_rand(), 41);
    EXPECT_EQ(msvcrt_rand(), 18467);
    EXPECT_EQ(msvcrt_rand(), 6334);
    EXPECT_EQ(msvcrt_rand(), 26500);
    EXPECT_EQ(msvcrt_rand(), 19169);

    // Seed 0: state 2531011 -> 38; then 2531011 * 214013 + 2531011 = 505908858 (mod 2^32)
    // -> 7719.
    msvcrt_srand(0);
    EXPECT_EQ(msvcrt_rand(), 38);
    EXPECT_EQ(msvcrt_rand(), 7719);
}

TEST(CrtRand, StaysWithinRandMaxAndReseedingRepeats) {
    EXPECT_EQ(MSVCRT_RAND_MAX, 32767);
    msvcrt_srand(12345);
    std::vector<int> first;
    int highest = 0;
    for (int i = 0; i < 100000; ++i) {
        const int value = msvcrt_rand();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, MSVCRT_RAND_MAX);
        highest = std::max(highest, value);
        if (i < 10) {
            first.push_back(value);
        }
    }
    EXPECT_GT(highest, 32000);  // the whole range is reached
    msvcrt_srand(12345);
    for (int expected : first) {
        EXPECT_EQ(msvcrt_rand(), expected);
    }
}

}  // namespace

TEST(CrtTime, ReadsTheSystemClockUntilATestSetsASource) {
    const std::int64_t before = static_cast<std::int64_t>(std::time(nullptr));
    const std::int64_t now = msvcrt_time();
    EXPECT_GE(now, before);
    EXPECT_LE(now, before + 5);

    win32::TimeSource previous = win32::setTimeSource([] { return std::int64_t{1234567}; });
    EXPECT_EQ(msvcrt_time(), 1234567);
    // The game seeds the generator from it, so a set source repeats the same sequence.
    msvcrt_srand(static_cast<unsigned int>(msvcrt_time()));
    const int first = msvcrt_rand();
    msvcrt_srand(static_cast<unsigned int>(msvcrt_time()));
    EXPECT_EQ(msvcrt_rand(), first);

    EXPECT_TRUE(win32::setTimeSource(previous));
    EXPECT_GE(msvcrt_time(), before);
}
