// Fractions and radicals: the bar, the parts and their placement, the sign
// font, the sign column with its index, the record order and drawing order.
#include <climits>
#include <cmath>
#include <string>

#include "engine_fixture.h"
#include "lexaro/numeric.h"
#include "lexaro/raster_dc.h"

namespace {

// The recorded drawing as a short script: "L" + pen colour for lines (a run
// of lines of one colour counts once: a fill is many lines), "T:" + bytes
// for text.
std::vector<std::string> Script(const CRecordDC& dc) {
  std::vector<std::string> out;
  for (const RecordedOp& op : dc.Ops()) {
    std::string s;
    if (op.kind == RecordedOp::Text)
      s = "T:" + std::string(op.text.GetString());
    else if (op.kind == RecordedOp::Line)
      s = "L" + std::to_string(op.color);
    else
      continue;
    if (out.empty() || out.back() != s || s[0] == 'T') out.push_back(s);
  }
  return out;
}

std::string L(COLORREF c) { return "L" + std::to_string(c); }

std::vector<RecordedOp> LinesOf(const CRecordDC& dc, COLORREF color) {
  std::vector<RecordedOp> out;
  for (const RecordedOp& op : dc.Ops())
    if (op.kind == RecordedOp::Line && op.color == color) out.push_back(op);
  return out;
}

constexpr COLORREF kBar = RGB(0x33, 0x22, 0x11);  // #332211

}  // namespace

using Fractions = EngineTest;
using Radicals = EngineTest;

TEST_F(Fractions, BarWidthGrowsEveryThirtyUnitsFromForty) {
  using E = CLexaro::Engine;
  EXPECT_EQ(E::GetBarWidth(1), 1);
  EXPECT_EQ(E::GetBarWidth(20), 1);
  EXPECT_EQ(E::GetBarWidth(39), 1);
  EXPECT_EQ(E::GetBarWidth(40), 2);
  EXPECT_EQ(E::GetBarWidth(69), 2);
  EXPECT_EQ(E::GetBarWidth(70), 3);
  EXPECT_EQ(E::GetBarWidth(100), 4);
  // Truncation toward zero: small negative em heights still give 1.
  EXPECT_EQ(E::GetBarWidth(-19), 1);
  // The ends of the int range do not wrap.
  EXPECT_EQ(E::GetBarWidth(INT_MIN), int((INT_MIN - 10LL) / 30 + 1));
  EXPECT_EQ(E::GetBarWidth(INT_MAX), int((INT_MAX - 10LL) / 30 + 1));
}

TEST_F(Fractions, PartsSitOnAndUnderTheBar) {
  // b = Roundoff(16 * 32/71) = 7. Parts: margins 3 left and right, the
  // numerator 2 below, the denominator 2 above; the fraction 2 left and right.
  LX_TXT_EXTENT e = Layout("<FRAC><S>1</S><S>x</S></FRAC>");
  auto tags = Items(engine.m_dataTag);
  ASSERT_EQ(tags.size(), 3u);
  EXPECT_EQ(tags[0].aux, 2);
  EXPECT_EQ(tags[1].extent.width, 16);
  EXPECT_EQ(tags[1].extent.ascent, 16);
  EXPECT_EQ(tags[1].extent.descent, 6);
  EXPECT_EQ(tags[2].extent.ascent, 18);
  EXPECT_EQ(tags[2].extent.descent, 4);
  EXPECT_EQ(tags[1].endIdx, 14);  // just past the numerator's </S>
  EXPECT_EQ(tags[0].endIdx, 29);
  EXPECT_EQ(e.width, 16 + 4);
  EXPECT_EQ(e.ascent, 22 + 7);
  EXPECT_EQ(e.descent, 22 + 1 - 7);  // the extra unit under the bar counts

  dc.ClearOps();
  engine.TextOutA(&dc, CPoint(0, 0));  // baseline at y = 29
  auto t = Texts();
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[0].from, CPoint(5, 29 - 13));  // up by its descent 6 + b
  EXPECT_EQ(t[1].from, CPoint(5, 29 + 12));  // down by its ascent 18 + 1 - b
  auto bar = LinesOf(dc, RGB(0, 0, 0));
  ASSERT_EQ(bar.size(), 1u);
  EXPECT_EQ(bar[0].from, CPoint(2, 22));  // b above the baseline
  EXPECT_EQ(bar[0].to, CPoint(18, 22));   // as long as the wider part's box
  EXPECT_EQ(bar[0].pen.width, 1);
  // Numerator box: 16 + 6 around its baseline 16 ends on row 21, just above
  // the bar; the denominator's box starts at 41 - 18 = 23, just below it.
}

