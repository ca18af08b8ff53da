// The drawing work of one TextOutA is bounded: every text run, glyph, fill
// and line is charged the area of its bounding box inside the paintable
// area, and once the budget is spent the remaining items are passed over.
// Their advances still count, so whatever is drawn stays where the layout
// put it. Items outside the surface cost nothing.
#include <algorithm>
#include <initializer_list>

#include "engine/engine.h"
#include "lexaro/raster_dc.h"

namespace {

// The area of the box around the points, grown by `grow` on every side and
// cut to the paintable box.
long long VisibleArea(std::initializer_list<CPoint> points, long long grow, const RECT& clip) {
  long long left = points.begin()->x, right = left, top = points.begin()->y, bottom = top;
  for (const CPoint& p : points) {
    left = std::min<long long>(left, p.x), right = std::max<long long>(right, p.x);
    top = std::min<long long>(top, p.y), bottom = std::max<long long>(bottom, p.y);
  }
  long long w = std::min<long long>(right + grow + 1, clip.right) - std::max(left - grow, (long long)clip.left);
  long long h = std::min<long long>(bottom + grow + 1, clip.bottom) - std::max(top - grow, (long long)clip.top);
  return w > 0 && h > 0 ? w * h : 0;
}

}  // namespace

bool CLexaro::Engine::SpendInk(std::initializer_list<CPoint> points, long long grow) {
  RECT clip;
  m_pDC->GetClipBox(&clip);
  // A surface larger than any raster surface has no pixels to paint (a
  // recording surface): nothing is charged.
  if ((long long)clip.right - clip.left > CRasterDC::kMaxSide ||
      (long long)clip.bottom - clip.top > CRasterDC::kMaxSide)
    return true;
  long long cost = VisibleArea(points, std::max(grow, 0LL), clip);
  if (cost > m_ink) {
    m_ink = 0;
    return false;
  }
  m_ink -= cost;
  return true;
}

bool CLexaro::Engine::SpendInk_Run(CPoint pt, int width) {
  const double up = m_fontTool.GetAscent(m_pDC), down = m_fontTool.GetDescent(m_pDC);
  CPoint top = GetPos_MoveY(pt, -up), bottom = GetPos_MoveY(pt, down);
  return SpendInk({top, bottom, GetPos_MoveX(top, width), GetPos_MoveX(bottom, width)});
}

void CLexaro::Engine::DrawLine(CPoint a, CPoint b, const CPenData& pen) {
  // A pen without width draws nothing and is not charged.
  if (pen.m_width <= 0 || SpendInk({a, b}, pen.m_width)) m_dcEx.LineTo(m_pDC, a, b, pen);
}
