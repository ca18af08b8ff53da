// A surface that paints nothing and counts the pixels a raster surface of
// its size would paint: the spans of lines and fills, the pixels, and the
// box of each glyph's coverage (the outline's box on the surface, as the
// rasteriser covers it) and of each band, all within the clip; a span or
// stroke that is visited but paints nothing counts one. It needs no
// pixel memory, so the ink fuzz target and the hardening tests draw on the
// largest surface and check the drawing budget by counting, not timing.
// Anti-aliased, a line or shape counts the pixels its coverage walk visits.
#pragma once

#include "lexaro/dc.h"
#include "platform/coverage_walk.h"

namespace lexaro::fuzz {

class InkCountingDC : public CDC {
 public:
  InkCountingDC(int width, int height) : m_width(width), m_height(height) {}
  long long Painted() const { return m_painted; }

 protected:
  void DrawLine(CPoint from, CPoint to, const PenState& pen) override;
  void DrawColumns(const ColumnStroke* strokes, int count, const PenState& pen) override;
  bool DrawConvex(const CPoint* corners, int count, const PenState& pen) override;
  void DrawText(const TextOutRequest& request) override;
  void DrawPixel(int x, int y, COLORREF color) override;
  COLORREF ReadPixel(int x, int y) const override;
  void DrawRect(const CRect& rect, COLORREF color) override;
  CRect SurfaceBounds() const override { return CRect(0, 0, m_width, m_height); }

 private:
  CRect Clip() const;
  // Adds the pixels the coverage walk of an anti-aliased shape visits.
  void CountCoverage(const coverage::Polygon& shape);
  // Adds the pixels of [x0, x1) x [y0, y1) within the clip box.
  void Count(const CRect& clip, long long x0, long long y0, long long x1, long long y1);

  int m_width, m_height;
  long long m_painted = 0;
};

}  // namespace lexaro::fuzz
