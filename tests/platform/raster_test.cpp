#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "platform/alloc_tracker.h"
#include "platform/surface_helpers.h"

namespace {

// Checks that `painted` is the part inside `view` of the one-pixel line from
// a to b, end point excluded: one pixel per step i < n along the major axis,
// at the ideal line's minor offset d*i/n rounded (a tie may go either way).
void ExpectOnePixelLine(CPoint a, CPoint b, const PixelSet& painted, const CRect& view) {
  SCOPED_TRACE(testing::Message() << "(" << a.x << "," << a.y << ")-(" << b.x << "," << b.y << ")");
  long long dx = (long long)b.x - a.x, dy = (long long)b.y - a.y;
  bool xMajor = std::llabs(dx) >= std::llabs(dy);
  long long n = std::max(std::llabs(dx), std::llabs(dy)), d = std::llabs(xMajor ? dy : dx);
  int s = (xMajor ? dx : dy) < 0 ? -1 : 1, t = (xMajor ? dy : dx) < 0 ? -1 : 1;
  CRect axes = xMajor ? view : CRect(view.top, view.left, view.bottom, view.right);
  size_t matched = 0;
  for (long long major = axes.left; major < axes.right; ++major) {
    long long i = (major - (xMajor ? a.x : a.y)) * s;
    if (i < 0 || i >= n) continue;
    long long q = (long long)((__int128)d * i / n), r2 = (long long)((__int128)d * i % n) * 2;
    std::vector<long long> offsets = r2 < n ? std::vector{q} : r2 > n ? std::vector{q + 1} : std::vector{q, q + 1};
    int visible = 0, hits = 0;
    for (long long off : offsets) {
      long long minor = (xMajor ? a.y : a.x) + t * off;
      if (minor < axes.top || minor >= axes.bottom) continue;
      ++visible;
      hits += int(painted.count(xMajor ? std::pair<int, int>(major, minor) : std::pair<int, int>(minor, major)));
    }
    EXPECT_EQ(hits, visible == int(offsets.size()) ? 1 : std::min(hits, 1)) << "at " << major;
    matched += hits;
  }
  EXPECT_EQ(matched, painted.size()) << "stray pixels";
}

PixelSet DrawLine(CPoint a, CPoint b, int width, int w = 100, int h = 100) {
  CRasterDC dc(w, h);
  CPen pen(PS_SOLID, width, RGB(0, 0, 0));
  dc.SelectObject(&pen);
  dc.MoveTo(a);
  dc.LineTo(b);
  return Painted(dc);
}

}  // namespace

TEST(RasterLines, OnePixelLinesInEveryOctantExcludeTheEndPoint) {
  const CPoint c(50, 50);
  const CPoint ends[] = {{67, 56}, {56, 67}, {44, 67}, {33, 56}, {33, 44}, {44, 33}, {56, 33},
                         {67, 44}, {80, 50}, {50, 80}, {20, 50}, {50, 20}, {70, 70}, {30, 70},
                         {70, 60}, {51, 50}, {51, 51}};
  for (CPoint e : ends) {
    PixelSet p = DrawLine(c, e, 1);
    ExpectOnePixelLine(c, e, p, CRect(0, 0, 100, 100));
    EXPECT_TRUE(p.count({c.x, c.y})) << "start point painted";
    EXPECT_FALSE(p.count({e.x, e.y})) << "end point left unpainted";
  }
  EXPECT_TRUE(DrawLine(c, c, 1).empty());
  EXPECT_TRUE(DrawLine(c, c, 3).empty());
}

