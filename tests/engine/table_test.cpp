// Tables: sizes and placement, cell alignment, grid-line pens, drawing
// order, failures and hostile input. With the synthetic font at em 20 a
// byte is 10 wide, ascent 16, descent 4; the default cell padding is 4 and
// the default table margin -2 left and right, -4 top and bottom.
#include <pthread.h>

#include <climits>
#include <string>
#include <tuple>

#include "engine_fixture.h"

namespace {

using Segment = std::tuple<int, int, int, int>;  // from.x, from.y, to.x, to.y

Segment SegmentOf(const RecordedOp& op) { return {op.from.x, op.from.y, op.to.x, op.to.y}; }

const COLORREF kBlack = RGB(0, 0, 0), kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255),
               kYellow = RGB(255, 255, 0);

}  // namespace

class TableTest : public EngineTest {
 protected:
  template <typename T>
  static std::vector<T> All(const CList_Ex<T>& list) {
    std::vector<T> out;
    for (auto* n = list.GetHead(); n; n = n->next) out.push_back(n->value);
    return out;
  }
  LX_DATA_TABLE Table(size_t i = 0) { return Items(engine.m_dataTable).at(i); }
  std::vector<LX_TABLE_COL> Cols() { return All(Table().colList); }
  LX_TABLE_ROW Row(size_t r) { return All(Table().rowList).at(r); }
  LX_TABLE_CELL Cell(size_t i) { return All(Table().cellList).at(i); }

  // Lays text out and draws it with the block's top-left corner at (0, 0):
  // the line's baseline is then at y = the layout's ascent.
  void Draw(const char* text) {
    Layout(text);
    dc.ClearOps();
    ASSERT_EQ(engine.TextOutA(&dc, CPoint(0, 0)), 1);
  }

  std::vector<RecordedOp> Lines(COLORREF color) const {
    std::vector<RecordedOp> out;
    for (const RecordedOp& op : dc.Ops())
      if (op.kind == RecordedOp::Line && op.color == color) out.push_back(op);
    return out;
  }

  RecordedOp TextOp(const char* text) const {
    for (const RecordedOp& op : Texts())
      if (op.text == text) return op;
    ADD_FAILURE() << "no text " << text;
    return RecordedOp{};
  }
};

using TableLayout = TableTest;
using TableRender = TableTest;
using TableFailure = TableTest;

// --------------------------------------------------------------- layout ---

TEST_F(TableLayout, OneCellWidthAndBaseline) {
  // Padded content 30 x (12 + 4) with every pen 1 wide: W = 30 + 1 + 1,
  // up = 1 + 12, down = 4 + 1; the margin is cancelled out here.
  Layout(R"(<TABLE border=1 style="margin:20 10; padding:-20; padding-top:-20;">)"
         "<TR><TD>abc</TD></TR></TABLE>");
  LX_DATA_TABLE t = Table();
  EXPECT_EQ(t.rows, 1);
  EXPECT_EQ(t.cols, 1);
  EXPECT_EQ(t.topLine, 1);
  EXPECT_EQ(All(t.colList).at(0).width, 30);
  EXPECT_EQ(Row(0).ascent, 12);
  EXPECT_EQ(Row(0).descent, 4);
  EXPECT_EQ(Row(0).lineBelow, 1);
  EXPECT_EQ(t.extent.width, 32);
  EXPECT_EQ(t.extent.ascent, 13);
  EXPECT_EQ(t.extent.descent, 5);
  // The default margin (-2 left and right, -4 top and bottom) shrinks it.
  Layout(R"(<TABLE border=1 style="padding:-20; padding-top:-20;"><TR><TD>abc</TD></TR></TABLE>)");
  EXPECT_EQ(Table().extent.width, 28);
  EXPECT_EQ(Table().extent.ascent, 9);
  EXPECT_EQ(Table().extent.descent, 1);
  EXPECT_EQ(Table().marginTop, -4);
  EXPECT_EQ(Table().marginLeft, -2);
}

