// The tricky constructs drawn: extents and glyph positions of translated
// TeX on the synthetic test font (every byte half an em wide, em 20).
#include <string>

#include "engine/engine_fixture.h"
#include "lexaro/tex.h"

namespace {

class TexDrawing : public EngineTest {
 protected:
  LX_TXT_EXTENT Extent(const char* tex, bool display = false) {
    lexaro::TexOptions options;
    options.display = display;
    options.strict = true;
    const lexaro::TexResult r = lexaro::TranslateTex(tex, options);
    EXPECT_TRUE(r.ok) << tex;
    return Layout(r.markup.c_str());
  }
  // The baseline of the first glyph run drawn with these bytes, against the
  // formula's own baseline (negative: above it).
  double BaselineOf(const char* tex, const char* text) {
    const lexaro::TexResult r = lexaro::TranslateTex(tex);
    Layout(r.markup.c_str());
    dc.ClearOps();
    engine.TextOutA(&dc, CPoint(0, 0));
    for (const RecordedOp& op : Texts())
      if (std::string(op.text.GetString()) == text) return op.originY - engine.m_extent.ascent;
    ADD_FAILURE() << text << " not drawn for " << tex;
    return 0;
  }
};

// Both scripts stand in one column at the right: as wide as one script.
TEST_F(TexDrawing, StackedScriptsTakeOneColumn) {
  const LX_TXT_EXTENT stacked = Extent("x_i^2");
  EXPECT_EQ(stacked.width, Extent("x^2").width);
  EXPECT_LT(stacked.width, Extent("x_i{}^2").width);
  EXPECT_EQ(stacked.width, Extent("x_i").width);
}

// In display style the limits stand above and below the sign: narrower and
// taller than the same sum inline, where they stand at its right.
TEST_F(TexDrawing, LimitsGoAboveAndBelowInDisplayStyle) {
  const LX_TXT_EXTENT display = Extent("\\sum_{k=1}^{n}", true);
  const LX_TXT_EXTENT inlined = Extent("\\sum_{k=1}^{n}", false);
  EXPECT_LT(display.width, inlined.width);
  EXPECT_GT(display.ascent + display.descent, inlined.ascent + inlined.descent);
  const LX_TXT_EXTENT side = Extent("\\sum\\nolimits_{k=1}^{n}", true);
  EXPECT_GT(side.width, display.width);
}

// A matrix in brackets: the brackets span both rows and add to its width.
TEST_F(TexDrawing, MatrixInBracketsSpansItsRows) {
  const LX_TXT_EXTENT bare = Extent("\\begin{matrix} a & b \\\\ c & d \\end{matrix}");
  const LX_TXT_EXTENT bracketed = Extent("\\begin{bmatrix} a & b \\\\ c & d \\end{bmatrix}");
  EXPECT_GT(bracketed.width, bare.width);
  EXPECT_GE(bracketed.ascent + bracketed.descent, bare.ascent + bare.descent);
  EXPECT_GE(bare.ascent + bare.descent, 40);  // two rows of an em
}

// A power after a bracket around a fraction climbs to the bracket's top;
// after a plain letter it stays at the letter's.
TEST_F(TexDrawing, ScriptAfterATallGroupSitsAtItsTop) {
  const double tall = BaselineOf("\\left(\\frac{a}{b}\\right)^2", "2");
  const double plain = BaselineOf("\\left(a\\right)^2", "2");
  EXPECT_LT(tall, plain);
}

}  // namespace
