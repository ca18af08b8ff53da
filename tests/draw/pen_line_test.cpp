// Pens, border data, the style names and the patterned LineTo, on the
// recording surface (whose Line ops are the visible steps: steps drawn with
// the invisible pen never reach a surface) and the raster surface.
#include <gtest/gtest.h>

#include "lexaro/dc_ex.h"
#include "tests/draw/draw_test_util.h"

namespace {

// Draws one patterned line from (0, 0) to (length, 0) and returns the end x
// of every visible step.
std::vector<int> StepEnds(DE_PENSTYLE_CODE style, int width, int length) {
  CRecordDC dc;
  CDC_Ex ex;
  ex.LineTo(&dc, 0, 0, length, 0, CPenData(style, width, kInk));
  for (const RecordedOp& op : Lines(dc)) {
    EXPECT_EQ(op.to.x - op.from.x, 1) << "one pixel step";
    EXPECT_EQ(op.pen.width, std::min(width, 3));
    EXPECT_EQ(op.pen.style, PS_SOLID);
  }
  return EndXs(dc);
}

}  // namespace

TEST(PenData, ValuesAndBorders) {
  CPenData a(DE_PS_DASHED, 2, kInk), b;
  EXPECT_EQ(b.m_width, 0);  // a default pen draws nothing
  b = a;
  EXPECT_TRUE(a == b);
  for (CPenData c : {CPenData(DE_PS_DOTTED, 2, kInk), CPenData(DE_PS_DASHED, 3, kInk),
                     CPenData(DE_PS_DASHED, 2, 0)}) {
    EXPECT_TRUE(a != c);
    EXPECT_FALSE(a == c);
  }
  CBorderData border;
  border.SetData(DE_PS_SOLID, 0, 0x123456);
  border.SetStyle(DE_PS_DOTTED);
  border.SetWidth(4);
  border.m_left.m_color = 1;
  border.SetColor(0xABCDEF);
  CBorderData copy;
  copy = border;
  for (const CPenData* side : {&copy.m_top, &copy.m_bottom, &copy.m_left, &copy.m_right})
    EXPECT_TRUE(*side == CPenData(DE_PS_DOTTED, 4, 0xABCDEF));
}

TEST(PenStyles, NamesAreMatchedIgnoringCase) {
  CDC_Ex ex;
  EXPECT_EQ(CDC_Ex::m_CreateTable, 1);
  EXPECT_EQ(CDC_Ex::m_pStyleTable[4], "dashdotdotted");
  EXPECT_EQ(ex.GetPStyleCode("solid"), DE_PS_SOLID);
  EXPECT_EQ(ex.GetPStyleCode("DASHED"), DE_PS_DASHED);
  EXPECT_EQ(ex.GetPStyleCode("Dotted"), DE_PS_DOTTED);
  EXPECT_EQ(ex.GetPStyleCode("dashDotted"), DE_PS_DASHDOTTED);
  EXPECT_EQ(ex.GetPStyleCode("DashDotDotted"), DE_PS_DASHDOTDOTTED);
  EXPECT_EQ(ex.GetPStyleCode("none"), DE_PS_NONE);
  EXPECT_EQ(ex.GetPStyleCode("double"), DE_PS_DOUBLE);
  for (const char* bad : {"", "dash", "solid ", " dotted", "dottedx"})
    EXPECT_EQ(ex.GetPStyleCode(bad), DE_PS_INVALID) << bad;
}

TEST(PenWidths, SharesAroundTheCentreLine) {
  CDC_Ex ex;
  const int top[] = {0, 1, 1, 2, 2}, bottomLeft[] = {0, 0, 1, 1, 2}, right[] = {0, 1, 2, 2, 3};
  for (int w = 1; w <= 5; ++w) {
    CPenData pen(DE_PS_SOLID, w, 0);
    EXPECT_EQ(ex.GetPWidth_Top(pen), top[w - 1]) << w;
    EXPECT_EQ(ex.GetPWidth_Bottom(pen), bottomLeft[w - 1]) << w;
    EXPECT_EQ(ex.GetPWidth_Left(pen), bottomLeft[w - 1]) << w;
    EXPECT_EQ(ex.GetPWidth_Right(pen), right[w - 1]) << w;
  }
}

TEST(PatternedLine, StepTablesForEachWidth) {
  struct Case {
    DE_PENSTYLE_CODE style;
    int width, length;
    std::vector<int> ends;
  };
  const Case cases[] = {
      {DE_PS_DOTTED, 1, 16, Concat(Range(1, 4), Range(9, 12))},
      {DE_PS_DOTTED, 2, 16, Concat(Range(2, 3), Range(10, 11))},
      {DE_PS_DOTTED, 3, 16, {2, 10}},
      {DE_PS_DASHED, 1, 64, Concat(Range(1, 24), Range(33, 56))},
      {DE_PS_DASHED, 2, 64, Concat(Range(2, 23), Range(34, 55))},
      {DE_PS_DASHED, 3, 64, Concat(Range(2, 22), Range(34, 54))},
      {DE_PS_DASHDOTTED, 1, 32, Concat(Range(1, 12), Range(21, 24))},
      {DE_PS_DASHDOTTED, 2, 32, Concat(Range(2, 11), Range(22, 23))},
      {DE_PS_DASHDOTTED, 3, 32, Concat(Range(2, 10), {22})},
      {DE_PS_DASHDOTDOTTED, 1, 32, Concat(Concat(Range(1, 12), Range(17, 20)), Range(25, 28))},
      {DE_PS_DASHDOTDOTTED, 2, 32, Concat(Concat(Range(2, 11), Range(18, 19)), Range(26, 27))},
      {DE_PS_DASHDOTDOTTED, 3, 32, Concat(Range(2, 10), {18, 26})},
      // Widths are clamped to 3.
      {DE_PS_DOTTED, 7, 16, {2, 10}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(StepEnds(c.style, c.width, c.length), c.ends) << c.style << " w" << c.width;
}

TEST(PatternedLine, ContinuesAcrossLinesUntilMoveTo) {
  CRecordDC dc;
  CDC_Ex ex;
  ex.CreatePen(DE_PS_DASHED, 1, kInk);
  ex.MoveTo(&dc, 0, 0);
  ex.LineTo(&dc, 20, 0);
  ex.LineTo(&dc, CPoint(40, 0));
  EXPECT_EQ(EndXs(dc), Concat(Range(1, 24), Range(33, 40)));

  // Dotted, six steps in: MoveTo restarts the period, the four-point form
  // and a style change continue it.
  ex.SetLPattern(DE_PS_DOTTED);
  auto afterSixSteps = [&] {
    dc.ClearOps();
    ex.MoveTo(&dc, 0, 0);
    ex.LineTo(&dc, 6, 0);
    dc.ClearOps();
  };
  afterSixSteps();
  ex.MoveTo(&dc, 100, 0);
  ex.LineTo(&dc, 110, 0);
  EXPECT_EQ(EndXs(dc), Concat(Range(101, 104), Range(109, 110)));
  afterSixSteps();
  ex.LineTo(&dc, 100, 0, 110, 0);
  EXPECT_EQ(EndXs(dc), Range(103, 106));
  EXPECT_EQ(ex.m_patternPos, 0);  // 16 steps: two whole periods
  afterSixSteps();
  ex.LineTo(&dc, 100, 0, 110, 0, CPenData(DE_PS_DOTTED, 1, kInk));
  EXPECT_EQ(EndXs(dc), Concat(Range(101, 104), Range(109, 110)));

  // A position left by a longer period is taken modulo the new one.
  ex.CreatePen(DE_PS_DASHED, 1, kInk);
  ex.MoveTo(&dc, 0, 0);
  ex.LineTo(&dc, 20, 0);
  ex.SetLPattern(DE_PS_DOTTED);
  dc.ClearOps();
  ex.LineTo(&dc, 30, 0);  // positions 20..29 of the dotted period: 4..7, 0..3, 4, 5
  EXPECT_EQ(EndXs(dc), Range(25, 28));
}

TEST(PatternedLine, SolidZeroLengthAndInvisiblePens) {
  CRecordDC dc;
  CDC_Ex ex;
  CPen* before = dc.GetCurrentPen();
  // Nothing to draw with before the first pen.
  ex.MoveTo(&dc, 0, 0);
  ex.LineTo(&dc, 10, 0);
  EXPECT_TRUE(dc.Ops().empty());

  ex.LineTo(&dc, 0, 0, 10, 0, CPenData(DE_PS_SOLID, 2, kInk));
  auto lines = Lines(dc);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].from, CPoint(0, 0));
  EXPECT_EQ(lines[0].to, CPoint(10, 0));
  EXPECT_EQ(lines[0].pen.width, 2);
  EXPECT_EQ(dc.GetCurrentPen(), before);

  dc.ClearOps();
  for (DE_PENSTYLE_CODE style : {DE_PS_SOLID, DE_PS_DOTTED}) {
    ex.LineTo(&dc, 5, 5, 5, 5, CPenData(style, 1, kInk));
  }
  for (int style : {int(DE_PS_NONE), int(DE_PS_DOUBLE), int(DE_PS_INVALID), 99}) {
    ex.CreatePen(style, 1, kInk);
    ex.MoveTo(&dc, 0, 0);
    ex.LineTo(&dc, 40, 0);
    EXPECT_EQ(ex.m_curPoint, CPoint(40, 0));
  }
  // A pen 0 wide or without colour only moves the device context.
  ex.CreatePen(DE_PS_DOTTED, 1, kInk);
  ex.MoveTo(&dc, 0, 0);
  ex.LineTo(&dc, 3, 0);
  ex.LineTo(&dc, 0, 9, 50, 9, CPenData(DE_PS_SOLID, 0, kInk));
  ex.LineTo(&dc, 0, 9, 50, 9, CPenData(DE_PS_SOLID, 2, CLR_TRANSPARENT));
  EXPECT_EQ(dc.GetCurrentPosition(), CPoint(50, 9));
  EXPECT_EQ(ex.m_curPoint, CPoint(3, 0));
  EXPECT_EQ(ex.m_patternPos, 3);
  EXPECT_EQ(Lines(dc).size(), 3u);  // the three dotted steps only

  // Width 0 and below make 1-wide pens.
  dc.ClearOps();
  ex.CreatePen(DE_PS_SOLID, 0, kInk);
  EXPECT_EQ(ex.m_pWidth, 1);
  ex.MoveTo(&dc, 0, 0);
  ex.LineTo(&dc, 4, 0);
  ASSERT_EQ(Lines(dc).size(), 1u);
  EXPECT_EQ(Lines(dc)[0].pen.width, 1);
  ex.CreatePen(DE_PS_SOLID, -8, kInk);
  EXPECT_EQ(ex.m_pen.GetWidth(), 1);
  EXPECT_EQ(ex.m_nullPen.GetStyle(), PS_NULL);
}