TEST_F(Fractions, BarHeightAndWidthFollowTheFont) {
  // em 40 (30 pt): ascent 32, b = Roundoff(14.42) = 14, a bar 2 wide.
  Layout("<FONT size=30 color=#332211><FRAC><S>1</S><S>2</S></FRAC></FONT>");
  auto tags = Items(engine.m_dataTag);
  ASSERT_EQ(tags.size(), 3u);
  EXPECT_EQ(tags[0].color, kBar);  // the bar takes the text colour
  EXPECT_EQ(tags[1].extent.width, 20 + 12);  // margins 6 + 6
  EXPECT_EQ(tags[0].extent.ascent, 32 + 8 + 4 + 14);
  dc.ClearOps();
  engine.TextOutA(&dc, CPoint(0, 0));
  auto bar = LinesOf(dc, kBar);
  ASSERT_EQ(bar.size(), 1u);
  EXPECT_EQ(bar[0].pen.width, 2);
  EXPECT_EQ(bar[0].from, CPoint(4, 58 - 14));
  // em 70 (52.5 pt): a bar 3 wide.
  Layout("<FONT size=52.5><FRAC color=#332211><S>1</S><S>2</S></FRAC></FONT>");
  dc.ClearOps();
  engine.TextOutA(&dc, CPoint(0, 0));
  bar = LinesOf(dc, kBar);
  ASSERT_EQ(bar.size(), 1u);
  EXPECT_EQ(bar[0].pen.width, 3);
}

TEST_F(Fractions, TheNarrowerPartIsCentredWithTheOddUnitOnTheRight) {
  // Numerator 30 + 6 = 36 wide, denominator 10 + 6 + 1 (padding 5 %) = 17:
  // 19 to share, 9 on the left and 10 on the right.
  LX_TXT_EXTENT e = Layout(R"(<FRAC><S>abc</S><S style="padding-left:5">x</S></FRAC>)");
  EXPECT_EQ(e.width, 36 + 4);
  dc.ClearOps();
  engine.TextOutA(&dc, CPoint(0, 0));
  auto t = Texts();
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[0].from.x, 2 + 3);
  EXPECT_EQ(t[1].from.x, 2 + 9 + 3 + 1);
  // Lines of a part are centred in the part's box.
  Layout("<FRAC><S>abc<BR>a</S><S>x</S></FRAC>");
  dc.ClearOps();
  engine.TextOutA(&dc, CPoint(0, 0));
  t = Texts();
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[1].from.x, t[0].from.x + 10);
}

TEST_F(Fractions, MissingAndSurplusParts) {
  // One part: the numerator on the bar, nothing below.
  LX_TXT_EXTENT e = Layout("<FRAC><S>a</S></FRAC>z");
  auto tags = Items(engine.m_dataTag);
  ASSERT_EQ(tags.size(), 2u);
  EXPECT_EQ(tags[0].aux, 1);
  EXPECT_EQ(tags[0].extent.ascent, 22 + 7);
  EXPECT_EQ(tags[0].extent.descent, -7);
  EXPECT_EQ(e.width, 20 + 10);
  dc.ClearOps();
  engine.TextOutA(&dc, CPoint(0, 0));
  EXPECT_EQ(Script(dc), (std::vector<std::string>{"T:a", L(0), "T:z"}));
  // No part: the fraction's side margins and a bar of length 0.
  Layout("<FRAC></FRAC>z");
  tags = Items(engine.m_dataTag);
  ASSERT_EQ(tags.size(), 1u);
  EXPECT_EQ(tags[0].aux, 0);
  EXPECT_EQ(tags[0].extent.width, 4);
  EXPECT_EQ(tags[0].extent.ascent, 7);
  EXPECT_EQ(tags[0].extent.descent, -7);
  dc.ClearOps();
  engine.TextOutA(&dc, CPoint(0, 0));
  auto t = Texts();
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0].from.x, 4);
  // A third part is neither measured nor drawn, in either pass.
  e = Layout("<FRAC><S>a</S><S>b</S><S>ccccc<SQRT>d</SQRT></S></FRAC>z");
  tags = Items(engine.m_dataTag);
  ASSERT_EQ(tags.size(), 3u);
  EXPECT_EQ(tags[0].extent.width, 20);
  EXPECT_EQ(e.width, 20 + 10);
  dc.ClearOps();
  engine.TextOutA(&dc, CPoint(0, 0));
  EXPECT_EQ(Script(dc), (std::vector<std::string>{"T:a", "T:b", L(0), "T:z"}));
  EXPECT_EQ(Texts().back().from.x, 20);
  // Without its end tag the fraction runs to the end of the text.
  Layout("<FRAC><S>a</S>");
  EXPECT_EQ(Items(engine.m_dataTag)[0].aux, 1);
}

