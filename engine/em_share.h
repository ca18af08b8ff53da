// Geometry given in percent of the em: positions, margins and paddings.
// Most of them are 0, and a 0 needs no rounding, so layout answers it at
// once; other values round as GetValueRatio does.
#pragma once

#include "lexaro/numeric.h"
#include "lexaro/types.h"

namespace lexaro::engine {

inline int EmShare(int em, int percent) { return percent == 0 ? 0 : GetValueRatio(percent, em); }

inline CPoint EmShare(int em, const CPoint& p) { return CPoint(EmShare(em, p.x), EmShare(em, p.y)); }

inline CRect EmShare(int em, const CRect& r) {
  if ((r.left | r.top | r.right | r.bottom) == 0) return CRect();
  return CRect(EmShare(em, r.left), EmShare(em, r.top), EmShare(em, r.right), EmShare(em, r.bottom));
}

}  // namespace lexaro::engine