TEST(PatternedLine, ThickDotsOnTheRaster) {
  // A 3-wide dotted line shows one 3 x 3 square per period.
  CRasterDC dc(40, 8);
  CDC_Ex ex;
  ex.LineTo(&dc, 0, 3, 40, 3, CPenData(DE_PS_DOTTED, 3, kInk));
  PixelSet expected;
  for (int x0 : {1, 9, 17, 25, 33})
    for (int x = x0 - 1; x <= x0 + 1; ++x)
      for (int y = 2; y <= 4; ++y) expected.emplace(x, y);
  EXPECT_EQ(Painted(dc), expected);
}

// Clipping the walk: a line far longer than the surface takes time in
// proportion to what can show, and what shows keeps the phase of the full
// walk.
TEST(PatternedLine, HugeLinesKeepThePhase) {
  CRasterDC dc(64, 8);
  CDC_Ex ex;
  ex.CreatePen(DE_PS_DOTTED, 1, kInk);
  ex.MoveTo(&dc, -1000000007, 3);
  ex.LineTo(&dc, 20, 3);
  // Step i paints x = i - 1000000007 at period position i mod 8; the
  // walk continues into the next line.
  EXPECT_EQ(ex.m_patternPos, 1000000027 % 8);
  EXPECT_EQ(dc.GetCurrentPosition(), CPoint(20, 3));
  ex.LineTo(&dc, 100, 3);
  EXPECT_EQ(ex.m_patternPos, 1000000107 % 8);
  PixelSet expected;
  for (int x = 0; x < 64; ++x)
    if (x % 8 >= 1 && x % 8 <= 4) expected.emplace(x, 3);
  EXPECT_EQ(Painted(dc), expected);

  // The full 32-bit range, vertically.
  CRasterDC column(16, 16);
  ex.MoveTo(&column, 5, INT_MIN);
  ex.LineTo(&column, 5, INT_MAX);
  expected.clear();
  for (int y : Concat(Range(0, 3), Range(8, 11))) expected.emplace(5, y);
  EXPECT_EQ(Painted(column), expected);
  EXPECT_EQ(ex.m_patternPos, 7);  // 2^32 - 1 steps

  // Entirely outside: nothing drawn, the position as after the full walk.
  CRecordDC rec;
  ex.MoveTo(&rec, -2000000001, -600000000);
  ex.LineTo(&rec, 2000000000, -600000000);
  EXPECT_TRUE(rec.Ops().empty());
  EXPECT_EQ(ex.m_patternPos, 1);
  EXPECT_EQ(rec.GetCurrentPosition(), CPoint(2000000000, -600000000));

  // Corner to corner through a small clip: only steps near it are recorded.
  rec.IntersectClipRect(0, 0, 50, 50);
  ex.MoveTo(&rec, INT_MIN, INT_MIN);
  ex.LineTo(&rec, INT_MAX, INT_MAX);
  auto lines = Lines(rec);
  ASSERT_FALSE(lines.empty());
  for (const RecordedOp& op : lines) {
    EXPECT_EQ(op.from.x, op.from.y);
    EXPECT_TRUE(op.from.x >= -8 && op.from.x < 58) << op.from.x;
  }
  EXPECT_GT(lines.size(), 20u);
}