TEST_F(TableLayout, OddRowCountsCentreTheMiddleRowOnTheBaseline) {
  // Rows of 20 + 8: the upper row and the middle row's ascent go up.
  Draw("<TABLE><TR><TD>x</TD></TR><TR><TD>y</TD></TR><TR><TD>z</TD></TR></TABLE>");
  EXPECT_EQ(Table().extent.ascent, 1 + 28 + 1 + 20 - 4);
  EXPECT_EQ(Table().extent.descent, 8 + 1 + 28 + 1 - 4);
  int baseline = engine.m_extent.ascent;
  EXPECT_EQ(TextOp("y").from.y, baseline);
  EXPECT_EQ(TextOp("x").from.y, baseline - 8 - 1 - 20);
}

TEST_F(TableLayout, EvenRowCountsSplitHalfAnEmMinusDescentAboveTheBaseline) {
  // At em 20 the boundary between the halves is 20 / 2 - 4 = 6 up.
  Draw("<TABLE><TR><TD>x</TD></TR><TR><TD>y</TD></TR></TABLE>");
  EXPECT_EQ(Table().extent.width, 18 + 2 - 4);
  EXPECT_EQ(Table().extent.ascent, 1 + 28 + 6 - 4);
  EXPECT_EQ(Table().extent.descent, 28 + 1 + 1 - 6 - 4);
  int baseline = engine.m_extent.ascent;
  EXPECT_EQ(TextOp("x").from.y + 8, baseline - 6);  // the upper row's bottom
  EXPECT_EQ(TextOp("y").from.y, baseline - 6 + 1 + 20);
  // At em 40 (padding 8, descent 8) it is 40 / 2 - 8 = 12 up.
  Draw("<FONT size=30><TABLE><TR><TD>x</TD></TR><TR><TD>y</TD></TR></TABLE>");
  EXPECT_EQ(TextOp("x").from.y + 16, engine.m_extent.ascent - 12);
  // No rows at all: an even count; the grid is the top line alone.
  Layout("<TABLE></TABLE>");
  EXPECT_EQ(Table().rows + Table().cols, 0);
  EXPECT_EQ(Table().extent.width, 1 - 4);
  EXPECT_EQ(Table().extent.ascent, 6 - 4);
  EXPECT_EQ(Table().extent.descent, 1 - 6 - 4);
}

TEST_F(TableLayout, CellHeightIsSplitEvenlyAboveAndBelow) {
  // Padding top -6 and bottom 1 make the padded cell 10 + 5; a height of
  // 22 adds 7 // 2 = 3 on each side.
  const char* cell = R"(style="padding-top:-50; padding-bottom:-15;">x</TD></TR></TABLE>)";
  Layout((std::string("<TABLE><TR><TD height=22 ") + cell).c_str());
  EXPECT_EQ(Row(0).ascent, 13);
  EXPECT_EQ(Row(0).descent, 8);
  Layout((std::string("<TABLE><TR><TD height=25 ") + cell).c_str());
  EXPECT_EQ(Row(0).ascent, 15);
  EXPECT_EQ(Row(0).descent, 10);
  Layout((std::string("<TABLE><TR><TD height=10 ") + cell).c_str());
  EXPECT_EQ(Row(0).ascent, 10);
  EXPECT_EQ(Row(0).descent, 5);
  // The table's height is every row's minimum.
  Layout("<TABLE height=40><TR><TD>x</TD></TR><TR><TD>y</TD></TR></TABLE>");
  EXPECT_EQ(Row(1).ascent, 26);
  EXPECT_EQ(Row(1).descent, 14);
}

TEST_F(TableLayout, WidthsAreMinimumColumnWidths) {
  // A TD's width widens its whole column; the widest cell still wins.
  Layout("<TABLE><TR><TD width=120>x</TD><TD>y</TD></TR>"
         "<TR><TD>abc</TD><TD>abcdefghijklmn</TD></TR></TABLE>");
  auto cols = Cols();
  ASSERT_EQ(cols.size(), 2u);
  EXPECT_EQ(cols[0].width, 120);
  EXPECT_EQ(cols[1].width, 148);
  EXPECT_EQ(Table().extent.width, 121 + 149 + 1 - 4);
  // A TABLE's width reaches every column.
  Layout("<TABLE width=120><TR><TD>x</TD><TD>y</TD></TR></TABLE>");
  cols = Cols();
  EXPECT_EQ(cols[0].width, 120);
  EXPECT_EQ(cols[1].width, 120);
}

TEST_F(TableLayout, TablePlacementFollowsTheSurroundingVerticalAlignment) {
  LX_TXT_STATE state = engine.DefaultState();
  state.lf.lfHeight = -25;  // ascent 20, descent 5
  CFont font;
  font.CreateFontIndirect(&state.lf);
  CFont* previous = dc.SelectObject(&font);
  engine.m_pDC = &dc;
  auto placed = [&](LX_VALIGN_CODE v, LX_TXT_EXTENT e) {
    state.vAlign = v;
    LX_TXT_EXTENT r = engine.GetExtent_vAlign(&state, e);
    EXPECT_EQ(r.width, e.width);
    return std::make_pair(r.ascent, r.descent);
  };
  // Height 40 against ascent 20 and descent 5; each half truncates.
  LX_TXT_EXTENT e{50, 30, 10};
  EXPECT_EQ(placed(LX_VA_TOP, e), std::make_pair(20, 20));
  EXPECT_EQ(placed(LX_VA_MIDDLE, e), std::make_pair(20 - 12 + 20, 12));
  EXPECT_EQ(placed(LX_VA_BOTTOM, e), std::make_pair(35, 5));
  EXPECT_EQ(placed(LX_VA_BASELINE, e), std::make_pair(30, 10));
  // Truncation is toward zero for a negative height too: -7 / 2 = -3.
  EXPECT_EQ(placed(LX_VA_MIDDLE, LX_TXT_EXTENT{5, -10, 3}), std::make_pair(-3 - 12 + 20, -7 - (-3 - 12 + 20)));
  dc.SelectObject(previous);

  // The alignment tags around the table place it; its own valign does not
  // (that one is its cells' default).
  const char* table = R"(<TABLE valign=top style="margin:20 10;"><TR><TD>x</TD></TR></TABLE>)";
  Layout((std::string("<VBOTTOM>") + table).c_str());  // 1 + 20 up, 8 + 1 down
  EXPECT_EQ(Table().extent.ascent, 30 - 4);
  EXPECT_EQ(Table().extent.descent, 4);
  EXPECT_EQ(Cell(0).vAlign, LX_VA_TOP);
  Layout(table);
  EXPECT_EQ(Table().extent.ascent, 21);
}

TEST_F(TableLayout, TextOutsideCellsIsSkipped) {
  Draw("<TABLE>a<TR>b<TD>x</TD>c<FRAC><S>1</S><S>2</S></FRAC><TD>y</TD>d</TR>e</TABLE>z");
  EXPECT_EQ(Table().cols, 2);
  EXPECT_EQ(engine.m_dataTag.GetCount(), 0);
  std::vector<std::string> texts;
  for (const RecordedOp& op : Texts())
    if (!op.text.IsEmpty()) texts.push_back(op.text.c_str());
  EXPECT_EQ(texts, (std::vector<std::string>{"x", "y", "z"}));
  EXPECT_EQ(engine.m_extent.width, Table().extent.width + 10);
}

// ---------------------------------------------------------- grid pens ---

TEST_F(TableLayout, ALowerCellsOwnTopPenWinsOverAnInheritedBottomPen) {
  // The upper cell only inherited the table's black bottom: the red top of
  // the cell below wins, and the line between them becomes 3 high.
  Draw("<TABLE border=1><TR><TD>a</TD></TR>"
       R"(<TR><TD style="border-top:3 solid red">b</TD></TR></TABLE>)");
  EXPECT_EQ(Cell(0).bottomPen, CPenData(DE_PS_SOLID, 3, kRed));
  EXPECT_EQ(Row(0).lineBelow, 3);
  EXPECT_EQ(Row(1).lineBelow, 1);
  EXPECT_EQ(Table().extent.descent, 3 + 28 + 1 - 6 - 4);  // 2 more than with black
  auto red = Lines(kRed);
  ASSERT_EQ(red.size(), 1u);
  EXPECT_EQ(red[0].pen.width, 3);
  EXPECT_EQ(TextOp("b").from.y - TextOp("a").from.y, 8 + 3 + 20);
  // A bottom pen the upper cell set itself stays, and the line is as high
  // as that pen.
  Layout(R"(<TABLE border=1><TR><TD style="border-bottom:2 solid blue">a</TD></TR>)"
         R"(<TR><TD style="border-top:3 solid red">b</TD></TR></TABLE>)");
  EXPECT_EQ(Cell(0).bottomPen, CPenData(DE_PS_SOLID, 2, kBlue));
  EXPECT_EQ(Row(0).lineBelow, 2);
  // So does one its row gave it.
  Layout(R"(<TABLE border=1><TR style="border-bottom:2 solid blue"><TD>a</TD></TR>)"
         R"(<TR><TD style="border-top:3 solid red">b</TD></TR></TABLE>)");
  EXPECT_EQ(Cell(0).bottomPen, CPenData(DE_PS_SOLID, 2, kBlue));
  // The first row's widest top pen sets the top line, the last row's
  // widest bottom pen the bottom line.
  Draw(R"(<TABLE border=1><TR><TD>a</TD><TD style="border-top:4 solid red">b</TD></TR></TABLE>)");
  EXPECT_EQ(Table().topLine, 4);
  EXPECT_EQ(Cols()[1].topPen, CPenData(DE_PS_SOLID, 4, kRed));
  EXPECT_EQ(Table().extent.ascent, 4 + 20 - 4);
  int top = Lines(kBlack).at(0).from.y;  // the left line starts at the corner
  EXPECT_EQ(TextOp("a").from.y, top + 4 + 20);
  Layout(R"(<TABLE border=1><TR><TD style="border-bottom:3 solid red">a</TD></TR></TABLE>)");
  EXPECT_EQ(Row(0).lineBelow, 3);
  EXPECT_EQ(Table().extent.descent, 8 + 3 - 4);
}

TEST_F(TableLayout, ARightCellsOwnLeftPenWinsOverAnInheritedRightPen) {
  Layout(R"(<TABLE border=1><TR><TD>a</TD><TD style="border-left:1 dashed red">b</TD>)"
         R"(<TD style="border-right:2 solid blue">c</TD></TR></TABLE>)");
  EXPECT_EQ(Row(0).leftPen, CPenData(DE_PS_SOLID, 1, kBlack));
  EXPECT_EQ(Cell(0).rightPen, CPenData(DE_PS_DASHED, 1, kRed));
  EXPECT_EQ(Cell(1).rightPen, CPenData(DE_PS_SOLID, 1, kBlack));
  EXPECT_EQ(Cell(2).rightPen, CPenData(DE_PS_SOLID, 2, kBlue));
  // A vertical line is 1 unit wide whatever its pen.
  EXPECT_EQ(Table().extent.width, 3 * 19 + 1 - 4);
  // A right pen the left cell set itself stays.
  Layout(R"(<TABLE border=1><TR><TD style="border-right:1 solid blue">a</TD>)"
         R"(<TD style="border-left:1 dashed red">b</TD></TR></TABLE>)");
  EXPECT_EQ(Cell(0).rightPen, CPenData(DE_PS_SOLID, 1, kBlue));
}

// --------------------------------------------------------------- render ---

TEST_F(TableRender, BackgroundsAndContentsThenGridLinesInOrder) {
  Draw("<TABLE border=1 bgcolor=yellow><TR><TD>a</TD><TD>b</TD></TR>"
       "<TR><TD>c</TD><TD>d</TD></TR></TABLE>");
  // Each cell: its background, then its content; the grid comes last.
  std::string order;
  for (const RecordedOp& op : dc.Ops()) {
    char k = op.kind == RecordedOp::Text ? 'T' : op.color == kYellow ? 'F' : 'G';
    if (order.empty() || order.back() != k || k == 'G') order += k;
  }
  EXPECT_EQ(order, "FTFTFTFT" + std::string(12, 'G'));
  // Corners: x -2, 17, 36 and y -4, 25, 54 (rows 20 + 8, lines 1).
  std::vector<Segment> expected = {
      {-2, -4, -2, 25}, {17, -4, 17, 25}, {-2, -4, 17, -4},  // row 0: left, right, top
      {36, -4, 36, 25}, {17, -4, 36, -4},                    // right, top
      {17, 25, 17, 54}, {-2, 25, 17, 25}, {-2, 25, -2, 54},  // row 1: right, between, left
      {-2, 54, 17, 54},                                      // bottom
      {17, 25, 36, 25}, {36, 25, 36, 54}, {17, 54, 36, 54},  // last column: between first
  };
  std::vector<Segment> drawn;
  for (const RecordedOp& op : Lines(kBlack)) drawn.push_back(SegmentOf(op));
  EXPECT_EQ(drawn, expected);
  // Backgrounds cover the cell between the grid's corner points.
  for (const RecordedOp& op : Lines(kYellow)) {
    EXPECT_GE(std::min(op.from.x, op.to.x), -2);
    EXPECT_LE(std::max(op.from.x, op.to.x), 36);
    EXPECT_GE(std::min(op.from.y, op.to.y), -4);
    EXPECT_LE(std::max(op.from.y, op.to.y), 54);
  }
  // Contents: 1 + padding 4 from the cell's left line, baseline 20 below
  // the row's top.
  EXPECT_EQ(TextOp("a").from, CPoint(3, 17));
  EXPECT_EQ(TextOp("d").from, CPoint(22, 46));
}

TEST_F(TableRender, MarginAndOffsetMoveTheGrid) {
  Draw(R"(<TABLE border=1 style="padding:-20; padding-top:-20;"><TR><TD>abc</TD></TR></TABLE>)");
  // Margin left -2; the top-left corner is 9 - (-4) above the baseline 16.
  EXPECT_EQ(SegmentOf(Lines(kBlack).at(0)), Segment(-2, 3, -2, 20));
  EXPECT_EQ(TextOp("abc").from, CPoint(-1, 16));
  // A position of (20, -20) percent moves grid and content 4 right and 4
  // down; a cell's offset moves only its content.
  Draw(R"(<TABLE border=1 style="padding:-20; padding-top:-20; position:-20 20;">)"
       "<TR><TD>abc</TD></TR></TABLE>");
  EXPECT_EQ(SegmentOf(Lines(kBlack).at(0)), Segment(2, 7, 2, 24));
  EXPECT_EQ(TextOp("abc").from, CPoint(3, 20));
  Draw(R"(<TABLE border=1 style="padding:-20; padding-top:-20;">)"
       R"(<TR><TD style="position:-20 20;">abc</TD></TR></TABLE>)");
  EXPECT_EQ(SegmentOf(Lines(kBlack).at(0)), Segment(-2, 3, -2, 20));
  EXPECT_EQ(TextOp("abc").from, CPoint(3, 20));
}

TEST_F(TableRender, CellsAlignTheirContentVerticallyInTheRow) {
  // The first cell makes the row 36 + 12 (a font of em 40, padding 4).
  Draw("<TABLE><TR><TD><FONT size=30>X</FONT></TD><TD valign=top>a</TD>"
       "<TD valign=middle>b</TD><TD valign=bottom>c</TD><TD>d</TD></TR></TABLE>");
  int rowTop = TextOp("d").from.y - 36;  // baseline cells sit at the row's ascent
  EXPECT_EQ(TextOp("a").from.y, rowTop + 4 + 16);
  EXPECT_EQ(TextOp("b").from.y, rowTop + 24 - 10 + 16);
  EXPECT_EQ(TextOp("c").from.y, rowTop + 48 - 4 - 4);
  // Horizontally a cell's lines take the table's centring by default.
  Draw("<TABLE><TR><TD>abc</TD></TR><TR><TD>a</TD></TR><TR><TD align=left>b</TD></TR></TABLE>");
  EXPECT_EQ(TextOp("a").from.x, TextOp("abc").from.x + 10);
  EXPECT_EQ(TextOp("b").from.x, TextOp("abc").from.x);
}

TEST_F(TableRender, RowsWithFewerCellsLeaveTheMissingPositionsEmpty) {
  // Columns at x -2, 17, 36; row lines at y -4, 25, 54.
  Draw("<TABLE border=1 bgcolor=yellow><TR><TD>a</TD><TD>b</TD></TR>"
       "<TR><TD>c</TD></TR></TABLE>");
  EXPECT_EQ(Row(1).cellCount, 1);
  EXPECT_EQ(Texts().size(), 3u);
  // Nothing is drawn right of column line 1 below row line 1 ...
  for (const RecordedOp& op : dc.Ops()) {
    if (op.kind != RecordedOp::Line) continue;
    bool lowerRight = std::max(op.from.y, op.to.y) > 25 && std::min(op.from.x, op.to.x) > 17;
    EXPECT_FALSE(lowerRight) << op.from.x << "," << op.from.y << " " << op.to.x << "," << op.to.y;
  }
  // ... but the cell above it is closed by its own bottom line.
  std::vector<Segment> black;
  for (const RecordedOp& op : Lines(kBlack)) black.push_back(SegmentOf(op));
  EXPECT_EQ(black.back(), Segment(17, 25, 36, 25));
  // A lower row with more cells closes its extra cell with the cell's own
  // top line, whose width counts in the line's height.
  Draw("<TABLE border=1><TR><TD>a</TD></TR>"
       R"(<TR><TD>b</TD><TD style="border-top:2 solid red">c</TD></TR></TABLE>)");
  EXPECT_EQ(Row(0).lineBelow, 2);
  ASSERT_EQ(Lines(kRed).size(), 1u);
  EXPECT_EQ(Lines(kRed)[0].pen.width, 2);
}

TEST_F(TableRender, GridLinesMeetWhenTurned) {
  engine.m_lfEscapement = 300;
  Draw("<TABLE border=1><TR><TD>ab</TD><TD>c</TD></TR><TR><TD>d</TD><TD>e</TD></TR></TABLE>");
  auto lines = Lines(kBlack);
  ASSERT_EQ(lines.size(), 12u);
  // Row 0: left, right 1, top 1, right 2, top 2.
  EXPECT_EQ(lines[0].from, lines[2].from);  // top-left corner
  EXPECT_EQ(lines[1].from, lines[2].to);
  EXPECT_EQ(lines[3].from, lines[4].to);
  EXPECT_EQ(lines[1].to, lines[6].to);      // row line 1 meets column line 1
  EXPECT_EQ(lines[3].to, lines[9].to);      // and the right edge
  EXPECT_EQ(lines[7].to, lines[8].from);    // bottom-left corner
  EXPECT_EQ(lines[10].to, lines[11].to);    // bottom-right corner
}

TEST_F(TableRender, NestedTablesAndConstructsInCells) {
  const char* text =
      "<TABLE border=1><TR><TD><TABLE border=1><TR><TD>a</TD><TD>b</TD></TR></TABLE></TD>"
      "<TD><FRAC><S>1</S><S>2</S></FRAC><SUP>3</SUP></TD></TR><TR><TD>c</TD></TR></TABLE>z";
  Draw(text);
  ASSERT_EQ(engine.m_dataTable.GetCount(), 2);
  LX_DATA_TABLE outer = Table(0), inner = Table(1);
  EXPECT_EQ(outer.rows, 2);
  EXPECT_EQ(inner.cols, 2);
  EXPECT_EQ(All(outer.colList)[0].width, inner.extent.width + 8);
  EXPECT_GE(engine.m_dataTag.GetCount(), 4);  // FRAC, its two parts, SUP
  std::vector<RecordedOp> first = dc.Ops();
  std::string drawn;
  for (const RecordedOp& op : Texts()) drawn += op.text.c_str();
  EXPECT_EQ(drawn, "ab123cz");
  EXPECT_LT(TextOp("b").from.x, TextOp("1").from.x);
  EXPECT_LT(TextOp("1").from.y, TextOp("2").from.y);
  EXPECT_EQ(TextOp("z").from.x, outer.extent.width);
  // Drawing again takes the same records and draws the same.
  dc.ClearOps();
  ASSERT_EQ(engine.TextOutA(&dc, CPoint(0, 0)), 1);
  ASSERT_EQ(dc.Ops().size(), first.size());
  for (size_t i = 0; i < first.size(); ++i) EXPECT_EQ(dc.Ops()[i].from, first[i].from);
}

// ------------------------------------------------------------- failures ---

TEST_F(TableFailure, EveryLayoutAllocationIsChecked) {
  const char* text = "<TABLE border=1><TR><TD>a</TD><TD>b</TD></TR><TR><TD>c</TD></TR></TABLE>";
  CLexaro::Engine reference;
  reference.AnalyzeErrorBuffer();
  int total = 0;
  lexaro::engine::g_allocationHook = FailingAllocation{-1, false, &total};
  Layout(text);
  ASSERT_GT(total, 8);
  for (int n = 0; n < total; ++n) {
    int count = 0;
    lexaro::engine::g_allocationHook = FailingAllocation{n, false, &count};
    EXPECT_EQ(engine.SetText(&dc, text), 0) << n;
    EXPECT_EQ(engine.m_errorText, reference.m_errorText);
  }
  lexaro::engine::g_allocationHook = nullptr;
  EXPECT_EQ(engine.SetText(&dc, text), 1);
}

TEST_F(TableFailure, RenderDrawsNothingWithoutItsGridAndNoLinesWithoutItsPens) {
  // Wider than the columns a drawing keeps in place: its arrays are allocated.
  std::string wide = "<TABLE border=1><TR>";
  for (int c = 0; c < 17; ++c) wide += "<TD>a</TD>";
  const char* text = (wide += "</TR></TABLE>").c_str();
  CLexaro::Engine reference;
  reference.TextOutErrorBuffer();
  std::string outcomes;
  for (int n = 0;; ++n) {
    Layout(text);
    dc.ClearOps();
    int count = 0;
    lexaro::engine::g_allocationHook = FailingAllocation{n, false, &count};
    int result = engine.TextOutA(&dc, CPoint(0, 0));
    lexaro::engine::g_allocationHook = nullptr;
    if (result == 1) break;
    ASSERT_LT(n, 100);
    EXPECT_EQ(engine.m_errorText, reference.m_errorText);
    bool anyText = !Texts().empty(), anyLine = !Lines(kBlack).empty();
    EXPECT_FALSE(anyLine);
    outcomes += anyText ? 'C' : '-';
  }
  // The grid fails first (nothing drawn), the pen array last (contents only).
  ASSERT_FALSE(outcomes.empty());
  EXPECT_EQ(outcomes.front(), '-');
  EXPECT_EQ(outcomes.back(), 'C');
}

// ------------------------------------------------------ hostile input ---