TEST_F(Fractions, PartOffsetsMoveThePartsUp) {
  // position 50 % of 20: the numerator 10 higher, the denominator 10 higher.
  LX_TXT_EXTENT plain = Layout("<FRAC><S>a</S><S>b</S></FRAC>");
  LX_TXT_EXTENT e = Layout(R"(<FRAC><S style="position:50">a</S><S>b</S></FRAC>)");
  EXPECT_EQ(e.ascent, plain.ascent + 10);
  EXPECT_EQ(e.descent, plain.descent);
  e = Layout(R"(<FRAC><S>a</S><S style="position:50">b</S></FRAC>)");
  EXPECT_EQ(e.ascent, plain.ascent);
  EXPECT_EQ(e.descent, plain.descent - 10);
}

TEST_F(Fractions, RecordsStandInTheOrderOfTheirStartTags) {
  Layout("<FRAC><S><SQRT>a</SQRT></S><S><FRAC><S>bb</S><S>ccc</S></FRAC></S></FRAC>");
  auto tags = Items(engine.m_dataTag);
  ASSERT_EQ(tags.size(), 7u);
  // fraction, numerator, its radical, denominator, inner fraction, its parts
  EXPECT_EQ(tags[0].aux, 2);
  EXPECT_EQ(tags[2].aux3, -24);  // the radical's sign font
  EXPECT_EQ(tags[3].extent.width, tags[4].extent.width + 6);
  EXPECT_EQ(tags[4].aux, 2);
  EXPECT_EQ(tags[5].extent.width, 20 + 6);
  EXPECT_EQ(tags[6].extent.width, 30 + 6);
  // The render pass takes them back in the same order.
  dc.ClearOps();
  ASSERT_EQ(engine.TextOutA(&dc, CPoint(0, 0)), 1);
  auto t = Texts();
  ASSERT_EQ(t.size(), 4u);
  EXPECT_EQ(t[0].text, "a");
  EXPECT_EQ(t[1].text, "\xD6");
  EXPECT_EQ(t[2].text, "bb");
  EXPECT_EQ(t[3].text, "ccc");
  EXPECT_LT(t[1].from.y, t[2].from.y);
}

