// Helpers for the drawing toolkit's tests: painted pixel sets of raster
// surfaces and the lines a recording surface saw.
#pragma once

#include <algorithm>
#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "lexaro/raster_dc.h"
#include "lexaro/record_dc.h"
#include "support/pixels.h"

constexpr COLORREF kInk = RGB(200, 0, 0);

// The end x of every recorded line.
inline std::vector<int> EndXs(const CRecordDC& dc) {
  std::vector<int> xs;
  for (const RecordedOp& op : Lines(dc)) xs.push_back(op.to.x);
  return xs;
}

inline std::vector<int> Range(int first, int last) {  // first..last inclusive
  std::vector<int> v;
  for (int i = first; i <= last; ++i) v.push_back(i);
  return v;
}

inline std::vector<int> Concat(std::vector<int> a, const std::vector<int>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The number of pixels of `part` that differ from the same-sized window of
// `whole` at (left, top).
inline int WindowMismatches(const CRasterDC& part, const CRasterDC& whole, int left, int top) {
  int differ = 0;
  for (int y = 0; y < part.Height(); ++y)
    for (int x = 0; x < part.Width(); ++x)
      differ += part.Bits()[size_t(y) * part.Width() + x] !=
                whole.Bits()[size_t(y + top) * whole.Width() + (x + left)];
  return differ;
}
