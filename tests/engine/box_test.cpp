// Boxes, superscripts and subscripts, stacked and right-hand scripts,
// borders and backgrounds, and the nesting limit.
#include <pthread.h>

#include <string>

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
