// Replaces the global operator new and delete with malloc and free, counting
// each allocation; the nothrow form can be told to fail.
#include "allocation_hooks.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<std::size_t> allocations{0};
std::atomic<std::size_t> allocatedBytes{0};
std::atomic<bool> failing{false};
std::atomic<std::size_t> successesLeft{0};

void* allocate(std::size_t n) {
    ++allocations;
    allocatedBytes += n;
    return std::malloc(n == 0 ? 1 : n);
}
}  // namespace

namespace allocation_hooks {
std::size_t count() {
    return allocations.load();
}
std::size_t bytes() {
    return allocatedBytes.load();
}
void failNothrowAfter(std::size_t successes) {
    successesLeft = successes;
    failing = true;
}
void reset() {
    failing = false;
}
}  // namespace allocation_hooks

void* operator new(std::size_t n) {
    void* p = allocate(n);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}
void* operator new[](std::size_t n) {
    return operator new(n);
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    if (failing) {
        if (successesLeft == 0) return nullptr;
        --successesLeft;
    }
    return allocate(n);
}
void* operator new[](std::size_t n, const std::nothrow_t& tag) noexcept {
    return operator new(n, tag);
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
