// Circles in the selected pen: outline, outline with a cross, filled.
#include <algorithm>

#include "draw/circle_sweep.h"
#include "lexaro/dc_ex.h"

using lexaro::draw::CircleSweep;
using lexaro::draw::ClippedPath;
using lexaro::draw::Reach;

namespace {

Reach PenReach(const CDC* dc) {
  return lexaro::draw::GetReach(dc, lexaro::draw::SelectedPenWidth(dc) + 1LL);
}

// Draws the segments of one sweep that can show; the path ends at the
// sweep's last point.
void WalkSweep(ClippedPath& path, const CircleSweep& circle, const Reach& reach, bool upper) {
  long long at = 0;  // the index of the path's last point
  for (const auto& range : circle.SegmentsNear(reach, upper)) {
    if (range.first - 1 > at) path.Skip(circle.Point(upper, range.first - 1));
    for (long long i = std::max(range.first, at + 1); i <= range.last; ++i)
      path.LineTo(circle.Point(upper, i));
    at = std::max(at, range.last);
  }
  if (at < circle.Diameter()) path.Skip(circle.Point(upper, circle.Diameter()));
}

}  // namespace

void CDC_Ex::DrawCircle(CDC* dc, CPoint c, int d) {
  if (!dc || d < 0) return;
  const CircleSweep circle(c, d);
  const Reach reach = PenReach(dc);
  const lexaro::draw::AliasedScope aliased(dc);
  ClippedPath path(dc, reach);
  path.Start(circle.Point(true, 0));
  WalkSweep(path, circle, reach, true);
  path.LineTo(circle.Point(false, 0));
  WalkSweep(path, circle, reach, false);
  path.LineTo(circle.Point(true, 0));
  path.Finish();
}

void CDC_Ex::DrawCircle_X(CDC* dc, CPoint c, int d) {
  if (!dc || d < 0) return;
  CPoint ends[4];
  CircleSweep(c, d).Diagonals(ends);
  ClippedPath path(dc, PenReach(dc));
  for (int k = 0; k < 4; k += 2) {
    path.Start(ends[k]);
    path.LineTo(ends[k + 1]);
    path.Finish();
  }
  DrawCircle(dc, c, d);
}

void CDC_Ex::DrawCircleCover(CDC* dc, CPoint c, int d) {
  if (!dc || d < 0) return;
  const CircleSweep circle(c, d);
  const Reach reach = PenReach(dc);
  for (const auto& range : circle.ColumnsNear(reach)) {
    for (long long i = range.first; i <= range.last; ++i) {
      long long x, top, end;
      circle.Column(i, &x, &top, &end);
      if (!reach.Meets(x, top, x, end)) continue;
      dc->MoveTo(lexaro::draw::Saturate(x), lexaro::draw::Saturate(top));
      dc->LineTo(lexaro::draw::Saturate(x), lexaro::draw::Saturate(end));
    }
  }
  DrawCircle(dc, c, d);
}
