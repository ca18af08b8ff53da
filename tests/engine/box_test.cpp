// Boxes, superscripts and subscripts, stacked and right-hand scripts,
// borders and backgrounds, and the nesting limit.
#include <pthread.h>

#include <algorithm>
#include <climits>
#include <string>
#include <utility>

#include "engine_fixture.h"
#include "support/pixels.h"

using Boxes = EngineTest;

TEST_F(Boxes, MarginBorderAndPaddingGrowTheBox) {
  // At em 20: padding 20 % is 4, margin 30 % is 6, borders 1 wide.
  LX_TXT_EXTENT e = Layout(R"(<DIV border=1 style="padding:20;margin:30">ab</DIV>)");
  EXPECT_EQ(e.width, 20 + 2 * 4 + 2 + 2 * 6);
  EXPECT_EQ(e.ascent, 16 + 4 + 1 + 6);
  EXPECT_EQ(e.descent, 4 + 4 + 1 + 6);
  // A wide left border adds one unit, a wide top border its width.
  e = Layout(R"(<DIV style="border-left:3 solid red; border-top:3 solid red">ab</DIV>)");
  EXPECT_EQ(e.width, 21);
  EXPECT_EQ(e.ascent, 19);
  // The position moves the drawing, not the extent.
  LX_TXT_EXTENT moved = Layout(R"(<DIV style="position:-20 20">ab</DIV>)");
  EXPECT_EQ(moved.width, 20);
  EXPECT_EQ(moved.ascent, 16);
  dc.ClearOps();
  engine.TextOutA(&dc, CPoint(0, 0));
  EXPECT_EQ(Texts()[0].from, CPoint(4, 16 + 4));
  // The end tag of the innermost open DIV ends it.
  Layout("<DIV>a<DIV>b</DIV>c</DIV>d");
  auto tags = Items(engine.m_dataTag);
  ASSERT_EQ(tags.size(), 2u);
  EXPECT_EQ(tags[0].extent.width, 30);
  EXPECT_EQ(engine.m_extent.width, 40);
  EXPECT_EQ(tags[0].endIdx, int(std::string("<DIV>a<DIV>b</DIV>c</DIV>").size()));
}

TEST_F(Boxes, BackgroundContentBorderInThatOrder) {
  Layout(R"(<DIV bgcolor=yellow style="border:1 solid red">ab</DIV>)");
  dc.ClearOps();
  engine.TextOutA(&dc, CPoint(10, 10));
  const auto& ops = dc.Ops();
  ASSERT_FALSE(ops.empty());
  size_t text = 0;
  while (text < ops.size() && ops[text].kind != RecordedOp::Text) ++text;
  ASSERT_LT(text, ops.size());
  for (size_t i = 0; i < text; ++i) EXPECT_EQ(ops[i].color, RGB(255, 255, 0)) << i;
  ASSERT_EQ(ops.size() - text - 1, 4u);  // left, right, top, bottom
  for (size_t i = text + 1; i < ops.size(); ++i) EXPECT_EQ(ops[i].color, RGB(255, 0, 0));
  // The box is 22 x 22 from (10, 10): its sides run along the outer pixels.
  EXPECT_EQ(ops[text + 1].from, CPoint(10, 10));
  EXPECT_EQ(ops[text + 1].to, CPoint(10, 31));
  EXPECT_EQ(ops[text + 3].from, CPoint(10, 10));
  EXPECT_EQ(ops[text + 3].to, CPoint(31, 10));
  EXPECT_EQ(ops[text + 4].from, CPoint(10, 31));
}

TEST_F(Boxes, WideSidesAreMovedInside) {
  Layout(R"(<DIV style="border-top:3 solid red;border-bottom:3 dashed blue">ab</DIV>)");
  dc.ClearOps();
  engine.TextOutA(&dc, CPoint(0, 0));
  auto lines = Lines(dc);
  ASSERT_FALSE(lines.empty());
  // Top side: one lower, 1 shorter on the left and 2 on the right.
  EXPECT_EQ(lines[0].from, CPoint(1, 1));
  EXPECT_EQ(lines[0].pen.width, 3);
  // Bottom side of width 3: one above the bottom vertices (box height 26).
  bool found = false;
  for (const RecordedOp& l : lines)
    if (l.color == RGB(0, 0, 255)) {
      EXPECT_EQ(l.from.y, 24);
      found = true;
    }
  EXPECT_TRUE(found);
}