TEST_F(Fractions, DrawingOrderAndEscapement) {
  Layout(R"(<FRAC color=#332211 bgcolor=#FFFF00 style="border:1 solid #0000FF">)"
         R"(<S bgcolor=#FF0000 style="border:1 solid #00FF00">1</S><S>x</S></FRAC>)");
  dc.ClearOps();
  engine.TextOutA(&dc, CPoint(0, 0));
  EXPECT_EQ(Script(dc), (std::vector<std::string>{L(RGB(255, 255, 0)), L(RGB(255, 0, 0)), "T:1",
                                                   L(RGB(0, 255, 0)), "T:x", L(kBar),
                                                   L(RGB(0, 0, 255))}));
  // Turned by 90 degrees the bar runs upwards from the baseline's start.
  Layout("<FRAC><S>1</S><S>x</S></FRAC>");
  engine.m_lfEscapement = 900;
  engine.m_sin = 1.0;
  engine.m_cos = 0.0;
  dc.ClearOps();
  engine.TextOutA(&dc, CPoint(100, 100));
  auto bar = LinesOf(dc, 0);
  ASSERT_EQ(bar.size(), 1u);
  EXPECT_EQ(bar[0].to, CPoint(bar[0].from.x, bar[0].from.y - 16));
}

TEST_F(Radicals, SignFontAndBoxForTheWorkedExample) {
  // Content 10 x (16 + 4), mT 2, mX 3: H = 22, S = 18, sign height 18 + 6.
  LX_TXT_EXTENT e = Layout("<SQRT>x</SQRT>");
  auto tags = Items(engine.m_dataTag);
  ASSERT_EQ(tags.size(), 1u);
  EXPECT_EQ(tags[0].aux3, -24);
  EXPECT_EQ(tags[0].aux2, 12);  // the synthetic sign is 0.5 x 24 wide
  EXPECT_EQ(e.width, 10 + 6 + 12 + 4);
  EXPECT_EQ(e.ascent, 18);
  EXPECT_EQ(e.descent, 4);  // the sign's own descent hangs below
  EXPECT_EQ(tags[0].endIdx, 14);

  dc.ClearOps();
  engine.TextOutA(&dc, CPoint(0, 0));  // baseline at y = 18
  auto t = Texts();
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[0].text, "x");
  EXPECT_EQ(t[0].from, CPoint(2 + 12 + 3, 18));
  EXPECT_EQ(t[1].text, "\xD6");
  EXPECT_EQ(t[1].from, CPoint(2, 18 + 4));  // standing on the box's bottom
  EXPECT_EQ(t[1].font.lfHeight, -24);
  EXPECT_EQ(t[1].font.lfWidth, -10);  // the text font's average width, negated
  EXPECT_STREQ(t[1].font.lfFaceName, "Symbol");
  EXPECT_EQ(t[1].font.lfCharSet, SYMBOL_CHARSET);
  auto bar = LinesOf(dc, 0);
  ASSERT_EQ(bar.size(), 1u);
  // On the box's top, from a pixel inside the sign's ink (a synthetic
  // glyph's ink fills its cell) to the box's right edge.
  EXPECT_EQ(bar[0].from, CPoint(2 + 11, 0));
  EXPECT_EQ(bar[0].to, CPoint(2 + 28, 0));
  EXPECT_EQ(bar[0].pen.width, 1);
}

TEST_F(Radicals, WideStrokeStartsHalfAStrokeInsideTheSign) {
  // em 40: content 20 x (32 + 8), mT 4, mX 6; H = 44, S = 36, height 36 + 12.
  Layout("<FONT size=30><SQRT>x</SQRT></FONT>");
  auto tags = Items(engine.m_dataTag);
  ASSERT_EQ(tags.size(), 1u);
  EXPECT_EQ(tags[0].aux3, -48);
  EXPECT_EQ(tags[0].aux2, 24);
  dc.ClearOps();
  engine.TextOutA(&dc, CPoint(0, 0));
  auto bar = LinesOf(dc, 0);
  ASSERT_EQ(bar.size(), 1u);
  EXPECT_EQ(bar[0].pen.width, 2);
  EXPECT_EQ(bar[0].from, CPoint(4 + 24 - 1, 0));
  EXPECT_EQ(bar[0].to.x - bar[0].from.x, 20 + 12);
  EXPECT_EQ(Texts()[1].font.lfWidth, -20);
}

TEST_F(Radicals, IndexSitsInTheCrookOfTheSign) {
  // Radicand "x": box 16 x (18 + 4), sign 12 wide with ascent 19. The index
  // "3" at em 11 is 6 x (9 + 2), raised Roundoff(19 * 50/71) + 2 - 4 = 11.
  LX_TXT_EXTENT e = Layout("<SQRTN><S>x</S><S>3</S></SQRTN>");
  auto tags = Items(engine.m_dataTag);
  ASSERT_EQ(tags.size(), 3u);
  EXPECT_EQ(tags[0].aux, 2);
  EXPECT_EQ(tags[0].ratio, 55);
  EXPECT_EQ(tags[0].aux3, -24);
  EXPECT_EQ(tags[0].aux2, 12);  // index 4 + 6 = 10 wide: the sign decides
  EXPECT_EQ(tags[1].aux2, 12);
  EXPECT_EQ(tags[1].aux3, 18);
  EXPECT_EQ(tags[2].aux2, 4 + 6);
  EXPECT_EQ(tags[2].aux3, 11);
  EXPECT_EQ(e.width, 12 + 16 + 4);
  EXPECT_EQ(e.ascent, 11 + 9);  // the index reaches higher than the bar
  EXPECT_EQ(e.descent, 4);

  dc.ClearOps();
  engine.TextOutA(&dc, CPoint(0, 0));  // baseline at y = 20
  auto t = Texts();
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[0].text, "x");
  EXPECT_EQ(t[0].from, CPoint(2 + 12 + 3, 20));
  EXPECT_EQ(t[1].text, "3");
  EXPECT_EQ(t[1].from, CPoint(2 + 2, 20 - 11));  // ends 4 left of the sign's right
  EXPECT_EQ(t[1].font.lfHeight, -11);
  EXPECT_EQ(t[2].from, CPoint(2, 24));
  auto bar = LinesOf(dc, 0);
  ASSERT_EQ(bar.size(), 1u);
  EXPECT_EQ(bar[0].from, CPoint(13, 2));
  EXPECT_EQ(bar[0].to, CPoint(30, 2));
}

