#pragma once

// Replaces operator new and delete of a test program to count its allocations: include it in
// exactly one file of the program. Every non-aligned allocation passes through here; only
// those made while `counting` is set (and not on `uncountedThread`) are counted. All
// variants are replaced so that no allocation meets a deallocation of another allocator (the
// sanitizer build provides its own).

#include <atomic>
#include <cstdlib>
#include <new>
#include <pthread.h>

namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};
// When set, allocations on this thread (a test's own, which reads what others make) are not
// counted.
std::atomic<pthread_t> uncountedThread{0};

bool OnCountedThread() {
    pthread_t uncounted = uncountedThread.load(std::memory_order_relaxed);
    return uncounted == 0 || !pthread_equal(uncounted, pthread_self());
}

void* Allocate(std::size_t size) {
    if (counting.load(std::memory_order_relaxed) && OnCountedThread())
        allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
} // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
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
