#include "draw/draw_support.h"

#include <cmath>

namespace lexaro::draw {

long long RoundHalfAway(double v) {
  constexpr double kLimit = 4611686018427387904.0;  // 2^62
  if (std::isnan(v)) return 0;
  double r = v >= 0 ? std::trunc(v + 0.5) : -std::trunc(-v + 0.5);
  return (long long)std::clamp(r, -kLimit, kLimit);
}

int SelectedPenWidth(const CDC* dc) {
  const CPen* pen = dc->GetCurrentPen();
  return pen ? std::max(pen->GetWidth(), 1) : 1;
}

Reach GetReach(const CDC* dc, long long margin) {
  CRect box;
  if (dc->GetClipBox(&box) == ERROR || box.IsRectEmpty()) return Reach{};
  return Reach{box.left - margin, box.top - margin, box.right - 1LL + margin,
               box.bottom - 1LL + margin};
}

bool MeetsReach(const Reach& reach, const CPoint* points, int count) {
  long long left = points[0].x, right = left, top = points[0].y, bottom = top;
  for (int i = 1; i < count; ++i) {
    left = std::min<long long>(left, points[i].x), right = std::max<long long>(right, points[i].x);
    top = std::min<long long>(top, points[i].y), bottom = std::max<long long>(bottom, points[i].y);
  }
  return reach.Meets(left, top, right, bottom);
}

void ClippedPath::Start(const CPoint& p) {
  m_dc->MoveTo(p);
  m_last = p;
  m_dcAtLast = true;
}

void ClippedPath::LineTo(const CPoint& p) {
  if (m_reach.Meets(m_last, p)) {
    if (!m_dcAtLast) m_dc->MoveTo(m_last);
    m_dc->LineTo(p);
    m_dcAtLast = true;
  } else {
    m_dcAtLast = false;
  }
  m_last = p;
}

void ClippedPath::Skip(const CPoint& p) {
  m_last = p;
  m_dcAtLast = false;
}

void ClippedPath::Finish() {
  if (!m_dcAtLast) m_dc->MoveTo(m_last);
  m_dcAtLast = true;
}

}  // namespace lexaro::draw
