// The pixels of a thick aliased line, produced span by span within a bounding
// rectangle. A line of width 1 covers the pixels of the one-pixel line from
// `from` up to but excluding `to`; a line of width w stamps a w x w square on
// each of them, covering offsets -floor(w/2) .. w-1-floor(w/2). Only the part
// inside `bounds` is walked, so huge coordinates cost nothing.
#pragma once

#include <algorithm>

#include "lexaro/types.h"

namespace lexaro {

// emit(rows, at, lo, hi): rows == true is the row `at` from x = lo to hi - 1,
// rows == false the column `at` from y = lo to hi - 1.
template <typename Emit>
void WalkThickLine(CPoint from, CPoint to, int width, const CRect& bounds, Emit&& emit) {
  long long dx = (long long)to.x - from.x, dy = (long long)to.y - from.y;
  bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
  long long m0 = xMajor ? from.x : from.y, n0 = xMajor ? from.y : from.x;
  long long dm = xMajor ? dx : dy, dn = xMajor ? dy : dx;
  int sm = dm < 0 ? -1 : 1, sn = dn < 0 ? -1 : 1;
  long long n = dm < 0 ? -dm : dm, an = dn < 0 ? -dn : dn;
  if (n == 0 || width < 1) return;
  long long w = width, h = w / 2;
  // Minor coordinate of step i: the ideal line rounded half up.
  // Level and plumb lines never step; lines of ordinary length divide in 64
  // bits (2 * i * an + n < 2^63 when n and an are below 2^30, as i < n).
  const bool small = n < (1LL << 30) && an < (1LL << 30);
  auto minorAt = [&](long long i) {
    if (an == 0) return n0;
    if (small) return n0 + sn * ((2 * i * an + n) / (2 * n));
    __int128 num = (__int128)2 * i * an + n;
    return n0 + sn * (long long)(num / (2 * (__int128)n));
  };
  // A line whose box lies beside the bounds paints nothing there: it is not
  // walked at all (the loop below only cuts the major axis to the bounds).
  long long nEnd = minorAt(n - 1);
  if (std::max(n0, nEnd) - h + w <= (xMajor ? bounds.top : bounds.left) ||
      std::min(n0, nEnd) - h >= (xMajor ? bounds.bottom : bounds.right))
    return;
  long long first = sm > 0 ? m0 : m0 - (n - 1), last = sm > 0 ? m0 + (n - 1) : m0;
  long long lo = std::max(first - h, (long long)(xMajor ? bounds.left : bounds.top));
  long long hi = std::min(last - h + w, (long long)(xMajor ? bounds.right : bounds.bottom));
  for (long long at = lo; at < hi; ++at) {
    // Steps whose stamp covers this major coordinate.
    long long a, b;
    if (sm > 0) {
      a = at + h - w + 1 - m0;
      b = at + h - m0;
    } else {
      a = m0 - at - h;
      b = m0 - at + w - 1 - h;
    }
    a = std::max(a, 0LL);
    b = std::min(b, n - 1);
    if (a > b) continue;
    long long p = minorAt(a), q = minorAt(b);
    emit(!xMajor, at, std::min(p, q) - h, std::max(p, q) - h + w);
  }
}

}  // namespace lexaro
