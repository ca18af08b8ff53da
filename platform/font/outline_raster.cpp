#include "platform/font/outline_raster.h"

#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>

#include "platform/font/face.h"

namespace lexaro::font {
namespace {

// Coordinates are kept well inside what the rasteriser's 32-bit cell
// arithmetic can hold; a point beyond lies far outside any surface anyway.
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
  FT_Outline outline = src;
  outline.points = points.data();
  return Render(outline, bx0, by0, bx1, by1, clip, out);
}

bool RenderPolygon(const double* xy, int n, const CRect& clip, Coverage& out) {
  if (n < 3) return false;
  std::vector<FT_Vector> points(size_t(n), FT_Vector{});
  std::vector<char> tags(size_t(n), FT_CURVE_TAG_ON);
  short last = short(n - 1);
  double bx0 = 1e300, by0 = 1e300, bx1 = -1e300, by1 = -1e300;
  for (int i = 0; i < n; ++i) {
    double X = std::clamp(xy[2 * i], -kCoordLimit, kCoordLimit);
    double Y = std::clamp(xy[2 * i + 1], -kCoordLimit, kCoordLimit);
    bx0 = std::min(bx0, X);
    bx1 = std::max(bx1, X);
    by0 = std::min(by0, Y);
    by1 = std::max(by1, Y);
    points[size_t(i)].x = ToFixed(X);
    points[size_t(i)].y = -ToFixed(Y);
  }
  FT_Outline outline{};
  outline.n_contours = 1;
  outline.n_points = short(n);
  outline.points = points.data();
  outline.tags = tags.data();
  outline.contours = &last;
  outline.flags = FT_OUTLINE_NONE;
  return Render(outline, bx0, by0, bx1, by1, clip, out);
}

}  // namespace lexaro::font
