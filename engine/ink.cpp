// The drawing work of one TextOutA is bounded: every glyph, fill and line is
// charged the area of its bounding box inside the paintable area (a text
// run the sum of its glyphs' ink boxes, as the surface measures them), and
// once the budget is spent the remaining items are passed over.
// Their advances still count, so whatever is drawn stays where the layout
// put it. Items outside the surface cost nothing.
#include <algorithm>
#include <initializer_list>

#include "engine/engine.h"
#include "lexaro/raster_dc.h"

namespace {

// The width and height of the box around the points, grown by `grow` on
// every side and cut to the paintable box; 0 x 0 when nothing is left.
CSize VisibleBox(std::initializer_list<CPoint> points, long long grow, const RECT& clip) {
  long long left = points.begin()->x, right = left, top = points.begin()->y, bottom = top;
  for (const CPoint& p : points) {
    left = std::min<long long>(left, p.x), right = std::max<long long>(right, p.x);
    top = std::min<long long>(top, p.y), bottom = std::max<long long>(bottom, p.y);
  }
  long long w = std::min<long long>(right + grow + 1, clip.right) - std::max(left - grow, (long long)clip.left);
  long long h = std::min<long long>(bottom + grow + 1, clip.bottom) - std::max(top - grow, (long long)clip.top);
  return w > 0 && h > 0 ? CSize(int(w), int(h)) : CSize(0, 0);
}

}  // namespace

void CLexaro::Engine::StartMeter() {
  m_ink = kMaxInk;
  m_pDC->GetClipBox(&m_meterClip);
  // A surface larger than any raster surface has no pixels to paint (a
  // recording surface): nothing is charged.
  const RECT& clip = m_meterClip;
  m_metered = (long long)clip.right - clip.left <= CRasterDC::kMaxSide &&
              (long long)clip.bottom - clip.top <= CRasterDC::kMaxSide;
}

bool CLexaro::Engine::Metered(RECT* clip) const {
  *clip = m_meterClip;
  return m_metered;
}

bool CLexaro::Engine::Charge(long long cost) {
  if (cost > m_ink) {
    m_ink = 0;
    return false;
  }
  m_ink -= cost;
  return true;
}

bool CLexaro::Engine::SpendInk(std::initializer_list<CPoint> points, long long grow) {
  RECT clip;
  if (!Metered(&clip)) return true;
  CSize box = VisibleBox(points, std::max(grow, 0LL), clip);
  return Charge((long long)box.cx * box.cy);
}

bool CLexaro::Engine::SpendInk_Fill(const CPoint& a, const CPoint& b, const CPoint& c, const CPoint& d) {
  RECT clip;
  if (!Metered(&clip)) return true;
  // The fill, and its outline drawn over it: four edges, none of which
  // paints more than the longer side of the visible box. A fill reaching in
  // from the left also walks its two edges over the hidden columns, each
  // step taking about as long as painting two pixels. A fill is walked
  // within the reach of its one-pixel pen, two pixels beyond the clip, so
  // what lies there is charged though it shows nothing.
  clip = {clip.left - 2, clip.top - 2, clip.right + 2, clip.bottom + 2};
  CSize box = VisibleBox({a, b, c, d}, 0, clip);
  if (box.cx == 0) return Charge(0);
  long long edge = std::max(box.cx, box.cy) + 1LL;
  long long left = std::min({(long long)a.x, (long long)b.x, (long long)c.x, (long long)d.x});
  long long hidden = std::clamp(clip.left - left, 0LL, CDC_Ex::kExactColumns);
  return Charge((long long)box.cx * box.cy + 4 * edge + 4 * hidden);
}

int CLexaro::Engine::TextOut_Ink(CPoint pt, const char* text, int count) {
  // The empty runs between adjacent tags draw nothing and take no room.
  if (count <= 0) return 0;
  // Each glyph is charged by its own ink box, so marks without advance that
  // are drawn over one another are charged once each.
  CSize extent;
  if (m_metered) {
    m_pDC->TextOutWithin(pt.x, pt.y, text, count, &m_ink, &extent);
  } else {
    extent = m_pDC->GetTextExtent(text, count);
    m_pDC->TextOut(pt.x, pt.y, text, count);
  }
  return extent.cx;
}

void CLexaro::Engine::DrawLine(CPoint a, CPoint b, const CPenData& pen) {
  // A pen without width draws nothing and is not charged.
  if (pen.m_width <= 0 || SpendInk({a, b}, pen.m_width)) m_dcEx.LineTo(m_pDC, a, b, pen);
}
