// Triangles: the outline, the column fill, and the two size-limited forms.
#include "draw/column_fill.h"
#include "lexaro/dc_ex.h"

using lexaro::draw::ColumnEdge;
using lexaro::draw::Slope;
using lexaro::draw::StrokeColumns;

namespace {

// Whether every pair of points differs by less than `limit` in x and in y.
bool WithinEachOther(const CPoint& a, const CPoint& b, const CPoint& c, long long limit) {
  auto close = [limit](long long u, long long v) { return (u > v ? u - v : v - u) < limit; };
  return close(a.x, b.x) && close(a.x, c.x) && close(b.x, c.x) && close(a.y, b.y) &&
         close(a.y, c.y) && close(b.y, c.y);
}

}  // namespace

void CDC_Ex::DrawTriangle(CDC* dc, const CPoint& a, const CPoint& b, const CPoint& c) {
  if (!dc) return;
  dc->MoveTo(a);
  dc->LineTo(b);
  dc->LineTo(c);
  dc->LineTo(a);
}

void CDC_Ex::DrawTriangleCover(CDC* dc, const CPoint& a, const CPoint& b, const CPoint& c) {
  if (!dc) return;
  CPoint p[3] = {a, b, c};
  SortPoint(3, p);
  // An anti-aliased surface paints the whole shape from its corners.
  if (dc->FillConvex(p, 3)) {
    dc->MoveTo(p[0]);
    return;
  }
  const auto reach = lexaro::draw::GetReach(dc, lexaro::draw::SelectedPenWidth(dc) + 1LL);
  // One edge is P0 -> P2 across both segments; the other is P0 -> P1, then
  // P1 -> P2. A triangle wholly outside the reach is not walked at all.
  ColumnEdge longEdge{p[0].y, 0.0, Slope(p[0], p[2])};
  for (int i = 0; i < 2 && lexaro::draw::MeetsReach(reach, p, 3); ++i) {
    ColumnEdge shortEdge{p[i].y, 0.0, Slope(p[i], p[i + 1])};
    StrokeColumns(dc, reach, p[i].x, (long long)p[i + 1].x - p[i].x, longEdge, shortEdge);
  }
  DrawTriangle(dc, p[0], p[1], p[2]);
}

void CDC_Ex::DrawTriangleCover(CDC* dc, const CPoint& a, const CPoint& b, const CPoint& c,
                               const COLORREF& color) {
  if (!dc) return;
  CPen pen(PS_SOLID, 1, color);
  lexaro::draw::PenScope scope(dc, &pen);
  DrawTriangleCover(dc, a, b, c);
}

void CDC_Ex::DrawTriangle_alpha(CDC* dc, CPoint a, CPoint b, CPoint c) {
  if (WithinEachOther(a, b, c, 20)) DrawTriangleCover(dc, a, b, c);
}

void CDC_Ex::DrawTriangleCover_alpha(CDC* dc, CPoint a, CPoint b, CPoint c) {
  if (WithinEachOther(a, b, c, 2)) DrawTriangle(dc, a, b, c);
}
