#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "platform/font/text_run.h"
#include "platform/surface_helpers.h"

namespace {

// A surface with a real face selected; text is black on white.
struct TextSurface {
  CRasterDC dc{200, 160};
  TestFont font;
  TEXTMETRIC tm{};

  explicit TextSurface(const char* face = "DejaVu Sans", int escapement = 0)
      : font(face, -20, escapement) {
    dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    dc.GetTextMetrics(&tm);
  }
  PixelSet Draw(UINT align, int x, int y, const char* text) {
    dc.Clear(RGB(255, 255, 255));
    dc.SetTextAlign(align);
    dc.TextOut(x, y, text);
    return Painted(dc);
  }
};

}  // namespace

TEST(RasterText, AlignmentPlacesTheInkRelativeToThePoint) {
  for (const char* face : {"DejaVu Sans", "Times New Roman"}) {
    SCOPED_TRACE(face);
    TextSurface s(face);
    const char* text = "Hxgj";
    const int x = 60, y = 80, cx = s.dc.GetTextExtent(text).cx;
    ASSERT_GT(s.tm.tmAscent, 10);
    ASSERT_GT(s.tm.tmDescent, 2);
    ASSERT_GT(cx, 20);

    PixelSet base = s.Draw(TA_BASELINE | TA_LEFT, x, y, text);
    ASSERT_FALSE(base.empty());
    CRect box = Box(base);
    EXPECT_LT(box.top, y);                              // letters stand on the baseline
    EXPECT_GE(box.top, y - s.tm.tmAscent);
    EXPECT_GT(box.bottom, y);                           // g and j reach below it
    // (Metrics are whole pixels; a descender may reach a fraction beyond.)
    EXPECT_LE(box.bottom, y + s.tm.tmDescent + 1);
    EXPECT_GE(box.left, x - 1);
    EXPECT_LE(box.right, x + cx + 1);

    // Top, bottom and right alignment move the same ink by whole pixels.
    EXPECT_EQ(s.Draw(TA_TOP, x, y - s.tm.tmAscent, text), base);
    EXPECT_EQ(s.Draw(TA_BOTTOM, x, y + s.tm.tmDescent, text), base);
    EXPECT_EQ(s.Draw(TA_BASELINE | TA_RIGHT, x + cx, y, text), base);
    EXPECT_EQ(s.Draw(TA_TOP | TA_RIGHT, x + cx, y - s.tm.tmAscent, text), base);
    EXPECT_GE(Box(s.Draw(TA_TOP, x, y, text)).top, y);
    EXPECT_LE(Box(s.Draw(TA_BOTTOM, x, y, text)).bottom, y + 1);
    EXPECT_LE(Box(s.Draw(TA_BASELINE | TA_RIGHT, x, y, text)).right, x + 1);
    CRect centred = Box(s.Draw(TA_BASELINE | TA_CENTER, x + cx / 2, y, text));
    EXPECT_NEAR(centred.left, box.left, 1);
    EXPECT_NEAR(centred.right, box.right, 1);
    EXPECT_EQ(centred.top, box.top);
  }
  // Text far outside the surface draws nothing (and at once).
  TextSurface s;
  for (CPoint p : {CPoint(-2000000000, 50), CPoint(2147483600, 50), CPoint(50, -2147483647),
                   CPoint(2147483647, 2147483647)})
    for (UINT align : {TA_BASELINE, TA_BOTTOM | TA_RIGHT, TA_CENTER})
      EXPECT_TRUE(s.Draw(align, p.x, p.y, "far away").empty());
}

TEST(RasterText, UpdateCpDrawsAtAndAdvancesTheCurrentPosition) {
  TextSurface s;
  PixelSet whole = s.Draw(TA_BASELINE, 10, 50, "abcd");
  s.dc.Clear(RGB(255, 255, 255));
  s.dc.SetTextAlign(TA_BASELINE | TA_UPDATECP);
  s.dc.MoveTo(10, 50);
  s.dc.TextOut(150, 150, "ab");  // the point is ignored
  EXPECT_EQ(s.dc.GetCurrentPosition(), CPoint(10 + s.dc.GetTextExtent("ab").cx, 50));
  s.dc.TextOut(0, 0, "cd");
  EXPECT_EQ(s.dc.GetCurrentPosition(), CPoint(10 + s.dc.GetTextExtent("abcd").cx, 50));
  EXPECT_EQ(Painted(s.dc), whole);
}

