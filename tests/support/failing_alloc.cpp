#include "failing_alloc.h"

#include <cstdlib>
#include <new>

namespace {
int g_countdown = 0;
}

namespace ostrel_test {
void failNthNothrowAllocation(int n) { g_countdown = n; }
} // namespace ostrel_test

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (g_countdown > 0 && --g_countdown == 0) return nullptr;
    return std::malloc(size == 0 ? 1 : size);
}

void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }

// Everything else must pair with the malloc above.
void* operator new(std::size_t size) {
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
