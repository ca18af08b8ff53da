#include "draw/column_fill.h"

#include "lexaro/dc_ex.h"

#include <algorithm>
#include <utility>

namespace lexaro::draw {

namespace {

// Up to CDC_Ex::kExactColumns skipped columns are added one by one, so the
// edges carry the same rounding as a full walk; past it the sum is taken as
// a product.
double Advance(double acc, double slope, long long columns) {
  if (columns <= 0) return acc;
  if (columns > CDC_Ex::kExactColumns) return acc + slope * double(columns);
  for (long long k = 0; k < columns; ++k) acc += slope;
  return acc;
}

}  // namespace

double Slope(const CPoint& p, const CPoint& q) {
  const double dx = double(q.x) - p.x;
  return dx == 0 ? 0.0 : (double(q.y) - p.y) / dx;
}

void StrokeColumns(CDC* dc, const Reach& reach, long long x0, long long count, ColumnEdge& from,
                   ColumnEdge& to) {
  if (count <= 0) return;
  long long first = count, last = count;
  if (!reach.Empty()) {
    first = std::clamp(reach.left - x0, 0LL, count);
    last = std::clamp(reach.right + 1 - x0, first, count);
  }
  from.acc = Advance(from.acc, from.slope, first);
  to.acc = Advance(to.acc, to.slope, first);
  // The strokes go to the surface in batches, which it may paint row by row.
  constexpr int kBatch = 1024;
  ColumnStroke batch[kBatch];
  int n = 0;
  for (long long k = first; k < last; ++k) {
    const long long y0 = from.base + RoundHalfAway(from.acc);
    const long long y1 = to.base + RoundHalfAway(to.acc);
    if (reach.Meets(x0 + k, y0, x0 + k, y1)) {
      batch[n++] = ColumnStroke{int(x0 + k), Saturate(y0), Saturate(y1)};
      if (n == kBatch) dc->StrokeColumns(batch, std::exchange(n, 0));
    }
    from.acc += from.slope;
    to.acc += to.slope;
  }
  if (n > 0) dc->StrokeColumns(batch, n);
  // The columns after `last` lie right of the reach, and so do all later
  // columns of the fill: the edges need not be carried over them.
}

}  // namespace lexaro::draw
