#include "engine_fixture.h"

namespace {

class Properties : public EngineTest {
 protected:
  // Parses the attributes of the single tag in text over the defaults of
  // its code.
  LX_TAG_PROPERTY Parse(const char* text, long part = -1) {
    engine.m_text = text;
    engine.m_textLength = engine.m_text.GetLength();
    LX_TAG_CODE code = CLexaro::Engine::GetSTagCode(engine.GetTagToken(1));
    LX_TXT_STATE state = engine.DefaultState();
    state.txtclr = RGB(1, 2, 3);
    LX_TAG_PROPERTY prop;
    engine.SetDefaultTagProperty(&prop, code, &state, part);
    engine.GetTagProperty(&prop);
    return prop;
  }
};

void ExpectPen(const CPenData& pen, int style, int width, COLORREF color) {
  EXPECT_EQ(pen.m_style, style);
  EXPECT_EQ(pen.m_width, width);
  EXPECT_EQ(pen.m_color, color);
}

}  // namespace

TEST_F(Properties, AttributesOverrideDefaultsFromLeftToRight) {
  LX_TAG_PROPERTY p = Parse(R"(<FONT color=red size=14 face="Times New Roman">)");
  EXPECT_EQ(p.color, RGB(255, 0, 0));
  EXPECT_DOUBLE_EQ(p.size, 14.0);
  EXPECT_EQ(p.face, "Times New Roman");
  EXPECT_DOUBLE_EQ(Parse("<SUP size=10>").size, 65.0);  // adds to the script ratio
  EXPECT_DOUBLE_EQ(Parse("<FONT size=1.5 size=2x>").size, 3.5);
  // Spaces around '=' split the attribute: "color" has an empty value.
  EXPECT_EQ(Parse("<FONT color = red>").color, RGB(0, 0, 0));
  EXPECT_EQ(Parse("<FONT COLOR=red>").color, CLR_TRANSPARENT);
  EXPECT_EQ(Parse("<FONT color=RED>").color, RGB(255, 0, 0));
  EXPECT_EQ(Parse("<FRAC align=Left>").hAlign, LX_HA_CENTER);  // words are case-sensitive
  EXPECT_EQ(Parse("<FRAC align=right>").hAlign, LX_HA_RIGHT);
  EXPECT_EQ(Parse("<TABLE valign=middle>").vAlign, LX_VA_MIDDLE);
  EXPECT_EQ(Parse("<PAREN>").type, "(,)");
  EXPECT_EQ(Parse(R"(<PAREN type="{ _">)").type, "{ _");
  EXPECT_EQ(Parse("<FRAC>").color, RGB(1, 2, 3));
}

TEST_F(Properties, TableAttributesAndStylesAccumulateWhereTheyShould) {
  LX_TAG_PROPERTY t = Parse(R"(<TABLE border=1 width=130 cellpadding=5 style="margin:30;">)");
  ExpectPen(t.style.border.m_top, DE_PS_SOLID, 1, RGB(1, 2, 3));
  ExpectPen(t.style.border.m_right, DE_PS_SOLID, 1, RGB(1, 2, 3));
  EXPECT_EQ(t.width, 130);
  EXPECT_EQ(t.style.margin, CRect(20, 10, 20, 10));
  EXPECT_EQ(t.style.padding, CRect(25, 25, 25, 25));
  EXPECT_EQ(t.hAlign, LX_HA_CENTER);
  EXPECT_EQ(t.vAlign, LX_VA_BASELINE);
}

TEST_F(Properties, StyleDeclarations) {
  LX_TAG_PROPERTY p = Parse(R"(<DIV style="border:1 dotted red; padding:20 20; position:-25;">)");
  for (const CPenData* pen : {&p.style.border.m_top, &p.style.border.m_bottom,
                              &p.style.border.m_left, &p.style.border.m_right})
    ExpectPen(*pen, DE_PS_DOTTED, 1, RGB(255, 0, 0));
  EXPECT_EQ(p.style.padding, CRect(20, 20, 20, 20));
  EXPECT_EQ(p.style.position, CPoint(0, -25));

  p = Parse(R"(<DIV style="border-width:0 1 1 1; margin: 0 100;position:3 4 5 6">)");
  EXPECT_EQ(p.style.border.m_top.m_width, 0);
  EXPECT_EQ(p.style.border.m_right.m_width, 1);
  EXPECT_EQ(p.style.border.m_bottom.m_width, 1);
  EXPECT_EQ(p.style.border.m_left.m_width, 1);
  EXPECT_EQ(p.style.margin, CRect(100, 0, 100, 0));
  EXPECT_EQ(p.style.position, CPoint(4, 3));

  p = Parse(R"(<DIV style="border-top: 2 solid red; border-bottom: 2 SOLID blue;">)");
  ExpectPen(p.style.border.m_top, DE_PS_SOLID, 2, RGB(255, 0, 0));
  ExpectPen(p.style.border.m_bottom, DE_PS_SOLID, 2, RGB(0, 0, 255));
  ExpectPen(p.style.border.m_left, DE_PS_SOLID, 0, RGB(1, 2, 3));

  // A lone number: that width, no style, black; a lone style name: width 0.
  p = Parse(R"(<DIV style="border:3">)");
  ExpectPen(p.style.border.m_left, -1, 3, 0);
  p = Parse(R"(<DIV style="border:dashed">)");
  ExpectPen(p.style.border.m_left, -1, 0, 0);

  // Three values: top, sides, bottom; side-specific forms; units ignored.
  p = Parse(R"(<DIV style="margin:1px 2 3;margin-left:10;padding-bottom:7.9;;unknown:5">)");
  EXPECT_EQ(p.style.margin, CRect(12, 1, 2, 3));
  EXPECT_EQ(p.style.padding, CRect(0, 0, 0, 7));
  p = Parse(R"(<DIV style="border-style:dashed dotted; border-color:red lime blue">)");
  EXPECT_EQ(p.style.border.m_top.m_style, DE_PS_DASHED);
  EXPECT_EQ(p.style.border.m_left.m_style, DE_PS_DOTTED);
  EXPECT_EQ(p.style.border.m_bottom.m_color, RGB(0, 0, 255));
  EXPECT_EQ(p.style.border.m_left.m_color, RGB(0, 255, 0));
  // A single-quoted value may hold commas and spaces.
  p = Parse(R"(<DIV style="border-color-left:'rgb(1, 2, 3)'">)");
  EXPECT_EQ(p.style.border.m_left.m_color, RGB(1, 2, 3));
}

TEST_F(Properties, PartDefaultsOfConstructs) {
  auto& params = lexaro::engine::Params();
  LX_TAG_PROPERTY part0 = Parse("<FRAC>", 0), part1 = Parse("<FRAC>", 1);
  EXPECT_EQ(part0.style.margin, CRect(params.Frac_marginX, 0, params.Frac_marginX, params.Frac_marginBar));
  EXPECT_EQ(part1.style.margin, CRect(params.Frac_marginX, params.Frac_marginBar, params.Frac_marginX, 0));
  EXPECT_EQ(Parse("<FRAC>").style.margin, CRect(10, 0, 10, 0));
  EXPECT_EQ(Parse("<RTB>", 0).style.position.y, 0);
  EXPECT_EQ(Parse("<RTB>", 2).style.position.y, params.RTop_positionY);
  EXPECT_EQ(Parse("<SQRTN>", 0).style.margin, CRect(15, 10, 15, 0));
  EXPECT_DOUBLE_EQ(Parse("<SQRTN>").size, 55);
  EXPECT_EQ(Parse("<SUP>").style.position, CPoint(0, 2));
}

TEST_F(Properties, DelimiterPairs) {
  LX_PAREN_CODE l, r;
  CLexaro::Engine::GetParenType(&l, &r, "(,)");
  EXPECT_EQ(std::pair(l, r), std::pair(LX_PAREN_LPAREN, LX_PAREN_RPAREN));
  CLexaro::Engine::GetParenType(&l, &r, "{ _");
  EXPECT_EQ(std::pair(l, r), std::pair(LX_PAREN_LBRACE, LX_PAREN_EMPTY));
  CLexaro::Engine::GetParenType(&l, &r, "{, }");
  EXPECT_EQ(std::pair(l, r), std::pair(LX_PAREN_LBRACE, LX_PAREN_RBRACE));
  CLexaro::Engine::GetParenType(&l, &r, "[,");
  EXPECT_EQ(std::pair(l, r), std::pair(LX_PAREN_LBRACKET, LX_PAREN_NONE));
  CLexaro::Engine::GetParenType(&l, &r, "<,||");
  EXPECT_EQ(std::pair(l, r), std::pair(LX_PAREN_NONE, LX_PAREN_DBAR));
}
