#include "AllocationPeak.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long long> g_current{0};
std::atomic<long long> g_peak{0};

void Count(void* p) {
    if (!p) return;
    const long long now = g_current += static_cast<long long>(malloc_usable_size(p));
    long long peak = g_peak.load();
    while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
    }
}
}  // namespace

namespace qelt::bench {

long long HeldBytes() { return g_current.load(); }

long long RestartPeak() {
    const long long now = g_current.load();
    g_peak = now;
    return now;
}

long long PeakBytes() { return g_peak.load(); }

}  // namespace qelt::bench

void* operator new(std::size_t n) {
    void* p = std::malloc(n ? n : 1);
    if (!p) throw std::bad_alloc();
    Count(p);
    return p;
}
// The pair above allocates with malloc, so free is the matching release here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept {
    if (p) g_current -= static_cast<long long>(malloc_usable_size(p));
    std::free(p);
}
#pragma GCC diagnostic pop
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
