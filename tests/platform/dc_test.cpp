#include <gtest/gtest.h>

#include <memory>

#include "lexaro/record_dc.h"
#include "platform/surface_helpers.h"

namespace {

// A recording surface with the default synthetic font: ascent 0.8 em,
// descent 0.2 em, every byte 0.5 em wide.
struct Recorder : CRecordDC {
  Recorder() { UseSyntheticFont(SyntheticFont{}); }
  const RecordedOp& Last() const { return Ops().back(); }
};

}  // namespace

TEST(DeviceContext, SelectObjectReturnsThePreviousObject) {
  Recorder dc;
  TestFont a("DejaVu Sans", -20), b("Symbol", -30);
  CFont* defaultFont = dc.SelectObject(&a);
  ASSERT_NE(defaultFont, nullptr);
  EXPECT_NE(defaultFont, &a);
  EXPECT_EQ(dc.SelectObject(&b), &a);
  EXPECT_EQ(dc.SelectObject(defaultFont), &b);
  dc.TextOut(0, 0, "x");
  LOGFONT def{};
  defaultFont->GetLogFont(&def);
  EXPECT_TRUE(dc.Last().font == def);

  CPen red(PS_SOLID, 2, RGB(255, 0, 0)), blue(PS_DASH, 1, RGB(0, 0, 255));
  CPen* defaultPen = dc.SelectObject(&red);
  ASSERT_NE(defaultPen, nullptr);
  EXPECT_NE(defaultPen, &red);
  EXPECT_EQ(dc.SelectObject(&blue), &red);
  EXPECT_EQ(dc.SelectObject(defaultPen), &blue);
  dc.LineTo(5, 0);
  EXPECT_EQ(dc.Last().pen.style, PS_SOLID);
  EXPECT_EQ(dc.Last().pen.width, 1);
  EXPECT_EQ(dc.Last().pen.color, RGB(0, 0, 0));

  CBrush green(RGB(0, 255, 0));
  CBrush* defaultBrush = dc.SelectObject(&green);
  ASSERT_NE(defaultBrush, nullptr);
  EXPECT_EQ(dc.SelectObject(defaultBrush), &green);

  // Objects that hold nothing are refused and change nothing.
  CFont empty;
  CPen deleted(PS_SOLID, 4, RGB(1, 2, 3));
  deleted.DeleteObject();
  EXPECT_EQ(dc.SelectObject(&empty), nullptr);
  EXPECT_EQ(dc.SelectObject(&deleted), nullptr);
  EXPECT_EQ(dc.SelectObject(static_cast<CPen*>(nullptr)), nullptr);
  EXPECT_EQ(dc.GetCurrentFont(), defaultFont);
  EXPECT_EQ(dc.GetCurrentPen(), defaultPen);

  // Deleting or destroying a selected object is harmless: the context keeps
  // drawing with what was selected.
  dc.SelectObject(&red);
  red.DeleteObject();
  dc.LineTo(9, 0);
  EXPECT_EQ(dc.Last().pen.color, RGB(255, 0, 0));
  EXPECT_EQ(dc.Last().pen.width, 2);
  dc.SelectObject(std::make_unique<TestFont>("Symbol", -30).get());
  dc.TextOut(0, 0, "y");
  EXPECT_TRUE(dc.Last().font == b.lf);
  EXPECT_EQ(dc.GetTextExtent("ab").cx, 30);
  EXPECT_NE(dc.SelectObject(&a), nullptr);
}

TEST(RecordDC, RecordsEveryDrawingCallInOrder) {
  Recorder dc;
  TestFont font("Times New Roman", -20);
  dc.SelectObject(&font);
  EXPECT_EQ(dc.SetTextColor(RGB(9, 8, 7)), RGB(0, 0, 0));
  EXPECT_EQ(dc.SetTextAlign(TA_BASELINE | TA_CENTER), TA_TOP | TA_LEFT);
  EXPECT_EQ(dc.SetBkMode(TRANSPARENT), OPAQUE);
  EXPECT_EQ(dc.SetBkMode(99), 0);  // not a mode: ignored
  EXPECT_EQ(dc.GetBkMode(), TRANSPARENT);

  dc.TextOut(12, 34, CString("a\0b", 3));
  EXPECT_EQ(dc.MoveTo(1, 2), CPoint(0, 0));
  CPen pen(PS_SOLID, 3, RGB(0, 0, 255));
  dc.SelectObject(&pen);
  dc.LineTo(7, 2);
  dc.SetPixel(4, 5, RGB(1, 1, 1));
  dc.FillSolidRect(0, 0, 10, 6, RGB(2, 2, 2));
  dc.TextOut(0, 0, "", 0);  // nothing to draw, nothing recorded
  dc.TextOut(0, 0, nullptr, 3);

  const auto& ops = dc.Ops();
  ASSERT_EQ(ops.size(), 4u);
  EXPECT_EQ(ops[0].kind, RecordedOp::Text);
  EXPECT_EQ(ops[0].text, CString("a\0b", 3));
  EXPECT_EQ(ops[0].from, CPoint(12, 34));
  EXPECT_TRUE(ops[0].font == font.lf);
  EXPECT_EQ(ops[0].color, RGB(9, 8, 7));
  EXPECT_EQ(ops[0].align, TA_BASELINE | TA_CENTER);
  EXPECT_EQ(ops[0].bkMode, TRANSPARENT);
  EXPECT_EQ(ops[1].kind, RecordedOp::Line);
  EXPECT_EQ(ops[1].from, CPoint(1, 2));
  EXPECT_EQ(ops[1].to, CPoint(7, 2));
  EXPECT_EQ(ops[1].pen.width, 3);
  EXPECT_EQ(ops[1].color, RGB(0, 0, 255));
  EXPECT_EQ(ops[2].kind, RecordedOp::Pixel);
  EXPECT_EQ(ops[2].from, CPoint(4, 5));
  EXPECT_EQ(ops[3].kind, RecordedOp::Fill);
  EXPECT_EQ(ops[3].rect, CRect(0, 0, 10, 6));
  EXPECT_EQ(dc.GetPixel(4, 5), RGB(2, 2, 2));  // the later fill covers it
  EXPECT_EQ(dc.GetCurrentPosition(), CPoint(7, 2));

  // A null pen moves the position but draws nothing.
  CPen null(PS_NULL, 1, 0);
  dc.SelectObject(&null);
  dc.LineTo(20, 20);
  EXPECT_EQ(dc.Ops().size(), 4u);
  EXPECT_EQ(dc.GetCurrentPosition(), CPoint(20, 20));
}