TEST(RasterText, EscapementTurnsTextAndAlignmentCounterClockwise) {
  TextSurface upright;
  const int x = 100, y = 120;
  CRect flat = Box(upright.Draw(TA_BASELINE, x, y, "Hxgj"));

  TextSurface s("DejaVu Sans", 900);
  PixelSet ink = s.Draw(TA_BASELINE, x, y, "Hxgj");
  ASSERT_FALSE(ink.empty());
  CRect box = Box(ink);
  // The baseline runs upwards from the point; the ascent lies to its left.
  EXPECT_LE(box.bottom, y + 1);
  EXPECT_LT(box.top, y - 20);
  EXPECT_LT(box.left, x);
  EXPECT_GT(box.right, x);  // descenders
  EXPECT_NEAR(box.Height(), flat.Width(), 2);
  EXPECT_NEAR(box.Width(), flat.Height(), 2);
  // Top alignment moves the text by the ascent across the baseline: to the right.
  CRect top = Box(s.Draw(TA_TOP, x, y, "Hxgj"));
  EXPECT_GE(top.left, x - 1);
  EXPECT_NEAR(top.left - box.left, s.tm.tmAscent, 1);

  TextSurface down("DejaVu Sans", 2700);
  CRect turned = Box(down.Draw(TA_BASELINE, x, 20, "Hxgj"));
  EXPECT_GE(turned.top, 20 - 1);
  EXPECT_GT(turned.right, x + 10);
}

TEST(RasterText, GlyphsPassedOverOutsideTheClipAreDrawnWhereItShows) {
  TextSurface s;
  CRgn right;
  right.CreateRectRgn(100, 0, 200, 160);
  s.dc.SelectClipRgn(&right);
  EXPECT_TRUE(s.Draw(TA_BASELINE, 20, 80, "l").empty());
  PixelSet ink = s.Draw(TA_BASELINE, 150, 80, "l");
  ASSERT_FALSE(ink.empty());
  EXPECT_GE(Box(ink).left, 150);
}

TEST(RasterText, ColourAndBackgroundMode) {
  TextSurface s;
  const int x = 20, y = 60;
  const CSize ext = s.dc.GetTextExtent("Hi");
  s.dc.SetTextColor(RGB(255, 0, 0));
  s.dc.SetBkColor(RGB(0, 0, 255));
  PixelSet transparent = s.Draw(TA_BASELINE, x, y, "Hi");
  bool fullRed = false;
  for (auto [px, py] : transparent) {
    COLORREF c = s.dc.GetPixel(px, py);
    EXPECT_EQ(GetRValue(c), 255);  // red blended over white only
    EXPECT_EQ(GetGValue(c), GetBValue(c));
    fullRed |= c == RGB(255, 0, 0);
  }
  EXPECT_TRUE(fullRed);

  s.dc.SetBkMode(OPAQUE);
  PixelSet opaque = s.Draw(TA_BASELINE, x, y, "Hi");
  // The background fills the cell: the advance by ascent plus descent.
  EXPECT_EQ(Box(opaque), CRect(x, y - s.tm.tmAscent, x + ext.cx, y + s.tm.tmDescent));
  EXPECT_EQ(s.dc.GetPixel(x, y - s.tm.tmAscent), RGB(0, 0, 255));
  EXPECT_EQ(s.dc.GetPixel(x + ext.cx - 1, y + s.tm.tmDescent - 1), RGB(0, 0, 255));
  for (auto [px, py] : transparent) EXPECT_NE(s.dc.GetPixel(px, py), RGB(0, 0, 255));
  // A transparent background colour paints nothing behind the text.
  s.dc.SetBkColor(CLR_TRANSPARENT);
  EXPECT_EQ(s.Draw(TA_BASELINE, x, y, "Hi"), transparent);
}

