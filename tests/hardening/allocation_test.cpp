// Running out of memory at every allocation of the engine: the record lists,
// the font stack and font records, the lines, the table lists and their
// copies, and the memory a table's drawing needs. Each failure must give the
// documented answers and leave the object ready for the next text; leaks are
// caught when this runs under LeakSanitizer (make sanitize).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/engine_fixture.h"
#include "support/samples.h"
#include "tools/gallery.h"

namespace {

using lexaro::engine::g_allocationHook;

const char kAnalyzeError[] = "解析に必要なメモリの確保に失敗しました。";
const char kTextOutError[] = "出力に必要なメモリの確保に失敗しました。";

// Texts that reach every kind of allocation: nested FONT changes (the font
// stack and font records), lines, boxes with parts, radicals, delimiters,
// tables with nested tables and constructs in their cells.
const char* const kTexts[] = {
    "<FONT color=red>a<FONT size=30>b<BR>c</FONT>d</FONT><BR><B>e</B></FONT></FONT>",
    "<DIV style=\"border:1 solid red\">x<SUP>2</SUP></DIV><TB><S>a</S><S>b</S><S>c</S></TB>"
    "<RTB><S>1</S><S>2</S><S>3</S></RTB>",
    "<FRAC><S>1</S><S><SQRTN><S>3</S><S>x<FONT color=blue>y</FONT></S></SQRTN></S></FRAC>"
    "<PAREN type=\"{ _\"><S><SQRT>y</SQRT></S></PAREN>",
    "<TABLE border=1><TR><TD>a</TD><TD><FONT color=blue>b<BR>c</FONT></TD></TR>"
    "<TR><TD><TABLE border=2 cellpadding=3><TR><TD>i</TD><TD>j</TD></TR></TABLE></TD></TR>"
    "</TABLE><FRAC><S><TABLE><TR><TD>p</TD></TR></TABLE></S><S>q</S></FRAC>",
};

// The engine on a recording surface with a synthetic font, so that two
// drawings can be compared operation by operation.
class AllocationFailure : public EngineTest {
 protected:
  // The allocations one layout of text makes, and its drawing makes.
  void Count(const CString& text, int* layout, int* render) {
    *layout = *render = 0;
    g_allocationHook = FailingAllocation{-1, false, layout};
    ASSERT_EQ(engine.SetText(&dc, text), 1);
    g_allocationHook = FailingAllocation{-1, false, render};
    ASSERT_EQ(engine.TextOutA(&dc, CPoint(0, 0)), 1);
    g_allocationHook = nullptr;
  }

  // The object answers as after a failed layout: no size, no drawing.
  void ExpectFailedState(const std::string& where) {
    LX_TXT_EXTENT x = engine.GetTextExtent_Ex(&dc);
    EXPECT_EQ(x.width, -1) << where;
    EXPECT_EQ(x.ascent, -1) << where;
    EXPECT_EQ(x.descent, -1) << where;
    dc.ClearOps();
    EXPECT_EQ(engine.TextOutA(&dc, CPoint(0, 0)), 0) << where;
    EXPECT_TRUE(dc.Ops().empty()) << where;
  }

  // After a failure, a layout with memory gives the same size and drawing
  // as an object that never failed.
  void ExpectRecovers(const CString& text, const std::string& where) {
    CLexaro::Engine fresh;
    ASSERT_EQ(fresh.SetText(&dc, text), 1);
    dc.ClearOps();
    fresh.TextOutA(&dc, CPoint(5, 5));
    std::vector<RecordedOp> expected = dc.Ops();
    ASSERT_EQ(engine.SetText(&dc, text), 1) << where;
    LX_TXT_EXTENT got = engine.GetTextExtent_Ex(&dc), want = fresh.GetTextExtent_Ex(&dc);
    EXPECT_EQ(got.width, want.width) << where;
    EXPECT_EQ(got.ascent, want.ascent) << where;
    EXPECT_EQ(got.descent, want.descent) << where;
    dc.ClearOps();
    ASSERT_EQ(engine.TextOutA(&dc, CPoint(5, 5)), 1) << where;
    ASSERT_EQ(dc.Ops().size(), expected.size()) << where;
    for (size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(dc.Ops()[i].kind, expected[i].kind) << where << " op " << i;
      EXPECT_EQ(dc.Ops()[i].from, expected[i].from) << where << " op " << i;
    }
  }

  // Fails every layout allocation of text in turn, once and for good.
  void SweepLayout(const CString& text, const std::string& name) {
    int layout = 0, render = 0;
    Count(text, &layout, &render);
    ASSERT_GT(layout, 0) << name;
    for (bool forGood : {false, true}) {
      for (int n = 0; n < layout; ++n) {
        std::string where = name + (forGood ? " from allocation " : " at allocation ") +
                            std::to_string(n) + " of " + std::to_string(layout);
        int count = 0;
        g_allocationHook = FailingAllocation{n, forGood, &count};
        EXPECT_EQ(engine.SetText(&dc, text), 0) << where;
        EXPECT_EQ(engine.m_errorText, kAnalyzeError) << where;
        ExpectFailedState(where);
        g_allocationHook = nullptr;
      }
    }
    ExpectRecovers(text, name);
  }

  // Fails every allocation of the drawing in turn. A failed drawing returns
  // 0 and the object then answers as after a failed layout until the next
  // layout.
  void SweepRender(const CString& text, const std::string& name) {
    int layout = 0, render = 0;
    Count(text, &layout, &render);
    for (int n = 0; n < render; ++n) {
      std::string where = name + " drawing allocation " + std::to_string(n);
      ASSERT_EQ(engine.SetText(&dc, text), 1);
      int count = 0;
      g_allocationHook = FailingAllocation{n, false, &count};
      EXPECT_EQ(engine.TextOutA(&dc, CPoint(0, 0)), 0) << where;
      g_allocationHook = nullptr;
      EXPECT_EQ(engine.m_errorText, kTextOutError) << where;
      ExpectFailedState(where);
    }
    ExpectRecovers(text, name);
  }

};

TEST_F(AllocationFailure, EveryLayoutAllocationOfEveryConstructIsReported) {
  for (const char* text : kTexts) SweepLayout(text, text);
}

TEST_F(AllocationFailure, EveryDrawingAllocationOfNestedTablesIsReported) {
  // A table nested in a cell and one in a fraction, each wider than the
  // columns a drawing keeps in place: both need memory to draw, column and
  // pen arrays for each.
  std::string row = "<TR>";
  for (int c = 0; c < 17; ++c) row += "<TD>i</TD>";
  row += "</TR>";
  const CString text(("<TABLE border=1><TR><TD>a</TD></TR><TR><TD><TABLE border=2>" + row +
                      "</TABLE></TD></TR></TABLE><FRAC><S><TABLE>" + row + "</TABLE></S><S>q</S></FRAC>")
                         .c_str());
  int layout = 0, render = 0;
  Count(text, &layout, &render);
  EXPECT_GE(render, 6);
  SweepRender(text, "tables");
}

// The samples hold every construct in real use, at sizes where lists grow.
TEST_F(AllocationFailure, EverySampleFailsCleanlyAtEveryAllocation) {
  for (const auto& [path, sample] : ReadSampleFiles()) {
    CString text = gallery::EngineText(sample);
    SweepLayout(text, path);
    SweepRender(text, path);
  }
}

}  // namespace
