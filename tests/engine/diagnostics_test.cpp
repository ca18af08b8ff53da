// The diagnostics of the layout: each kind on a minimal text with its exact
// range, texts that lay out as written with none, and the bounds.
#include <string>

#include "engine_fixture.h"

namespace {

struct Case {
  const char* markup;
  size_t count;  // diagnostics in all
  LX_DIAG_KIND kind;  // of the first
  int offset, length;
  const char* says;  // a piece of the first one's message
};

const Case kCases[] = {
    {"a<frac>b", 1, LX_DIAG_UNKNOWN_NAME, 1, 6, "did you mean 'FRAC'?"},
    {"<alfa>", 1, LX_DIAG_UNKNOWN_NAME, 0, 6, "did you mean 'alpha'?"},
    {"x</frac>", 1, LX_DIAG_UNKNOWN_NAME, 1, 7, "did you mean '/FRAC'?"},
    {"a < b>c", 1, LX_DIAG_UNKNOWN_NAME, 2, 4, "write << for a '<'"},
    {"a<>c", 1, LX_DIAG_UNKNOWN_NAME, 1, 2, "write << for a '<'"},
    {"x</DIV>", 1, LX_DIAG_STRAY_END_TAG, 1, 6, "'/DIV' without an open 'DIV'"},
    {"a</FONT>", 1, LX_DIAG_STRAY_END_TAG, 1, 7, "'/FONT' without an open 'FONT'"},
    {"<S>x</S>", 2, LX_DIAG_OUT_OF_PLACE, 0, 3, "'S' outside FRAC"},
    {"a<TR>", 1, LX_DIAG_OUT_OF_PLACE, 1, 4, "'TR' outside a TABLE"},
    {"<DIV>a<TD></DIV>", 1, LX_DIAG_OUT_OF_PLACE, 6, 4, "'TD' outside a TR"},
    {"<DIV>abc", 1, LX_DIAG_UNENDED, 0, 5, "'DIV' has no end tag '/DIV'"},
    {"<SUP style=\"margin:1\">abc", 1, LX_DIAG_UNENDED, 0, 22, "'SUP' has no end tag"},
    {"<FRAC><S>a</S><S>b</S>", 1, LX_DIAG_UNENDED, 0, 6, "'FRAC' has no end tag"},
    {"<FRAC><S>a", 3, LX_DIAG_UNENDED, 0, 6, "'FRAC' has no end tag '/FRAC'"},
    {"<TABLE><TR><TD>a</TD></TR>", 1, LX_DIAG_UNENDED, 0, 7, "'TABLE' has no end tag"},
    {"<TABLE><TR><TD>a</TD></TABLE>", 3, LX_DIAG_UNENDED, 0, 7, "'TABLE' has no end tag"},
    {"<TABLE><TR><TD>a</TD></TABLE></TR></TABLE>", 1, LX_DIAG_STRAY_END_TAG, 21, 8, "end tag '/TABLE' between the cells of TR is passed over"},
    {"<FRAC><S>a</S></FRAC>", 1, LX_DIAG_PARTS, 0, 6, "has 1 of its 2 S parts"},
    {"<RTB><S>a</S><S>b</S></RTB>", 1, LX_DIAG_PARTS, 0, 5, "has 2 of its 3 S parts"},
    {"<FRAC><S>a</S><S>b</S><S>c</S></FRAC>", 1, LX_DIAG_PARTS, 22, 8, "extra S part passed over: FRAC takes 2"},
    {"<FRAC>x <S>a</S><S>b</S></FRAC>", 1, LX_DIAG_OUT_OF_PLACE, 6, 1, "text between the parts of FRAC"},
    {"<SQRTN><S>a</S><B><S>3</S></SQRTN>", 1, LX_DIAG_OUT_OF_PLACE, 15, 3, "'B' between the parts of SQRTN"},
    {"<TABLE><TD>a</TD></TABLE>", 3, LX_DIAG_OUT_OF_PLACE, 7, 4, "'TD' between the rows of TABLE"},
    {"<TABLE><TR>x<TD>a</TD></TR></TABLE>", 1, LX_DIAG_OUT_OF_PLACE, 11, 1, "text between the cells of TR"},
    {"<DIV SIZE=3>a</DIV>", 1, LX_DIAG_ATTRIBUTE, 5, 6, "unknown attribute 'SIZE' passed over, did you mean 'size'?"},
    {"<DIV center>a</DIV>", 1, LX_DIAG_ATTRIBUTE, 5, 6, "unknown attribute 'center'"},
    {"<DIV style=\"colour: red\">a</DIV>", 1, LX_DIAG_ATTRIBUTE, 12, 6, "unknown style property 'colour'"},
    {"<DIV style=\"margin:1;bordr: 1\">a</DIV>", 1, LX_DIAG_ATTRIBUTE, 21, 5, "did you mean 'border'?"},
    {"<FONT color=bleu>a</FONT>", 1, LX_DIAG_VALUE, 12, 4, "'color' value 'bleu' is not a colour"},
    {"<DIV bgcolor=\"#FFF\">a</DIV>", 1, LX_DIAG_VALUE, 14, 4, "is not a colour"},
    {"<DIV align=centre>a</DIV>", 1, LX_DIAG_VALUE, 11, 6, "did you mean 'center'?"},
    {"<TABLE valign=center><TR><TD>a</TD></TR></TABLE>", 1, LX_DIAG_VALUE, 14, 6, "'valign' value 'center'"},
    {"<PAREN type=\"(,x\">a</PAREN>", 1, LX_DIAG_VALUE, 15, 1, "'type' name 'x' is no delimiter"},
    {"<FONT size=big>a</FONT>", 1, LX_DIAG_VALUE, 11, 3, "'size' value 'big' is not a number; read as 0"},
    {"<TABLE width=10px><TR><TD>a</TD></TR></TABLE>", 1, LX_DIAG_VALUE, 13, 4, "not a whole number; read as 10"},
    {"<DIV style=\"margin: 1 2x\">a</DIV>", 1, LX_DIAG_VALUE, 22, 2, "'margin' value '2x'"},
    {"<DIV style=\"border: 1 solidd red\">a</DIV>", 1, LX_DIAG_VALUE, 22, 6, "is not a line style"},
    {"<DIV style=\"border-color: red bleu\">a</DIV>", 1, LX_DIAG_VALUE, 30, 4, "'bleu' is not a colour"},
    {"<DIV style=\"position: 1 2 3\">a</DIV>", 1, LX_DIAG_VALUE, 26, 1, "'3' is one too many"},
    {"<DIV style=\"margin-top:\">a</DIV>", 1, LX_DIAG_VALUE, 5, 19, "'margin-top' has no value; read as 0"},
};

class Diagnostics : public EngineTest {
 protected:
  const std::vector<LX_DIAGNOSTIC>& Of(const std::string& text) {
    EXPECT_EQ(lexaro.SetText(&dc, CString(text)), 1);
    return lexaro.GetDiagnostics();
  }
  CLexaro lexaro;
};

TEST_F(Diagnostics, EachKindWithItsRange) {
  for (const Case& c : kCases) {
    const auto& list = Of(c.markup);
    ASSERT_EQ(list.size(), c.count) << c.markup << (list.empty() ? "" : ": " + list[0].message.str());
    const LX_DIAGNOSTIC& d = list[0];
    EXPECT_EQ(d.kind, c.kind) << c.markup;
    EXPECT_EQ(d.offset, c.offset) << c.markup;
    EXPECT_EQ(d.length, c.length) << c.markup;
    EXPECT_NE(d.message.str().find(c.says), std::string::npos) << c.markup << ": " << d.message.str();
  }
}

TEST_F(Diagnostics, NoneForTextsLaidOutAsWritten) {
  for (const char* text : {
           "", "a<<b << c", "<FRAC><S>a</S> <S>b</S></FRAC>", "<SQRTN><S>x</S><S>3</S></SQRTN>",
           "<RTB><S>x</S><S>1</S><S>2</S></RTB>", "<TABLE border=1><TR><TD>a</TD> <TD>b</TD></TR></TABLE>",
           "<DIV style=\"border:1 dashed red; margin: 1 2 3 4; position: -3 4\">x</DIV>",
           "<FONT color=\"rgb(1, 2, 3)\" size=12.5 face=\"Times New Roman\">a</FONT>",
           "<PAREN type=\"{\">a</PAREN><PAREN type=\"||,_\">b</PAREN>", "<B>a</B><CENTER><alpha><BR>",
           "<DIV align=right bgcolor=#ff00FF style=\"border-style: dotted none\">a</DIV>"}) {
    const auto& list = Of(text);
    EXPECT_TRUE(list.empty()) << text << ": " << (list.empty() ? "" : list[0].message.str());
  }
}

TEST_F(Diagnostics, ConstructsBeyondTheNestingLimit) {
  std::string text;
  for (int i = 0; i <= CLexaro::Engine::kMaxNesting; ++i) text += "<DIV>";
  text += "a";
  for (int i = 0; i <= CLexaro::Engine::kMaxNesting; ++i) text += "</DIV>";
  const auto& list = Of(text);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].kind, LX_DIAG_NESTING);
  EXPECT_EQ(list[0].offset, 5 * CLexaro::Engine::kMaxNesting);
  EXPECT_EQ(list[0].length, 5);
  EXPECT_EQ(list[1].kind, LX_DIAG_STRAY_END_TAG);  // the end tag of the one passed over
}

