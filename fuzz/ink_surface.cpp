#include "fuzz/ink_surface.h"

#include <algorithm>
#include <cmath>

#include "platform/coverage_walk.h"
#include "platform/font/text_run.h"
#include "platform/line_walk.h"

#include FT_OUTLINE_H

namespace lexaro::fuzz {

CRect InkCountingDC::Clip() const {
  CRect clip;
  GetClipBox(&clip);
  return clip;
}

void InkCountingDC::Count(const CRect& clip, long long x0, long long y0, long long x1, long long y1) {
  long long w = std::min(x1, (long long)clip.right) - std::max(x0, (long long)clip.left);
  long long h = std::min(y1, (long long)clip.bottom) - std::max(y0, (long long)clip.top);
  if (w > 0 && h > 0) m_painted += w * h;
}

void InkCountingDC::CountCoverage(const coverage::Polygon& shape) {
  coverage::WalkCoverage(shape, Clip(), [&](int, long long x0, long long x1, std::uint32_t) { m_painted += x1 - x0; });
}

void InkCountingDC::DrawLine(CPoint from, CPoint to, const PenState& pen) {
  if (pen.style == PS_NULL) return;
  if (GetAntialias()) return CountCoverage(coverage::LineBody(from, to, pen.width));
  const CRect clip = Clip();
  // Every span the walk visits is work, even one that paints nothing.
  lexaro::WalkThickLine(from, to, pen.width, clip, [&](bool rows, long long at, long long lo, long long hi) {
    long long before = m_painted;
    if (rows)
      Count(clip, lo, at, hi, at + 1);
    else
      Count(clip, at, lo, at + 1, hi);
    if (m_painted == before) ++m_painted;
  });
}

void InkCountingDC::DrawColumns(const ColumnStroke* strokes, int count, const PenState& pen) {
  // A 1-wide stroke covers the rows from `from` towards `to`, without `to`.
  if (pen.width != 1) return CDC::DrawColumns(strokes, count, pen);
  const CRect clip = Clip();
  for (int i = 0; i < count && pen.style != PS_NULL; ++i) {
    long long x = strokes[i].x, from = strokes[i].from, to = strokes[i].to;
    long long before = m_painted;
    if (from != to) Count(clip, x, to > from ? from : to + 1, x + 1, to > from ? to : from + 1);
    if (m_painted == before) ++m_painted;
  }
}

bool InkCountingDC::DrawConvex(const CPoint* corners, int count, const PenState& pen) {
  if (pen.style == PS_NULL) return true;
  const coverage::Polygon body = coverage::OutlinedBody(corners, count, pen.width);
  if (body.count == 0) return false;
  CountCoverage(body);
  return true;
}

void InkCountingDC::DrawText(const TextOutRequest& req) {
  namespace lf = lexaro::font;
  struct Counter : lf::TextRunSink {
    InkCountingDC& dc;
    CRect clip;
    int escapement;
    Counter(InkCountingDC& d, int e) : dc(d), clip(d.Clip()), escapement(e) {}
    void Band(const double q[8], COLORREF) override {
      dc.Count(clip, (long long)std::floor(std::min({q[0], q[2], q[4], q[6]})),
               (long long)std::floor(std::min({q[1], q[3], q[5], q[7]})),
               (long long)std::ceil(std::max({q[0], q[2], q[4], q[6]})),
               (long long)std::ceil(std::max({q[1], q[3], q[5], q[7]})));
    }
    bool Glyph(lf::RealizedFont& font, const lf::Glyph& g, double x, double y) override {
      // The rasteriser covers the box of the outline's points on the surface.
      lf::Affine m;
      const FT_Outline* outline = font.GlyphOutline(g, x, y, escapement, &m);
      if (!outline || outline->n_points <= 0 || outline->n_contours <= 0) return true;
      FT_BBox cb;
      FT_Outline_Get_CBox(outline, &cb);
      double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
      for (FT_Pos u : {cb.xMin, cb.xMax})
        for (FT_Pos v : {cb.yMin, cb.yMax}) {
          double X = m.xx * double(u) + m.xy * double(v) + m.tx, Y = m.yx * double(u) + m.yy * double(v) + m.ty;
          x0 = std::min(x0, X), x1 = std::max(x1, X), y0 = std::min(y0, Y), y1 = std::max(y1, Y);
        }
      auto pixel = [](double v) { return (long long)std::clamp(v, -4e18, 4e18); };
      dc.Count(clip, pixel(std::floor(x0)), pixel(std::floor(y0)), pixel(std::ceil(x1)), pixel(std::ceil(y1)));
      return true;
    }
  };
  Counter counter(*this, req.font.lfEscapement);
  lf::WalkTextRun(req, counter);
}

void InkCountingDC::DrawPixel(int x, int y, COLORREF) { Count(Clip(), x, y, x + 1LL, y + 1LL); }

COLORREF InkCountingDC::ReadPixel(int x, int y) const {
  return x < 0 || y < 0 || x >= m_width || y >= m_height ? CLR_INVALID : CLR_TRANSPARENT;
}

void InkCountingDC::DrawRect(const CRect& rect, COLORREF) {
  Count(Clip(), rect.left, rect.top, rect.right, rect.bottom);
}

}  // namespace lexaro::fuzz
