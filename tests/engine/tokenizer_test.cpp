#include "engine_fixture.h"

using Tokenizer = EngineTest;

TEST_F(Tokenizer, TagTokensKeepQuotesAndStopAtTheClosingBracket) {
  engine.m_text = R"(<FONT face="Times New Roman" color=red>x)";
  engine.m_textLength = engine.m_text.GetLength();
  EXPECT_EQ(engine.GetTagToken(1), "FONT");
  EXPECT_EQ(engine.GetTagToken(-1), R"(face="Times New Roman")");
  EXPECT_EQ(engine.GetTagToken(-1), "color=red");
  EXPECT_EQ(engine.GetTagToken(-1), "");
  EXPECT_EQ(engine.GetTagToken(-1), "");  // stays used up

  // Leading spaces before the name are skipped; quotes do not protect '>'.
  engine.m_text = "<  FRAC><FONT face='a>b'>";
  engine.m_textLength = engine.m_text.GetLength();
  EXPECT_EQ(engine.GetTagToken(1), "FRAC");
  EXPECT_EQ(engine.GetTagToken(9), "FONT");
  EXPECT_EQ(engine.GetTagToken(-1), "face='a");
  EXPECT_EQ(engine.GetTagToken(-1), "");
  // A double-quoted '>' ends the tag too, and the open piece comes back.
  engine.m_text = R"(<FONT face="a>b">)";
  engine.m_textLength = engine.m_text.GetLength();
  EXPECT_EQ(engine.GetTagToken(1), "FONT");
  EXPECT_EQ(engine.GetTagToken(-1), R"(face="a>)");
  EXPECT_EQ(engine.GetTagToken(-1), "");
  // A tag without '>' runs to the end of the text.
  engine.m_text = "<FONT size=3";
  engine.m_textLength = engine.m_text.GetLength();
  EXPECT_EQ(engine.GetTagToken(1), "FONT");
  EXPECT_EQ(engine.GetTagToken(-1), "size=3");
  EXPECT_EQ(engine.GetETagIdx(1), engine.m_textLength - 1);
}

TEST_F(Tokenizer, ForwardSearchesAreFlatAndSkipDoubledBrackets) {
  engine.m_text = "<S>1</S><S>2</S></FRAC>x";
  engine.m_textLength = engine.m_text.GetLength();
  EXPECT_EQ(engine.GetTagIdx(LX_TC_FRAC, 0, 0), engine.m_text.Find('x'));
  EXPECT_EQ(engine.GetTagIdx(LX_TC_S, 1, 1), 11);  // the second S
  int found = -1;
  EXPECT_EQ(engine.GetTagIdx_Ex(LX_TC_S, 1, LX_TC_FRAC, 0, &found, 16), engine.m_text.Find('x'));
  EXPECT_EQ(found, 1);
  EXPECT_EQ(engine.GetTagIdx_Ex(LX_TC_S, 1, LX_TC_FRAC, 0, &found, 0), 3);
  EXPECT_EQ(found, 0);
  // "<<" never starts a tag; a missing tag gives the text length.
  engine.m_text = "a<<S>b<";
  engine.m_textLength = engine.m_text.GetLength();
  EXPECT_EQ(engine.GetTagIdx(LX_TC_S, 1, 0), engine.m_textLength);
  EXPECT_EQ(engine.GetTagIdx(LX_TC_S, 1, 99), 99);
}

TEST_F(Tokenizer, NameLookupsAreExactAndCaseSensitive) {
  EXPECT_EQ(CLexaro::Engine::GetSTagCode("FRAC"), 14);
  EXPECT_EQ(CLexaro::Engine::GetSTagCode("frac"), -1);
  EXPECT_EQ(CLexaro::Engine::GetSTagCode("br"), -1);
  EXPECT_EQ(CLexaro::Engine::GetSTagCode("alpha"), 34);
  EXPECT_EQ(CLexaro::Engine::GetSTagCode("Alpha"), 62);
  EXPECT_EQ(CLexaro::Engine::GetSTagCode("/FONT"), 19);
  EXPECT_EQ(CLexaro::Engine::GetSTagCode("/U"), 25);
  EXPECT_EQ(CLexaro::Engine::GetSTagCode("/DIV"), -1);
  EXPECT_EQ(CLexaro::Engine::GetSTagCode("'"), 177);
  EXPECT_EQ(CLexaro::Engine::GetSTagCode("euro"), 178);
  EXPECT_EQ(CLexaro::Engine::GetSTagCode(""), -1);
  EXPECT_EQ(CLexaro::Engine::GetTagPropertyCode("style"), 12);
  EXPECT_EQ(CLexaro::Engine::GetTagPropertyCode("COLOR"), -1);
  EXPECT_EQ(CLexaro::Engine::GetTagStyleCode("border-color-right"), 30);
  EXPECT_EQ(CLexaro::Engine::GetParenCode("||"), 8);
  EXPECT_EQ(CLexaro::Engine::GetParenCode(""), -1);
}
