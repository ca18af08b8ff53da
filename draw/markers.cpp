// Point markers, flat and shaded, and the colour levels of the shading.
#include <cmath>

#include "draw/draw_support.h"
#include "lexaro/dc_ex.h"
#include "lexaro/numeric.h"

using lexaro::draw::PenScope;
using lexaro::draw::Saturate;

namespace {

enum class Shape { Circle, Square, Diamond, Up, Down, Cross };

// What a marker kind draws: its shape, whether it is filled with the back
// colour and outlined (or solid in the pen), and the extra lines of kinds 2
// (cross in the circle) and 5 (diagonals of the square).
struct MarkerKind {
  Shape shape;
  bool solid;
  bool extra;
};

constexpr MarkerKind kMarkerKinds[13] = {
    {Shape::Circle, false, false},  {Shape::Circle, false, true}, {Shape::Circle, true, false},
    {Shape::Square, false, false},  {Shape::Square, false, true}, {Shape::Square, true, false},
    {Shape::Diamond, false, false}, {Shape::Diamond, true, false},
    {Shape::Up, false, false},      {Shape::Up, true, false},
    {Shape::Down, false, false},    {Shape::Down, true, false},
    {Shape::Cross, false, false},
};

// The corner points of a marker of size s at (x, y); halves truncate
// toward zero, and coordinates beyond the 32-bit range saturate.
struct MarkerPoints {
  CPoint center;
  CPoint square[4];   // top left, top right, bottom right, bottom left
  CPoint diamond[4];  // left, top, right, bottom
  CPoint up[3];       // bottom left, apex, bottom right
  CPoint down[3];     // top left, top right, apex
  CPoint cross[4];    // the two strokes of the cross, start and end each

  MarkerPoints(long long x, long long y, long long s) {
    const long long a = s / 2, b = (s - 1) / 2, t = Roundoff(double(s) * 0.5 * std::sqrt(3.0));
    auto at = [](long long px, long long py) { return CPoint(Saturate(px), Saturate(py)); };
    center = at(x, y);
    square[0] = at(x - a, y - a), square[1] = at(x + b, y - a);
    square[2] = at(x + b, y + b), square[3] = at(x - a, y + b);
    diamond[0] = at(x - a, y), diamond[1] = at(x, y - a);
    diamond[2] = at(x + b, y), diamond[3] = at(x, y + b);
    up[0] = at(x - a, y + (t - 1) / 2), up[1] = at(x, y - t / 2), up[2] = at(x + b, y + (t - 1) / 2);
    down[0] = at(x - a, y - (t - 1) / 2), down[1] = at(x + b, y - (t - 1) / 2);
    down[2] = at(x, y + t / 2);
    cross[0] = at(x - a, y - a), cross[1] = at(x + b + 1, y + b + 1);
    cross[2] = at(x + b, y - a), cross[3] = at(x - a - 1, y + b + 1);
  }
};

// A facet of a shaded marker: the triangle (corner `from`, centre, corner
// `to`) in a colour level.
struct Facet {
  int from, to, level;
};

// Square and diamond (corners A, B, C, D), upward triangle (BL, P, BR) and
// downward triangle (TL, TR, P), in drawing order: the top facets lightest.
constexpr Facet kFourFacets[4] = {{2, 3, 3}, {1, 2, 2}, {3, 0, 1}, {0, 1, 0}};
constexpr Facet kUpFacets[3] = {{2, 0, 3}, {1, 2, 1}, {0, 1, 0}};
constexpr Facet kDownFacets[3] = {{0, 1, 0}, {1, 2, 3}, {2, 0, 1}};

}  // namespace