TEST_F(Radicals, AWideIndexWidensTheSignColumn) {
  // Index "333": 4 + 18 = 22 > 12, so the column is 22 and the sign moves
  // right by 10; the index starts at the content box's left edge.
  LX_TXT_EXTENT e = Layout("<SQRTN><S>x</S><S>333</S></SQRTN>");
  auto tags = Items(engine.m_dataTag);
  ASSERT_EQ(tags.size(), 3u);
  EXPECT_EQ(tags[0].aux2, 22);
  EXPECT_EQ(tags[1].aux2, 12);
  EXPECT_EQ(e.width, 22 + 16 + 4);
  dc.ClearOps();
  engine.TextOutA(&dc, CPoint(0, 0));
  auto t = Texts();
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[0].from.x, 2 + 22 + 3);
  EXPECT_EQ(t[1].from.x, 2);
  EXPECT_EQ(t[2].from.x, 2 + 10);
  EXPECT_EQ(LinesOf(dc, 0)[0].from.x, 2 + 22 - 1);
}

TEST_F(Radicals, IndexOffsetsAndTallIndicesRaiseOnlyTheAscent) {
  LX_TXT_EXTENT e = Layout(R"(<SQRTN><S>x</S><S style="position:100">3</S></SQRTN>)");
  EXPECT_EQ(e.ascent, 11 + 9 + 11);  // 100 % of the index's em
  EXPECT_EQ(e.descent, 4);
  e = Layout("<SQRTN><S>x</S><S>3<BR>3<BR>3</S></SQRTN>");
  EXPECT_EQ(e.ascent, 20);
  EXPECT_EQ(e.descent, 4);
  // size adds to the default ratio: 55 - 15 gives an index at em 8.
  Layout("<SQRTN size=-15><S>x</S><S>3</S></SQRTN>");
  dc.ClearOps();
  engine.TextOutA(&dc, CPoint(0, 0));
  EXPECT_EQ(Texts()[1].font.lfHeight, -8);
}

TEST_F(Radicals, MissingPartsAndRecordOrder) {
  // No part: background and border only.
  LX_TXT_EXTENT e = Layout(R"(<SQRTN bgcolor=#FFFF00 border=1></SQRTN>)");
  EXPECT_EQ(Items(engine.m_dataTag)[0].aux, 0);
  EXPECT_EQ(e.width, 4 + 2);
  dc.ClearOps();
  engine.TextOutA(&dc, CPoint(0, 0));
  EXPECT_TRUE(Texts().empty());
  // One part: radicand, sign and bar.
  Layout("<SQRTN><S>x</S></SQRTN>");
  dc.ClearOps();
  engine.TextOutA(&dc, CPoint(0, 0));
  EXPECT_EQ(Script(dc), (std::vector<std::string>{"T:x", "T:\xD6", L(0)}));
  // A third part is skipped; nested records follow their part's record.
  Layout("<SQRTN><S><FRAC><S>a</S><S>b</S></FRAC></S><S>n</S><S>zzz</S></SQRTN>q");
  auto tags = Items(engine.m_dataTag);
  ASSERT_EQ(tags.size(), 6u);
  EXPECT_EQ(tags[0].aux, 2);
  EXPECT_EQ(tags[1].aux2, tags[0].aux2);  // the radicand, then its fraction
  EXPECT_EQ(tags[2].aux, 2);
  EXPECT_EQ(tags[5].aux2, Roundoff(tags[1].aux2 / 3.0) + 6);  // the index comes last
  dc.ClearOps();
  engine.TextOutA(&dc, CPoint(0, 0));
  EXPECT_EQ(Script(dc),
            (std::vector<std::string>{"T:a", "T:b", L(0), "T:n", "T:\xD6", L(0), "T:q"}));
}

