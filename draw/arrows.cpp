// Arrows: a patterned shaft from the tail and a head of lines or filled
// triangles at the tip.
#include <algorithm>
#include <cmath>

#include "draw/draw_support.h"
#include "lexaro/dc_ex.h"
#include "lexaro/numeric.h"

using lexaro::draw::RoundHalfAway;
using lexaro::draw::Saturate;

namespace {

enum class ShaftEnd { Tip, Base, Notch };

// Where the shaft stops and which barbs the head has. A head whose shaft
// stops at the tip is drawn as lines, any other as filled triangles.
struct ArrowKind {
  ShaftEnd end;
  bool first, second;
};

constexpr ArrowKind kArrowKinds[] = {
    {ShaftEnd::Tip, true, true},    {ShaftEnd::Tip, true, false},    {ShaftEnd::Tip, false, true},
    {ShaftEnd::Base, true, true},   {ShaftEnd::Base, true, false},   {ShaftEnd::Base, false, true},
    {ShaftEnd::Notch, true, true},  {ShaftEnd::Notch, true, false},  {ShaftEnd::Notch, false, true},
};

constexpr ArrowKind kBareShaft = {ShaftEnd::Tip, false, false};

// tip - (a, -b), in 64 bits and then saturated.
CPoint Back(const CPoint& tip, double a, double b) {
  return CPoint(Saturate(tip.x - RoundHalfAway(a)), Saturate(tip.y + RoundHalfAway(b)));
}

// The points of an arrow's head.
struct Head {
  CPoint base, notch, first, second;
  bool hasBarbs;
};

Head HeadPoints(const CPoint& tip, const CPoint& tail, int size, int angle) {
  const double dx = double(tip.x) - tail.x, dy = double(tip.y) - tail.y;
  const double length = std::sqrt(dx * dx + dy * dy);
  double phi = std::acos(std::clamp(dx / length, -1.0, 1.0));
  if (tip.y > tail.y) phi = 6.283185307 - phi;
  const double c = std::cos(phi), s = std::sin(phi);
  Head head;
  head.base = Back(tip, size * c, size * s);
  head.notch = Back(tip, (size / 2) * c, (size / 2) * s);
  const double alpha = ChangeRad(angle);
  // Barbs at a right angle to the shaft would be infinitely long.
  const double barb = size / std::cos(alpha);
  head.hasBarbs = std::isfinite(barb);
  if (!head.hasBarbs) return head;
  head.first = Back(tip, barb * std::cos(phi - alpha), barb * std::sin(phi - alpha));
  const double beta = 1.57079632675 - (alpha + phi);
  head.second = Back(tip, barb * std::sin(beta), barb * std::cos(beta));
  return head;
}

}  // namespace

void CDC_Ex::DrawArrow(CDC* dc, CPoint tip, CPoint tail, int kind, int size, int angle) {
  if (!dc || tip == tail || m_pen.IsNull()) return;
  ArrowKind shape = kind >= 0 && kind < 9 ? kArrowKinds[kind] : kBareShaft;
  if (size < 1) {
    size = 5;
    shape = kBareShaft;
  }
  CPen fill(PS_SOLID, 1, m_pColor);
  const Head head = HeadPoints(tip, tail, size, angle);
  if (!head.hasBarbs) shape = kBareShaft;
  const CPoint shaftEnd = shape.end == ShaftEnd::Base    ? head.base
                          : shape.end == ShaftEnd::Notch ? head.notch
                                                         : tip;
  lexaro::draw::PenScope scope(dc, &m_pen);
  MoveTo(dc, tail);
  LineTo(dc, shaftEnd);
  const CPoint* barbs[2] = {shape.first ? &head.first : nullptr,
                            shape.second ? &head.second : nullptr};
  if (shape.end == ShaftEnd::Tip) {
    for (const CPoint* barb : barbs) {
      if (!barb) continue;
      dc->MoveTo(tip);
      dc->LineTo(*barb);
    }
    return;
  }
  scope.Select(&fill);
  for (const CPoint* barb : barbs)
    if (barb) DrawTriangleCover(dc, tip, *barb, shaftEnd);
}
