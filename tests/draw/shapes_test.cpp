// Circles and arrows: outlines where the geometry puts them, fills without
// holes, every arrow kind, and circles far larger than the surface.
#include <gtest/gtest.h>

#include <cmath>

#include "lexaro/dc_ex.h"
#include "tests/draw/draw_test_util.h"

namespace {

double Distance(int x, int y, double cx, double cy) { return std::hypot(x - cx, y - cy); }

}  // namespace

TEST(Circle, DiameterZeroAndNegative) {
  CRecordDC dc;
  CDC_Ex ex;
  ex.DrawCircle(&dc, CPoint(7, 9), 0);
  auto lines = Lines(dc);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].from, CPoint(7, 8));
  EXPECT_EQ(lines[0].to, CPoint(7, 9));
  EXPECT_EQ(lines[1].to, CPoint(7, 8));
  dc.ClearOps();
  for (int d : {-1, INT_MIN}) {
    ex.DrawCircle(&dc, CPoint(7, 9), d);
    ex.DrawCircle_X(&dc, CPoint(7, 9), d);
    ex.DrawCircleCover(&dc, CPoint(7, 9), d);
  }
  EXPECT_TRUE(dc.Ops().empty());
}

TEST(Circle, OutlineAndFillLieOnTheCircle) {
  for (int d : {5, 12, 41}) {
    const double r = d / 2.0;
    // Even diameters sit half a pixel up and left of the centre pixel.
    const double cx = d % 2 ? 30 : 29.5, cy = d % 2 ? 30 : 29.5;
    CRasterDC outline(64, 64), filled(64, 64);
    CDC_Ex ex;
    ex.DrawCircle(&outline, CPoint(30, 30), d);
    ex.DrawCircleCover(&filled, CPoint(30, 30), d);
    const PixelSet ring = Painted(outline), disc = Painted(filled);
    for (auto [x, y] : ring) {
      EXPECT_GE(Distance(x, y, cx, cy), r - 1.5) << d << ": " << x << "," << y;
      EXPECT_LE(Distance(x, y, cx, cy), r + 1.0) << d << ": " << x << "," << y;
    }
    for (int a = 0; a < 360; ++a) {  // closed: every direction meets the ring
      const double px = cx + r * std::cos(a * M_PI / 180), py = cy + r * std::sin(a * M_PI / 180);
      bool near = false;
      for (auto [x, y] : ring) near = near || Distance(x, y, px, py) <= 1.5;
      EXPECT_TRUE(near) << d << " at " << a << " degrees";
    }
    for (int y = 0; y < 64; ++y) {
      for (int x = 0; x < 64; ++x) {
        const double dist = Distance(x, y, cx, cy);
        if (dist <= r - 1) {
          EXPECT_TRUE(disc.count({x, y})) << d << ": " << x << "," << y;
        } else if (dist > r + 1) {
          EXPECT_FALSE(disc.count({x, y})) << d << ": " << x << "," << y;
        }
      }
    }
    for (auto p : ring) EXPECT_TRUE(disc.count(p));  // the fill ends with the outline
  }
  // The crossed circle adds both diagonals.
  CRasterDC crossed(64, 64);
  CDC_Ex ex;
  ex.DrawCircle_X(&crossed, CPoint(30, 30), 41);
  const PixelSet px = Painted(crossed);
  for (int k = -13; k <= 12; ++k) {
    EXPECT_TRUE(px.count({30 + k, 30 + k})) << k;
    EXPECT_TRUE(px.count({30 - k, 30 + k})) << k;
  }
}

TEST(Circle, ClippedCirclesMatchWholeOnes) {
  // Each circle whole on a big surface and through small windows, which
  // skip the outline segments and columns they cannot show.
  using Draw = void (*)(CDC&, int, int);
  const Draw shapes[] = {
      [](CDC& dc, int dx, int dy) { CDC_Ex().DrawCircleCover(&dc, CPoint(700 - dx, 690 - dy), 1300); },
      [](CDC& dc, int dx, int dy) {
        CPen thick(PS_SOLID, 3, RGB(0, 0, 200));
        CPen* old = dc.SelectObject(&thick);
        CDC_Ex().DrawCircle_X(&dc, CPoint(690 - dx, 700 - dy), 1301);
        dc.SelectObject(old);
      },
      [](CDC& dc, int dx, int dy) { CDC_Ex().DrawCircle(&dc, CPoint(500 - dx, 500 - dy), 800); },
  };
  const CPoint windows[] = {{0, 660},   {660, 0},     {1336, 660}, {660, 1336}, {200, 200},
                            {1100, 1150}, {40, 60}, {870, 870},  {480, 80},   {140, 480}};
  for (Draw draw : shapes) {
    CRasterDC whole(1400, 1400);
    draw(whole, 0, 0);
    for (const CPoint& w : windows) {
      CRasterDC part(64, 64);
      draw(part, w.x, w.y);
      EXPECT_EQ(WindowMismatches(part, whole, w.x, w.y), 0) << w.x << "," << w.y;
    }
  }
}

