// Measures the largest single allocation made while a scope is alive, so a
// test can show that a refused request did not allocate first. The global
// operator new of the test program is replaced in alloc_tracker.cpp.
#pragma once

#include <cstddef>

class LargestAllocation {
 public:
  LargestAllocation();
  ~LargestAllocation();
  LargestAllocation(const LargestAllocation&) = delete;
  LargestAllocation& operator=(const LargestAllocation&) = delete;
  std::size_t Bytes() const;
};
