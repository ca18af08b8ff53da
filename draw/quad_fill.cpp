// Quadrilaterals: the outline, and the column fill of a convex
// quadrilateral given by its corners in any order.
#include <utility>

#include "draw/column_fill.h"
#include "lexaro/dc_ex.h"

using lexaro::draw::ColumnEdge;
using lexaro::draw::Slope;
using lexaro::draw::StrokeColumns;

namespace {

// On which side of the line a -> b the point p lies (1, 0 or -1). The
// products need up to 65 bits for coordinates far apart.
int SideOf(const CPoint& a, const CPoint& b, const CPoint& p) {
  const __int128 cross = __int128((long long)p.y - a.y) * ((long long)b.x - a.x) -
                         __int128((long long)b.y - a.y) * ((long long)p.x - a.x);
  return cross > 0 ? 1 : cross < 0 ? -1 : 0;
}

long long Width(const CPoint& a, const CPoint& b) { return (long long)b.x - a.x; }

// P1 and P2 on the same side of P0 -> P3: one edge is the diagonal, the
// other the chain P0 -> P1 -> P2 -> P3.
void FillSameSide(CDC* dc, const lexaro::draw::Reach& reach, const CPoint* p) {
  ColumnEdge diagonal{p[0].y, 0.0, Slope(p[0], p[3])};
  for (int i = 0; i < 3; ++i) {
    ColumnEdge chain{p[i].y, 0.0, Slope(p[i], p[i + 1])};
    StrokeColumns(dc, reach, p[i].x, Width(p[i], p[i + 1]), diagonal, chain);
  }
}

// P1 and P2 on opposite sides: the chains P0 -> P1 -> P3 and P0 -> P2 -> P3.
void FillOppositeSides(CDC* dc, const lexaro::draw::Reach& reach, const CPoint* p) {
  ColumnEdge viaP1{p[0].y, 0.0, Slope(p[0], p[1])};
  ColumnEdge viaP2{p[0].y, 0.0, Slope(p[0], p[2])};
  StrokeColumns(dc, reach, p[0].x, Width(p[0], p[1]), viaP1, viaP2);
  viaP1 = ColumnEdge{p[1].y, 0.0, Slope(p[1], p[3])};
  StrokeColumns(dc, reach, p[1].x, Width(p[1], p[2]), viaP1, viaP2);
  viaP2 = ColumnEdge{p[2].y, 0.0, Slope(p[2], p[3])};
  StrokeColumns(dc, reach, p[2].x, Width(p[2], p[3]), viaP1, viaP2);
}

}  // namespace

void CDC_Ex::SortPoint(int count, CPoint* points) {
  if (!points || count < 2) return;
  for (int end = count - 1; end > 0; --end)
    for (int i = 0; i < end; ++i)
      if (points[i].x > points[i + 1].x) std::swap(points[i], points[i + 1]);
}

void CDC_Ex::DrawSquare(CDC* dc, const CPoint& a, const CPoint& b, const CPoint& c,
                        const CPoint& d) {
  if (!dc) return;
  dc->MoveTo(a);
  dc->LineTo(b);
  dc->LineTo(c);
  dc->LineTo(d);
  dc->LineTo(a);
}

void CDC_Ex::DrawSquareCover(CDC* dc, const CPoint& a, const CPoint& b, const CPoint& c,
                             const CPoint& d) {
  if (!dc) return;
  CPoint p[4] = {a, b, c, d};
  SortPoint(4, p);
  const bool sameSide = SideOf(p[0], p[3], p[1]) == SideOf(p[0], p[3], p[2]);
  // The outline's order of the corners; an anti-aliased surface paints the
  // whole shape from them.
  const CPoint outline[4] = {p[0], p[1], sameSide ? p[2] : p[3], sameSide ? p[3] : p[2]};
  if (dc->FillConvex(outline, 4)) {
    dc->MoveTo(p[0]);
    return;
  }
  const auto reach = lexaro::draw::GetReach(dc, lexaro::draw::SelectedPenWidth(dc) + 1LL);
  // A quadrilateral wholly outside the reach is not walked at all.
  if (lexaro::draw::MeetsReach(reach, p, 4)) {
    if (sameSide)
      FillSameSide(dc, reach, p);
    else
      FillOppositeSides(dc, reach, p);
  }
  DrawSquare(dc, outline[0], outline[1], outline[2], outline[3]);
}

void CDC_Ex::DrawSquareCover(CDC* dc, const CPoint& a, const CPoint& b, const CPoint& c,
                             const CPoint& d, const COLORREF& color) {
  if (!dc || color == CLR_TRANSPARENT) return;
  CPen pen(PS_SOLID, 1, color);
  lexaro::draw::PenScope scope(dc, &pen);
  DrawSquareCover(dc, a, b, c, d);
}
