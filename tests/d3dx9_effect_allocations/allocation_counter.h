// Counts the calls to operator new made in this test program while counting is on.
#pragma once

#include <cstddef>

namespace allocation_counter {

// Starts counting from zero.
void start();
// Stops counting and returns how many allocations were made since start().
std::size_t stop();

}  // namespace allocation_counter
