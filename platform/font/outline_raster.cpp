#include "platform/font/outline_raster.h"

#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>

#include "platform/font/face.h"
#include "platform/polygon_clip.h"

namespace lexaro::font {
namespace {

// FreeType's rasteriser refuses outlines reaching beyond 2^18 pixels from
// the origin. Outlines that reach further are flattened and clipped to the
// neighbourhood of the visible rectangle first (see ClipToWindow).
constexpr double kNativeLimit = 100000;
constexpr double kCoordLimit = 1 << 24;

FT_Pos ToFixed(double v) {
  v = std::clamp(v, -kCoordLimit, kCoordLimit);
  return FT_Pos(std::llround(v * 64.0));
}

void Spans(int y, int count, const FT_Span* spans, void* user) {
  auto* out = static_cast<Coverage*>(user);
  // The rasteriser counts rows upwards; row y covers surface row -y-1.
  int row = -y - 1 - out->top;
  if (row < 0 || row >= out->height) return;
  std::uint8_t* line = out->alpha.data() + size_t(row) * size_t(out->width);
  for (int i = 0; i < count; ++i) {
    int x0 = std::max(int(spans[i].x), out->left) - out->left;
    int x1 = std::min(int(spans[i].x) + int(spans[i].len), out->left + out->width) - out->left;
    if (x1 > x0) std::fill(line + x0, line + x1, spans[i].coverage);
  }
}

// Renders an outline whose points are already in rasteriser space (26.6,
// y up) with the surface bounding box [bx0, bx1) x [by0, by1).
bool Render(FT_Outline& outline, double bx0, double by0, double bx1, double by1, const CRect& clip,
            Coverage& out) {
  CRect box(int(std::floor(std::max(bx0, double(clip.left)))),
            int(std::floor(std::max(by0, double(clip.top)))),
            int(std::ceil(std::min(bx1, double(clip.right)))),
            int(std::ceil(std::min(by1, double(clip.bottom)))));
  if (box.IsRectEmpty()) return false;
  out.left = box.left;
  out.top = box.top;
  out.width = box.Width();
  out.height = box.Height();
  out.alpha.assign(size_t(out.width) * size_t(out.height), 0);
  FT_Raster_Params params{};
  params.source = &outline;
  params.flags = FT_RASTER_FLAG_AA | FT_RASTER_FLAG_DIRECT | FT_RASTER_FLAG_CLIP;
  params.gray_spans = Spans;
  params.user = &out;
  params.clip_box.xMin = box.left;
  params.clip_box.xMax = box.right;
  params.clip_box.yMin = -box.bottom;
  params.clip_box.yMax = -box.top;
  return FT_Outline_Render(Library(), &outline, &params) == 0;
}

struct Point {
  double x, y;
};
using Contour = std::vector<Point>;

// Flattens an outline mapped to the surface into polygons, finely only where
// it can be seen: a curve whose control points all lie outside `window` is
// replaced by its chord, which changes nothing inside the window.
class Flattener {
 public:
  Flattener(const Affine& m, double x0, double y0, double x1, double y1, double tolerance)
      : m_m(m), m_x0(x0), m_y0(y0), m_x1(x1), m_y1(y1), m_tol(tolerance) {}

  bool Run(const FT_Outline& outline) {
    FT_Outline_Funcs funcs{};
    funcs.move_to = [](const FT_Vector* to, void* u) { return static_cast<Flattener*>(u)->MoveTo(to); };
    funcs.line_to = [](const FT_Vector* to, void* u) { return static_cast<Flattener*>(u)->LineTo(to); };
    funcs.conic_to = [](const FT_Vector* c, const FT_Vector* to, void* u) {
      auto* f = static_cast<Flattener*>(u);
      Point p0 = f->m_last, pc = f->Map(c), p3 = f->Map(to);
      Point p1{p0.x + 2.0 / 3 * (pc.x - p0.x), p0.y + 2.0 / 3 * (pc.y - p0.y)};
      Point p2{p3.x + 2.0 / 3 * (pc.x - p3.x), p3.y + 2.0 / 3 * (pc.y - p3.y)};
      f->Cubic(p0, p1, p2, p3, 0);
      return 0;
    };
    funcs.cubic_to = [](const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* u) {
      auto* f = static_cast<Flattener*>(u);
      f->Cubic(f->m_last, f->Map(c1), f->Map(c2), f->Map(to), 0);
      return 0;
    };
    FT_Outline copy = outline;
    return FT_Outline_Decompose(&copy, &funcs, this) == 0;
  }

