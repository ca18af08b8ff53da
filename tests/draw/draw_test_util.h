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

using Pixels = std::set<std::pair<int, int>>;  // (x, y)

constexpr COLORREF kInk = RGB(200, 0, 0);

// The pixels of a raster surface that are not white.
inline Pixels Painted(const CRasterDC& dc) {
  Pixels s;
  for (int y = 0; y < dc.Height(); ++y)
    for (int x = 0; x < dc.Width(); ++x)
      if (dc.Bits()[size_t(y) * size_t(dc.Width()) + size_t(x)] != 0xFFFFFFFFu) s.emplace(x, y);
  return s;
}

// The painted pixels of a big surface inside a window, moved to the window's
// origin.
inline Pixels Window(const Pixels& all, int left, int top, int width, int height) {
  Pixels s;
  for (auto [x, y] : all)
    if (x >= left && x < left + width && y >= top && y < top + height) s.emplace(x - left, y - top);
  return s;
}

inline std::vector<RecordedOp> Lines(const CRecordDC& dc) {
  std::vector<RecordedOp> out;
  for (const RecordedOp& op : dc.Ops())
    if (op.kind == RecordedOp::Line) out.push_back(op);
  return out;
}

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

// Bounding box of a non-empty set, right and bottom exclusive.
inline CRect Box(const Pixels& s) {
  CRect b(s.begin()->first, s.begin()->second, s.begin()->first + 1, s.begin()->second + 1);
  for (auto [x, y] : s) {
    b.left = std::min(b.left, x);
    b.right = std::max(b.right, x + 1);
    b.top = std::min(b.top, y);
    b.bottom = std::max(b.bottom, y + 1);
  }
  return b;
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
