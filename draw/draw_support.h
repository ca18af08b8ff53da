// Helpers shared by the drawing toolkit: 64-bit rounding, saturation to
// 32-bit coordinates, pen selection that is always undone, and the area of a
// device context where strokes can show.
#pragma once

#include <algorithm>

#include "lexaro/dc.h"

namespace lexaro::draw {

// Half away from zero, into 64 bits, so that offsets along lines longer than
// 2^31 units stay exact; NaN gives 0 and the result is clamped to +-2^62.
long long RoundHalfAway(double v);

// Clamps to the 32-bit coordinate range.
inline int Saturate(long long v) {
  return int(std::clamp<long long>(v, -2147483647LL - 1, 2147483647LL));
}

// Width of the pen selected in a device context.
int SelectedPenWidth(const CDC* dc);

// The pixels where a stroke can paint: the clip box grown by a margin on
// every side, with inclusive bounds.
struct Reach {
  long long left = 0, top = 0, right = -1, bottom = -1;

  bool Empty() const { return left > right || top > bottom; }
  bool HasColumn(long long x) const { return x >= left && x <= right; }
  // Whether the box spanned by two corners meets the reach.
  bool Meets(long long x0, long long y0, long long x1, long long y1) const {
    return std::max(x0, x1) >= left && std::min(x0, x1) <= right && std::max(y0, y1) >= top &&
           std::min(y0, y1) <= bottom;
  }
  bool Meets(const CPoint& a, const CPoint& b) const { return Meets(a.x, a.y, b.x, b.y); }
};

// The clip box of dc grown by margin; a pen w wide needs a margin of w + 1.
Reach GetReach(const CDC* dc, long long margin);

// Whether the box around the points meets the reach.
bool MeetsReach(const Reach& reach, const CPoint* points, int count);

// Selects a pen for the lifetime of the scope and reselects the one that was
// selected before.
class PenScope {
 public:
  PenScope(CDC* dc, CPen* pen) : m_dc(dc), m_previous(dc->GetCurrentPen()) { dc->SelectObject(pen); }
  ~PenScope() { m_dc->SelectObject(m_previous); }
  PenScope(const PenScope&) = delete;
  PenScope& operator=(const PenScope&) = delete;
  void Select(CPen* pen) { m_dc->SelectObject(pen); }

 private:
  CDC* m_dc;
  CPen* m_previous;
};

// Turns anti-aliasing off for the lifetime of the scope and back to what
// it was: lines drawn one pixel step at a time (patterns, circles) keep
// their steps.
class AliasedScope {
 public:
  explicit AliasedScope(CDC* dc) : m_dc(dc), m_was(dc->SetAntialias(false)) {}
  ~AliasedScope() { m_dc->SetAntialias(m_was); }
  AliasedScope(const AliasedScope&) = delete;
  AliasedScope& operator=(const AliasedScope&) = delete;

 private:
  CDC* m_dc;
  bool m_was;
};

// A polyline drawn with the selected pen in which only the segments that can
// show are drawn; the device context ends where the full polyline would
// leave it.
class ClippedPath {
 public:
  ClippedPath(CDC* dc, const Reach& reach) : m_dc(dc), m_reach(reach) {}
  // Moves the device context to p and starts there.
  void Start(const CPoint& p);
  // The segment from the last point to p, drawn when it can show.
  void LineTo(const CPoint& p);
  // Continues from p; the way there is known to be invisible.
  void Skip(const CPoint& p);
  // Leaves the device context at the last point.
  void Finish();

 private:
  CDC* m_dc;
  Reach m_reach;
  CPoint m_last;
  bool m_dcAtLast = false;
};

}  // namespace lexaro::draw
