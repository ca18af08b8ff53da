// Measures allocations made while a scope is alive. The global operator new
// of the test program is replaced in alloc_tracker.cpp; one scope of each
// kind may be alive at a time.

// The largest single allocation, so a test can show that a refused request
// did not allocate first.
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

// The most memory held at once: the peak of the bytes allocated through
// operator new and not yet freed since the scope began (blocks from before
// it that are freed count against it), so a test can bound how much a call
// holds at a time, not only its largest block.
class PeakAllocation {
 public:
  PeakAllocation();
  ~PeakAllocation();
  PeakAllocation(const PeakAllocation&) = delete;
  PeakAllocation& operator=(const PeakAllocation&) = delete;
  std::size_t Bytes() const;
};