TEST_F(Radicals, DrawingOrderAndTheSignsColourAndStyle) {
  Layout(R"(<B><I><SQRT color=#332211 bgcolor=#FFFF00 style="border:1 solid #0000FF">x</SQRT>)");
  dc.ClearOps();
  dc.SetTextColor(RGB(1, 2, 3));
  engine.TextOutA(&dc, CPoint(0, 0));
  EXPECT_EQ(Script(dc), (std::vector<std::string>{L(RGB(255, 255, 0)), "T:x", "T:\xD6", L(kBar),
                                                   L(RGB(0, 0, 255))}));
  // The sign is upright, of normal weight, in the tag's colour; the
  // device context's text colour is restored.
  auto t = Texts();
  EXPECT_EQ(t[0].font.lfWeight, FW_BOLD);
  EXPECT_EQ(t[1].font.lfWeight, FW_NORMAL);
  EXPECT_EQ(t[1].font.lfItalic, 0);
  EXPECT_EQ(t[1].color, kBar);
  EXPECT_EQ(dc.GetTextColor(), RGB(1, 2, 3));
  Layout(R"(<SQRTN color=#332211 bgcolor=#FFFF00 style="border:1 solid #0000FF">)"
         R"(<S bgcolor=#FF0000>x</S><S style="border:1 solid #00FF00">3</S></SQRTN>)");
  dc.ClearOps();
  engine.TextOutA(&dc, CPoint(0, 0));
  EXPECT_EQ(Script(dc), (std::vector<std::string>{L(RGB(255, 255, 0)), L(RGB(255, 0, 0)), "T:x",
                                                   "T:3", L(RGB(0, 255, 0)), "T:\xD6", L(kBar),
                                                   L(RGB(0, 0, 255))}));
}

TEST_F(Radicals, DegenerateSizesStayBounded) {
  // A radicand with no height asks for a sign one unit high, never for
  // lfHeight 0 (the default size) or a positive cell height.
  Layout(R"(<SQRTN><S style="margin-top:-500">x</S></SQRTN>)");
  EXPECT_EQ(Items(engine.m_dataTag)[0].aux3, -1);
  // Sums of huge parts saturate instead of wrapping: a radicand taller than
  // the int range asks for the tallest sign, a numerator for the most ascent.
  Layout("<FONT size=2000000000><SQRT>c</SQRT></FONT>");
  EXPECT_EQ(Items(engine.m_dataTag)[0].aux3, -INT_MAX);
  Layout("<FONT size=2000000000><FRAC><S>a</S><S>b</S></FRAC></FONT>");
  EXPECT_EQ(Items(engine.m_dataTag)[0].extent.ascent, INT_MAX);
  // Huge, negative and zero sizes lay out and draw.
  for (const char* text :
       {"<FONT size=2000000000><SQRTN size=200><S>a</S><S>b</S></SQRTN></FONT>",
        "<SQRTN size=-300><S>a</S><S>b</S></SQRTN><SUP size=-55><SQRT>c</SQRT></SUP>",
        R"(<FRAC><S style="margin:2000000000">a</S><S>b</S></FRAC>)"}) {
    Layout(text);
    EXPECT_LT(Items(engine.m_dataTag)[0].aux3, 1) << text;
    dc.ClearOps();
    EXPECT_EQ(engine.TextOutA(&dc, CPoint(0, 0)), 1) << text;
  }
}

TEST_F(Radicals, AFailedPartRecordFailsTheLayout) {
  for (const char* text : {"<FRAC><S>a</S><S>b</S></FRAC>", "<SQRTN><S>a</S><S>b</S></SQRTN>"}) {
    for (int allowed = 1; allowed < 4; ++allowed) {
      int n = 0;
      lexaro::engine::g_allocationHook = [&] { return n++ < allowed; };
      EXPECT_EQ(engine.SetText(&dc, text), 0) << text << allowed;
      lexaro::engine::g_allocationHook = nullptr;
      dc.ClearOps();
      EXPECT_EQ(engine.TextOutA(&dc, CPoint(0, 0)), 0);
      EXPECT_TRUE(dc.Ops().empty());
    }
  }
}

namespace {

// A raster surface that paints only the glyphs of the symbol font (the
// radical sign) and keeps the lines it is asked to draw (the bar) aside.
class SignOnlyRaster : public CRasterDC {
 public:
  struct Line {
    CPoint from, to;
    int width;
  };
  using CRasterDC::CRasterDC;
  std::vector<Line> lines;

 protected:
  void DrawText(const TextOutRequest& r) override {
    if (r.font.lfCharSet == SYMBOL_CHARSET) CRasterDC::DrawText(r);
  }
  void DrawLine(CPoint from, CPoint to, const PenState& pen) override {
    lines.push_back({from, to, pen.width});
  }
};

// How dark a pixel of a black-on-white surface is, 0 to 255.
int Ink(const CRasterDC& dc, int x, int y) {
  if (x < 0 || y < 0 || x >= dc.Width() || y >= dc.Height()) return 0;
  return 255 - int((dc.Bits()[size_t(y) * size_t(dc.Width()) + size_t(x)] >> 8) & 0xFF);
}

// On real fonts: the bar of a radical meets the sign's ink at every size
// and angle. The sign and the bar are painted apart. The bar's first pixels
// (within a pixel and a half of its start, along it) must lie on or touch a
// sign pixel at least a quarter dark, or, where the sign's stroke is paler
// than half dark (the thinnest signs), at least half as dark as the sign
// near the start: touching only the pale fringe of the sign's outline is a
// visible gap. The sign must be near: a bar that starts beyond its reach
// finds nothing dark to touch.
class RadicalJoin : public EngineTest {
 protected:
  struct Join {
    int touching = 0;  // the darkest sign pixel the bar's first pixels lie on or touch
    int nearby = 0;    // the darkest sign pixel within em / 8 (3 or more) pixels of the start
  };

  Join Measure(const char* text, int em, int angle, bool antialias) {
    lexaro::engine::Params().def_lf.lfHeight = -em;
    engine.m_lfEscapement = angle;
    const int side = 6 * em + 40;
    SignOnlyRaster sign(side, side);
    EXPECT_EQ(engine.SetText(&sign, text), 1);
    engine.TextOutA(&sign, CPoint(side / 2 - em, side / 2));
    Join j;
    if (sign.lines.size() != 1u) return ADD_FAILURE() << "lines: " << sign.lines.size(), j;
    const SignOnlyRaster::Line l = sign.lines[0];
    CRasterDC bar(side, side);
    bar.SetAntialias(antialias);
    CPen pen(PS_SOLID, l.width, 0);
    bar.SelectObject(&pen);
    bar.MoveTo(l.from);
    bar.LineTo(l.to);
    const double length = std::hypot(l.to.x - l.from.x, l.to.y - l.from.y);
    const double dx = (l.to.x - l.from.x) / length, dy = (l.to.y - l.from.y) / length;
    const int r = std::max(3, em / 8);
    for (int y = l.from.y - r; y <= l.from.y + r; ++y)
      for (int x = l.from.x - r; x <= l.from.x + r; ++x) {
        j.nearby = std::max(j.nearby, Ink(sign, x, y));
        // An anti-aliased bar's pale fringe does not make a join.
        if (Ink(bar, x, y) < (antialias ? 128 : 1) || (x + 0.5 - l.from.x) * dx + (y + 0.5 - l.from.y) * dy > 1.5)
          continue;
        for (int v = y - 1; v <= y + 1; ++v)
          for (int u = x - 1; u <= x + 1; ++u) j.touching = std::max(j.touching, Ink(sign, u, v));
      }
    return j;
  }
};

TEST_F(RadicalJoin, TheBarMeetsTheSignAtEverySizeAndAngle) {
  for (const char* text : {"<SQRT>b<SUP>2</SUP></SQRT>", "<SQRTN><S>x+1</S><S>3</S></SQRTN>"})
    for (int em : {8, 9, 12, 16, 20, 27, 40, 55, 100, 200})
      for (int angle = 0; angle < 3600; angle += 150)
        for (bool antialias : {false, true}) {
          Join j = Measure(text, em, angle, antialias);
          EXPECT_GE(j.nearby, 64) << text << " em " << em << " angle " << angle;
          EXPECT_GE(j.touching, std::min(64, j.nearby / 2))
              << text << " em " << em << " angle " << angle << " antialias " << antialias
              << ": the sign is " << j.nearby << " dark near the bar's start";
        }
}

}  // namespace
