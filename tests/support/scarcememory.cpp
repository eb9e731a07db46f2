#include "support/scarcememory.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<size_t> g_scarceFrom{0};
std::atomic<int> g_scarceAfter{0};

// The one way memory from the allocation functions below goes back (kept out of line, so the
// compiler does not pair it with the caller's new).
__attribute__((noinline)) void Release(void* p) {
    std::free(p);
}

} // namespace

RunOutOfMemory::RunOutOfMemory(size_t from, int after) {
    g_scarceAfter = after;
    g_scarceFrom = from;
}

RunOutOfMemory::~RunOutOfMemory() {
    g_scarceFrom = 0;
}

void* operator new(size_t size) {
    if (g_scarceFrom && size >= g_scarceFrom && g_scarceAfter-- <= 0)
        throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void* operator new[](size_t size) {
    return ::operator new(size);
}

// Weak, so that a test may give the nothrow forms hooks of its own.
__attribute__((weak)) void* operator new(size_t size, const std::nothrow_t&) noexcept {
    try {
        return ::operator new(size);
    } catch (...) {
        return nullptr;
    }
}

__attribute__((weak)) void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    try {
        return ::operator new(size);
    } catch (...) {
        return nullptr;
    }
}

void operator delete(void* p) noexcept {
    Release(p);
}

void operator delete[](void* p) noexcept {
    Release(p);
}

void operator delete(void* p, size_t) noexcept {
    Release(p);
}

void operator delete[](void* p, size_t) noexcept {
    Release(p);
}

void operator delete(void* p, const std::nothrow_t&) noexcept {
    Release(p);
}

void operator delete[](void* p, const std::nothrow_t&) noexcept {
    Release(p);
}