TEST_F(Boxes, SuperscriptsAndSubscriptsShrinkAndShift) {
  // Script em 11; ascent and descent 16 and 4 scale to 9 and 2.
  Layout("x<SUP>2</SUP>");
  auto tags = Items(engine.m_dataTag);
  ASSERT_EQ(tags.size(), 1u);
  EXPECT_EQ(tags[0].ratio, 55);
  EXPECT_EQ(tags[0].offset, CPoint(0, 0));  // 2 % of 20 rounds to 0
  // Shift 16 - 11 + 2 = 7: content ascent 9 (16 * 11 / 20 rounded) + 7.
  EXPECT_EQ(tags[0].extent.ascent, 9 + 7);
  EXPECT_EQ(tags[0].extent.descent, 2 - 7);
  dc.ClearOps();
  engine.TextOutA(&dc, CPoint(0, 0));
  auto t = Texts();
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[1].font.lfHeight, -11);
  EXPECT_EQ(t[1].from, CPoint(10, 16 - 7));
  // Subscript: shift 11 - 9 - 4 = -2.
  Layout("x<SUB>2</SUB>");
  EXPECT_EQ(Items(engine.m_dataTag)[0].extent.ascent, 9 - 2);
  // A script inside a script shrinks again: 11 * 0.55 rounds to 6.
  Layout("x<SUP>a<SUP>b</SUP></SUP>");
  dc.ClearOps();
  engine.TextOutA(&dc, CPoint(0, 0));
  EXPECT_EQ(Texts().back().font.lfHeight, -6);
  EXPECT_EQ(engine.m_dataLine.GetCount(), 3);
}

TEST_F(Boxes, StackedAndRightScriptsCombineTheirParts) {
  // TOP: base "ab" (20 x 16+4), the script "c" at em 11 (9+2) above it.
  LX_TXT_EXTENT e = Layout("<TOP><S>ab</S><S>c</S></TOP>");
  auto tags = Items(engine.m_dataTag);
  ASSERT_EQ(tags.size(), 3u);
  EXPECT_EQ(tags[0].aux, 2);
  EXPECT_EQ(e.width, 20);
  EXPECT_EQ(e.ascent, 16 + 9 + 2);
  EXPECT_EQ(e.descent, 4);
  // RTB: base plus the wider of the two right scripts.
  e = Layout("<RTB><S>a</S><S>bbb</S><S>cc</S></RTB>");
  EXPECT_EQ(e.width, 10 + 18);  // "bbb" at em 11 is 3 x 6 wide
  // A missing part: aux counts what was found, and text after the end
  // tag belongs to the line again.
  e = Layout("<TOP><S>ab</S></TOP>z");
  EXPECT_EQ(Items(engine.m_dataTag)[0].aux, 1);
  EXPECT_EQ(e.width, 30);
  // A third part of TOP is skipped in both passes.
  e = Layout("<TOP><S>a</S><S>b</S><S>zzzz</S></TOP>");
  EXPECT_EQ(e.width, 10);
  dc.ClearOps();
  engine.TextOutA(&dc, CPoint(0, 0));
  EXPECT_EQ(Texts().size(), 2u);
  // The script above is centred over the base: (20 - 6) / 2 = 7.
  Layout("<TOP><S>ab</S><S>c</S></TOP>");
  dc.ClearOps();
  engine.TextOutA(&dc, CPoint(0, 0));
  auto t = Texts();
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[0].from, CPoint(0, 27));
  EXPECT_EQ(t[1].from, CPoint(7, 27 - 16 - 2));
}

namespace {

// The default font's em height, for the objects laid out next.
void SetEm(int em) {
  CFontTool().SetLOGFONT(&lexaro::engine::Params().def_lf, -em, "ＭＳ ゴシック", SHIFTJIS_CHARSET, 0);
}

// The rows a background of one colour covers: [top, bottom).
std::pair<int, int> Rows(const CRecordDC& dc, COLORREF color) {
  std::pair<int, int> rows{INT_MAX, INT_MIN};
  for (const RecordedOp& op : dc.Ops())
    if (op.kind == RecordedOp::Line && op.color == color) {
      rows.first = std::min({rows.first, int(op.from.y), int(op.to.y)});
      rows.second = std::max({rows.second, int(op.from.y) + 1, int(op.to.y) + 1});
    }
  return rows;
}

}  // namespace

TEST_F(Boxes, RightHandScriptsThatWouldOverlapAreMovedApart) {
  // The bottom script's background is red, the top one's blue. Moved apart,
  // a tenth of the script's em lies between them (one more where the move
  // is split in two equal halves), and the extent holds both.
  struct Case {
    int em;
    const char* markup;
    int gap;
  };
  const char* large =
      "<RTB size=20><S>X</S><S bgcolor=red>ratio 75</S><S bgcolor=blue>ratio 75</S></RTB>";
  const char* lines =
      "<RTB><S>X</S><S bgcolor=red>i<=>1<BR>j<=>1</S><S bgcolor=blue>n<BR>m</S></RTB>";
  const char* pushed =
      R"(<RTB><S>X</S><S bgcolor=red>b</S><S bgcolor=blue style="position:-60">t</S></RTB>)";
  const Case cases[] = {
      {20, large, 2},  // script em 15
      {40, large, 3},
      {100, large, 8},
      {20, lines, 1},  // script em 11
      {40, lines, 2},
      {20, pushed, 1},  // the top script's position lowers it by 12
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.em << " " << c.markup);
    SetEm(c.em);
    LX_TXT_EXTENT e = Layout(c.markup);
    dc.ClearOps();
    engine.TextOutA(&dc, CPoint(0, 0));
    auto low = Rows(dc, RGB(255, 0, 0)), high = Rows(dc, RGB(0, 0, 255));
    int gap = low.first - high.second;
    EXPECT_GE(gap, c.gap);
    EXPECT_LE(gap, c.gap + 1);
    EXPECT_GE(high.first, 0);
    EXPECT_LE(low.second, e.ascent + e.descent);
  }
}

