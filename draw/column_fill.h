// The column strokes that fill quadrilaterals and triangles: one vertical
// line per integer x between two edges, in the selected pen.
#pragma once

#include "draw/draw_support.h"
#include "lexaro/types.h"

namespace lexaro::draw {

// One edge of a fill. In each column the edge lies at base + round(acc);
// acc grows by slope from one column to the next.
struct ColumnEdge {
  int base;
  double acc;
  double slope;
};

// dy / dx from p to q as a double; 0 for a vertical pair, whose slope no
// column ever uses.
double Slope(const CPoint& p, const CPoint& q);

// Strokes the columns x0 .. x0 + count - 1 from edge `from` towards edge
// `to` (whose end pixel LineTo leaves unpainted), advancing both edges by one
// column each, as one CDC::StrokeColumns per batch of columns. Columns
// outside the reach are not drawn; the edges advance over those left of it
// as if they had been drawn, and stop at the reach's right side (the
// columns of a fill are stroked from left to right, so nothing after that
// can show).
void StrokeColumns(CDC* dc, const Reach& reach, long long x0, long long count, ColumnEdge& from,
                   ColumnEdge& to);

}  // namespace lexaro::draw
