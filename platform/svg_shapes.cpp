#include "platform/svg_shapes.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <charconv>
#include <cstdlib>
#include <string_view>

#include "platform/polygon_clip.h"

#include FT_OUTLINE_H

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

namespace {

constexpr int kFastDecimals = 9;
constexpr unsigned long long kUnit[kFastDecimals + 1] = {1,         10,         100,         1000,
                                                         10000,     100000,     1000000,     10000000,
                                                         100000000, 1000000000};

// v rounded to `decimals` decimals as printf's "%.*f" rounds it (to the
// nearest, ties to even, judged on the exact value), as n / 10^decimals;
// false for numbers of 10^9 or more (and not numbers). The exact product of
// the double's 53-bit significand and 10^decimals fits in 128 bits, so it
// is rounded in whole numbers, with no error at all.
bool Scaled(double v, int decimals, unsigned long long* n) {
  if (decimals < 0 || decimals > kFastDecimals || !(std::fabs(v) < 1e9)) return false;
  const auto bits = std::bit_cast<unsigned long long>(v);
  const int biased = int(bits >> 52 & 0x7FF);
  unsigned long long significand = bits & ((1ULL << 52) - 1);
  if (biased != 0) significand |= 1ULL << 52;
  // |v| = significand / 2^shift, and shift > 22 as |v| < 2^30.
  const int shift = 1075 - std::max(biased, 1);
  __extension__ using Wide = unsigned __int128;
  const Wide product = Wide(significand) * kUnit[decimals];  // below 2^83
  if (shift > 100) {  // product / 2^shift is below 2^-17
    *n = 0;
    return true;
  }
  const Wide whole = product >> shift, rest = product - (whole << shift), half = Wide(1) << (shift - 1);
  *n = (unsigned long long)whole + (rest > half || (rest == half && (whole & 1) != 0));
  return true;
}

// n / 10^decimals in the surface's short form.
void AppendScaled(std::string& out, bool negative, unsigned long long n, int decimals) {
  if (n == 0) {
    out += '0';
    return;
  }
  if (negative) out += '-';
  unsigned long long whole = n / kUnit[decimals], fraction = n % kUnit[decimals];
  if (whole != 0) AppendInt(out, (long long)whole);
  if (fraction == 0) return;
  for (; fraction % 10 == 0; fraction /= 10) --decimals;
  char digits[kFastDecimals + 1];
  digits[0] = '.';
  for (int i = decimals; i > 0; --i, fraction /= 10) digits[i] = char('0' + fraction % 10);
  out.append(digits, size_t(decimals) + 1);
}

}  // namespace

void AppendNumber(std::string& out, double v, int decimals) {
  unsigned long long n;
  if (Scaled(v, decimals, &n)) return AppendScaled(out, std::signbit(v), n, decimals);
  // Others as printf writes them, then shortened.
  char buf[64];
  auto [end, error] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
  if (error != std::errc()) {
    out += '0';
    return;
  }
  int length = int(end - buf);
  if (decimals > 0) {
    while (length > 0 && buf[length - 1] == '0') --length;
    if (length > 0 && buf[length - 1] == '.') --length;
  }
  std::string_view text(buf, size_t(length));
  if (text == "-0") text = "0";
  // "0.5" as ".5", "-0.5" as "-.5".
  if (text.size() > 2 && text.substr(0, 2) == "0.") text.remove_prefix(1);
  if (text.size() > 3 && text.substr(0, 3) == "-0.") {
    out += '-';
    text.remove_prefix(2);
  }
  out += text;
}

void AppendInt(std::string& out, long long v) {
  char buf[24];
  out.append(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

void AppendColor(std::string& out, COLORREF color) {
  static constexpr char kHex[] = "0123456789abcdef";
  char text[7] = {'#'};
  int at = 1;
  for (int c : {GetRValue(color), GetGValue(color), GetBValue(color)}) {
    text[at++] = kHex[c >> 4];
    text[at++] = kHex[c & 15];
  }
  out.append(text, 7);
}

std::string ColorText(COLORREF color) {
  std::string text;
  AppendColor(text, color);
  return text;
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
  out += 'M';
  AppendInt(out, left);
  out += ' ';
  AppendInt(out, top);
  out += 'h';
  AppendInt(out, right - left);
  out += 'v';
  AppendInt(out, bottom - top);
  out += 'h';
  AppendInt(out, left - right);
  out += 'z';
}

std::string OutlinePath(const FT_Outline& outline) {
  struct Sink {
    std::string d;
    char last = 0;
    FT_Vector at{0, 0}, start{0, 0};
    void Command(char c, std::initializer_list<const FT_Vector*> points) {
      bool separate = c == last;
      if (!separate) d += c;
      last = c == 'm' ? 'l' : c;  // numbers after a move continue as lines
      for (const FT_Vector* p : points) {
        for (FT_Pos v : {p->x - at.x, p->y - at.y}) {
          if (separate && v >= 0) d += ' ';
          AppendInt(d, v);
          separate = true;
        }
      }
      at = *points.end()[-1];
    }
  } sink;
  FT_Outline_Funcs funcs{};
  funcs.move_to = [](const FT_Vector* to, void* u) {
    auto* s = static_cast<Sink*>(u);
    if (!s->d.empty()) {
      s->d += 'z';
      s->at = s->start;  // a closed subpath ends where it began
    }
    s->last = 0;
    s->Command('m', {to});
    s->start = *to;
    return 0;
  };
  funcs.line_to = [](const FT_Vector* to, void* u) {
    static_cast<Sink*>(u)->Command('l', {to});
    return 0;
  };
  funcs.conic_to = [](const FT_Vector* c, const FT_Vector* to, void* u) {
    static_cast<Sink*>(u)->Command('q', {c, to});
    return 0;
  };
  funcs.cubic_to = [](const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* u) {
    static_cast<Sink*>(u)->Command('c', {c1, c2, to});
    return 0;
  };
  FT_Outline copy = outline;
  if (FT_Outline_Decompose(&copy, &funcs, &sink) != 0) return "";
  if (!sink.d.empty()) sink.d += 'z';
  return sink.d;
}

}  // namespace lexaro::svg
