// The Windows C runtime's rand/srand.
#include "win32/crt.h"

#include <ctime>
#include <utility>

namespace {

// A fresh process behaves as if seeded with 1, as on Windows.
unsigned int randState = 1;

win32::TimeSource& timeSource() {
    static win32::TimeSource source;
    return source;
}

}  // namespace

int msvcrt_rand() {
    randState = randState * 214013u + 2531011u;
    return static_cast<int>((randState >> 16) & 0x7FFFu);
}

void msvcrt_srand(unsigned int seed) {
    randState = seed;
}

std::int64_t msvcrt_time() {
    const win32::TimeSource& source = timeSource();
    if (source) {
        return source();
    }
    return static_cast<std::int64_t>(std::time(nullptr));
}

namespace win32 {

TimeSource setTimeSource(TimeSource source) {
    return std::exchange(timeSource(), std::move(source));
}

}  // namespace win32
