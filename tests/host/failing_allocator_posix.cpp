// Replaces the global operator new. The library resolves it from the host,
// so a failing allocation reaches the library's load as it would when the
// machine runs out of memory.
#include <atomic>
#include <cstdlib>
#include <new>

#include "failing_allocator.h"

namespace {

std::atomic<bool> g_failing{false};

}  // namespace

void* operator new(std::size_t size) {
    if (g_failing.load()) throw std::bad_alloc();
    if (void* block = std::malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}

void* operator new[](std::size_t size) {
    return ::operator new(size);
}

// The nothrow forms too, so that every form pairs with the deletes below,
// also where a sanitizer brings its own allocator.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (g_failing.load()) return nullptr;
    return std::malloc(size ? size : 1);
}

void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return ::operator new(size, tag);
}

void operator delete(void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}

void operator delete[](void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete[](void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}

void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}

namespace tolm::host {

bool FailAllocations(bool fail) {
    g_failing.store(fail);
    return true;
}

}  // namespace tolm::host