TEST(RasterText, HandleFormsAgreeWithTheContext) {
  TextSurface s("Times New Roman");
  EXPECT_EQ(s.dc.m_hDC, &s.dc);
  EXPECT_EQ(s.dc.m_hAttribDC, &s.dc);
  TEXTMETRIC viaHandle{};
  ASSERT_TRUE(GetTextMetrics(s.dc.m_hAttribDC, &viaHandle));
  EXPECT_EQ(viaHandle.tmAscent, s.tm.tmAscent);
  EXPECT_EQ(viaHandle.tmDescent, s.tm.tmDescent);
  EXPECT_EQ(viaHandle.tmHeight, s.tm.tmHeight);
  EXPECT_EQ(viaHandle.tmInternalLeading, s.tm.tmInternalLeading);
  EXPECT_EQ(viaHandle.tmAveCharWidth, s.tm.tmAveCharWidth);
  SIZE size{};
  ASSERT_TRUE(GetTextExtentPoint32(s.dc.m_hDC, "Wide text", 9, &size));
  EXPECT_EQ(CSize(size), s.dc.GetTextExtent("Wide text"));
  EXPECT_EQ(size.cy, s.tm.tmHeight);
  EXPECT_EQ(GetDeviceCaps(s.dc.m_hDC, LOGPIXELSY), 96);
  EXPECT_FALSE(GetTextMetrics(nullptr, &viaHandle));
  EXPECT_FALSE(GetTextExtentPoint32(nullptr, "a", 1, &size));
}

TEST(RasterText, TextOutWithinDrawsWhatFitsItsBudget) {
  TextSurface s;
  const long long ink = s.dc.GetTextInk(20, 60, "Hag", 3);
  ASSERT_GT(ink, 0);
  const PixelSet whole = s.Draw(TA_BASELINE, 20, 60, "Hag");
  struct Case {
    long long budget;
    bool drawn;
    long long left;
  } cases[] = {
      {1LL << 40, true, (1LL << 40) - ink},  // surely enough: painted and counted at once
      {ink + 5, true, 5},
      {ink, true, 0},
      {ink - 1, false, 0},
  };
  for (const Case& c : cases) {
    s.dc.Clear(RGB(255, 255, 255));
    long long budget = c.budget;
    CSize extent;
    EXPECT_EQ(s.dc.TextOutWithin(20, 60, "Hag", 3, &budget, &extent), c.drawn ? TRUE : FALSE);
    EXPECT_EQ(budget, c.left);
    EXPECT_EQ(extent, s.dc.GetTextExtent("Hag"));  // drawn or not
    EXPECT_EQ(Painted(s.dc), c.drawn ? whole : PixelSet{});
  }
}

// The most a run may cost: glyphs x (clip area + 2048 for an outline) plus
// three bands, or LLONG_MAX once the glyphs' part passes LLONG_MAX / 4 or
// the area LLONG_MAX / 16; the refusal must neither come early nor wrap.
TEST(RasterText, MostInkOfARunIsExactUpToItsBound) {
  const long long perGlyph = 100 + 2048, fits = (LLONG_MAX / 4) / perGlyph;
  const struct {
    size_t glyphs;
    CRect clip;
    long long most;
  } cases[] = {
      {0, CRect(0, 0, 10, 10), 300},
      {3, CRect(0, 0, 10, 10), 3 * perGlyph + 300},
      {3, CRect(5, 5, 0, 0), 3 * 2048},
      {size_t(fits), CRect(0, 0, 10, 10), fits * perGlyph + 300},
      {size_t(fits) + 1, CRect(0, 0, 10, 10), LLONG_MAX},
      {SIZE_MAX, CRect(0, 0, 10, 10), LLONG_MAX},
      {1, CRect(0, 0, INT_MAX, INT_MAX), LLONG_MAX},
  };
  for (const auto& c : cases)
    EXPECT_EQ(lexaro::font::MostInk(c.glyphs, c.clip), c.most) << c.glyphs;
}