TEST(RasterLines, ThickPensStampASquareOnEachPixel) {
  // Width 2 from (10,10) to (20,10): rows 9-10, columns 9-19.
  PixelSet expected;
  for (int y = 9; y <= 10; ++y)
    for (int x = 9; x <= 19; ++x) expected.emplace(x, y);
  EXPECT_EQ(DrawLine({10, 10}, {20, 10}, 2), expected);

  const CPoint c(50, 50);
  const CPoint ends[] = {{67, 56}, {44, 67}, {33, 44}, {56, 33}, {50, 80}, {20, 50}, {70, 70}};
  for (int width : {2, 3, 4}) {
    for (CPoint e : ends) {
      PixelSet thin = DrawLine(c, e, 1), stamped;
      int lo = -(width / 2), hi = width - 1 - width / 2;
      for (auto [x, y] : thin)
        for (int oy = lo; oy <= hi; ++oy)
          for (int ox = lo; ox <= hi; ++ox) stamped.emplace(x + ox, y + oy);
      EXPECT_EQ(DrawLine(c, e, width), stamped) << "width " << width << " to " << e.x << "," << e.y;
    }
  }
}

TEST(RasterLines, CurrentPositionAndNullPen) {
  CRasterDC dc(40, 40);
  EXPECT_EQ(dc.MoveTo(5, 5), CPoint(0, 0));
  EXPECT_EQ(dc.MoveTo(10, 10), CPoint(5, 5));
  dc.LineTo(20, 10);
  EXPECT_EQ(dc.GetCurrentPosition(), CPoint(20, 10));
  dc.LineTo(20, 20);  // the shared corner is painted once, by this segment
  PixelSet expected;
  for (int x = 10; x <= 20; ++x) expected.emplace(x, 10);
  for (int y = 11; y < 20; ++y) expected.emplace(20, y);
  EXPECT_EQ(Painted(dc), expected);

  CPen null(PS_NULL, 3, RGB(255, 0, 0));
  dc.SelectObject(&null);
  dc.LineTo(0, 0);
  EXPECT_EQ(dc.GetCurrentPosition(), CPoint(0, 0));
  CBrush red(RGB(255, 0, 0));
  dc.SelectObject(&red);
  dc.Rectangle(25, 25, 35, 35);  // a null pen leaves only the inside
  PixelSet inside = expected;
  for (int y = 26; y < 34; ++y)
    for (int x = 26; x < 34; ++x) inside.emplace(x, y);
  EXPECT_EQ(Painted(dc), inside);
}

TEST(RasterLines, HugeCoordinatesPaintOnlyTheVisiblePart) {
  const int kMin = INT_MIN, kMax = INT_MAX;
  struct Case { CPoint a, b; };
  const Case cases[] = {
      {{-2000000000, 5}, {2000000000, 5}},
      {{-2000000000, -2000000000}, {2000000000, 2000000000}},
      {{2000000000, -1999999950}, {-2000000000, 2000000050}},
      {{-2000000000, 10}, {2000000000, 30}},
      {{7, kMax}, {7, kMin}},
      {{kMin, kMin}, {kMax, kMax}},
      {{kMax, 3}, {kMin, 17}},
      {{-2000000000, 500}, {2000000000, 500}},  // entirely below the surface
  };
  for (const Case& k : cases) ExpectOnePixelLine(k.a, k.b, DrawLine(k.a, k.b, 1, 60, 40), CRect(0, 0, 60, 40));

  PixelSet rows;
  for (int y = 4; y <= 6; ++y)
    for (int x = 0; x < 60; ++x) rows.emplace(x, y);
  EXPECT_EQ(DrawLine({kMax, 5}, {kMin, 5}, 3, 60, 40), rows);
  // A pen wider than the surface covers all of it.
  EXPECT_EQ(DrawLine({-100000, 20}, {100000, 20}, 2000000000, 60, 40).size(), 60u * 40u);
  // Rectangles and fills far larger than the surface are cut to it.
  CRasterDC dc(60, 40);
  CBrush black(RGB(0, 0, 0));
  dc.SelectObject(&black);
  dc.Rectangle(-2000000000, -2000000000, 2000000000, 2000000000);
  EXPECT_EQ(Painted(dc).size(), 60u * 40u);
  dc.Clear(RGB(255, 255, 255));
  dc.FillSolidRect(kMin, 10, kMax, 5, RGB(0, 0, 0));
  EXPECT_TRUE(Painted(dc).empty());
  dc.FillSolidRect(-1000000000, 10, 2000000000, 5, RGB(0, 0, 0));
  EXPECT_EQ(Painted(dc).size(), 60u * 5u);
  dc.Clear(RGB(255, 255, 255));
  dc.FillSolidRect(50, 10, kMax, kMax, RGB(0, 0, 0));  // far edges beyond INT_MAX
  EXPECT_EQ(Box(Painted(dc)), CRect(50, 10, 60, 40));
}

