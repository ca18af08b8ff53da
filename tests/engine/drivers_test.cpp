#include <climits>
#include <functional>
#include <string>
#include <thread>
#include <tuple>

#include "engine_fixture.h"
#include "lexaro/raster_dc.h"

using LayoutPass = EngineTest;
using RenderPass = EngineTest;

TEST_F(LayoutPass, LinesBreakOnlyAtBr) {
  // One line per BR-separated stretch; line feeds are plain characters.
  LX_TXT_EXTENT e = Layout("ab\ncd");
  EXPECT_EQ(e.width, 50);
  EXPECT_EQ(engine.m_dataLine.GetCount(), 1);
  EXPECT_EQ(engine.m_dataTag.GetCount() + engine.m_dataFont.GetCount(), 0);
  // a<BR>bbb: widths 10 and 30, height 16+4 + 5 + 16+4.
  e = Layout("a<BR>bbb");
  EXPECT_EQ(e.width, 30);
  EXPECT_EQ(e.ascent, 16);
  EXPECT_EQ(e.descent, 4 + 5 + 16 + 4);
  auto lines = Items(engine.m_dataLine);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].endIdx, 5);
  EXPECT_EQ(lines[1].endIdx, 8);
  // A BR at the end starts no new line; BR alone is one empty line.
  EXPECT_EQ((Layout("a<BR>"), engine.m_dataLine.GetCount()), 1);
  e = Layout("<BR>");
  EXPECT_EQ(engine.m_dataLine.GetCount(), 1);
  EXPECT_EQ(e.width, 0);
  EXPECT_EQ(e.ascent, 16);
  EXPECT_EQ((Layout("<BR><BR>"), engine.m_dataLine.GetCount()), 2);
  e = Layout("");
  EXPECT_EQ(engine.m_dataLine.GetCount(), 0);
  EXPECT_EQ(e.width + e.ascent + e.descent, 0);
}

TEST_F(LayoutPass, BracketsTagsAndUnknownNames) {
  EXPECT_EQ(Layout("a>b").width, 30);    // '>' outside a tag is text
  EXPECT_EQ(Layout("a<<b").width, 30);   // "<<" writes one '<'
  EXPECT_EQ(Layout("ab<").width, 30);    // a final '<' is text
  EXPECT_EQ(Layout("a<br>b").width, 20);  // lower-case br is no tag
  EXPECT_EQ(engine.m_dataLine.GetCount(), 1);
  EXPECT_EQ(Layout("a<frac>b</DIV>c<>d").width, 40);
  EXPECT_EQ(Layout("a<FONT size=3").width, 10);  // an open tag ends the text
}

TEST_F(LayoutPass, LinesTakeTheAlignmentInForceWhenTheyEnd) {
  Layout("<CENTER>x<BR>y<LEFT><BR>z<RIGHT><JUSTIFY>");
  auto lines = Items(engine.m_dataLine);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].hAlign, LX_HA_CENTER);
  EXPECT_EQ(lines[1].hAlign, LX_HA_LEFT);
  EXPECT_EQ(lines[2].hAlign, LX_HA_JUSTIFY);
}

TEST_F(LayoutPass, FontTagsKeepAStackAndRecordEveryChange) {
  // Sizes in points at 96 dpi: 15 pt is 20 px, 30 pt is 40 px.
  Layout("<FONT color=red>a<FONT size=30>b</FONT>c</FONT>d</FONT>");
  auto fonts = Items(engine.m_dataFont);
  ASSERT_EQ(fonts.size(), 5u);
  EXPECT_EQ(fonts[0].txtclr, RGB(255, 0, 0));
  EXPECT_EQ(fonts[0].lfHeight, -20);
  EXPECT_EQ(fonts[1].txtclr, RGB(255, 0, 0));
  EXPECT_EQ(fonts[1].lfHeight, -40);
  EXPECT_EQ(fonts[2].lfHeight, -20);
  EXPECT_EQ(fonts[3].txtclr, RGB(0, 0, 0));
  // The unmatched end tag re-applies the current font and still records it.
  EXPECT_EQ(fonts[4].txtclr, RGB(0, 0, 0));
  EXPECT_EQ(fonts[4].lfHeight, -20);
  EXPECT_EQ(engine.m_extent.width, 10 + 20 + 10 + 10);
  EXPECT_EQ(engine.m_extent.ascent, 32);
  // A face changes the face and its character set.
  Layout(R"(<FONT face="Symbol">a)");
  EXPECT_EQ(Items(engine.m_dataFont)[0].charSet, SYMBOL_CHARSET);
  EXPECT_STREQ(Items(engine.m_dataFont)[0].faceName, "Symbol");
}

TEST_F(LayoutPass, SymbolsCharacterSpacingAndScripts) {
  // "sum": Symbol 229 with a margin of 10 % of em 20 on each side.
  LX_TXT_EXTENT sum = Layout("<sum>");
  EXPECT_EQ(sum.width, 10 + 4);
  EXPECT_EQ(Layout("<alpha>").width, 10);
  // Character spacing: n widths plus n - 1 spacings, rounded once.
  SyntheticFont f = TestFont();
  f.byteAdvance = [](unsigned char b) { return b == 'c' ? 0.3 : 0.35; };
  dc.UseSyntheticFont(f);
  LX_TXT_STATE state = engine.DefaultState();
  state.spaceChar = 2.5;
  CFont font;
  font.CreateFontIndirect(&state.lf);
  dc.SelectObject(&font);  // runs are measured in the selected font
  engine.m_text = "abc";
  engine.m_textLength = 3;
  engine.m_pDC = &dc;
  EXPECT_EQ(engine.AnalyzeText_String(0, 2, &state).width, 25);  // 7 + 7 + 6 + 2 * 2.5
  EXPECT_EQ(engine.AnalyzeText_String(1, 0, &state).width, 0);
  // Scripts scale the spacings unless told not to.
  state.spaceChar = 4;
  CLexaro::Engine::SetTState_Sub(&state, 55);
  EXPECT_DOUBLE_EQ(state.spaceChar, 2.2);
  lexaro::engine::Params().changeSpaceChar = 0;
  CLexaro::Engine::SetTState_Sub(&state, 55);
  EXPECT_DOUBLE_EQ(state.spaceChar, 2.2);
}

TEST_F(RenderPass, RunsTagsAndLinesAreDrawnAtTheirMeasuredPlaces) {
  Layout("ab<B>c</B><I>d<BR><sum>e");
  dc.ClearOps();
  ASSERT_EQ(engine.TextOutA(&dc, CPoint(100, 50)), 1);
  auto t = Texts();
  ASSERT_EQ(t.size(), 5u);  // empty runs draw nothing
  EXPECT_EQ(t[0].text, "ab");
  EXPECT_EQ(t[0].from, CPoint(100, 66));  // baseline: one ascent below the top
  EXPECT_EQ(t[0].align, TA_BASELINE);
  EXPECT_EQ(t[0].bkMode, TRANSPARENT);
  EXPECT_EQ(t[1].from, CPoint(120, 66));
  EXPECT_EQ(t[1].font.lfWeight, FW_BOLD);
  EXPECT_EQ(t[2].font.lfWeight, FW_NORMAL);
  EXPECT_EQ(t[2].font.lfItalic, 1);
  // Second line: 4 + 5 + 16 further down; the symbol after its margin.
  EXPECT_EQ(t[3].text, "\xE5");
  EXPECT_STREQ(t[3].font.lfFaceName, "Symbol");
  EXPECT_EQ(t[3].from, CPoint(102, 91 - 2));  // offset (0, 8) % of 20 moves it up 2
  EXPECT_EQ(t[4].from, CPoint(114, 91));
  // The device context's modes are restored.
  EXPECT_EQ(dc.GetTextAlign(), TA_LEFT | TA_TOP);
  EXPECT_EQ(dc.GetBkMode(), OPAQUE);
}

// "<<" writes "<"; a row of them is one run, however long, laid out as wide
// as the single characters and drawn once.
TEST_F(RenderPass, EscapedLessThansInARowAreOneRun) {
  EXPECT_EQ(Layout("a<<<<<<b<<<").width, 70);  // a, three "<", b, "<" and a lone "<"
  dc.ClearOps();
  ASSERT_EQ(engine.TextOutA(&dc, CPoint(0, 0)), 1);
  auto t = Texts();
  ASSERT_EQ(t.size(), 5u);
  EXPECT_EQ(t[1].text, "<<<");
  EXPECT_EQ(t[2].from.x, 40);
  EXPECT_EQ(t[3].text, "<");
  EXPECT_EQ(t[4].text, "<");
  EXPECT_EQ(t[4].from.x, 60);
}

TEST_F(RenderPass, FontRecordsAreReplayedInOrder) {
  Layout("<FONT color=blue size=30>x</FONT>y");
  dc.ClearOps();
  engine.TextOutA(&dc, CPoint(0, 0));
  engine.TextOutA(&dc, CPoint(0, 0));  // the same output twice
  auto t = Texts();
  ASSERT_EQ(t.size(), 4u);
  EXPECT_EQ(t[0].color, RGB(0, 0, 255));
  EXPECT_EQ(t[0].font.lfHeight, -40);
  EXPECT_EQ(t[1].color, RGB(0, 0, 0));
  EXPECT_EQ(t[1].font.lfHeight, -20);
  EXPECT_EQ(t[2].from, t[0].from);
  EXPECT_EQ(t[3].from, t[1].from);
}

TEST_F(RenderPass, AlignmentOfLinesAndOfTheAnchor) {
  Layout("<CENTER>aaaa<BR>b<RIGHT><BR><LEFT>cc");
  dc.ClearOps();
  dc.SetTextAlign(TA_CENTER | TA_BASELINE);
  engine.TextOutA(&dc, CPoint(100, 100));
  auto t = Texts();
  ASSERT_EQ(t.size(), 3u);
  // The block is 40 wide: the anchor is the middle of the first baseline.
  EXPECT_EQ(t[0].from, CPoint(80, 100));
  EXPECT_EQ(t[1].from.x, 80 + 30);       // right-aligned in 40
  EXPECT_EQ(t[2].from.x, 80);
  EXPECT_EQ(dc.GetTextAlign(), TA_CENTER | TA_BASELINE);
  // Bottom-right anchor: the block lies above and to the left.
  Layout("ab");
  dc.ClearOps();
  dc.SetTextAlign(TA_RIGHT | TA_BOTTOM);
  engine.TextOutA(&dc, CPoint(100, 100));
  EXPECT_EQ(Texts()[0].from, CPoint(80, 96));
}

TEST_F(RenderPass, EscapementTurnsPositionsWithoutANewLayout) {
  Layout("ab<BR>c");
  engine.m_lfEscapement = 900;
  dc.ClearOps();
  engine.TextOutA(&dc, CPoint(100, 100));
  auto t = Texts();
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[0].font.lfEscapement, 900);
  EXPECT_EQ(t[0].from, CPoint(116, 100));  // one ascent "down" is to the right
  EXPECT_EQ(t[1].from, CPoint(116 + 25, 100));
  EXPECT_EQ(engine.GetPos_MoveX(CPoint(0, 0), 10), CPoint(0, -10));
  EXPECT_EQ(engine.GetPos_MoveY(CPoint(0, 0), 10), CPoint(10, 0));
}

// Drawing takes back the tags the layout read: after a new text, those of
// the new text, though a tag of the old one stood at the same place.
TEST_F(RenderPass, ANewTextIsDrawnWithItsOwnTags) {
  const struct {
    const char* before;
    const char* after;
  } kTexts[] = {
      {"<FRAC><S>a<SQRT>x</SQRT></S><S>y</S></FRAC>", "<FRAC><S>b</S><S>a</S></FRAC>"},
      {"a<B>b</B>c", "a<I>b</I>c"},
      {"x<BR>y", "x<sum>y"},
      {"<TABLE><TR><TD>1<SUP>2</SUP></TD></TR></TABLE>", "<TABLE><TR><TD>1</TD><TD>2</TD></TR></TABLE>"},
  };
  auto drawn = [this](CLexaro::Engine& e) {
    dc.ClearOps();
    EXPECT_EQ(e.TextOutA(&dc, CPoint(10, 10)), 1);
    std::vector<std::tuple<std::string, CPoint, LONG, BYTE>> out;
    for (const RecordedOp& op : Texts()) out.emplace_back(op.text.GetString(), op.from, op.font.lfHeight, op.font.lfItalic);
    return out;
  };
  for (const auto& t : kTexts) {
    SCOPED_TRACE(t.after);
    Layout(t.before);
    drawn(engine);
    Layout(t.after);
    CLexaro::Engine fresh;
    ASSERT_EQ(fresh.SetText(&dc, t.after), 1);
    EXPECT_EQ(drawn(engine), drawn(fresh));
  }
}

TEST_F(EngineTest, ExtentArithmetic) {
  LX_TXT_EXTENT line{0, 0, 0};
  CLexaro::Engine::AddExtent(&line, {10, 8, 2});
  CLexaro::Engine::AddExtent(&line, {5, 12, 1});
  EXPECT_EQ(line.width, 15);
  EXPECT_EQ(line.ascent, 12);
  EXPECT_EQ(line.descent, 2);
  LX_TXT_STATE s = engine.DefaultState();
  s.hAlign = LX_HA_CENTER;
  double spacing = -1;
  EXPECT_EQ(engine.GetPos_hAlign(&spacing, CPoint(0, 0), &s, 10, 15), CPoint(3, 0));
  s.hAlign = LX_HA_JUSTIFY;
  spacing = -1;
  EXPECT_EQ(engine.GetPos_hAlign(&spacing, CPoint(0, 0), &s, 10, 15), CPoint(0, 0));
  EXPECT_EQ(spacing, -1);
}

// A layout's number of allocations: none when the object keeps its layout.
static int Allocations(const std::function<void()>& use) {
  int n = 0;
  lexaro::engine::g_allocationHook = FailingAllocation{-1, false, &n};
  use();
  lexaro::engine::g_allocationHook = nullptr;
  return n;
}

TEST_F(EngineTest, PublicInterfaceAndClassWideParameterChanges) {
  CLexaro a, b;
  EXPECT_EQ(a.SetText(&dc, ""), 1);
  EXPECT_EQ(a.GetTextExtent(&dc), CSize(0, 0));
  EXPECT_EQ(a.TextOutA(&dc, 0, 0), 1);
  a.SetText(&dc, "ab");
  b.SetText(&dc, "abc");
  EXPECT_EQ(a.GetTextExtent(&dc), CSize(20, 20));
  a.SetParam_lfHeight(-40);
  // Every object is laid out again on its next use, exactly once.
  EXPECT_GT(Allocations([&] { EXPECT_EQ(b.GetTextExtent(&dc), CSize(60, 40)); }), 0);
  EXPECT_GT(Allocations([&] { EXPECT_EQ(a.GetTextExtent(&dc), CSize(40, 40)); }), 0);
  EXPECT_EQ(Allocations([&] { a.GetTextExtent(&dc), b.TextOutA(&dc, 0, 0); }), 0);
  dc.ClearOps();
  a.TextOutA(&dc, 0, 0);
  EXPECT_EQ(Texts()[0].font.lfHeight, -40);
  // A new object does not reset the class-wide parameters.
  CLexaro c;
  c.SetText(&dc, "a");
  EXPECT_EQ(c.GetTextExtent(&dc), CSize(20, 40));
  EXPECT_EQ(c.GetText(), "a");
  // Heights beyond the largest em mean that em instead of being cut to 32 bits.
  for (long h : {-(1L << 40), LONG_MAX, LONG_MIN}) {
    c.SetParam_lfHeight(h);
    EXPECT_EQ(lexaro::engine::Params().def_lf.lfHeight, h < 0 ? -(1 << 22) : 1 << 22) << h;
  }
}

TEST_F(EngineTest, FormalTextJoinsIndentedLines) {
  CLexaro e;
  EXPECT_EQ(e.GetFormalText("  <FRAC>\r\n\t<S>1</S>", "\r\n"), "<FRAC><S>1</S>");
  EXPECT_EQ(e.GetFormalText("a  \r\n\r\n b", "\r\n"), "a  b");
  EXPECT_EQ(e.GetFormalText("", "\r\n"), "");
  EXPECT_EQ(e.GetFormalText(" x", ""), "x");  // an empty separator still ends
}

TEST_F(EngineTest, AllocationFailureMakesTheLayoutFail) {
  CLexaro e;
  e.SetText(&dc, "good");
  for (int allowed : {0, 1, 2, 3}) {
    int n = 0;
    lexaro::engine::g_allocationHook = [&] { return n++ < allowed; };
    EXPECT_EQ(e.SetText(&dc, "<FONT color=red>a<BR>b</FONT><BR>c"), 0) << allowed;
    EXPECT_EQ(e.GetTextExtent(&dc), CSize(-1, -1));
    LX_TXT_EXTENT x = e.GetTextExtent_Ex(&dc);
    EXPECT_EQ(x.width, -1);
    EXPECT_EQ(x.ascent, -1);
    EXPECT_EQ(x.descent, -1);
    dc.ClearOps();
    EXPECT_EQ(e.TextOutA(&dc, 0, 0), 0);
    EXPECT_TRUE(dc.Ops().empty());
  }
  lexaro::engine::g_allocationHook = nullptr;
  EXPECT_EQ(e.SetText(&dc, "ok"), 1);
  EXPECT_EQ(e.TextOutA(&dc, 0, 0), 1);
  engine.SetText(&dc, "x");
  lexaro::engine::g_allocationHook = [] { return false; };
  EXPECT_EQ(engine.SetText(&dc, "y"), 0);  // even a lost line record fails the layout
  EXPECT_EQ(engine.m_errorText, "解析に必要なメモリの確保に失敗しました。");
}

TEST(EngineThreads, FirstObjectsConstructedConcurrentlySeeOneDefaultSet) {
  std::vector<std::thread> threads;
  std::vector<LONG> heights(8);
  for (int i = 0; i < 8; ++i)
    threads.emplace_back([&, i] {
      CLexaro::Engine e;
      heights[i] = lexaro::engine::Params().def_lf.lfHeight;
    });
  for (auto& t : threads) t.join();
  for (LONG h : heights) EXPECT_NE(h, 0);
}

// Separate objects on separate surfaces share no written state: threads
// drawing at once make the same images as one thread alone (and the
// ThreadSanitizer build, make tsan, sees no race).
TEST(EngineThreads, SeparateObjectsDrawAtOnceAsAlone) {
  const char* markup = "<FRAC><S>a<SUP>2</SUP></S><S><SQRT>b</SQRT></S></FRAC><+><alpha>";
  auto draw = [&] {
    CLexaro formula;
    CRasterDC dc(64, 48, RGB(255, 255, 255));
    formula.SetText(&dc, markup);
    formula.TextOutA(&dc, 2, 2);
    return std::vector<uint32_t>(dc.Bits(), dc.Bits() + 64 * 48);
  };
  const std::vector<uint32_t> alone = draw();
  std::vector<int> same(4);
  std::vector<std::thread> threads;
  for (int i = 0; i < 4; ++i)
    threads.emplace_back([&, i] {
      for (int k = 0; k < 20; ++k) same[i] += draw() == alone;
    });
  for (auto& t : threads) t.join();
  for (int n : same) EXPECT_EQ(n, 20);
}

// Layout remembers the metrics of the fonts it selects; the same context
// measuring differently, or another context, gets its own numbers at the
// next layout, and a drawing pass asks afresh too.
TEST_F(LayoutPass, FontMetricsAreAskedAfreshInEveryPass) {
  const char* text = "x<SUP>2</SUP><FRAC><S>a</S><S>b</S></FRAC>";
  const LX_TXT_EXTENT small = Layout(text);
  SyntheticFont tall = TestFont();
  tall.ascent = 1.6;
  tall.descent = 0.4;
  dc.UseSyntheticFont(tall);
  const LX_TXT_EXTENT big = Layout(text);
  EXPECT_GT(big.ascent, small.ascent);
  EXPECT_GT(big.descent, small.descent);
  CRecordDC other;
  other.UseSyntheticFont(TestFont());
  ASSERT_EQ(engine.SetText(&other, text), 1);
  EXPECT_EQ(engine.m_extent.ascent, small.ascent);
  EXPECT_EQ(engine.m_extent.descent, small.descent);
  // A drawing after the context changed its font places the script by the
  // new metrics, as drawing on a context that always had them does.
  auto scriptY = [&](CRecordDC& on) {
    on.ClearOps();
    engine.TextOutA(&on, CPoint(0, 0));
    for (const RecordedOp& op : on.Ops())
      if (op.kind == RecordedOp::Text && op.text == "2") return op.from.y;
    return INT_MIN;
  };
  CRecordDC tallAgain;
  tallAgain.UseSyntheticFont(tall);
  const int tallY = scriptY(tallAgain);
  const int smallY = scriptY(other);
  EXPECT_NE(smallY, tallY);
  other.UseSyntheticFont(tall);
  EXPECT_EQ(scriptY(other), tallY);
}

// Record lists keep some removed nodes for the next layout: no more than
// their bound, holding no records, and records placed in them read back in
// order.
namespace {

struct Counted {
  int id;
  static inline int live = 0;
  explicit Counted(int i) : id(i) { ++live; }
  Counted(const Counted& o) : id(o.id) { ++live; }
  ~Counted() { --live; }
};

}  // namespace

TEST(RecordLists, SpareNodesAreBoundedAndHoldNoRecords) {
  using List = CList_Ex<Counted>;
  {
    List list;
    for (int i = 0; i < 3 * List::kSpareNodes; ++i) list.AddTail(Counted(i));
    list.RemoveAll();
    EXPECT_EQ(Counted::live, 0);
    EXPECT_EQ(list.GetSpareCount(), List::kSpareNodes);
    list.AddTail(Counted(1));
    list.InsertAfter(List::FrontMarker(), Counted(0));
    list.InsertAfter(list.GetTailPosition(), Counted(2));
    EXPECT_EQ(Counted::live, 3);
    EXPECT_EQ(list.GetSpareCount(), List::kSpareNodes - 3);
    int expected = 0;
    list.ResetCursor();
    for (auto* n = list.GetNext(); n; n = list.GetNext()) EXPECT_EQ(n->value.id, expected++);
    EXPECT_EQ(expected, 3);
  }
  EXPECT_EQ(Counted::live, 0);
}
