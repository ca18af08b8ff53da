// Markup from hostile sources: every text finishes with the defined answers
// (SetText and TextOutA return 1, the layout's records are all taken back by
// the drawing), and the limits behave as documented.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/saturate.h"
#include "lexaro/raster_dc.h"
#include "lexaro/svg_dc.h"

namespace {

using lexaro::engine::ClassParams;
using lexaro::engine::Params;

std::string Repeat(const std::string& s, int n) {
  std::string out;
  out.reserve(s.size() * size_t(n));
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

class Hostile : public ::testing::Test {
 protected:
  void SetUp() override {
    Params() = ClassParams{};
    CFontTool().SetLOGFONT(&Params().def_lf, -16, "Arial", ANSI_CHARSET, 0);
  }

  // Lays out and draws text; the layout's records must all be used by the
  // drawing, or layout and drawing went apart.
  LX_TXT_EXTENT Run(const std::string& text, CDC* dc = nullptr) {
    CDC* surface = dc ? dc : &raster;
    EXPECT_EQ(engine.SetText(surface, CString(text)), 1);
    LX_TXT_EXTENT e = engine.GetTextExtent_Ex(surface);
    EXPECT_EQ(engine.TextOutA(surface, CPoint(3, 40)), 1);
    EXPECT_EQ(engine.m_dataTag.GetNext(), nullptr) << "construct records left over";
    EXPECT_EQ(engine.m_dataTable.GetNext(), nullptr) << "table records left over";
    EXPECT_EQ(engine.m_dataFont.GetNext(), nullptr) << "font records left over";
    return e;
  }

  static bool Same(const LX_TXT_EXTENT& a, const LX_TXT_EXTENT& b) {
    return a.width == b.width && a.ascent == b.ascent && a.descent == b.descent;
  }

  CRasterDC raster{160, 80, RGB(255, 255, 255)};
  CLexaro::Engine engine;
};

TEST_F(Hostile, UnbalancedInterleavedAndUnterminatedTags) {
  const char* texts[] = {
      "<DIV><FRAC><S>a</DIV></S></FRAC>b",
      "</DIV></S></TABLE></TD>x</FRAC>",
      "<TABLE><TD>a<TR>b</TABLE></TD></TR>c",
      "<SQRTN><S>1<SQRTN><S>2</S></SQRTN>",
      "<TB><S>a<S>b<S>c<S>d</TB></S>",
      "<PAREN type=\"{,\">x<FONT size=40>y</PAREN>z</FONT>",
      "<DIV style=\"border:1 solid red>abc",
      "<DIV style='margin:3 >abc</DIV>",
      "<FRAC",
      "<",
      "a<",
      "<>",
      "< >",
      "<<",
      "<SUP size=\"40>x</SUP>",
      "<FONT color=\"red\"\"\" size=3\">q</FONT>",
  };
  for (const char* t : texts) {
    SCOPED_TRACE(t);
    Run(t);
  }
}

// Constructs nest 64 deep; deeper construct tags are passed over, so 100 000
// nested constructs lay out like the first 64.
TEST_F(Hostile, DeepNestingIsPassedOverBeyondTheLimit) {
  const int limit = CLexaro::Engine::kMaxNesting;
  const std::pair<std::string, std::string> kinds[] = {
      {"<DIV>", "</DIV>"}, {"<SQRT>", "</SQRT>"}, {"<PAREN>", "</PAREN>"},
      {"<FRAC><S>", "</S></FRAC>"}, {"<TABLE><TR><TD>", "</TD></TR></TABLE>"}};
  for (const auto& [open, close] : kinds) {
    SCOPED_TRACE(open);
    LX_TXT_EXTENT deep = Run(Repeat(open, 100000) + "x");
    LX_TXT_EXTENT atLimit = Run(Repeat(open, limit) + "x" + Repeat(close, limit));
    LX_TXT_EXTENT unclosed = Run(Repeat(open, limit) + "x");
    EXPECT_TRUE(Same(unclosed, atLimit));
    EXPECT_EQ(deep.ascent, atLimit.ascent);
    EXPECT_EQ(deep.descent, atLimit.descent);
  }
}

// One megabyte of '<': pairs are literal '<' characters.
TEST_F(Hostile, AMegabyteOfLessThanSigns) {
  LX_TXT_EXTENT one = Run("<<");
  LX_TXT_EXTENT all = Run(std::string(1 << 20, '<'));
  EXPECT_EQ(all.width, lexaro::engine::Sat((long long)one.width << 19));
  EXPECT_EQ(all.ascent, one.ascent);
}

// A text beyond the length limit is laid out up to the limit.
TEST_F(Hostile, TextBeyondTheLengthLimitIsCut) {
  const int limit = CLexaro::Engine::kMaxTextLength;
  LX_TXT_EXTENT one = Run("a");
  LX_TXT_EXTENT cut = Run(std::string(limit, 'a') + "<SQRT>x</SQRT><BR>more");
  EXPECT_EQ(engine.m_text.GetLength(), limit);
  EXPECT_EQ(cut.width, lexaro::engine::Sat((long long)one.width * limit));
  EXPECT_EQ(cut.descent, one.descent);
}

// Sizes, margins, paddings, positions and widths at the ends of the int
// range and beyond, in attributes and in styles.
TEST_F(Hostile, HugeAndNegativeSizesAndGeometry) {
  const char* values[] = {"2147483647", "-2147483648", "99999999999999", "-99999999999999",
                          "1e308", "-0", "4194305"};
  const char* tags[] = {"DIV", "SUP", "SUB", "TABLE", "FRAC", "SQRT", "SQRTN", "PAREN", "RTB"};
  for (const char* v : values) {
    std::string s(v);
    for (const char* tag : tags) {
      std::string attrs = " size=" + s + " width=" + s + " height=" + s + " cellpadding=" + s +
                          " border=" + s + " style=\"position:" + s + " " + s + ";margin:" + s +
                          ";padding:" + s + " " + s + ";border:" + s + " dashed red;margin-top:" +
                          s + ";border-width-left:" + s + "\"";
      std::string text = "<" + std::string(tag) + attrs + "><S" + attrs + ">a</S><S" + attrs +
                         ">b</S><TR" + attrs + "><TD" + attrs + ">c</TD></TR></" + tag + ">";
      SCOPED_TRACE(text);
      Run(text);
      Run("<FONT size=" + s + ">" + text + "</FONT>");
    }
  }
}

TEST_F(Hostile, InvalidUtf8AndCodePage932) {
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += char(i == '<' ? 'x' : i);
  const std::string texts[] = {bytes, "\xC3", "\xE3\x81", "\xF0\x9F\x98", "\xED\xA0\x80",
                               "\xF8\x88\x80\x80\x80", "\x81", "\x82\xA0\x82", "\xFF\xFE<FRAC><S>\x80</S>"};
  for (int cp : {CP_UTF8, CP_SHIFTJIS}) {
    raster.SetCodePage(cp);
    for (const std::string& t : texts) Run(t);
  }
}

// Every symbol tag and delimiter kind at the ends of the em height range;
// beyond the largest em height the layout is that of the largest.
TEST_F(Hostile, EverySymbolAndDelimiterAtExtremeHeights) {
  std::string text;
  for (int code = LX_TC_FIRST_SYMBOL; code <= LX_TC_LAST_SYMBOL; ++code)
    text += std::string("<") + lexaro::engine::StartTagName(code) + ">";
  for (const LX_CNG_PAREN& a : lexaro::engine::kParenCng)
    text += std::string("<PAREN type=\"") + a.name + "," + a.name + "\">x<BR>y</PAREN>";
  const int maxEm = lexaro::engine::kMaxEmHeight;
  for (long height : {1L, 0L, -1L, long(-maxEm), long(INT_MIN) + 1, long(INT_MAX)}) {
    SCOPED_TRACE(height);
    Params().def_lf.lfHeight = LONG(height);
    Run(text);
  }
  Params().def_lf.lfHeight = -maxEm;
  LX_TXT_EXTENT atLimit = Run(text);
  Params().def_lf.lfHeight = -maxEm - 1000;
  EXPECT_TRUE(Same(Run(text), atLimit));
}

// The angle only turns the drawing; any angle draws the same layout.
TEST_F(Hostile, AnglesFromMinus3600To3600) {
  const std::string text = "<TABLE border=1><TR><TD><FRAC><S>1</S><S>x</S></FRAC></TD></TR>"
                           "</TABLE><SQRT>y</SQRT><sum>";
  LX_TXT_EXTENT upright = Run(text);
  CSvgDC svg(160, 80);
  for (int angle = -3600; angle <= 3600; angle += 225) {
    SCOPED_TRACE(angle);
    engine.m_lfEscapement = angle;
    EXPECT_TRUE(Same(Run(text), upright));
    EXPECT_TRUE(Same(Run(text, &svg), Run(text)));
  }
}

// Negative margins can make a valid layout narrower than nothing: its size
// is still reported, only a failed layout answers (-1, -1).
TEST_F(Hostile, NegativeWidthsAreReportedAsLaidOut) {
  CLexaro lx;
  ASSERT_EQ(lx.SetText(&raster, "<DIV style=\"margin:0 -300\">x</DIV>"), 1);
  LX_TXT_EXTENT e = lx.GetTextExtent_Ex(&raster);
  ASSERT_LT(e.width, 0);
  EXPECT_EQ(lx.GetTextExtent(&raster), CSize(e.width, e.ascent + e.descent));
  // Huge heights saturate instead of wrapping to negative.
  ASSERT_EQ(lx.SetText(&raster, "x<BR>" + Repeat("<DIV style=\"margin:2147483647\">", 8)), 1);
  EXPECT_EQ(lx.GetTextExtent(&raster).cy, INT_MAX);
}

}  // namespace