TEST(RasterPixels, ColourRoundTripAndPremultipliedLayout) {
  CRasterDC dc(4, 3, CLR_TRANSPARENT);
  EXPECT_EQ(dc.BytesPerLine(), 16);
  EXPECT_EQ(dc.GetPixel(0, 0), CLR_TRANSPARENT);
  EXPECT_EQ(dc.Bits()[0], 0u);
  dc.SetPixel(1, 0, RGB(255, 0, 0));
  dc.SetPixel(2, 1, RGB(0x12, 0x34, 0x56));
  EXPECT_EQ(dc.Bits()[1], 0xFFFF0000u);
  EXPECT_EQ(dc.Bits()[4 + 2], 0xFF123456u);
  EXPECT_EQ(dc.GetPixel(1, 0), RGB(255, 0, 0));
  EXPECT_EQ(dc.GetPixel(2, 1), RGB(0x12, 0x34, 0x56));
  dc.SetPixel(1, 0, CLR_TRANSPARENT);
  EXPECT_EQ(dc.GetPixel(1, 0), CLR_TRANSPARENT);
  // A semi-transparent pixel reads back as its straight colour.
  dc.Bits()[3] = 0x80400000u;
  EXPECT_EQ(dc.GetPixel(3, 0), RGB(128, 0, 0));
  for (CPoint p : {CPoint(-1, 0), CPoint(4, 0), CPoint(0, 3), CPoint(INT_MIN, INT_MAX)}) {
    EXPECT_EQ(dc.GetPixel(p), CLR_INVALID);
    dc.SetPixel(p, RGB(0, 0, 0));  // ignored
  }
  EXPECT_EQ(Painted(dc, 0).size(), 2u);

  CRasterDC white(2, 2, RGB(255, 255, 255));
  EXPECT_EQ(white.Bits()[3], kWhite);
  white.FillSolidRect(0, 0, 2, 1, RGB(0, 0, 255));
  EXPECT_EQ(white.Bits()[1], 0xFF0000FFu);
  EXPECT_EQ(white.GetPixel(1, 1), RGB(255, 255, 255));
  EXPECT_EQ(white.GetDeviceCaps(HORZRES), 2);
  EXPECT_EQ(white.GetDeviceCaps(LOGPIXELSY), 96);
  white.SetResolution(144);
  EXPECT_EQ(GetDeviceCaps(white.m_hDC, LOGPIXELSY), 144);
}

TEST(RasterSurface, AbsurdSizesAreRefusedWithoutAllocating) {
  const int kSide = CRasterDC::kMaxSide;
  const std::pair<int, int> refused[] = {{-1, 10},        {10, -1},         {kSide + 1, 1},
                                         {1, kSide + 1},  {kSide, kSide},   {16384, 16385},
                                         {INT_MAX, INT_MAX}, {INT_MIN, INT_MIN}};
  for (auto [w, h] : refused) {
    LargestAllocation largest;
    EXPECT_THROW(CRasterDC(w, h), std::invalid_argument) << w << " x " << h;
    EXPECT_LT(largest.Bytes(), 4096u) << w << " x " << h;
  }
  // Empty surfaces and the longest allowed side are fine, and drawing on an
  // empty surface does nothing.
  CRasterDC empty(0, 0);
  EXPECT_EQ(empty.Width(), 0);
  EXPECT_EQ(empty.GetPixel(0, 0), CLR_INVALID);
  empty.MoveTo(-5, -5);
  empty.LineTo(5, 5);
  empty.FillSolidRect(0, 0, 10, 10, 0);
  TestFont font("DejaVu Sans", -20);
  empty.SelectObject(&font);
  empty.TextOut(0, 0, "text");
  CRasterDC flat(0, 7), strip(kSide, 8);
  EXPECT_EQ(flat.Height(), 7);
  EXPECT_EQ(strip.Width(), kSide);
}

