#include "platform/svg_shapes.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace lexaro::svg {

Polygon LinePolygon(CPoint from, CPoint to, int width) {
  long long dx = (long long)to.x - from.x, dy = (long long)to.y - from.y;
  if ((dx == 0 && dy == 0) || width < 1) return {};
  bool xMajor = std::llabs(dx) >= std::llabs(dy);
  double dm = double(xMajor ? dx : dy), dn = double(xMajor ? dy : dx);
  double m0 = xMajor ? from.x : from.y, n0 = xMajor ? from.y : from.x;
  double n = std::fabs(dm), sm = dm < 0 ? -1 : 1, slope = dn / dm;  // minor per major step
  double w = width, h = std::floor(w / 2);
  // Pixels m0 .. m0 + sm (n - 1) along the major axis, each stamped from
  // offset -h to w - h; the stamps' centres lie half a stamp past -h.
  double first = sm > 0 ? m0 : m0 - (n - 1), last = sm > 0 ? m0 + (n - 1) : m0;
  double lo = first - h, hi = last - h + w;
  double centre = w / 2 - h;  // from a pixel's corner to its stamp's centre
  // Across a column the stamps of w consecutive steps overlap.
  double half = (w + (w - 1) * std::fabs(slope)) / 2;
  auto minorAt = [&](double major) { return n0 + centre + slope * (major - (m0 + centre)); };
  Point q[4] = {{lo, minorAt(lo) - half}, {hi, minorAt(hi) - half}, {hi, minorAt(hi) + half},
                {lo, minorAt(lo) + half}};
  Polygon poly;
  for (const Point& p : q) poly.push_back(xMajor ? p : Point{p.y, p.x});
  // Keep one orientation, so overlapping shapes of one path add up.
  double area = 0;
  for (size_t i = 0; i < poly.size(); ++i) {
    const Point &a = poly[i], &b = poly[(i + 1) % poly.size()];
    area += a.x * b.y - b.x * a.y;
  }
  if (area < 0) std::swap(poly[1], poly[3]);
  return poly;
}

namespace {

// Clips a polygon to the half-plane where keep(p) holds.
template <typename Keep, typename Cross>
Polygon ClipEdge(const Polygon& in, Keep keep, Cross cross) {
  Polygon out;
  for (size_t i = 0; i < in.size(); ++i) {
    Point a = in[i], b = in[(i + 1) % in.size()];
    bool ka = keep(a), kb = keep(b);
    if (ka) out.push_back(a);
    if (ka != kb) out.push_back(cross(a, b));
  }
  return out;
}

}  // namespace

Polygon ClipPolygon(const Polygon& polygon, double left, double top, double right, double bottom) {
  auto atX = [](Point a, Point b, double x) { return Point{x, a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x)}; };
  auto atY = [](Point a, Point b, double y) { return Point{a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y), y}; };
  Polygon c = ClipEdge(polygon, [&](Point p) { return p.x >= left; }, [&](Point a, Point b) { return atX(a, b, left); });
  c = ClipEdge(c, [&](Point p) { return p.x <= right; }, [&](Point a, Point b) { return atX(a, b, right); });
  c = ClipEdge(c, [&](Point p) { return p.y >= top; }, [&](Point a, Point b) { return atY(a, b, top); });
  c = ClipEdge(c, [&](Point p) { return p.y <= bottom; }, [&](Point a, Point b) { return atY(a, b, bottom); });
  if (c.size() < 3) c.clear();
  return c;
}

void AppendNumber(std::string& out, double v, int decimals) {
  char buf[64];
  int n = std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  if (n <= 0 || n >= int(sizeof buf)) {
    out += '0';
    return;
  }
  if (decimals > 0) {
    while (n > 0 && buf[n - 1] == '0') --n;
    if (n > 0 && buf[n - 1] == '.') --n;
  }
  buf[n] = 0;
  if (std::string_view(buf, size_t(n)) == "-0")
    out += '0';
  else
    out.append(buf, size_t(n));
}

std::string ColorText(COLORREF color) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%02x%02x%02x", GetRValue(color), GetGValue(color), GetBValue(color));
  return buf;
}

void AppendPolygon(std::string& out, const Polygon& polygon) {
  for (size_t i = 0; i < polygon.size(); ++i) {
    out += i == 0 ? 'M' : 'L';
    AppendNumber(out, polygon[i].x);
    out += ' ';
    AppendNumber(out, polygon[i].y);
  }
  if (!polygon.empty()) out += 'z';
}

void AppendRect(std::string& out, long long left, long long top, long long right, long long bottom) {
  out += 'M' + std::to_string(left) + ' ' + std::to_string(top) + 'h' + std::to_string(right - left) +
         'v' + std::to_string(bottom - top) + 'h' + std::to_string(left - right) + 'z';
}

}  // namespace lexaro::svg