TEST(Circle, HugeDiametersDrawOnlyWhatShows) {
  CDC_Ex ex;
  // A circle around the recording surface's whole area: nothing of it is
  // inside, nothing is recorded.
  CRecordDC rec;
  ex.DrawCircle(&rec, CPoint(0, 0), INT_MAX);
  ex.DrawCircle_X(&rec, CPoint(INT_MAX, INT_MIN), INT_MAX);
  EXPECT_TRUE(Lines(rec).empty());

  // The top of a circle 2^31 wide crosses a small surface as a flat line.
  CRasterDC dc(64, 64);
  ex.DrawCircle(&dc, CPoint(32, 32 + 1073741823), INT_MAX);
  PixelSet row;
  for (int x = 0; x < 64; ++x) row.emplace(x, 32);
  EXPECT_EQ(Painted(dc), row);
  // Its fill covers the surface.
  CRasterDC full(64, 64);
  ex.DrawCircleCover(&full, CPoint(32, 32), INT_MAX);
  EXPECT_EQ(Painted(full).size(), 64u * 64u);
  // Through a small clip on the recording surface only nearby strokes are
  // recorded.
  rec.IntersectClipRect(0, 0, 64, 64);
  ex.DrawCircleCover(&rec, CPoint(32, 32), INT_MAX);
  ASSERT_FALSE(Lines(rec).empty());
  EXPECT_LT(Lines(rec).size(), 200u);
  for (const RecordedOp& op : Lines(rec)) EXPECT_TRUE(op.from.x >= -10 && op.from.x < 74);
}

TEST(Arrow, EveryKind) {
  // A horizontal arrow from (20, 50) to (100, 50), head 10 long opening by
  // 30 degrees: barbs end at (90, 44) and (90, 56), the head's base is
  // (90, 50) and its notch (95, 50).
  struct Kind {
    int kind;
    int shaftEnd;
    std::vector<CPoint> lineEnds;  // kinds with a head of lines
    int side;                      // filled kinds: -1 above the shaft, 1 below, 0 both
  };
  const Kind kinds[] = {
      {0, 100, {{90, 44}, {90, 56}}, 0}, {1, 100, {{90, 44}}, 0}, {2, 100, {{90, 56}}, 0},
      {3, 90, {}, 0},  {4, 90, {}, -1}, {5, 90, {}, 1},
      {6, 95, {}, 0},  {7, 95, {}, -1}, {8, 95, {}, 1},
      {9, 100, {}, 2}, {-1, 100, {}, 2},
  };
  for (const Kind& k : kinds) {
    CRecordDC dc;
    CPen* before = dc.GetCurrentPen();
    CDC_Ex ex;
    ex.CreatePen(DE_PS_SOLID, 2, kInk);
    ex.DrawArrow(&dc, CPoint(100, 50), CPoint(20, 50), k.kind, 10, 30);
    EXPECT_EQ(dc.GetCurrentPen(), before);
    auto lines = Lines(dc);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].from, CPoint(20, 50));
    EXPECT_EQ(lines[0].to, CPoint(k.shaftEnd, 50)) << k.kind;
    std::vector<CPoint> ends;
    bool above = false, below = false;
    for (size_t i = 1; i < lines.size(); ++i) {
      if (lines[i].pen.width == 2) {
        EXPECT_EQ(lines[i].from, CPoint(100, 50));
        ends.push_back(lines[i].to);
      } else {
        EXPECT_EQ(lines[i].pen.width, 1);
        EXPECT_EQ(lines[i].pen.color, kInk);
        above = above || std::min(lines[i].from.y, lines[i].to.y) < 50;
        below = below || std::max(lines[i].from.y, lines[i].to.y) > 50;
      }
    }
    EXPECT_EQ(ends, k.lineEnds) << k.kind;
    if (k.shaftEnd != 100) {
      EXPECT_EQ(above, k.side <= 0) << k.kind;
      EXPECT_EQ(below, k.side >= 0) << k.kind;
    } else {
      EXPECT_FALSE(above || below) << k.kind;
    }
  }
}

TEST(Arrow, FilledHeadOnTheRasterAndOddArguments) {
  CRasterDC dc(64, 64);
  CDC_Ex ex;
  ex.CreatePen(DE_PS_SOLID, 1, kInk);
  // Pointing down: the head spans rows 50..60 around column 30.
  ex.DrawArrow(&dc, CPoint(30, 60), CPoint(30, 5), 3, 10, 30);
  const PixelSet px = Painted(dc);
  for (int y = 5; y < 60; ++y) EXPECT_TRUE(px.count({30, y})) << y;
  for (int x = 26; x <= 34; ++x) EXPECT_TRUE(px.count({x, 51})) << x;
  EXPECT_FALSE(px.count({30, 61}));

  CRecordDC rec;
  ex.DrawArrow(&rec, CPoint(5, 5), CPoint(5, 5), 0, 10, 30);  // no direction
  EXPECT_TRUE(rec.Ops().empty());
  ex.DrawArrow(&rec, CPoint(50, 5), CPoint(5, 5), 3, 0, 30);  // size 0: a bare shaft
  ASSERT_EQ(Lines(rec).size(), 1u);
  EXPECT_EQ(Lines(rec)[0].to, CPoint(50, 5));
  // Barbs at right angles to the shaft and shafts across the whole range
  // finish, bounded by the surface.
  CRasterDC big(64, 64);
  CPen* before = big.GetCurrentPen();
  for (int kind = 0; kind < 9; ++kind) {
    ex.DrawArrow(&big, CPoint(40, 30), CPoint(3, 7), kind, 12, 90);
    ex.DrawArrow(&big, CPoint(INT_MAX, INT_MAX), CPoint(INT_MIN, INT_MIN), kind, INT_MAX, 45);
    ex.DrawArrow(&big, CPoint(INT_MIN, 20), CPoint(INT_MAX, 20), kind, 100, 270);
  }
  EXPECT_EQ(big.GetCurrentPen(), before);
}