TEST_F(Diagnostics, TextCutAtTheLengthLimit) {
  const auto& list = Of(std::string(CLexaro::Engine::kMaxTextLength + 10, 'a'));
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].kind, LX_DIAG_LENGTH);
  EXPECT_EQ(list[0].offset, CLexaro::Engine::kMaxTextLength);
  EXPECT_EQ(list[0].length, 10);
}

TEST_F(Diagnostics, BoundedWithACountOfTheRest) {
  std::string text;
  for (int i = 0; i < 1500; ++i) text += "<x>";
  const auto& list = Of(text);
  ASSERT_EQ(list.size(), 1001u);
  EXPECT_EQ(list.back().kind, LX_DIAG_DROPPED);
  EXPECT_EQ(list.back().message.str(), "500 more diagnostics not listed");
}

TEST_F(Diagnostics, LongNamesAreCutInMessages) {
  const auto& list = Of("<" + std::string(100000, 'q') + ">");
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].length, 100002);
  EXPECT_LT(list[0].message.GetLength(), 100);
}

TEST_F(Diagnostics, OnlyTheLayoutRecords) {
  Of("<frac>a</frac><DIV>");
  ASSERT_EQ(lexaro.GetDiagnostics().size(), 3u);
  EXPECT_EQ(lexaro.TextOutA(&dc, 0, 0), 1);
  EXPECT_EQ(lexaro.GetDiagnostics().size(), 3u);
  Of("fine");
  EXPECT_TRUE(lexaro.GetDiagnostics().empty());
}

}  // namespace
