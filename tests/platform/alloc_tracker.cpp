#include "platform/alloc_tracker.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<bool> g_tracking{false};
std::atomic<std::size_t> g_largest{0};
}  // namespace

LargestAllocation::LargestAllocation() {
  g_largest = 0;
  g_tracking = true;
}
LargestAllocation::~LargestAllocation() { g_tracking = false; }
std::size_t LargestAllocation::Bytes() const { return g_largest; }

// GCC takes free() on memory from this operator new for a mismatch.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t n) {
  if (g_tracking && n > g_largest) g_largest = n;
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop
