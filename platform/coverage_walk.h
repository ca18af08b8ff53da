// Anti-aliased painting of convex shapes: the exact area of each pixel
// square [x, x+1] x [y, y+1] that a convex polygon covers, produced row by
// row as runs of equal coverage, and the polygons that solid lines and
// outlined fills cover.
//
// The work of a row is the pixels its edges cross plus one run for the
// pixels between them, so a long thin shape at any angle costs about its
// area, never its bounding box; only rows and columns inside the bounds are
// walked, so huge coordinates cost nothing. Corners on whole pixel
// boundaries give pixels that are wholly in or out: an upright rectangle
// paints exactly the pixels an aliased fill of it paints.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "lexaro/types.h"

namespace lexaro::coverage {

struct Point {
  double x, y;
};

// A convex polygon of up to kMaxCorners corners, in order either way round;
// no corners when there is nothing to paint or the shape is not convex.
struct Polygon {
  static constexpr int kMaxCorners = 8;
  int count = 0;
  Point corner[kMaxCorners];
};

// What the line from `from` to `to` (not painting the end point) covers in a
// pen `width` pixels wide: a rectangle `width` across whose ends are square,
// with the same pixel centres as the aliased line, so a level or upright
// line covers exactly the pixels the aliased one paints. Nothing for a line
// of no length.
Polygon LineBody(CPoint from, CPoint to, int width);

// What a convex polygon with these corners (3 or 4, in order) covers when it
// is filled and outlined in a pen `width` pixels wide: the polygon through
// the corners' pixel centres grown by half the pen's width on every side
// (mitred; a corner sharper than 60 degrees is bevelled). Nothing when the
// corners enclose no area or do not make a convex polygon.
Polygon OutlinedBody(const CPoint* corners, int count, int width);

namespace detail {

// One edge's part in a row: it runs between x0 <= x1 over `dy` of the row's
// height, counted negative going up.
struct Crossing {
  double x0, x1, dy;
};

// Average over the crossing of how much of [X - 1, X] lies right of it: the
// share of the crossing's dy that the pixel left of X receives.
inline double ShareBefore(const Crossing& c, double X) {
  const double w = c.x1 - c.x0;
  if (w < 1e-9) return std::clamp(X - 0.5 * (c.x0 + c.x1), 0.0, 1.0);
  // The integral of clamp(z, 0, 1) from 0 to z.
  auto ramp = [](double z) { return z <= 0 ? 0.0 : z <= 1 ? 0.5 * z * z : z - 0.5; };
  return (ramp(X - c.x0) - ramp(X - c.x1)) / w;
}

inline std::uint32_t Alpha(const Crossing* c, int n, long long x) {
  double sum = 0;
  const double X = double(x) + 1.0;
  for (int i = 0; i < n; ++i) sum += c[i].dy * ShareBefore(c[i], X);
  const double a = std::min(std::fabs(sum), 1.0) * 255.0 + 0.5;
  return std::uint32_t(a);
}

// The crossings of the polygon's edges with the row [y, y + 1].
inline int RowCrossings(const Polygon& poly, long long y, Crossing* out) {
  int n = 0;
  const double top = double(y), bottom = top + 1.0;
  for (int i = 0; i < poly.count; ++i) {
    const Point a = poly.corner[i], b = poly.corner[(i + 1) % poly.count];
    if (a.y == b.y) continue;
    const double lo = std::max(std::min(a.y, b.y), top), hi = std::min(std::max(a.y, b.y), bottom);
    if (lo >= hi) continue;
    const double slope = (b.x - a.x) / (b.y - a.y);
    const double xl = a.x + (lo - a.y) * slope, xh = a.x + (hi - a.y) * slope;
    out[n++] = Crossing{std::min(xl, xh), std::max(xl, xh), b.y > a.y ? hi - lo : lo - hi};
  }
  return n;
}

// The heights [*top, *bottom] at which the polygon's edges meet the columns
// from left to right; false when it lies wholly beside them. Of a convex
// polygon, the part between those columns has its corners on these edges.
inline bool HeightsBetween(const Polygon& poly, double left, double right, double* top,
                           double* bottom) {
  double lo = HUGE_VAL, hi = -HUGE_VAL;
  for (int i = 0; i < poly.count; ++i) {
    Point a = poly.corner[i], b = poly.corner[(i + 1) % poly.count];
    if (a.x > b.x) std::swap(a, b);
    if (b.x < left || a.x > right) continue;
    double ya = a.y, yb = b.y;
    if (b.x > a.x) {
      const double slope = (b.y - a.y) / (b.x - a.x);
      if (a.x < left) ya = a.y + (left - a.x) * slope;
      if (b.x > right) yb = a.y + (right - a.x) * slope;
    }
    const double edgeLo = std::min(a.y, b.y), edgeHi = std::max(a.y, b.y);
    ya = std::clamp(ya, edgeLo, edgeHi), yb = std::clamp(yb, edgeLo, edgeHi);
    lo = std::min({lo, ya, yb}), hi = std::max({hi, ya, yb});
  }
  *top = lo, *bottom = hi;
  return lo <= hi;
}

}  // namespace detail

// Calls emit(y, x0, x1, alpha) for the runs [x0, x1) of row y with equal
// coverage alpha (1 to 255, 255 for whole pixels), inside bounds. Only the
// rows in which the shape meets the bounds' columns are walked, so a shape
// beside the bounds costs nothing however tall it is. Answers how many rows
// were walked.
template <typename Emit>
long long WalkCoverage(const Polygon& poly, const CRect& bounds, Emit&& emit) {
  if (poly.count < 3 || bounds.IsRectEmpty()) return 0;
  for (int i = 0; i < poly.count; ++i)
    if (!std::isfinite(poly.corner[i].x) || !std::isfinite(poly.corner[i].y)) return 0;
  double ymin, ymax;
  if (!detail::HeightsBetween(poly, bounds.left, bounds.right, &ymin, &ymax)) return 0;
  const long long yFirst = std::max((long long)std::floor(ymin), (long long)bounds.top);
  const long long yEnd = std::min((long long)std::ceil(ymax), (long long)bounds.bottom);
  detail::Crossing cross[Polygon::kMaxCorners];
  for (long long y = yFirst; y < yEnd; ++y) {
    const int n = detail::RowCrossings(poly, y, cross);
    if (n == 0) continue;
    // The pixels each crossing shares its height with, in order of their
    // start; between and beyond them the coverage is constant.
    long long from[Polygon::kMaxCorners], to[Polygon::kMaxCorners];
    for (int i = 0; i < n; ++i) {
      from[i] = (long long)std::floor(cross[i].x0);
      to[i] = std::max(from[i], (long long)std::ceil(cross[i].x1));
    }
    for (int i = 1; i < n; ++i)
      for (int j = i; j > 0 && from[j] < from[j - 1]; --j) std::swap(from[j], from[j - 1]), std::swap(to[j], to[j - 1]);
    const long long left = bounds.left, right = bounds.right;
    long long x = std::max(from[0], left), rowEnd = from[0];
    for (int i = 0; i < n; ++i) rowEnd = std::max(rowEnd, to[i]);
    rowEnd = std::min(rowEnd, right);
    int next = 0;  // the first interval not yet reached
    long long partialEnd = x;  // where the pixels touched by a crossing end
    while (x < rowEnd) {
      while (next < n && from[next] <= x) partialEnd = std::max(partialEnd, to[next++]);
      if (x < partialEnd) {
        const long long end = std::min(partialEnd, rowEnd);
        for (; x < end; ++x)
          if (std::uint32_t a = detail::Alpha(cross, n, x)) emit(int(y), x, x + 1, a);
      } else {
        const long long end = std::min(next < n ? from[next] : rowEnd, rowEnd);
        if (std::uint32_t a = detail::Alpha(cross, n, x)) emit(int(y), x, end, a);
        x = end;
      }
    }
  }
  return std::max(yEnd - yFirst, 0LL);
}

}  // namespace lexaro::coverage
