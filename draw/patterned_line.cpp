// The patterned LineTo: a line is walked one pixel step at a time and each
// step is drawn with the solid or the invisible pen by the style's on/off
// table. Only the steps that can show are walked; the pattern position and
// the device context's current position end as if every step had been.
#include <algorithm>
#include <cmath>

#include "draw/draw_support.h"
#include "lexaro/dc_ex.h"

namespace {

using lexaro::draw::Reach;
using lexaro::draw::RoundHalfAway;
using lexaro::draw::Saturate;

// A visible stretch [begin, end) of a pattern, for a one-pixel pen.
struct Segment {
  int begin, end;
};

struct Pattern {
  int period;
  int count;
  Segment segments[3];
};

// Dashed, dotted, dash-dotted and dash-dot-dotted, in style code order.
constexpr Pattern kPatterns[] = {
    {32, 1, {{0, 24}}},
    {8, 1, {{0, 4}}},
    {32, 2, {{0, 12}, {20, 24}}},
    {32, 3, {{0, 12}, {16, 20}, {24, 28}}},
};

const Pattern* PatternOf(int style) {
  if (style < DE_PS_DASHED || style > DE_PS_DASHDOTDOTTED) return nullptr;
  return &kPatterns[style - DE_PS_DASHED];
}

// A wider pen's square stamp reaches past both ends of a step, so a visible
// stretch gives up half the width at its start and the rest at its end.
bool IsOn(const Pattern& pattern, int width, long long pos) {
  for (int s = 0; s < pattern.count; ++s) {
    const Segment& seg = pattern.segments[s];
    if (pos >= seg.begin && pos < seg.end && pos >= seg.begin + width / 2 &&
        pos <= seg.end + 1 - width / 2 - width)
      return true;
  }
  return false;
}

// The pixel points of a line: step i runs from Point(i - 1) to Point(i),
// and step 0 from wherever the device context stands.
class StepLine {
 public:
  StepLine(CPoint from, int x, int y)
      : m_from(from),
        m_dx(double(x) - from.x),
        m_dy(double(y) - from.y),
        m_length(std::sqrt(m_dx * m_dx + m_dy * m_dy)),
        m_steps(RoundHalfAway(m_length)) {}

  long long Steps() const { return m_steps; }

  CPoint Point(long long i) const {
    const double t = double(i + 1);
    return CPoint(Saturate(m_from.x + RoundHalfAway(t * m_dx / m_length)),
                  Saturate(m_from.y + RoundHalfAway(t * m_dy / m_length)));
  }

  // Steps [*first, *last) among 1..n-1 that may paint inside the reach. Step
  // i paints around Point(i - 1), which lies within half a pixel of the
  // ideal point at distance i from the start; the range is kept a step wider
  // on each side.
  void VisibleSteps(const Reach& reach, long long* first, long long* last) const {
    double lo = 0, hi = double(m_steps);
    Limit(m_from.x, m_dx, double(reach.left) - 1, double(reach.right) + 1, &lo, &hi);
    Limit(m_from.y, m_dy, double(reach.top) - 1, double(reach.bottom) + 1, &lo, &hi);
    if (reach.Empty() || hi < lo) {
      *first = *last = 0;
      return;
    }
    *first = std::max(1LL, (long long)std::floor(lo) - 1);
    *last = std::min(m_steps, (long long)std::ceil(hi) + 2);
  }

 private:
  // Narrows [lo, hi] to the distances t at which start + t * d / length lies
  // within [a, b].
  void Limit(double start, double d, double a, double b, double* lo, double* hi) const {
    if (d == 0) {
      if (start < a || start > b) *hi = -1;
      return;
    }
    double t1 = (a - start) * m_length / d, t2 = (b - start) * m_length / d;
    if (t1 > t2) std::swap(t1, t2);
    *lo = std::max(*lo, t1);
    *hi = std::min(*hi, t2);
  }

  CPoint m_from;
  double m_dx, m_dy, m_length;
  long long m_steps;
};

// Walks the steps of a line in order; `next` is the first step not yet
// walked, and the device context stands at its start.
class PatternWalk {
 public:
  PatternWalk(CDC* dc, const StepLine& line, const Pattern& pattern, int width, CPen* on,
              CPen* off, int pos)
      : m_dc(dc), m_line(line), m_pattern(pattern), m_width(std::clamp(width, 1, 3)), m_on(on),
        m_off(off),
        m_pos(((pos % pattern.period) + pattern.period) % pattern.period) {}

  long long Next() const { return m_next; }
  int Position() const { return int(m_pos); }

  void Step(long long i) {
    m_dc->SelectObject(IsOn(m_pattern, m_width, m_pos) ? m_on : m_off);
    m_dc->LineTo(m_line.Point(i));
    Advance(1);
    m_next = i + 1;
  }

  // Passes over the steps up to i without drawing them.
  void SkipTo(long long i) {
    if (i <= m_next) return;
    Advance(i - m_next);
    m_dc->MoveTo(m_line.Point(i - 1));
    m_next = i;
  }

 private:
  void Advance(long long steps) { m_pos = (m_pos + steps % m_pattern.period) % m_pattern.period; }

  CDC* m_dc;
  const StepLine& m_line;
  const Pattern& m_pattern;
  int m_width;
  CPen* m_on;
  CPen* m_off;
  long long m_pos;
  long long m_next = 0;
};

}  // namespace

void CDC_Ex::LineTo(CDC* dc, int x, int y) {
  if (!dc) return;
  const StepLine line(m_curPoint, x, y);
  m_curPoint = CPoint(x, y);
  // Until CreatePen there is no pen to draw with.
  if (m_pen.IsNull() || m_nullPen.IsNull() || line.Steps() == 0) return;
  lexaro::draw::PenScope scope(dc, &m_pen);
  if (m_lPattern == DE_PS_SOLID) {
    dc->LineTo(x, y);  // one platform line; the surface clips it
    return;
  }
  const Pattern* pattern = PatternOf(m_lPattern);
  if (!pattern) return;  // none, double and unknown styles draw nothing

  const Reach reach = lexaro::draw::GetReach(dc, m_pen.GetWidth() + 1LL);
  const lexaro::draw::AliasedScope aliased(dc);
  PatternWalk walk(dc, line, *pattern, m_pWidth, &m_pen, &m_nullPen, m_patternPos);
  if (reach.Meets(dc->GetCurrentPosition(), line.Point(0)))
    walk.Step(0);
  else
    walk.SkipTo(1);
  long long first, last;
  line.VisibleSteps(reach, &first, &last);
  if (first < last) {
    walk.SkipTo(first);
    for (long long i = walk.Next(); i < last; ++i) walk.Step(i);
  }
  walk.SkipTo(line.Steps());
  m_patternPos = walk.Position();
}
