#include "tests/fuzz/support/memory_bound.h"

#include <sanitizer/allocator_interface.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz_support {
namespace {

// Signed: blocks allocated before the hooks were installed are counted when they are freed.
std::atomic<std::int64_t> inUse{0};
std::atomic<std::int64_t> peak{0};

void raisePeak(std::int64_t now) {
    std::int64_t seen = peak.load(std::memory_order_relaxed);
    while (now > seen && !peak.compare_exchange_weak(seen, now, std::memory_order_relaxed)) {
    }
}

void onMalloc(const volatile void*, std::size_t size) {
    const auto bytes = static_cast<std::int64_t>(size);
    raisePeak(inUse.fetch_add(bytes, std::memory_order_relaxed) + bytes);
}

// Called before the block is given back, so its size can still be asked.
void onFree(const volatile void* block) {
    if (block != nullptr) {
        inUse.fetch_sub(static_cast<std::int64_t>(
                            __sanitizer_get_allocated_size(const_cast<const void*>(block))),
                        std::memory_order_relaxed);
    }
}

void installHooks() {
    static const bool installed = __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree);
    if (!installed) {
        std::fprintf(stderr, "memory bound: the allocation hooks could not be installed\n");
        std::abort();
    }
}

// As early as static initialisation allows, so that most blocks are seen from the start.
const bool hooksInstalled = (installHooks(), true);

}  // namespace

std::int64_t heapInUse() {
    return inUse.load(std::memory_order_relaxed);
}

MemoryBound::MemoryBound(std::size_t inputSize, std::size_t perInputByte)
    : inputSize_(inputSize), limit_(kFixedAllowance + perInputByte * inputSize) {
    (void)hooksInstalled;
    start_ = heapInUse();
    peak = start_;
}

std::size_t MemoryBound::peakGrowth() const {
    const std::int64_t top = peak.load(std::memory_order_relaxed);
    return top > start_ ? static_cast<std::size_t>(top - start_) : 0;
}

MemoryBound::~MemoryBound() {
    const std::size_t growth = peakGrowth();
    if (growth > limit_) {
        std::fprintf(stderr,
                     "memory bound exceeded: the heap grew by %zu bytes for an input of %zu "
                     "bytes (limit %zu)\n",
                     growth, inputSize_, limit_);
        std::abort();
    }
}

}  // namespace fuzz_support