namespace {

// Draws the same lines, fill, pixels and text on `dc` (clipped or not).
void DrawScene(CRasterDC& dc) {
  CPen pen(PS_SOLID, 3, RGB(0, 0, 200));
  dc.SelectObject(&pen);
  dc.MoveTo(0, 5);
  dc.LineTo(99, 75);
  dc.MoveTo(90, 0);
  dc.LineTo(10, 79);
  dc.FillSolidRect(0, 40, 100, 6, RGB(200, 0, 0));
  for (int x = 0; x < 100; x += 3) dc.SetPixel(x, 60, RGB(0, 120, 0));
  TestFont font("DejaVu Sans", -24);
  dc.SelectObject(&font);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextAlign(TA_BASELINE);
  dc.TextOut(2, 30, "Wg@Mx");
}

}  // namespace

TEST(RasterClip, RegionsClipLinesFillsPixelsAndText) {
  CRasterDC reference(100, 80), dc(100, 80);
  DrawScene(reference);
  bool inside[80][100];  // the clip as it should be
  for (auto& row : inside) std::fill(std::begin(row), std::end(row), true);
  const std::pair<CRect, int> steps[] = {{{10, 10, 50, 50}, RGN_COPY},
                                         {{40, 20, 90, 70}, RGN_OR},
                                         {{0, 30, 100, 45}, RGN_AND},
                                         {{20, 0, 60, 80}, RGN_DIFF},
                                         {{0, 0, 30, 40}, RGN_XOR}};
  for (const auto& [rect, mode] : steps) {
    SCOPED_TRACE(testing::Message() << "mode " << mode);
    CRgn rgn;
    rgn.CreateRectRgnIndirect(&rect);
    EXPECT_NE(dc.SelectClipRgn(&rgn, mode), ERROR);
    rgn.CreateRectRgn(0, 0, 1, 1);  // the context keeps its own copy
    PixelSet clip;
    for (int y = 0; y < 80; ++y)
      for (int x = 0; x < 100; ++x) {
        bool a = inside[y][x], b = rect.PtInRect({x, y});
        inside[y][x] = mode == RGN_COPY ? b : mode == RGN_OR ? a || b : mode == RGN_AND ? a && b
                     : mode == RGN_DIFF ? a && !b : a != b;
        if (inside[y][x]) clip.emplace(x, y);
      }
    CRect box;
    dc.GetClipBox(&box);
    EXPECT_EQ(box, Box(clip));
    dc.Clear(RGB(255, 255, 255));
    DrawScene(dc);
    // Inside: as drawn without clip; outside: untouched and unreadable.
    int mismatches = 0, badReads = 0;
    for (int y = 0; y < 80; ++y)
      for (int x = 0; x < 100; ++x) {
        mismatches += PixelAt(dc, x, y) != (inside[y][x] ? PixelAt(reference, x, y) : kWhite);
        badReads += (dc.GetPixel(x, y) != CLR_INVALID) != inside[y][x];
      }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(badReads, 0);
    EXPECT_EQ(dc.SetPixel(95, 75, RGB(0, 0, 0)), CLR_INVALID);
  }

  // Clipped away entirely, then unclipped again.
  dc.IntersectClipRect(92, 0, 100, 5);
  CRect box;
  EXPECT_EQ(dc.GetClipBox(&box), NULLREGION);
  dc.Clear(RGB(255, 255, 255));
  DrawScene(dc);
  EXPECT_TRUE(Painted(dc).empty());
  EXPECT_EQ(dc.SelectClipRgn(nullptr, RGN_AND), ERROR);
  dc.SelectClipRgn(nullptr);
  dc.GetClipBox(&box);
  EXPECT_EQ(box, CRect(0, 0, 100, 80));
  DrawScene(dc);
  EXPECT_EQ(Painted(dc), Painted(reference));
}
