// Sutherland-Hodgman clipping of closed polygons, for any vector of points
// with double members x and y (the font rasteriser's contours and the SVG
// surface's shapes).
#pragma once

#include <cstddef>

namespace lexaro::geometry {

// Clips a closed polygon to the half-plane where keep(p) holds; cross(a, b)
// gives the point where the edge from a to b leaves or enters it.
template <typename Path, typename Keep, typename Cross>
Path ClipEdge(const Path& in, Keep keep, Cross cross) {
  Path out;
  for (std::size_t i = 0; i < in.size(); ++i) {
    auto a = in[i], b = in[(i + 1) % in.size()];
    bool ka = keep(a), kb = keep(b);
    if (ka) out.push_back(a);
    if (ka != kb) out.push_back(cross(a, b));
  }
  return out;
}

// Clips a closed polygon to the rectangle [x0, x1] x [y0, y1]. Inside the
// rectangle every point keeps its winding number, so the fill there is
// unchanged under either fill rule.
template <typename Path>
Path ClipToRect(Path c, double x0, double y0, double x1, double y1) {
  using P = typename Path::value_type;
  auto atX = [](P a, P b, double x) { return P{x, a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x)}; };
  auto atY = [](P a, P b, double y) { return P{a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y), y}; };
  c = ClipEdge(c, [&](P p) { return p.x >= x0; }, [&](P a, P b) { return atX(a, b, x0); });
  c = ClipEdge(c, [&](P p) { return p.x <= x1; }, [&](P a, P b) { return atX(a, b, x1); });
  c = ClipEdge(c, [&](P p) { return p.y >= y0; }, [&](P a, P b) { return atY(a, b, y0); });
  c = ClipEdge(c, [&](P p) { return p.y <= y1; }, [&](P a, P b) { return atY(a, b, y1); });
  return c;
}

}  // namespace lexaro::geometry
