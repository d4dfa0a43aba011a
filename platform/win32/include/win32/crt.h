// The C runtime's random generator as the game's code expects it.
//
// The game scales rand() by 32767 ((rand() * n) >> 15, rand() * 3.051851e-05), which needs
// the Windows generator: RAND_MAX 32767, state = state * 214013 + 2531011, result =
// (state >> 16) & 0x7FFF, a fresh process starting as if seeded with 1. glibc's rand/srand
// (RAND_MAX 2^31 - 1) keep their names, so the Windows pair is named msvcrt_rand and
// msvcrt_srand: every piece of game code calls these, never ::rand.
#pragma once

#include <cstdint>
#include <functional>

#define MSVCRT_RAND_MAX 32767

// 0 .. MSVCRT_RAND_MAX.
int msvcrt_rand();
void msvcrt_srand(unsigned int seed);

// time(nullptr) as the game seeds msvcrt_srand with it: whole seconds since 1970, from the
// system clock unless a test has set a source.
std::int64_t msvcrt_time();

namespace win32 {

// msvcrt_time reports what the source gives; an empty function restores the system clock.
// Returns the previous source.
using TimeSource = std::function<std::int64_t()>;
TimeSource setTimeSource(TimeSource source);

}  // namespace win32
