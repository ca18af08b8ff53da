// Anti-aliased lines and fills on the raster surface: level shapes paint
// exactly what the aliased ones paint, turned ones are smooth, gapless and as
// heavy as their area, the clip holds, and the work follows the area.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "draw/draw_test_util.h"
#include "lexaro/dc_ex.h"
#include "lexaro/lexaro.h"
#include "platform/coverage_walk.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);

using Drawing = std::function<void(CDC*)>;

std::vector<std::uint32_t> Draw(const Drawing& draw, bool antialias, int w = 120, int h = 120) {
  CRasterDC dc(w, h, RGB(255, 255, 255));
  dc.SetAntialias(antialias);
  draw(&dc);
  return std::vector<std::uint32_t>(dc.Bits(), dc.Bits() + size_t(w) * h);
}

Drawing Line(CPoint a, CPoint b, int width, int style = DE_PS_SOLID) {
  return [=](CDC* dc) { CDC_Ex().LineTo(dc, a, b, CPenData(DE_PENSTYLE_CODE(style), width, kBlack)); };
}

// A box's four sides as borders are drawn: each side one stroke.
Drawing Border(CRect r, int width) {
  return [=](CDC* dc) {
    CDC_Ex ex;
    const CPenData pen(DE_PS_SOLID, width, kBlack);
    ex.LineTo(dc, CPoint(r.left, r.top), CPoint(r.right, r.top), pen);
    ex.LineTo(dc, CPoint(r.right, r.top), CPoint(r.right, r.bottom), pen);
    ex.LineTo(dc, CPoint(r.right, r.bottom), CPoint(r.left, r.bottom), pen);
    ex.LineTo(dc, CPoint(r.left, r.bottom), CPoint(r.left, r.top), pen);
  };
}

Drawing Fill(CPoint a, CPoint b, CPoint c, CPoint d, COLORREF color = kInk) {
  return [=](CDC* dc) { CDC_Ex().DrawSquareCover(dc, a, b, c, d, color); };
}

// The coverage of a grey-on-white surface: 0 (white) to 1 (black) a pixel.
double Coverage(std::uint32_t pixel) { return (255 - (pixel & 255)) / 255.0; }

double TotalCoverage(const std::vector<std::uint32_t>& px) {
  double sum = 0;
  for (std::uint32_t p : px) sum += Coverage(p);
  return sum;
}

// The point at distance t along a line turned by `degrees` from (x, y).
CPoint Along(int x, int y, double degrees, double t) {
  const double a = degrees * M_PI / 180;
  return CPoint(int(std::lround(x + t * std::cos(a))), int(std::lround(y - t * std::sin(a))));
}

