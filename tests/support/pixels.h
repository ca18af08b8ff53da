// Shared by the surface, toolkit and engine tests: the pixels a raster
// surface painted, and the lines a recording surface saw.
#pragma once

#include <algorithm>
#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "lexaro/raster_dc.h"
#include "lexaro/record_dc.h"

using PixelSet = std::set<std::pair<int, int>>;  // (x, y)

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;  // premultiplied opaque white

inline std::uint32_t PixelAt(const CRasterDC& dc, int x, int y) {
  return dc.Bits()[size_t(y) * size_t(dc.Width()) + size_t(x)];
}

// The pixels whose value differs from `background`.
inline PixelSet Painted(const CRasterDC& dc, std::uint32_t background = kWhite) {
  PixelSet s;
  for (int y = 0; y < dc.Height(); ++y)
    for (int x = 0; x < dc.Width(); ++x)
      if (PixelAt(dc, x, y) != background) s.emplace(x, y);
  return s;
}

// Bounding box of a set, right and bottom exclusive; empty for no pixels.
inline CRect Box(const PixelSet& s) {
  if (s.empty()) return CRect();
  CRect b(s.begin()->first, s.begin()->second, s.begin()->first + 1, s.begin()->second + 1);
  for (auto [x, y] : s) {
    b.left = std::min(b.left, x);
    b.right = std::max(b.right, x + 1);
    b.top = std::min(b.top, y);
    b.bottom = std::max(b.bottom, y + 1);
  }
  return b;
}

inline PixelSet Shifted(const PixelSet& s, int dx, int dy) {
  PixelSet out;
  for (auto [x, y] : s) out.emplace(x + dx, y + dy);
  return out;
}

// The pixels of a set inside a window, moved to the window's origin.
inline PixelSet Window(const PixelSet& all, int left, int top, int width, int height) {
  PixelSet s;
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
