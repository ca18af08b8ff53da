#include "platform/coverage_walk.h"

namespace lexaro::coverage {
namespace {

// Pixel (x, y) of an aliased stroke is the square [x, x+1] x [y, y+1]. A pen
// of odd width centres its stamp on the pixel's centre, one of even width on
// the pixel's top-left corner.
double CentreOffset(int width) { return width % 2 != 0 ? 0.5 : 0.0; }

// Twice the signed area of a polygon.
double DoubleArea(const Point* p, int n) {
  double sum = 0;
  for (int i = 0; i < n; ++i) {
    const Point a = p[i], b = p[(i + 1) % n];
    sum += a.x * b.y - b.x * a.y;
  }
  return sum;
}

bool IsConvex(const Point* p, int n, double orientation) {
  for (int i = 0; i < n; ++i) {
    const Point a = p[i], b = p[(i + 1) % n], c = p[(i + 2) % n];
    const double turn = (b.x - a.x) * (c.y - b.y) - (b.y - a.y) * (c.x - b.x);
    if (turn * orientation < 0) return false;
  }
  return true;
}

}  // namespace

Polygon LineBody(CPoint from, CPoint to, int width) {
  Polygon body;
  const double dx = double(to.x) - from.x, dy = double(to.y) - from.y;
  const double length = std::hypot(dx, dy);
  if (length == 0 || width < 1) return body;
  const double ux = dx / length, uy = dy / length, half = width / 2.0;
  const double c = CentreOffset(width);
  // The stamps' centres run from the first pixel's to the last painted one,
  // a pixel short of the end point; the square ends reach half the width on.
  const Point start{from.x + c - ux * half, from.y + c - uy * half};
  const double reach = length - 1.0 + width;
  const Point end{start.x + ux * reach, start.y + uy * reach};
  const double nx = -uy * half, ny = ux * half;
  body.count = 4;
  body.corner[0] = Point{start.x + nx, start.y + ny};
  body.corner[1] = Point{end.x + nx, end.y + ny};
  body.corner[2] = Point{end.x - nx, end.y - ny};
  body.corner[3] = Point{start.x - nx, start.y - ny};
  return body;
}

Polygon OutlinedBody(const CPoint* corners, int count, int width) {
  Polygon body;
  if (count < 3 || count > Polygon::kMaxCorners / 2 || width < 1) return body;
  // The corners as pixel centres, without repeats.
  const double c = CentreOffset(width), half = width / 2.0;
  Point p[Polygon::kMaxCorners / 2];
  int n = 0;
  for (int i = 0; i < count; ++i) {
    const Point q{corners[i].x + c, corners[i].y + c};
    if (n == 0 || q.x != p[n - 1].x || q.y != p[n - 1].y) p[n++] = q;
  }
  if (n > 1 && p[0].x == p[n - 1].x && p[0].y == p[n - 1].y) --n;
  if (n < 3) return body;
  const double area = DoubleArea(p, n);
  if (area == 0 || !IsConvex(p, n, area)) return body;
  // The outward unit normal of the edge from p[i] to p[i + 1].
  auto normal = [&](int i) {
    const Point a = p[i], b = p[(i + 1) % n];
    const double dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
    return area > 0 ? Point{dy / len, -dx / len} : Point{-dy / len, dx / len};
  };
  for (int i = 0; i < n; ++i) {
    const Point before = normal((i + n - 1) % n), after = normal(i);
    const double dot = before.x * after.x + before.y * after.y;
    if (dot >= -0.5) {
      // The mitre: the point at distance `half` from both offset edges.
      const double k = half / (1.0 + dot);
      body.corner[body.count++] = Point{p[i].x + (before.x + after.x) * k, p[i].y + (before.y + after.y) * k};
    } else {
      body.corner[body.count++] = Point{p[i].x + before.x * half, p[i].y + before.y * half};
      body.corner[body.count++] = Point{p[i].x + after.x * half, p[i].y + after.y * half};
    }
  }
  return body;
}

}  // namespace lexaro::coverage
