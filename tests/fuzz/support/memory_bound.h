// The memory bound every fuzz target asserts: while one input is read, the heap may grow by no
// more than a fixed allowance plus a number of bytes per input byte. A reader that sizes an
// allocation from a count in the file, without checking it against the bytes that are there,
// fails the bound long before it runs the machine out of memory.
//
// Every heap allocation of the process is counted (C and C++, the system libraries too),
// through the sanitizer runtime's allocation hooks.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fuzz_support {

constexpr std::size_t kFixedAllowance = std::size_t(64) << 20;

class MemoryBound {
public:
    // perInputByte: how many bytes the reader may hold for each byte of input, for formats
    // that legitimately expand (compressed images).
    explicit MemoryBound(std::size_t inputSize, std::size_t perInputByte = 64);
    // Aborts, naming the sizes, when the peak exceeded the bound.
    ~MemoryBound();
    MemoryBound(const MemoryBound&) = delete;
    MemoryBound& operator=(const MemoryBound&) = delete;

    std::size_t limit() const { return limit_; }
    // The most the heap grew above its size at construction, so far.
    std::size_t peakGrowth() const;

private:
    std::size_t inputSize_;
    std::size_t limit_;
    std::int64_t start_;
};

// The bytes the process holds on the heap now, less those it held before counting began.
std::int64_t heapInUse();

}  // namespace fuzz_support