TEST(PatternedLine, ClippedWalkMatchesTheFullWalk) {
  // The same lines on a surface that holds them whole and on small surfaces
  // looking at parts of them: the small ones skip the steps they cannot show.
  struct Line {
    CPoint from, to;
    CPenData pen;
  };
  const Line lines[] = {
      {{3, 5}, {1490, 690}, CPenData(DE_PS_DASHDOTDOTTED, 3, kInk)},
      {{1495, 40}, {20, 780}, CPenData(DE_PS_DOTTED, 2, kInk)},
      {{700, 795}, {710, 2}, CPenData(DE_PS_DASHDOTTED, 1, kInk)},
  };
  auto draw = [&](CDC& dc, int dx, int dy) {
    CDC_Ex ex;
    for (const Line& l : lines) {
      ex.CreatePen(l.pen);
      ex.MoveTo(&dc, l.from.x - dx, l.from.y - dy);
      ex.LineTo(&dc, l.to.x - dx, l.to.y - dy);
      ex.LineTo(&dc, l.to.x - dx + 37, l.to.y - dy + 3);  // continues the phase
    }
  };
  CRasterDC whole(1600, 800);
  draw(whole, 0, 0);
  const CPoint windows[] = {{0, 0}, {640, 290}, {1440, 640}, {690, 700}, {1460, 20}, {100, 700}};
  for (const CPoint& w : windows) {
    CRasterDC part(64, 48);
    draw(part, w.x, w.y);
    EXPECT_EQ(WindowMismatches(part, whole, w.x, w.y), 0) << w.x << "," << w.y;
  }
}
