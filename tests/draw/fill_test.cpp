// Quadrilateral and triangle fills: which pixels they cover, for corners in
// any order, for degenerate and transparent cases, and for shapes far larger
// than the surface.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "lexaro/dc_ex.h"
#include "tests/draw/draw_test_util.h"

namespace {

PixelSet Rect(int left, int top, int right, int bottom) {  // inclusive
  PixelSet s;
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x) s.emplace(x, y);
  return s;
}

PixelSet FillQuad(const std::array<CPoint, 4>& p, int w = 64, int h = 64) {
  CRasterDC dc(w, h);
  CDC_Ex ex;
  ex.DrawSquareCover(&dc, p[0], p[1], p[2], p[3], kInk);
  return Painted(dc);
}

// Signed distance of (x, y) from the inside of a convex polygon given
// clockwise on screen (y down): positive inside.
double Inside(const std::vector<CPoint>& poly, double x, double y) {
  double d = 1e300;
  for (size_t i = 0; i < poly.size(); ++i) {
    const CPoint& a = poly[i];
    const CPoint& b = poly[(i + 1) % poly.size()];
    double ex = b.x - a.x, ey = b.y - a.y;
    d = std::min(d, ((x - a.x) * ey - (y - a.y) * ex) / -std::hypot(ex, ey));
  }
  return d;
}

}  // namespace

TEST(QuadFill, RectangleCoveredExactlyInAnyOrder) {
  std::array<CPoint, 4> corners = {CPoint(10, 5), CPoint(30, 5), CPoint(30, 20), CPoint(10, 20)};
  std::sort(corners.begin(), corners.end(),
            [](const CPoint& a, const CPoint& b) { return a.x != b.x ? a.x < b.x : a.y < b.y; });
  int orders = 0;
  do {
    EXPECT_EQ(FillQuad(corners), Rect(10, 5, 30, 20));
    ++orders;
  } while (std::next_permutation(corners.begin(), corners.end(), [](const CPoint& a, const CPoint& b) {
    return a.x != b.x ? a.x < b.x : a.y < b.y;
  }));
  EXPECT_EQ(orders, 24);
}

TEST(QuadFill, RotatedQuadsHaveNoHoles) {
  // A square turned by 30 degrees and a skewed kite, with corners given
  // clockwise: every pixel a pixel's width inside is painted, nothing
  // further than a pixel outside is.
  const std::vector<std::vector<CPoint>> shapes = {
      {{32, 8}, {53, 20}, {41, 41}, {20, 29}},
      {{5, 30}, {40, 3}, {60, 50}, {25, 58}},
  };
  for (const auto& poly : shapes) {
    const PixelSet painted = FillQuad({poly[0], poly[1], poly[2], poly[3]});
    for (int y = 0; y < 64; ++y) {
      for (int x = 0; x < 64; ++x) {
        const double inside = Inside(poly, x, y);
        if (inside >= 1.0) {
          EXPECT_TRUE(painted.count({x, y})) << x << "," << y;
        } else if (inside < -1.0) {
          EXPECT_FALSE(painted.count({x, y})) << x << "," << y;
        }
      }
    }
    std::array<CPoint, 4> order = {poly[2], poly[0], poly[3], poly[1]};
    EXPECT_EQ(FillQuad(order), painted);
  }
}

TEST(QuadFill, DegenerateTransparentAndPenRestored) {
  CRecordDC dc;
  CDC_Ex ex;
  CPen* before = dc.GetCurrentPen();
  // Four points on one column: only the outline.
  ex.DrawSquareCover(&dc, CPoint(5, 0), CPoint(5, 9), CPoint(5, 3), CPoint(5, 7), kInk);
  EXPECT_EQ(Lines(dc).size(), 4u);
  for (const RecordedOp& op : Lines(dc)) EXPECT_EQ(op.pen.color, kInk);
  EXPECT_EQ(dc.GetCurrentPen(), before);
  dc.ClearOps();
  ex.DrawSquareCover(&dc, CPoint(0, 0), CPoint(9, 0), CPoint(9, 9), CPoint(0, 9), CLR_TRANSPARENT);
  EXPECT_TRUE(dc.Ops().empty());
  // The four-point form fills in the selected pen.
  CPen thick(PS_SOLID, 2, RGB(0, 0, 255));
  dc.SelectObject(&thick);
  ex.DrawSquareCover(&dc, CPoint(0, 0), CPoint(3, 0), CPoint(3, 3), CPoint(0, 3));
  EXPECT_EQ(Lines(dc).size(), 3u + 4u);
  for (const RecordedOp& op : Lines(dc)) EXPECT_EQ(op.pen.width, 2);
}

TEST(QuadFill, SortPointIsStableByX) {
  CDC_Ex ex;
  CPoint p[5] = {{3, 0}, {1, 1}, {3, 2}, {1, 3}, {0, 4}};
  ex.SortPoint(5, p);
  const CPoint expected[5] = {{0, 4}, {1, 1}, {1, 3}, {3, 0}, {3, 2}};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(p[i], expected[i]) << i;
  ex.SortPoint(1, p);
  ex.SortPoint(-3, p);
  ex.SortPoint(4, nullptr);
}