TEST(Antialias, LevelShapesPaintExactlyTheAliasedPixels) {
  struct Case {
    const char* name;
    Drawing draw;
  } cases[] = {
      {"level bar 1 wide", Line({10, 40}, {100, 40}, 1)},
      {"level bar 2 wide", Line({10, 40}, {100, 40}, 2)},
      {"level bar 3 wide, drawn leftwards", Line({100, 41}, {10, 41}, 3)},
      {"upright bar 2 wide", Line({60, 100}, {60, 5}, 2)},
      {"rectangle fill", Fill({10, 10}, {90, 10}, {90, 50}, {10, 50})},
      {"rectangle fill, one row high", Fill({10, 10}, {90, 10}, {90, 10}, {10, 10})},
      {"border box 1 wide", Border(CRect(10, 20, 100, 70), 1)},
      {"border box 2 wide", Border(CRect(10, 20, 100, 70), 2)},
      {"square in a 3-wide pen", [](CDC* dc) {
         CPen pen(PS_SOLID, 3, kBlack);
         dc->SelectObject(&pen);
         CDC_Ex().DrawSquareCover(dc, {20, 20}, {20, 60}, {70, 60}, {70, 20});
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto aliased = Draw(c.draw, false);
    EXPECT_GT(TotalCoverage(aliased), 0);
    EXPECT_EQ(Draw(c.draw, true), aliased);
  }
}

TEST(Antialias, UprightFormulaIsTheSameInBothModes) {
  const char* markup =
      "<FRAC><S>1</S><S>x<+>y</S></FRAC><+><SQRT>b<SUP>2</SUP></SQRT>"
      "<DIV bgcolor=\"yellow\" style=\"border:2 solid navy\">box</DIV>"
      "<TABLE border=\"1\"><TR><TD>a</TD><TD>b</TD></TR></TABLE>";
  auto draw = [&](CDC* dc) {
    CLexaro lexaro;
    lexaro.SetText(dc, markup);
    lexaro.TextOutA(dc, 4, 4);
  };
  const auto aliased = Draw(draw, false, 260, 80);
  EXPECT_EQ(Draw(draw, true, 260, 80), aliased);
}

TEST(Antialias, TurnedBarsAreGaplessAndWeighTheirArea) {
  for (int width : {1, 2, 3}) {
    SCOPED_TRACE(testing::Message() << "width " << width);
    const CPoint a(10, 110), b = Along(10, 110, 30, 110);
    const auto smooth = Draw(Line(a, b, width), true);
    const double length = std::hypot(double(b.x) - a.x, double(b.y) - a.y);
    EXPECT_NEAR(TotalCoverage(smooth), (length - 1 + width) * width, 0.03 * length * width);
    // Across the bar, every column of its length carries the bar's width
    // over cos 30: no column is left empty or doubled.
    for (int x = a.x + 3; x < b.x - 3; ++x) {
      double column = 0;
      for (int y = 0; y < 120; ++y) column += Coverage(smooth[size_t(y) * 120 + x]);
      EXPECT_NEAR(column, width / std::cos(M_PI / 6), 0.06) << "column " << x;
    }
    // The aliased bar is a staircase of whole pixels; the smooth one is not.
    const auto aliased = Draw(Line(a, b, width), false);
    EXPECT_NE(smooth, aliased);
  }
}

TEST(Antialias, TurnedFillHasNoHolesAndWeighsItsArea) {
  // A 60 x 30 rectangle turned by 30 degrees: inside whole, its outline
  // pen's half pixel around it.
  const CPoint a(20, 80), b = Along(20, 80, 30, 60), d = Along(20, 80, -60, 30);
  const CPoint c(b.x + d.x - a.x, b.y + d.y - a.y);
  const auto smooth = Draw(Fill(a, b, c, d, kBlack), true);
  EXPECT_NEAR(TotalCoverage(smooth), 61.0 * 31.0, 0.03 * 61 * 31);
  const CPoint centre((a.x + c.x) / 2, (a.y + c.y) / 2);
  for (int dy = -8; dy <= 8; ++dy)
    for (int dx = -8; dx <= 8; ++dx)
      EXPECT_EQ(smooth[size_t(centre.y + dy) * 120 + centre.x + dx], 0xFF000000u);
}

TEST(Antialias, ClipRegionsAreHonoured) {
  const CPoint a(5, 100), b = Along(5, 100, 30, 120);
  const Drawing shapes = [&](CDC* dc) {
    Line(a, b, 2)(dc);
    Fill({30, 20}, {80, 10}, {90, 40}, {40, 50})(dc);
  };
  const auto whole = Draw(shapes, true);
  CRgn left, right;
  left.CreateRectRgn(0, 0, 50, 120);
  right.CreateRectRgn(70, 30, 120, 120);
  left.CombineRgn(&left, &right, RGN_OR);
  const auto clipped = Draw(
      [&](CDC* dc) {
        dc->SelectClipRgn(&left);
        shapes(dc);
      },
      true);
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 120; ++x) {
      const bool inside = x < 50 || (x >= 70 && y >= 30);
      const size_t i = size_t(y) * 120 + x;
      EXPECT_EQ(clipped[i], inside ? whole[i] : kWhite) << x << "," << y;
    }
}

TEST(Antialias, PatternedLinesAndCirclesKeepTheirSteps) {
  const Drawing shapes = [](CDC* dc) {
    Line({10, 100}, {100, 48}, 2, DE_PS_DASHED)(dc);
    Line({10, 60}, {100, 8}, 1, DE_PS_DOTTED)(dc);
    CPen pen(PS_SOLID, 1, kBlack);
    dc->SelectObject(&pen);
    CDC_Ex().DrawCircle(dc, CPoint(60, 60), 40);
  };
  EXPECT_EQ(Draw(shapes, true), Draw(shapes, false));
}

TEST(Antialias, SurfacesWithoutPixelsDrawAsBefore) {
  auto record = [](bool antialias) {
    CRecordDC dc;
    dc.SetAntialias(antialias);
    CDC_Ex().DrawSquareCover(&dc, {10, 10}, {40, 0}, {50, 30}, {20, 40}, kInk);
    return dc.Ops().size();
  };
  EXPECT_GT(record(false), 4u);
  EXPECT_EQ(record(true), record(false));
}

TEST(Antialias, WorkFollowsTheAreaNotTheBox) {
  // A bar 20,000 pixels long turned by 30 degrees: its box holds about 170
  // million pixels, the bar 20,000 a pixel of width.
  using namespace lexaro::coverage;
  const CRect bounds(0, 0, 32768, 32768);
  for (int width : {1, 3}) {
    const Polygon bar = LineBody(CPoint(0, 12000), Along(0, 12000, 30, 20000), width);
    long long runs = 0, pixels = 0;
    double covered = 0;
    WalkCoverage(bar, bounds, [&](int, long long x0, long long x1, std::uint32_t alpha) {
      ++runs;
      pixels += x1 - x0;
      covered += double(x1 - x0) * alpha / 255.0;
    });
    EXPECT_NEAR(covered, (20000.0 - 1 + width) * width, 0.01 * 20000 * width);
    EXPECT_LT(runs, 20000LL * (width + 4));
    EXPECT_LT(pixels, 20000LL * (width + 4));
  }
}

TEST(Antialias, ShapesBesideTheBoundsWalkOnlyTheRowsTheyMeet) {
  // Lines the height of the largest surface, or of the int range, that lie
  // beside the bounds or cross them at a corner: the walk visits only the
  // rows in which they meet the bounds' columns, not every row they span.
  using namespace lexaro::coverage;
  const CRect bounds(0, 0, 1 << 28, 1 << 28);
  struct Case {
    const char* name;
    CPoint from, to;
    int width;
    long long maxRows;
  } cases[] = {
      {"upright, left of the bounds", {-10, 0}, {-10, 1 << 28}, 1, 0},
      {"upright, right of the bounds", {(1 << 28) + 5, 0}, {(1 << 28) + 5, 1 << 28}, 3, 0},
      {"the int range's left column", {INT_MIN, INT_MIN}, {INT_MIN, INT_MAX}, 1, 0},
      {"steep, crossing the top-left corner", {-1000, 100000}, {10, -1000}, 1, 1200},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    long long pixels = 0;
    const long long rows = WalkCoverage(LineBody(c.from, c.to, c.width), bounds,
                                        [&](int, long long x0, long long x1, std::uint32_t) { pixels += x1 - x0; });
    EXPECT_LE(rows, c.maxRows);
    if (c.maxRows == 0) {
      EXPECT_EQ(pixels, 0);
    }
  }
}

}  // namespace