TEST_F(TableFailure, EmptyAndUnclosedTables) {
  Draw("<TABLE border=1><TR></TR><TR></TR></TABLE>x");  // rows without columns
  EXPECT_EQ(Table().rows, 2);
  EXPECT_EQ(Table().cols, 0);
  EXPECT_EQ(Table().extent.width, 1 - 4);
  EXPECT_TRUE(Lines(kBlack).empty());
  Draw("<TABLE border=1></TABLE>x");
  EXPECT_TRUE(Lines(kBlack).empty());
  EXPECT_EQ(Texts().back().text, "x");
  // Without end tags the table runs to the end of the text.
  Draw("<TABLE border=1><TR><TD>a<TD>b");
  EXPECT_EQ(Table().endIdx, int(engine.m_text.GetLength()));
  EXPECT_EQ(Table().cols, 1);
  EXPECT_EQ(Texts().size(), 2u);  // a and b, in the one cell
}

TEST_F(TableFailure, HugeSizesSaturate) {
  Draw("<TABLE border=1 width=2147483647 height=2147483647 cellpadding=2000000000>"
       "<TR><TD>a</TD><TD>b</TD></TR><TR><TD>c</TD></TR></TABLE>");
  EXPECT_EQ(Table().extent.width, INT_MAX);
  EXPECT_GT(Table().extent.ascent, 0);
  EXPECT_GT(Table().extent.descent, 0);
  // Padding 400000004 around 16 + 4, then the height split.
  EXPECT_EQ(Row(0).ascent, 400000020 + (INT_MAX - 800000028) / 2);
  EXPECT_EQ(Texts().size(), 3u);
  // Sizes below zero: rows do not shrink below nothing, widths may.
  Draw("<TABLE height=-2147483647 width=-2147483647 style=\"padding:-2000000000\">"
       "<TR><TD>a</TD></TR></TABLE>");
  EXPECT_EQ(Row(0).ascent + Row(0).descent, 0);
  EXPECT_EQ(Table().extent.width, (10 - 2 * 399999996 + 1) + 1 - 4);
}

TEST_F(TableFailure, ManyCellsCostCellsNotRowsTimesColumns) {
  // One row of 50000 cells beside 50000 rows of one cell: a full grid would
  // hold 2.5e9 corner points.
  std::string text = "<TABLE border=1><TR>";
  for (int i = 0; i < 50000; ++i) text += "<TD></TD>";
  text += "</TR>";
  for (int i = 0; i < 50000; ++i) text += "<TR><TD></TD></TR>";
  text += "</TABLE>";
  Draw(text.c_str());
  EXPECT_EQ(Table().rows, 50001);
  EXPECT_EQ(Table().cols, 50000);
}

TEST_F(TableFailure, DeepestNestingFitsASmallStack) {
  // Tables nested in cells beyond the construct limit are passed over.
  std::string text;
  for (int i = 0; i < 100; ++i) text += "<TABLE border=1><TR><TD>";
  text += "x";
  for (int i = 0; i < 100; ++i) text += "</TD></TR></TABLE>";
  struct Job {
    CLexaro::Engine* engine;
    CDC* dc;
    const std::string* text;
    int laidOut = 0, drawn = 0;
  } job{&engine, &dc, &text};
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, 512 * 1024);
  pthread_t thread;
  auto run = [](void* p) -> void* {
    Job* j = static_cast<Job*>(p);
    j->laidOut = j->engine->SetText(j->dc, j->text->c_str());
    j->drawn = j->engine->TextOutA(j->dc, CPoint(0, 0));
    return nullptr;
  };
  ASSERT_EQ(pthread_create(&thread, &attr, run, &job), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
  EXPECT_EQ(job.laidOut, 1);
  EXPECT_EQ(job.drawn, 1);
  EXPECT_EQ(engine.m_dataTable.GetCount(), CLexaro::Engine::kMaxNesting);
}
