// The Windows C runtime's rand/srand.
#include "win32/crt.h"

namespace {

// A fresh process behaves as if seeded with 1, as on Windows.
unsigned int randState = 1;

}  // namespace

int msvcrt_rand() {
    randState = randState * 214013u + 2531011u;
    return static_cast<int>((randState >> 16) & 0x7FFFu);
}

void msvcrt_srand(unsigned int seed) {
    randState = seed;
}
