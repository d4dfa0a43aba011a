// Replaces the global allocation functions of this test program so that the fuzz tests
// can see how much a reader asked for in one piece.
#include "tests/data_fuzz/allocation_probe.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> largestSize{0};

void* allocate(std::size_t size) {
    std::size_t seen = largestSize.load(std::memory_order_relaxed);
    while (size > seen && !largestSize.compare_exchange_weak(seen, size)) {
    }
    return std::malloc(size ? size : 1);
}

}  // namespace

namespace allocation_probe {

void reset() {
    largestSize = 0;
}
std::size_t largest() {
    return largestSize;
}

}  // namespace allocation_probe

void* operator new(std::size_t size) {
    if (void* p = allocate(size)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return allocate(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
