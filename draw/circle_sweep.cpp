#include "draw/circle_sweep.h"

#include <algorithm>
#include <cmath>

namespace lexaro::draw {

namespace {

// Indices are widened by this many steps around the computed ranges.
constexpr long long kSlack = 3;
// Rows and columns are widened by this many pixels for truncations.
constexpr long double kPixelSlack = 4;

long long Trunc(double v) { return RoundHalfAway(std::trunc(v)); }

// Sorts and joins overlapping or adjacent ranges.
std::vector<IndexRange> Merged(std::vector<IndexRange> ranges) {
  std::sort(ranges.begin(), ranges.end(),
            [](const IndexRange& a, const IndexRange& b) { return a.first < b.first; });
  std::vector<IndexRange> out;
  for (const IndexRange& r : ranges) {
    if (r.first > r.last) continue;
    if (!out.empty() && r.first <= out.back().last + 1)
      out.back().last = std::max(out.back().last, r.last);
    else
      out.push_back(r);
  }
  return out;
}

}  // namespace

CircleSweep::CircleSweep(CPoint center, int diameter)
    : m_c(center),
      m_d(diameter),
      m_r(diameter / 2.0),
      m_o(diameter % 2 == 0 ? 0.5 : 0.0),
      m_e(diameter / 30 + 1) {}

double CircleSweep::H(long long i, double u) const {
  if (i == 0 || i == m_d) return m_e;
  return m_r * std::sin(std::acos(std::fabs(u) / m_r));
}

long long CircleSweep::X(double u) const { return m_c.x + Trunc(u - m_o); }

CPoint CircleSweep::Point(bool upper, long long i) const {
  const double u = U(upper, i), h = H(i, u);
  const long long y = upper ? m_c.y - Trunc(h + m_o) : m_c.y + Trunc(h - m_o);
  return CPoint(Saturate(X(u)), Saturate(y));
}

void CircleSweep::Column(long long i, long long* x, long long* top, long long* end) const {
  const double u = U(true, i), h = H(i, u);
  *x = X(u);
  *top = m_c.y - Trunc(h + m_o);
  *end = m_c.y + Trunc(h - m_o) + 1;
}

void CircleSweep::Diagonals(CPoint out[4]) const {
  const double a = double(RoundHalfAway(m_r * 0.70710678118654));
  const int left = Saturate(m_c.x + Trunc(-a - m_o)), right = Saturate(m_c.x + Trunc(a - m_o));
  const int top = Saturate(m_c.y - Trunc(a + m_o)), bottom = Saturate(m_c.y + Trunc(a - m_o));
  out[0] = CPoint(left, top);
  out[1] = CPoint(right, bottom);
  out[2] = CPoint(right, top);
  out[3] = CPoint(left, bottom);
}

void CircleSweep::AddU(std::vector<IndexRange>* out, bool upper, long double u0, long double u1,
                       long long lo) const {
  // Upper sweep: i = u + r; lower sweep: i = r - u.
  long double i0 = upper ? u0 + m_r : m_r - u1, i1 = upper ? u1 + m_r : m_r - u0;
  i0 = std::clamp<long double>(std::floor(i0) - kSlack, lo, m_d);
  i1 = std::clamp<long double>(std::ceil(i1) + kSlack, lo, m_d);
  out->push_back(IndexRange{(long long)i0, (long long)i1});
}

void CircleSweep::AddVisibleU(std::vector<IndexRange>* out, const Reach& reach, bool upper,
                              long double u0, long double u1, long long lo) const {
  u0 = std::max(u0, (long double)reach.left - m_c.x - kPixelSlack);
  u1 = std::min(u1, (long double)reach.right - m_c.x + kPixelSlack);
  if (u0 <= u1) AddU(out, upper, u0, u1, lo);
}

std::vector<IndexRange> CircleSweep::SegmentsNear(const Reach& reach, bool upper) const {
  std::vector<IndexRange> out;
  if (reach.Empty() || m_d < 1) return out;
  // Next to the ends the sweep jumps between the end height and the curve.
  out.push_back(IndexRange{1, std::min(2LL, m_d)});
  out.push_back(IndexRange{std::max(1LL, m_d - 1), m_d});
  // Heights h at which the sweep's points lie in the reach's rows.
  long double hlo = upper ? (long double)m_c.y - reach.bottom : (long double)reach.top - m_c.y;
  long double hhi = upper ? (long double)m_c.y - reach.top : (long double)reach.bottom - m_c.y;
  hlo = std::max<long double>(hlo - kPixelSlack, 0);
  hhi += kPixelSlack;
  const long double r = m_r;
  if (hhi >= 0 && hlo <= r) {
    // h = sqrt(r^2 - u^2) lies in [hlo, hhi] for |u| in [ulo, uhi].
    const long double uhi = std::sqrt(std::max<long double>(r * r - hlo * hlo, 0));
    const long double ulo = hhi >= r ? 0 : std::sqrt(r * r - hhi * hhi);
    AddVisibleU(&out, reach, upper, -uhi, -ulo, 1);
    AddVisibleU(&out, reach, upper, ulo, uhi, 1);
  }
  return Merged(std::move(out));
}

std::vector<IndexRange> CircleSweep::ColumnsNear(const Reach& reach) const {
  std::vector<IndexRange> out;
  if (reach.Empty() || m_d < 0) return out;
  out.push_back(IndexRange{0, 0});
  out.push_back(IndexRange{m_d, m_d});
  // A column of half height h reaches rows within h of the centre.
  long double gap = std::max<long double>(
      {(long double)m_c.y - reach.bottom, (long double)reach.top - m_c.y, 0});
  gap = std::max<long double>(gap - kPixelSlack, 0);
  const long double r = m_r;
  if (gap <= r) {
    const long double umax = std::sqrt(r * r - gap * gap);
    AddVisibleU(&out, reach, true, -umax, umax, 0);
  }
  return Merged(std::move(out));
}

}  // namespace lexaro::draw