  std::vector<Contour> contours;

 private:
  Point Map(const FT_Vector* v) const {
    double x = double(v->x), y = double(v->y);
    return {m_m.xx * x + m_m.xy * y + m_m.tx, m_m.yx * x + m_m.yy * y + m_m.ty};
  }
  int MoveTo(const FT_Vector* to) {
    m_last = Map(to);
    contours.push_back({m_last});
    return 0;
  }
  int LineTo(const FT_Vector* to) {
    Add(Map(to));
    return 0;
  }
  void Add(Point p) {
    if (contours.empty()) contours.push_back({});
    contours.back().push_back(p);
    m_last = p;
  }
  void Cubic(Point p0, Point p1, Point p2, Point p3, int depth) {
    double bx0 = std::min({p0.x, p1.x, p2.x, p3.x}), bx1 = std::max({p0.x, p1.x, p2.x, p3.x});
    double by0 = std::min({p0.y, p1.y, p2.y, p3.y}), by1 = std::max({p0.y, p1.y, p2.y, p3.y});
    bool outside = bx1 < m_x0 || bx0 > m_x1 || by1 < m_y0 || by0 > m_y1;
    if (outside || depth >= 24 || (Distance(p1, p0, p3) <= m_tol && Distance(p2, p0, p3) <= m_tol)) {
      Add(p3);
      return;
    }
    auto mid = [](Point a, Point b) { return Point{(a.x + b.x) / 2, (a.y + b.y) / 2}; };
    Point a = mid(p0, p1), b = mid(p1, p2), c = mid(p2, p3), ab = mid(a, b), bc = mid(b, c),
          m = mid(ab, bc);
    Cubic(p0, a, ab, m, depth + 1);
    Cubic(m, bc, c, p3, depth + 1);
  }
  // Distance of p from the line through a and b.
  static double Distance(Point p, Point a, Point b) {
    double dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
    if (len == 0) return std::hypot(p.x - a.x, p.y - a.y);
    return std::fabs((p.x - a.x) * dy - (p.y - a.y) * dx) / len;
  }

