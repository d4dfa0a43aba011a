// The performance counter, Sleep and the UTC system time.
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <utility>

#include "internal.h"
#include "win32/kernel.h"
#include "win32/seams.h"

namespace {

constexpr LONGLONG kNanosecondsPerSecond = 1000000000;

win32::CounterSource& counterSource() {
    static win32::CounterSource source;
    return source;
}

LONGLONG& frequencyOverride() {
    static LONGLONG frequency = 0;
    return frequency;
}

// MORVALE_CLOCK_RATE runs the counter this many times faster than the wall clock (so a
// ten-minute race can be played in seconds); 1 when unset or not a positive number.
double clockRate() {
    static const double rate = [] {
        const char* text = std::getenv("MORVALE_CLOCK_RATE");
        const double value = text != nullptr ? std::strtod(text, nullptr) : 1.0;
        return value > 0.0 ? value : 1.0;
    }();
    return rate;
}

// MORVALE_CLOCK_FRAME_MS ties the counter to the message pump instead of the wall clock:
// each frame (a PeekMessageW that found nothing) moves it on by this many milliseconds
// (times the rate), each reading within a frame by one tick. A run driven by frame numbers
// then sees the same times on any machine, however slow. 0 (the wall clock) when unset.
struct FrameClock {
    double frameNanoseconds = 0.0;
    LONGLONG frames = 0;
    LONGLONG readings = 0;
};

FrameClock& frameClock() {
    static FrameClock clock = [] {
        FrameClock made;
        const char* text = std::getenv("MORVALE_CLOCK_FRAME_MS");
        const double value = text != nullptr ? std::strtod(text, nullptr) : 0.0;
        made.frameNanoseconds = value > 0.0 ? value * 1e6 : 0.0;
        return made;
    }();
    return clock;
}

LONGLONG scaledByClockRate(LONGLONG nanoseconds) {
    static const LONGLONG origin = nanoseconds;
    FrameClock& frames = frameClock();
    if (frames.frameNanoseconds > 0.0) {
        return origin +
               static_cast<LONGLONG>(static_cast<double>(frames.frames) * frames.frameNanoseconds *
                                     clockRate()) +
               ++frames.readings;
    }
    if (clockRate() == 1.0) {
        return nanoseconds;
    }
    return origin + static_cast<LONGLONG>(static_cast<double>(nanoseconds - origin) * clockRate());
}

win32::SleepRecorder& sleepRecorder() {
    static win32::SleepRecorder recorder;
    return recorder;
}

win32::SystemTimeSource& systemTimeSource() {
    static win32::SystemTimeSource source;
    return source;
}

// Days since 1970-01-01 to a civil date (proleptic Gregorian). Done by hand because
// gmtime_r takes a lock in glibc and the crash path must not.
void civilFromDays(long long days, int& year, unsigned& month, unsigned& day) {
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

}  // namespace

namespace win32::detail {

void advanceFrameClock() {
    FrameClock& clock = frameClock();
    if (clock.frameNanoseconds > 0.0) {
        ++clock.frames;
        clock.readings = 0;
    }
}

SYSTEMTIME systemTimeFromUnixTime(long long seconds, long nanoseconds) {
    long long days = seconds / 86400;
    long long secondOfDay = seconds % 86400;
    if (secondOfDay < 0) {
        secondOfDay += 86400;
        --days;
    }
    int year = 0;
    unsigned month = 0;
    unsigned day = 0;
    civilFromDays(days, year, month, day);
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(day);
    // 1970-01-01 was a Thursday (4, counting from Sunday = 0).
    time.wDayOfWeek = static_cast<WORD>(((days % 7) + 11) % 7);
    time.wHour = static_cast<WORD>(secondOfDay / 3600);
    time.wMinute = static_cast<WORD>(secondOfDay / 60 % 60);
    time.wSecond = static_cast<WORD>(secondOfDay % 60);
    time.wMilliseconds = static_cast<WORD>(nanoseconds / 1000000);
    return time;
}

}  // namespace win32::detail

BOOL QueryPerformanceCounter(LARGE_INTEGER* count) {
    if (count == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (counterSource()) {
        count->QuadPart = counterSource()();
        return TRUE;
    }
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    count->QuadPart =
        scaledByClockRate(static_cast<LONGLONG>(now.tv_sec) * kNanosecondsPerSecond + now.tv_nsec);
    return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
    if (frequency == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    frequency->QuadPart = frequencyOverride() != 0 ? frequencyOverride() : kNanosecondsPerSecond;
    return TRUE;
}

void Sleep(DWORD milliseconds) {
    if (sleepRecorder()) {
        sleepRecorder()(milliseconds);
        return;
    }
    timespec remaining{static_cast<time_t>(milliseconds / 1000),
                       static_cast<long>(milliseconds % 1000) * 1000000L};
    // A signal must not cut the pause short.
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}

void GetSystemTime(LPSYSTEMTIME time) {
    if (time == nullptr) {
        return;
    }
    if (systemTimeSource()) {
        *time = systemTimeSource()();
        return;
    }
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    *time = win32::detail::systemTimeFromUnixTime(now.tv_sec, now.tv_nsec);
}

namespace win32 {

CounterSource setPerformanceCounterSource(CounterSource source) {
    return std::exchange(counterSource(), std::move(source));
}

LONGLONG setPerformanceFrequency(LONGLONG ticksPerSecond) {
    return std::exchange(frequencyOverride(), ticksPerSecond);
}

SleepRecorder setSleepRecorder(SleepRecorder recorder) {
    return std::exchange(sleepRecorder(), std::move(recorder));
}

SystemTimeSource setSystemTimeSource(SystemTimeSource source) {
    return std::exchange(systemTimeSource(), std::move(source));
}

}  // namespace win32
