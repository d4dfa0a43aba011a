#include "tests/support/allocation_counter.h"

#include <execinfo.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> counting{false};
std::atomic<std::size_t> allocations{0};
std::atomic<std::size_t> largestSize{0};

// Fixed storage: a trace taken inside operator new must not allocate through it.
constexpr int kTraces = 64;
constexpr int kTraceDepth = 24;
std::atomic<bool> tracing{false};
void* traceFrames[kTraces][kTraceDepth];
int traceDepths[kTraces];
std::size_t traceSizes[kTraces];

__attribute__((noinline)) void recordTrace(std::size_t index, std::size_t size) {
    if (index >= static_cast<std::size_t>(kTraces)) {
        return;
    }
    traceSizes[index] = size;
    traceDepths[index] = backtrace(traceFrames[index], kTraceDepth);
}

__attribute__((noinline)) void* allocate(std::size_t size, std::size_t alignment = 0) {
    if (counting.load(std::memory_order_relaxed)) {
        const std::size_t index = allocations.fetch_add(1, std::memory_order_relaxed);
        if (tracing.load(std::memory_order_relaxed)) {
            recordTrace(index, size);
        }
    }
    std::size_t seen = largestSize.load(std::memory_order_relaxed);
    while (size > seen && !largestSize.compare_exchange_weak(seen, size)) {
    }
    size = size == 0 ? 1 : size;
    // aligned_alloc wants a size that is a multiple of the alignment.
    void* memory = alignment == 0 ? std::malloc(size)
                                  : std::aligned_alloc(
                                        alignment, (size + alignment - 1) / alignment * alignment);
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    return memory;
}

}  // namespace

namespace allocation_counter {

void start() {
    allocations = 0;
    counting = true;
}

void startTracing() {
    // The first backtrace loads the unwinder, which must not happen inside a counted call.
    void* warmUp[1];
    backtrace(warmUp, 1);
    tracing = true;
    start();
}

std::size_t stop() {
    counting = false;
    tracing = false;
    return allocations;
}

void printTraces() {
    const std::size_t count = std::min<std::size_t>(allocations, kTraces);
    for (std::size_t i = 0; i < count; ++i) {
        std::fprintf(stderr, "allocation %zu of %zu bytes:\n", i + 1, traceSizes[i]);
        std::fflush(stderr);
        // Skips the counter's own frames (recordTrace, allocate, operator new).
        const int skipped = traceDepths[i] > 3 ? 3 : 0;
        backtrace_symbols_fd(traceFrames[i] + skipped, traceDepths[i] - skipped, STDERR_FILENO);
    }
}

void resetLargest() {
    largestSize = 0;
}

std::size_t largest() {
    return largestSize;
}

}  // namespace allocation_counter

// Every form is replaced: libraries loaded by the GL driver allocate with some and free
// with others, and all of them must meet the same allocator.
void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new[](std::size_t size) {
    return allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return operator new(size, std::nothrow);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    return allocate(size, static_cast<std::size_t>(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return allocate(size, static_cast<std::size_t>(alignment));
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    try {
        return allocate(size, static_cast<std::size_t>(alignment));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return operator new(size, alignment, std::nothrow);
}
// The replaced new allocates with malloc: free is the matching release, whatever the
// compiler concludes from seeing an operator new's pointer reach it.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::align_val_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::align_val_t) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t, std::align_val_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t, std::align_val_t) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::align_val_t, const std::nothrow_t&) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::align_val_t, const std::nothrow_t&) noexcept {
    std::free(memory);
}
#pragma GCC diagnostic pop