TEST_F(Boxes, RightHandScriptsThatAreApartKeepTheirPlaces) {
  // <RTB><S>a</S><S>b</S><S>c</S></RTB> at the default ratio: the top
  // script's baseline is raised by base ascent - e' + d' + its position (2 %
  // of the base's height), the bottom one's lowered by base descent + a' - e'.
  struct Case {
    int em, ascent, descent;
    CPoint low, high;  // where "b" and "c" are drawn
  };
  const Case cases[] = {
      {10, 8, 2, {5, 8}, {5, 5}},       // boxes overlap by half the script's em
      {12, 10, 2, {6, 11}, {6, 6}},
      {20, 16, 4, {10, 18}, {10, 9}},
      {21, 17, 4, {11, 18}, {11, 10}},  // by a third
      {40, 33, 8, {20, 37}, {20, 18}},
      {100, 82, 20, {50, 91}, {50, 44}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.em);
    SetEm(c.em);
    LX_TXT_EXTENT e = Layout("<RTB><S>a</S><S>b</S><S>c</S></RTB>");
    EXPECT_EQ(e.ascent, c.ascent);
    EXPECT_EQ(e.descent, c.descent);
    dc.ClearOps();
    engine.TextOutA(&dc, CPoint(0, 0));
    auto t = Texts();
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0].from, CPoint(0, c.ascent));
    EXPECT_EQ(t[1].from, c.low);
    EXPECT_EQ(t[2].from, c.high);
  }
}

TEST_F(Boxes, RecordsAreInStartTagOrder) {
  Layout("<DIV><FRAC><S><SUP>1</SUP></S><S>2</S></FRAC><DIV>3</DIV></DIV>");
  auto tags = Items(engine.m_dataTag);
  ASSERT_EQ(tags.size(), 6u);  // DIV, FRAC, S, SUP, S, DIV
  EXPECT_EQ(tags[1].aux, 2);
  EXPECT_EQ(tags[3].ratio, 55);
  // The top line before the lines of the outer DIV's content.
  auto lines = Items(engine.m_dataLine);
  EXPECT_EQ(lines[0].endIdx, engine.m_textLength);
}

TEST_F(Boxes, NestingBeyondTheLimitIsPassedOverInBothPasses) {
  const int limit = CLexaro::Engine::kMaxNesting;
  std::string deep;
  for (int i = 0; i < limit + 10; ++i) deep += "<DIV>";
  deep += "x";
  for (int i = 0; i < limit + 10; ++i) deep += "</DIV>";
  deep += "y";
  EXPECT_EQ(Layout(deep.c_str()).width, 20);
  EXPECT_EQ(engine.m_dataTag.GetCount(), limit);
  dc.ClearOps();
  EXPECT_EQ(engine.TextOutA(&dc, CPoint(0, 0)), 1);
  auto t = Texts();
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[1].text, "y");
  EXPECT_EQ(t[1].from.x, 10);
}

namespace {

// Lays out and draws the deepest nesting of every construct kind on the
// calling thread; returns whether both passes succeeded.
void* DeepNesting(void* arg) {
  auto* ok = static_cast<bool*>(arg);
  CRecordDC dc;
  dc.UseSyntheticFont(TestFont());
  CLexaro lx;
  std::string text;
  const char* opens[] = {"<DIV>", "<SUP>", "<FRAC><S>", "<SQRT>", "<PAREN>",
                         "<TABLE><TR><TD>", "<TB><S>", "<SQRTN><S>"};
  for (int i = 0; i < CLexaro::Engine::kMaxNesting + 5; ++i) text += opens[i % 8];
  text += "x";
  *ok = lx.SetText(&dc, text.c_str()) == 1 && lx.TextOutA(&dc, 0, 0) == 1;
  return nullptr;
}

}  // namespace

TEST(EngineNesting, TheDeepestInputRunsOnASmallStack) {
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, 512 * 1024);
  bool ok = false;
  pthread_t thread;
  ASSERT_EQ(pthread_create(&thread, &attr, DeepNesting, &ok), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
  EXPECT_TRUE(ok);
}
