#include "platform/alloc_tracker.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<bool> g_tracking{false};
std::atomic<std::size_t> g_largest{0};
std::atomic<bool> g_counting{false};
std::atomic<long long> g_held{0};
std::atomic<long long> g_peak{0};

void Held(void* p, long long sign) {
  if (!g_counting || !p) return;
  const long long now = g_held += sign * (long long)malloc_usable_size(p);
  long long peak = g_peak;
  while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
  }
}
}  // namespace

LargestAllocation::LargestAllocation() {
  g_largest = 0;
  g_tracking = true;
}
LargestAllocation::~LargestAllocation() { g_tracking = false; }
std::size_t LargestAllocation::Bytes() const { return g_largest; }

PeakAllocation::PeakAllocation() {
  g_held = 0;
  g_peak = 0;
  g_counting = true;
}
PeakAllocation::~PeakAllocation() { g_counting = false; }
std::size_t PeakAllocation::Bytes() const { return std::size_t(g_peak.load()); }

namespace {
void* Allocate(std::size_t n) noexcept {
  if (g_tracking && n > g_largest) g_largest = n;
  void* p = std::malloc(n ? n : 1);
  Held(p, 1);
  return p;
}

void Release(void* p) noexcept {
  Held(p, -1);
  std::free(p);
}
}  // namespace

// Every plain form is replaced, so that no block from the runtime's own
// operator new (a sanitizer's, say) reaches free() here.
// GCC takes free() on memory from this operator new for a mismatch.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t n) {
  if (void* p = Allocate(n)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t n) { return operator new(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return Allocate(n); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return Allocate(n); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }
#pragma GCC diagnostic pop