TEST(RecordDC, SyntheticMetricsAndResolution) {
  Recorder dc;
  TestFont font("Any", -20), cell("Any", 30);  // a positive height is the cell height
  dc.SelectObject(&font);
  TEXTMETRIC tm{};
  ASSERT_TRUE(GetTextMetrics(dc.m_hDC, &tm));
  EXPECT_EQ(tm.tmAscent, 16);
  EXPECT_EQ(tm.tmDescent, 4);
  EXPECT_EQ(tm.tmHeight, 20);
  EXPECT_EQ(dc.GetTextExtent("abc"), CSize(30, 20));
  SyntheticFont narrow;
  narrow.internalLeading = 0.1;
  narrow.byteAdvance = [](unsigned char b) { return b == 'i' ? 0.25 : 0.6; };
  dc.UseSyntheticFont(narrow);
  EXPECT_EQ(dc.GetTextExtent("iim").cx, 5 + 5 + 12);
  dc.GetTextMetrics(&tm);
  EXPECT_EQ(tm.tmInternalLeading, 2);
  dc.SelectObject(&cell);
  dc.GetTextMetrics(&tm);
  EXPECT_EQ(tm.tmHeight, 30);

  EXPECT_EQ(GetDeviceCaps(dc.m_hDC, LOGPIXELSY), 96);
  dc.SetResolution(120);
  EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSY), 120);
  EXPECT_EQ(GetDeviceCaps(&dc, LOGPIXELSX), 120);
  dc.SetResolution(0);
  EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSY), 96);
}

TEST(RecordDC, UpdateCpMovesAlongTheTurnedBaseline) {
  Recorder dc;
  TestFont font("Any", -20), up("Any", -20, 900);
  dc.SelectObject(&font);
  dc.SetTextAlign(TA_BASELINE | TA_UPDATECP);
  dc.MoveTo(100, 50);
  dc.TextOut(0, 0, "abcd");  // 40 wide; the point passed is ignored
  EXPECT_EQ(dc.Last().from, CPoint(100, 50));
  EXPECT_EQ(dc.GetCurrentPosition(), CPoint(140, 50));
  dc.SetTextAlign(TA_BASELINE | TA_RIGHT | TA_UPDATECP);
  dc.TextOut(0, 0, "ab");
  EXPECT_EQ(dc.Last().from, CPoint(140, 50));
  EXPECT_EQ(dc.GetCurrentPosition(), CPoint(120, 50));
  dc.SetTextAlign(TA_BASELINE);
  dc.TextOut(7, 8, "ab");
  EXPECT_EQ(dc.Last().from, CPoint(7, 8));
  EXPECT_EQ(dc.GetCurrentPosition(), CPoint(120, 50));
  dc.SelectObject(&up);
  dc.SetTextAlign(TA_BASELINE | TA_UPDATECP);
  dc.TextOut(0, 0, "abc");
  EXPECT_EQ(dc.GetCurrentPosition(), CPoint(120, 20));
}

TEST(DeviceContext, ClipOnASurfaceWithoutSize) {
  Recorder dc;
  CRgn a;
  a.CreateRectRgn(0, 0, 10, 10);
  // Without a clip, combining starts from the whole (unbounded) surface.
  EXPECT_EQ(dc.SelectClipRgn(&a, RGN_DIFF), COMPLEXREGION);
  EXPECT_EQ(dc.GetPixel(5, 5), CLR_INVALID);
  EXPECT_EQ(dc.SetPixel(5, 5, 0), CLR_INVALID);
  EXPECT_NE(dc.GetPixel(-500, 5), CLR_INVALID);
  EXPECT_EQ(dc.IntersectClipRect(5, 0, 25, 10), SIMPLEREGION);
  CRect box;
  EXPECT_EQ(dc.GetClipBox(&box), SIMPLEREGION);
  EXPECT_EQ(box, CRect(10, 0, 25, 10));
  EXPECT_EQ(dc.SelectClipRgn(nullptr), SIMPLEREGION);
  EXPECT_EQ(dc.GetClipRegion(), nullptr);
}
