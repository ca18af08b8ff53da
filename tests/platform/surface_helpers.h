// Small helpers for tests of the drawing surfaces.
#pragma once

#include <algorithm>
#include <cstdint>
#include <set>
#include <utility>

#include "lexaro/raster_dc.h"

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

// Bounding box of a non-empty set, right and bottom exclusive.
inline CRect Box(const PixelSet& s) {
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

inline LOGFONT MakeFont(const char* face, int height, int escapement = 0) {
  LOGFONT lf{};
  lf.lfHeight = height;
  lf.lfEscapement = lf.lfOrientation = escapement;
  lf.lfWeight = FW_NORMAL;
  SetFaceName(lf, face);
  return lf;
}

// A font object created from MakeFont's description.
struct TestFont : CFont {
  LOGFONT lf;
  explicit TestFont(const char* face, int height, int escapement = 0)
      : lf(MakeFont(face, height, escapement)) {
    CreateFontIndirect(&lf);
  }
};