TEST(QuadFill, HugeCornersCoverTheSurface) {
  // Corners at the ends of the 32-bit range: columns outside the surface are
  // never stroked, and the side test of the corners does not overflow.
  EXPECT_EQ(FillQuad({CPoint(INT_MIN, INT_MIN), CPoint(INT_MAX, INT_MIN + 5),
                      CPoint(INT_MAX - 7, INT_MAX), CPoint(INT_MIN + 3, INT_MAX)}),
            Rect(0, 0, 63, 63));
  // A flat trapezoid 4e9 wide between rows 10 and 20.
  EXPECT_EQ(FillQuad({CPoint(-2000000000, 10), CPoint(-1000000000, 20), CPoint(1000000000, 20),
                      CPoint(2000000000, 10)}),
            Rect(0, 10, 63, 20));
  // Entirely beside the surface.
  EXPECT_TRUE(FillQuad({CPoint(-2000000000, 70), CPoint(2000000000, 70), CPoint(2000000000, INT_MAX),
                        CPoint(-2000000000, INT_MAX)})
                  .empty());
}

TEST(QuadFill, ClippedFillMatchesTheWholeFill) {
  // Shapes larger than small surfaces: drawn whole and through windows, the
  // windows skipping the columns they cannot show.
  auto draw = [](CDC& dc, int dx, int dy) {
    CDC_Ex ex;
    auto at = [&](int x, int y) { return CPoint(x - dx, y - dy); };
    ex.DrawSquareCover(&dc, at(40, 300), at(700, 13), at(1170, 610), at(300, 880), kInk);
    CPen pen(PS_SOLID, 3, RGB(0, 90, 0));
    CPen* old = dc.SelectObject(&pen);
    ex.DrawTriangleCover(&dc, at(900, 20), at(1190, 870), at(15, 860));
    dc.SelectObject(old);
  };
  CRasterDC whole(1200, 900);
  draw(whole, 0, 0);
  for (const CPoint& w : {CPoint(0, 0), CPoint(30, 280), CPoint(680, 0), CPoint(1140, 600),
                          CPoint(500, 500), CPoint(1136, 836), CPoint(280, 836)}) {
    CRasterDC part(64, 64);
    draw(part, w.x, w.y);
    EXPECT_EQ(WindowMismatches(part, whole, w.x, w.y), 0) << w.x << "," << w.y;
  }
}

TEST(TriangleFill, RightTriangleAndSizeLimitedForms) {
  CRasterDC dc(32, 32);
  CDC_Ex ex;
  ex.DrawTriangleCover(&dc, CPoint(0, 0), CPoint(20, 0), CPoint(0, 20), kInk);
  PixelSet expected;
  for (int y = 0; y <= 20; ++y)
    for (int x = 0; x + y <= 20; ++x) expected.emplace(x, y);
  EXPECT_EQ(Painted(dc), expected);

  CRecordDC rec;
  ex.DrawTriangle_alpha(&rec, CPoint(0, 0), CPoint(19, 5), CPoint(3, -14));
  EXPECT_FALSE(rec.Ops().empty());
  rec.ClearOps();
  ex.DrawTriangle_alpha(&rec, CPoint(0, 0), CPoint(20, 5), CPoint(3, 9));
  ex.DrawTriangle_alpha(&rec, CPoint(INT_MIN, 0), CPoint(INT_MAX, 0), CPoint(0, 0));
  ex.DrawTriangleCover_alpha(&rec, CPoint(0, 0), CPoint(2, 1), CPoint(1, 1));
  EXPECT_TRUE(rec.Ops().empty());
  ex.DrawTriangleCover_alpha(&rec, CPoint(0, 0), CPoint(1, 1), CPoint(1, 0));
  EXPECT_EQ(Lines(rec).size(), 3u);
}

namespace {

// A raster surface that paints the column strokes of fills one line at a
// time, as every surface does by default.
class LineByLineRaster : public CRasterDC {
 public:
  using CRasterDC::CRasterDC;

 protected:
  void DrawColumns(const ColumnStroke* strokes, int count, const PenState& pen) override {
    CDC::DrawColumns(strokes, count, pen);
  }
};

}  // namespace

TEST(QuadFill, RowByRowPaintsWhatLineByLineDoes) {
  // Turned boxes, a sliver, a shape wider than one batch of strokes and
  // corners far outside, each also through a clip region with a hole.
  const std::array<CPoint, 4> quads[] = {
      {CPoint(5, 40), CPoint(60, 8), CPoint(90, 60), CPoint(35, 92)},
      {CPoint(-3, 2), CPoint(1300, 70), CPoint(1301, 74), CPoint(-2, 6)},
      {CPoint(-2000, -50), CPoint(3000, -40), CPoint(3100, 300), CPoint(-1900, 290)},
      {CPoint(INT_MIN / 2, 10), CPoint(INT_MAX / 2, 20), CPoint(INT_MAX / 2, 30), CPoint(INT_MIN / 2, 99)},
      {CPoint(40, -500000), CPoint(41, -500000), CPoint(1000, 900000), CPoint(999, 900000)},
  };
  for (bool clipped : {false, true}) {
    for (const auto& q : quads) {
      CRasterDC rows(1280, 120);
      LineByLineRaster lines(1280, 120);
      for (CDC* dc : {static_cast<CDC*>(&rows), static_cast<CDC*>(&lines)}) {
        if (!clipped) continue;
        CRgn outer, hole;
        outer.CreateRectRgn(3, 1, 1270, 110);
        hole.CreateRectRgn(30, 20, 70, 50);
        outer.CombineRgn(&outer, &hole, RGN_DIFF);
        dc->SelectClipRgn(&outer);
      }
      CDC_Ex ex;
      ex.DrawSquareCover(&rows, q[0], q[1], q[2], q[3], kInk);
      ex.DrawSquareCover(&lines, q[0], q[1], q[2], q[3], kInk);
      EXPECT_TRUE(std::equal(rows.Bits(), rows.Bits() + 1280 * 120, lines.Bits()))
          << q[0].x << "," << q[0].y << (clipped ? " clipped" : "");
      EXPECT_FALSE(Painted(rows).empty());
    }
  }
}
