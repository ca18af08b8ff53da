// The geometry of the toolkit's circles: the outline is two sweeps of d + 1
// points each (the upper one left to right, the lower one right to left),
// the filled circle d + 1 column strokes. For circles far larger than the
// visible area, the index ranges that can show are found without walking
// the others.
#pragma once

#include <vector>

#include "draw/draw_support.h"

namespace lexaro::draw {

struct IndexRange {
  long long first, last;  // inclusive
};

class CircleSweep {
 public:
  CircleSweep(CPoint center, int diameter);

  long long Diameter() const { return m_d; }
  // Point i (0..d) of the upper or the lower sweep.
  CPoint Point(bool upper, long long i) const;
  // Column stroke i (0..d) of the filled circle: its x, its top and its end
  // below (the end pixel is left unpainted).
  void Column(long long i, long long* x, long long* top, long long* end) const;
  // The ends of the two diagonals of the crossed circle: upper left, lower
  // right, upper right, lower left.
  void Diagonals(CPoint out[4]) const;

  // Segments i (from point i - 1 to point i, i in 1..d) of a sweep that may
  // show in the reach: ascending, disjoint ranges. Every segment that can
  // show is in them.
  std::vector<IndexRange> SegmentsNear(const Reach& reach, bool upper) const;
  // Column strokes (0..d) of the filled circle that may show.
  std::vector<IndexRange> ColumnsNear(const Reach& reach) const;

 private:
  double U(bool upper, long long i) const { return upper ? -m_r + double(i) : m_r - double(i); }
  double H(long long i, double u) const;
  long long X(double u) const;
  // Adds the indices whose u lies in [u0, u1], a few steps wider on each
  // side, within [lo, d].
  void AddU(std::vector<IndexRange>* out, bool upper, long double u0, long double u1,
            long long lo) const;
  // Intersects [u0, u1] with the reach's columns and adds the indices.
  void AddVisibleU(std::vector<IndexRange>* out, const Reach& reach, bool upper, long double u0,
                   long double u1, long long lo) const;

  CPoint m_c;
  long long m_d;
  double m_r;  // radius d / 2
  double m_o;  // half-pixel shift of even diameters
  double m_e;  // height of the sweep's two end points
};

}  // namespace lexaro::draw
