// Records the largest single allocation made through operator new in this test program.
#pragma once

#include <cstddef>

namespace allocation_probe {

void reset();
std::size_t largest();

}  // namespace allocation_probe