  Affine m_m;
  double m_x0, m_y0, m_x1, m_y1, m_tol;
  Point m_last{0, 0};
};

// Renders polygons given in surface coordinates, clipped to a window just
// larger than `clip`, so every coordinate stays small.
bool RenderContours(const std::vector<Contour>& contours, int fillFlags, const CRect& clip, Coverage& out) {
  double x0 = clip.left - 2.0, y0 = clip.top - 2.0, x1 = clip.right + 2.0, y1 = clip.bottom + 2.0;
  std::vector<FT_Vector> points;
  std::vector<short> ends;
  double bx0 = 1e300, by0 = 1e300, bx1 = -1e300, by1 = -1e300;
  for (const Contour& raw : contours) {
    Contour c = geometry::ClipToRect(raw, x0, y0, x1, y1);
    if (c.size() < 3) continue;
    if (points.size() + c.size() > 32000) return false;  // beyond what one outline can hold
    for (Point p : c) {
      bx0 = std::min(bx0, p.x);
      bx1 = std::max(bx1, p.x);
      by0 = std::min(by0, p.y);
      by1 = std::max(by1, p.y);
      points.push_back(FT_Vector{ToFixed(p.x), -ToFixed(p.y)});
    }
    ends.push_back(short(points.size() - 1));
  }
  if (ends.empty()) return false;
  std::vector<char> tags(points.size(), FT_CURVE_TAG_ON);
  FT_Outline outline{};
  outline.n_contours = short(ends.size());
  outline.n_points = short(points.size());
  outline.points = points.data();
  outline.tags = tags.data();
  outline.contours = ends.data();
  outline.flags = fillFlags;
  return Render(outline, bx0, by0, bx1, by1, clip, out);
}

}  // namespace

bool RenderOutline(const FT_Outline& src, const Affine& m, const CRect& clip, Coverage& out) {
  if (src.n_points <= 0 || src.n_contours <= 0) return false;
  static std::vector<FT_Vector> points;  // used under the font engine's lock
  points.resize(size_t(src.n_points));
  double bx0 = 1e300, by0 = 1e300, bx1 = -1e300, by1 = -1e300;
  for (int i = 0; i < src.n_points; ++i) {
    double x = double(src.points[i].x), y = double(src.points[i].y);
    double X = std::clamp(m.xx * x + m.xy * y + m.tx, -kCoordLimit, kCoordLimit);
    double Y = std::clamp(m.yx * x + m.yy * y + m.ty, -kCoordLimit, kCoordLimit);
    bx0 = std::min(bx0, X);
    bx1 = std::max(bx1, X);
    by0 = std::min(by0, Y);
    by1 = std::max(by1, Y);
    points[size_t(i)].x = ToFixed(X);
    points[size_t(i)].y = -ToFixed(Y);
  }
  if (std::max({-bx0, -by0, bx1, by1}) <= kNativeLimit) {
    FT_Outline outline = src;
    outline.points = points.data();
    return Render(outline, bx0, by0, bx1, by1, clip, out);
  }
  if (bx1 < clip.left || bx0 > clip.right || by1 < clip.top || by0 > clip.bottom) return false;
  int fill = src.flags & FT_OUTLINE_EVEN_ODD_FILL;
  for (double tolerance = 0.05; tolerance < 64; tolerance *= 4) {
    Flattener f(m, clip.left - 2.0, clip.top - 2.0, clip.right + 2.0, clip.bottom + 2.0, tolerance);
    if (!f.Run(src)) return false;
    if (RenderContours(f.contours, fill, clip, out)) return true;
  }
  return false;
}

bool RenderPolygon(const double* xy, int n, const CRect& clip, Coverage& out) {
  if (n < 3) return false;
  Contour c;
  for (int i = 0; i < n; ++i) c.push_back(Point{xy[2 * i], xy[2 * i + 1]});
  return RenderContours({c}, FT_OUTLINE_NONE, clip, out);
}

void TrimCoverage(Coverage& cov, int step) {
  const int w = cov.width, h = cov.height;
  int x0 = w, x1 = 0, y0 = h, y1 = 0;
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* row = cov.alpha.data() + size_t(y) * size_t(w);
    int a = 0, b = w;
    while (a < w && row[a] == 0) ++a;
    if (a == w) continue;
    while (row[b - 1] == 0) --b;
    x0 = std::min(x0, a), x1 = std::max(x1, b), y0 = std::min(y0, y), y1 = y + 1;
  }
  if (x0 >= x1) {
    cov = Coverage{};
    return;
  }
  const int width = (x1 - x0 + step - 1) / step * step, height = y1 - y0;
  std::vector<std::uint8_t> alpha(size_t(width) * size_t(height), 0);
  for (int y = 0; y < height; ++y)
    std::copy_n(cov.alpha.data() + size_t(y0 + y) * size_t(w) + x0, x1 - x0, alpha.data() + size_t(y) * size_t(width));
  cov = Coverage{cov.left + x0, cov.top + y0, width, height, std::move(alpha)};
}

void GrowByMappedBox(const Affine& m, const FT_BBox& b, double box[4]) {
  for (FT_Pos u : {b.xMin, b.xMax})
    for (FT_Pos v : {b.yMin, b.yMax}) {
      double X = m.xx * double(u) + m.xy * double(v) + m.tx, Y = m.yx * double(u) + m.yy * double(v) + m.ty;
      box[0] = std::min(box[0], X), box[1] = std::min(box[1], Y);
      box[2] = std::max(box[2], X), box[3] = std::max(box[3], Y);
    }
}

}  // namespace lexaro::font
