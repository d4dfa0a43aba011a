// The C runtime's random generator as the game's code expects it.
//
// The game scales rand() by 32767 ((rand() * n) >> 15, rand() * 3.051851e-05), which needs
// the Windows generator: RAND_MAX 32767, state = state * 214013 + 2531011, result =
// (state >> 16) & 0x7FFF, a fresh process starting as if seeded with 1. glibc's rand/srand
// (RAND_MAX 2^31 - 1) keep their names, so the Windows pair is named msvcrt_rand and
// msvcrt_srand: every piece of game code calls these, never ::rand.
#pragma once

#define MSVCRT_RAND_MAX 32767

// 0 .. MSVCRT_RAND_MAX.
int msvcrt_rand();
void msvcrt_srand(unsigned int seed);