void CDC_Ex::DrawPoint(CDC* dc, int x, int y, int size, int kind) {
  if (!dc || size < 1 || m_pen.IsNull() || kind < 1 || kind > 13) return;
  const MarkerKind& marker = kMarkerKinds[kind - 1];
  const MarkerPoints p(x, y, size);
  CPen fill(PS_SOLID, 1, m_backColor);
  PenScope scope(dc, &fill);
  if (marker.shape == Shape::Cross) {
    scope.Select(&m_pen);
    for (int k = 0; k < 4; k += 2) {
      dc->MoveTo(p.cross[k]);
      dc->LineTo(p.cross[k + 1]);
    }
    return;
  }
  if (marker.solid) scope.Select(&m_pen);
  switch (marker.shape) {
    case Shape::Circle: DrawCircleCover(dc, p.center, size); break;
    case Shape::Square: DrawSquareCover(dc, p.square[0], p.square[1], p.square[2], p.square[3]); break;
    case Shape::Diamond:
      DrawSquareCover(dc, p.diamond[0], p.diamond[1], p.diamond[2], p.diamond[3]);
      break;
    case Shape::Up: DrawTriangleCover(dc, p.up[0], p.up[1], p.up[2]); break;
    default: DrawTriangleCover(dc, p.down[0], p.down[1], p.down[2]); break;
  }
  if (marker.solid) return;
  scope.Select(&m_pen);
  switch (marker.shape) {
    case Shape::Circle:
      if (marker.extra) DrawCircle_X(dc, p.center, size);
      else DrawCircle(dc, p.center, size);
      break;
    case Shape::Square:
      DrawSquare(dc, p.square[0], p.square[1], p.square[2], p.square[3]);
      if (!marker.extra) break;
      for (int k = 0; k < 2; ++k) {
        dc->MoveTo(p.square[k]);
        dc->LineTo(p.square[k + 2]);
      }
      break;
    case Shape::Diamond: DrawSquare(dc, p.diamond[0], p.diamond[1], p.diamond[2], p.diamond[3]); break;
    case Shape::Up: DrawTriangle(dc, p.up[0], p.up[1], p.up[2]); break;
    default: DrawTriangle(dc, p.down[0], p.down[1], p.down[2]); break;
  }
}

void CDC_Ex::DrawPoint3D(CDC* dc, int x, int y, int size, int kind) {
  if (!dc || size < 1 || m_pen.IsNull()) return;
  CPen levels[4];
  for (int level = 0; level < 4; ++level)
    levels[level].CreatePen(PS_SOLID, m_pWidth, Get3DColor(m_pColor, level));
  PenScope scope(dc, &levels[3]);
  const MarkerPoints p(x, y, size);
  auto facets = [&](const CPoint* corners, const Facet* list, int count) {
    for (int k = 0; k < count; ++k) {
      scope.Select(&levels[list[k].level]);
      DrawTriangleCover(dc, corners[list[k].from], p.center, corners[list[k].to]);
    }
  };
  switch (kind) {
    case 3: {
      const long long q = size * 3LL / 4, r = q * 2 / 3;
      const long long x1 = x - q / 6, y1 = y - q / 6;
      DrawCircleCover(dc, p.center, size);
      scope.Select(&levels[1]);
      DrawCircleCover(dc, CPoint(Saturate(x1), Saturate(y1)), int(q));
      scope.Select(&levels[0]);
      DrawCircleCover(dc, CPoint(Saturate(x1 - r / 5), Saturate(y1 - r / 5)), int(r));
      break;
    }
    case 6: facets(p.square, kFourFacets, 4); break;
    case 8: facets(p.diamond, kFourFacets, 4); break;
    case 10: facets(p.up, kUpFacets, 3); break;
    case 12: facets(p.down, kDownFacets, 3); break;
    default: DrawPoint(dc, x, y, size, kind); break;
  }
}

COLORREF CDC_Ex::Get3DColor(COLORREF color, int level) {
  // Each level moves a channel this fraction of the way towards 255.
  struct Lift {
    int num, den;
  };
  constexpr Lift kLifts[3] = {{3, 4}, {1, 2}, {2, 5}};
  if (level < 0 || level > 2) return color;
  const Lift lift = kLifts[level];
  auto up = [lift](int c) { return c + (255 - c) * lift.num / lift.den; };
  return RGB(up(GetRValue(color)), up(GetGValue(color)), up(GetBValue(color)));
}
