// Replaces every form of global operator new and delete of the test program that compiles
// tests/support/allocation_counter.cpp in (never a library: it would replace them for every
// program that links it), so that a test can tell whether a stretch of calls touched the heap
// at all, and how much was asked for in one piece.
#pragma once

#include <cstddef>

namespace allocation_counter {

// Starts counting from zero.
void start();
// As start(), and keeps the call stacks of the first few allocations for printTraces().
void startTracing();
// Stops counting (and tracing) and returns how many allocations were made since start().
std::size_t stop();
// Writes the call stacks kept since startTracing() to the standard error, for a test that
// found allocations to say where they came from. Names resolve in a program linked with its
// symbols exported (ENABLE_EXPORTS); otherwise addr2line turns the offsets into lines.
void printTraces();

// Forgets the largest single allocation seen so far.
void resetLargest();
// The largest single allocation since resetLargest(), counting on or not.
std::size_t largest();

}  // namespace allocation_counter
