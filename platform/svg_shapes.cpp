#include "platform/svg_shapes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/polygon_clip.h"

namespace lexaro::svg {
namespace {

constexpr double kTieNudge = 1.0 / 128;

}  // namespace

namespace {

// The convex hull of points, counter-clockwise for y up (clockwise as seen
// on a y-down surface).
Polygon Hull(Polygon p) {
  std::sort(p.begin(), p.end(), [](Point a, Point b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
  auto cross = [](Point o, Point a, Point b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); };
  Polygon h(2 * p.size());
  size_t k = 0;
  for (size_t i = 0; i < p.size(); ++i) {
    while (k >= 2 && cross(h[k - 2], h[k - 1], p[i]) <= 0) --k;
    h[k++] = p[i];
  }
  for (size_t i = p.size() - 1, t = k + 1; i-- > 0;) {
    while (k >= t && cross(h[k - 2], h[k - 1], p[i]) <= 0) --k;
    h[k++] = p[i];
  }
  h.resize(k > 1 ? k - 1 : k);
  return h;
}

}  // namespace

Polygon LinePolygon(CPoint from, CPoint to, int width) {
  long long dx = (long long)to.x - from.x, dy = (long long)to.y - from.y;
  if ((dx == 0 && dy == 0) || width < 1) return {};
  // Work in (major, minor) coordinates: the major axis is the one the line
  // advances one pixel per step along.
  bool xMajor = std::llabs(dx) >= std::llabs(dy);
  long long dm = xMajor ? dx : dy, dn = xMajor ? dy : dx;
  long long m0 = xMajor ? from.x : from.y, n0 = xMajor ? from.y : from.x;
  long long n = std::llabs(dm), an = std::llabs(dn);
  int sm = dm < 0 ? -1 : 1, sn = dn < 0 ? -1 : 1;
  double w = width, h = std::floor(w / 2);
  // The first and the last step on the ideal line (the band below picks
  // the pixels), each covered by a w x w stamp from offset -h.
  double mLast = double(m0) + sm * double(n - 1);
  double nLast = double(n0) + sn * double(n - 1) * double(an) / double(n);
  double nudge = dn == 0 ? 0 : sn * kTieNudge;  // see below
  Polygon corners;
  for (auto [m, k] : {std::pair{double(m0), double(n0)}, std::pair{mLast, nLast}})
    for (double a : {m - h, m - h + w})
      for (double b : {k - h, k - h + w}) corners.push_back({a, b + nudge});
  Polygon poly = Hull(corners);
  if (dn != 0) {
    // Across a column the stamps of w consecutive steps overlap: the band
    // around the ideal line through the stamps' centres. Where the line
    // passes halfway between two pixels, the raster surface takes the one
    // farther along the minor direction: the band is nudged that way, by
    // more than a renderer's fixed-point step.
    double slope = double(dn) / double(dm), centre = w / 2 - h;
    double half = (w + (w - 1) * std::fabs(slope)) / 2;
    double base = double(n0) + centre + nudge;
    auto offset = [&](Point p) { return p.y - (base + slope * (p.x - (double(m0) + centre))); };
    auto cut = [&](Point a, Point b, double level) {
      double fa = offset(a) - level, fb = offset(b) - level, t = fa / (fa - fb);
      return Point{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)};
    };
    poly = geometry::ClipEdge(poly, [&](Point p) { return offset(p) <= half; }, [&](Point a, Point b) { return cut(a, b, half); });
    poly = geometry::ClipEdge(poly, [&](Point p) { return offset(p) >= -half; }, [&](Point a, Point b) { return cut(a, b, -half); });
  }
  for (Point& p : poly)
    if (!xMajor) std::swap(p.x, p.y);
  // Keep one orientation, so overlapping shapes of one path add up.
  double area = 0;
  for (size_t i = 0; i < poly.size(); ++i) {
    const Point &a = poly[i], &b = poly[(i + 1) % poly.size()];
    area += a.x * b.y - b.x * a.y;
  }
  if (area < 0) std::reverse(poly.begin(), poly.end());
  return poly;
}

Polygon ClipPolygon(const Polygon& polygon, double left, double top, double right, double bottom) {
  Polygon c = geometry::ClipToRect(polygon, left, top, right, bottom);
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
  std::string_view text(buf, size_t(n));
  if (text == "-0") text = "0";
  // "0.5" as ".5", "-0.5" as "-.5".
  if (text.size() > 2 && text.substr(0, 2) == "0.") text.remove_prefix(1);
  if (text.size() > 3 && text.substr(0, 3) == "-0.") {
    out += '-';
    text.remove_prefix(2);
  }
  out += text;
}

std::string ColorText(COLORREF color) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%02x%02x%02x", GetRValue(color), GetGValue(color), GetBValue(color));
  return buf;
}

void AppendPolygon(std::string& out, const Polygon& polygon, int decimals) {
  for (size_t i = 0; i < polygon.size(); ++i) {
    out += i == 0 ? 'M' : 'L';
    AppendNumber(out, polygon[i].x, decimals);
    out += ' ';
    AppendNumber(out, polygon[i].y, decimals);
  }
  if (!polygon.empty()) out += 'z';
}

void AppendRect(std::string& out, long long left, long long top, long long right, long long bottom) {
  out += 'M' + std::to_string(left) + ' ' + std::to_string(top) + 'h' + std::to_string(right - left) +
         'v' + std::to_string(bottom - top) + 'h' + std::to_string(left - right) + 'z';
}

}  // namespace lexaro::svg
