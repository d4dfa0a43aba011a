#include <gtest/gtest.h>

#include <ctime>

#include "platform/win32/kernel/internal.h"

namespace {

using win32::detail::systemTimeFromUnixTime;

void expectDate(const SYSTEMTIME& t, int year, int month, int day, int dayOfWeek) {
    EXPECT_EQ(t.wYear, year);
    EXPECT_EQ(t.wMonth, month);
    EXPECT_EQ(t.wDay, day);
    EXPECT_EQ(t.wDayOfWeek, dayOfWeek);
}

TEST(SystemTimeConversion, KnownInstants) {
    const SYSTEMTIME epoch = systemTimeFromUnixTime(0, 0);
    expectDate(epoch, 1970, 1, 1, 4);
    EXPECT_EQ(epoch.wHour + epoch.wMinute + epoch.wSecond + epoch.wMilliseconds, 0);

    // 2 January 2006, 14:03:09.250 UTC, a Monday.
    const SYSTEMTIME t = systemTimeFromUnixTime(1136210589, 250000000);
    expectDate(t, 2006, 1, 2, 1);
    EXPECT_EQ(t.wHour, 14);
    EXPECT_EQ(t.wMinute, 3);
    EXPECT_EQ(t.wSecond, 9);
    EXPECT_EQ(t.wMilliseconds, 250);
}

TEST(SystemTimeConversion, LeapDaysAndCenturies) {
    expectDate(systemTimeFromUnixTime(951782400, 0), 2000, 2, 29, 2);    // 2000 is a leap year
    expectDate(systemTimeFromUnixTime(4107542400LL, 0), 2100, 3, 1, 1);  // 2100 is not
    expectDate(systemTimeFromUnixTime(1709164800, 0), 2024, 2, 29, 4);
    expectDate(systemTimeFromUnixTime(1735689599, 0), 2024, 12, 31, 2);
    const SYSTEMTIME before = systemTimeFromUnixTime(-1, 0);
    expectDate(before, 1969, 12, 31, 3);
    EXPECT_EQ(before.wHour, 23);
    EXPECT_EQ(before.wSecond, 59);
}

TEST(SystemTimeConversion, AgreesWithGmtimeAcrossFourCenturies) {
    // One instant every 9 days and 1234 seconds from 1901 to 2300.
    for (long long seconds = -2177452800LL; seconds < 10413792000LL; seconds += 9 * 86400 + 1234) {
        const time_t asTime = static_cast<time_t>(seconds);
        tm expected{};
        gmtime_r(&asTime, &expected);
        const SYSTEMTIME t = systemTimeFromUnixTime(seconds, 0);
        ASSERT_EQ(t.wYear, expected.tm_year + 1900) << seconds;
        ASSERT_EQ(t.wMonth, expected.tm_mon + 1) << seconds;
        ASSERT_EQ(t.wDay, expected.tm_mday) << seconds;
        ASSERT_EQ(t.wDayOfWeek, expected.tm_wday) << seconds;
        ASSERT_EQ(t.wHour, expected.tm_hour) << seconds;
        ASSERT_EQ(t.wMinute, expected.tm_min) << seconds;
        ASSERT_EQ(t.wSecond, expected.tm_sec) << seconds;
    }
}

}  // namespace
