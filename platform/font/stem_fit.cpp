#include "platform/font/stem_fit.h"

#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <vector>

namespace lexaro::font {
namespace {

constexpr size_t kMaxEdges = 256;
constexpr double kMinEdge = kFitUnitsPerPixel / 2;
// A stem takes another row from 0.6 of a row on: a stem halfway between two
// thicknesses looks lighter than the font's other strokes when thicker.
constexpr double kRoundUp = 0.4;

struct Edge {
  double y, x0, x1;
  bool inkAbove;
  bool inStem = false;
};

// A height of the outline and where it goes.
struct Anchor {
  double from, to;
};

// The row boundary nearest y.
double Row(double y) { return std::floor(y / kFitUnitsPerPixel + 0.5) * kFitUnitsPerPixel; }

// The horizontal edges between on-curve neighbours, and on which side their
// ink lies; false when there are too many.
bool FindEdges(FT_Outline& o, std::vector<Edge>& edges) {
  FT_Orientation orientation = FT_Outline_Get_Orientation(&o);
  if (orientation == FT_ORIENTATION_NONE) return false;
  // Going right, filled on the right means ink below.
  bool fillRight = orientation == FT_ORIENTATION_FILL_RIGHT;
  int start = 0;
  for (int c = 0; c < o.n_contours; ++c) {
    int end = o.contours[c];
    if (end < start || end >= o.n_points) return false;
    for (int i = start; i <= end; ++i) {
      int j = i == end ? start : i + 1;
      if (FT_CURVE_TAG(o.tags[i]) != FT_CURVE_TAG_ON || FT_CURVE_TAG(o.tags[j]) != FT_CURVE_TAG_ON) continue;
      const FT_Vector &a = o.points[i], &b = o.points[j];
      if (a.y != b.y || std::fabs(double(b.x) - double(a.x)) < kMinEdge) continue;
      if (edges.size() == kMaxEdges) return false;
      bool rightward = b.x > a.x;
      edges.push_back({double(a.y), double(std::min(a.x, b.x)), double(std::max(a.x, b.x)),
                       fillRight ? !rightward : rightward});
    }
    start = end + 1;
  }
  return true;
}

// Pairs edges into stems, thinnest first, and anchors each stem's edges on
// whole rows, in order from bottom to top.
std::vector<Anchor> StemAnchors(std::vector<Edge>& edges, double maxStem) {
  struct Pair {
    double height;
    size_t bottom, top;
  };
  std::vector<Pair> pairs;
  for (size_t b = 0; b < edges.size(); ++b) {
    if (!edges[b].inkAbove) continue;
    for (size_t t = 0; t < edges.size(); ++t) {
      double h = edges[t].y - edges[b].y;
      if (edges[t].inkAbove || h <= 0 || h > maxStem) continue;
      if (edges[t].x0 < edges[b].x1 && edges[b].x0 < edges[t].x1) pairs.push_back({h, b, t});
    }
  }
  std::sort(pairs.begin(), pairs.end(), [&](const Pair& p, const Pair& q) {
    return p.height != q.height ? p.height < q.height : edges[p.bottom].y < edges[q.bottom].y;
  });
  std::vector<Pair> stems;
  for (const Pair& p : pairs) {
    if (edges[p.bottom].inStem || edges[p.top].inStem) continue;
    edges[p.bottom].inStem = edges[p.top].inStem = true;
    stems.push_back(p);
  }
  std::sort(stems.begin(), stems.end(),
            [&](const Pair& p, const Pair& q) { return edges[p.bottom].y < edges[q.bottom].y; });
  std::vector<Anchor> anchors;
  for (const Pair& s : stems) {
    double bottom = edges[s.bottom].y, top = edges[s.top].y;
    // Stems that overlap in height (side by side) keep the first one's fit.
    if (!anchors.empty() && bottom <= anchors.back().from) {
      edges[s.bottom].inStem = edges[s.top].inStem = false;
      continue;
    }
    double rows = std::max(1.0, std::floor(s.height / kFitUnitsPerPixel + kRoundUp)) * kFitUnitsPerPixel;
    double to = Row((bottom + top - rows) / 2);
    if (!anchors.empty()) to = std::max(to, anchors.back().to);
    anchors.push_back({bottom, to});
    anchors.push_back({top, to + rows});
  }
  return anchors;
}

// Adds the edges outside stems, each on its nearest row boundary within the
// stems' anchors around it, so that the anchors keep their order.
void AddLoneEdges(const std::vector<Edge>& edges, std::vector<Anchor>& anchors) {
  std::vector<Anchor> lone;
  for (const Edge& e : edges) {
    if (e.inStem) continue;
    auto next = std::lower_bound(anchors.begin(), anchors.end(), e.y,
                                 [](const Anchor& a, double y) { return a.from < y; });
    if (next != anchors.end() && next->from == e.y) continue;
    double to = Row(e.y);
    if (next != anchors.begin()) to = std::max(to, std::prev(next)->to);
    if (next != anchors.end()) to = std::min(to, next->to);
    lone.push_back({e.y, to});
  }
  anchors.insert(anchors.end(), lone.begin(), lone.end());
  std::sort(anchors.begin(), anchors.end(), [](const Anchor& a, const Anchor& b) { return a.from < b.from; });
  anchors.erase(std::unique(anchors.begin(), anchors.end(),
                            [](const Anchor& a, const Anchor& b) { return a.from == b.from; }),
                anchors.end());
}

// Where height y goes: with the anchors around it, linearly between them,
// or moved as the nearest one beyond the outermost.
double Warp(const std::vector<Anchor>& anchors, double y) {
  auto next = std::upper_bound(anchors.begin(), anchors.end(), y,
                               [](double v, const Anchor& a) { return v < a.from; });
  if (next == anchors.begin()) return y + (next->to - next->from);
  auto prev = std::prev(next);
  if (next == anchors.end() || y == prev->from) return y + (prev->to - prev->from);
  return prev->to + (y - prev->from) * (next->to - prev->to) / (next->from - prev->from);
}

}  // namespace

void FitStemsToRows(FT_Outline& outline, double maxStem) {
  std::vector<Edge> edges;
  if (!FindEdges(outline, edges) || edges.empty()) return;
  std::vector<Anchor> anchors = StemAnchors(edges, maxStem * kFitUnitsPerPixel);
  AddLoneEdges(edges, anchors);
  for (int i = 0; i < outline.n_points; ++i)
    outline.points[i].y = FT_Pos(std::lround(Warp(anchors, double(outline.points[i].y))));
}

}  // namespace lexaro::font
