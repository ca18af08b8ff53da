#include "lexaro/string_tool.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

// Collects a GetToken scan until it returns an empty string.
std::vector<CString> Tokens(const CString& src, const char* seps, int start = 0) {
  CStringTool t;
  std::vector<CString> out;
  for (CString tok = t.GetToken(&src, seps, start); !tok.IsEmpty(); tok = t.GetToken(nullptr, seps, 0))
    out.push_back(tok);
  return out;
}

std::vector<CString> TokensEx(const CString& src, const char* seps, char quote) {
  CStringTool t;
  std::vector<CString> out;
  for (CString tok = t.GetToken_Ex(&src, seps, quote, 0); !tok.IsEmpty();
       tok = t.GetToken_Ex(nullptr, seps, quote, 0))
    out.push_back(tok);
  return out;
}

std::vector<CString> Lines(const CString& text, const CString& sep) {
  CStringTool t;
  t.SetText(&text, sep);
  std::vector<CString> out;
  CString line;
  while (t.Gets(&line) && out.size() < 100) out.push_back(line);
  return out;
}

using V = std::vector<CString>;

}  // namespace

TEST(StringToolTest, FindOneOfAndGetCountStayInside) {
  CStringTool t;
  CString s("ab,c;d");
  EXPECT_EQ(t.FindOneOf(&s, ";,", 0), 2);
  EXPECT_EQ(t.FindOneOf(&s, ";,", 3), 4);
  EXPECT_EQ(t.FindOneOf(&s, ",", s.GetLength()), -1);
  EXPECT_EQ(t.FindOneOf(&s, "", 0), -1);
  EXPECT_EQ(t.FindOneOf(&s, "a", -5), 0);
  EXPECT_EQ(t.FindOneOf(nullptr, "a", 0), -1);

  CString q("a\"b\"c\"");
  EXPECT_EQ(t.GetCount(&q, '"', 0, -1), 3);
  EXPECT_EQ(t.GetCount(&q, '"', 1, 3), 2);  // end is inclusive
  EXPECT_EQ(t.GetCount(&q, '"', 4, 3), 0);
  EXPECT_EQ(t.GetCount(&q, '"', -3, 1000), 3);
  EXPECT_EQ(t.GetCount(&q, '\0', 0, -1), 0);  // the terminator is not part of the string
  EXPECT_EQ(t.GetCount(nullptr, 'a', 0, -1), 0);
}

TEST(StringToolTest, GetCharReadsDoubleByteCharacters) {
  CStringTool t;
  CString s("a\x82\xa0z\xe0");
  EXPECT_EQ(t.GetChar(&s, 0), "a");
  EXPECT_EQ(t.GetChar(&s, 1), "\x82\xa0");
  EXPECT_EQ(t.GetChar(&s, 4), "\xe0");  // lead byte at the end
  EXPECT_EQ(t.GetChar(&s, 5), "");
  EXPECT_EQ(t.GetChar(&s, -1), "");
  EXPECT_EQ(t.GetChar(nullptr, 0), "");
}

TEST(StringToolTest, GetTokenSkipsEmptyTokens) {
  EXPECT_EQ(Tokens("a,,b", ","), (V{"a", "b"}));
  EXPECT_EQ(Tokens(",a", ","), (V{"a"}));
  EXPECT_EQ(Tokens("a,", ","), (V{"a"}));
  EXPECT_EQ(Tokens("", ","), V{});
  EXPECT_EQ(Tokens("x y;z", " ;"), (V{"x", "y", "z"}));
  EXPECT_EQ(Tokens("abc", ""), (V{"abc"}));
  EXPECT_EQ(Tokens("ab,cd", ",", 1), (V{"b", "cd"}));
  EXPECT_EQ(Tokens("ab,cd", ",", -4), (V{"ab", "cd"}));
  EXPECT_EQ(Tokens("ab,cd", ",", 99), V{});

  CStringTool idle;
  EXPECT_EQ(idle.GetToken(nullptr, ",", 0), "");
}

TEST(StringToolTest, GetToken_ExKeepsQuotedSeparators) {
  EXPECT_EQ(TokensEx("a=\"x y\" b=1", " ", '"'), (V{"a=\"x y\"", "b=1"}));
  EXPECT_EQ(TokensEx("x=\"1 2\"", " ", '"'), (V{"x=\"1 2\""}));
  EXPECT_EQ(TokensEx("a \"b c d", " ", '"'), (V{"a", "\"b c d"}));
  EXPECT_EQ(TokensEx("s=\"a;b\";t=2;", ";", '"'), (V{"s=\"a;b\"", "t=2"}));
  // The empty stretch before a leading separator holds no quote, whatever
  // follows it.
  EXPECT_EQ(TokensEx(" a\"b c", " ", '"'), (V{"a\"b c"}));
}

TEST(StringToolTest, CursorsAreIndependentAndCopied) {
  CString a("1 2 3"), b("x,y");
  CStringTool t;
  EXPECT_EQ(t.GetToken(&a, " ", 0), "1");
  EXPECT_EQ(t.GetToken_Ex(&b, ",", '"', 0), "x");
  CStringTool copy(t);
  EXPECT_EQ(t.GetToken(nullptr, " ", 0), "2");
  EXPECT_EQ(copy.GetToken(nullptr, " ", 0), "2");
  EXPECT_EQ(t.GetToken_Ex(nullptr, ",", '"', 0), "y");
  EXPECT_EQ(t.GetToken(nullptr, " ", 0), "3");
}

TEST(StringToolTest, GetsReturnsEmptyLinesButNoTrailingOne) {
  EXPECT_EQ(Lines("a\r\n\r\nb", "\r\n"), (V{"a", "", "b"}));
  EXPECT_EQ(Lines("a\r\n", "\r\n"), (V{"a"}));
  EXPECT_EQ(Lines("a\rb\r\nc", "\r\n"), (V{"a\rb", "c"}));
  EXPECT_EQ(Lines("", "\r\n"), V{});
  EXPECT_EQ(Lines("a\nb", ""), (V{"a\nb"}));  // an empty separator ends

  CStringTool t;
  CString line("kept");
  EXPECT_EQ(t.Gets(&line), nullptr);  // no text set
  t.SetText(nullptr, "\n");
  EXPECT_EQ(t.Gets(&line), nullptr);
  EXPECT_EQ(line, "kept");
  CString text("a\nb");
  t.SetText(&text, "\n");
  EXPECT_EQ(t.Gets(nullptr), nullptr);
  EXPECT_EQ(t.Gets(&line), &line);
  EXPECT_EQ(line, "a");
}

TEST(StringToolTest, DeleteRemovesOnlyBytesInsideTheString) {
  CStringTool t;
  struct Case { const char* s; int start, count; const char* want; };
  for (const Case& c : {Case{"abcdef", 1, 2, "adef"}, Case{"abcdef", 4, 10, "abcd"},
                        Case{"abcdef", 6, 1, "abcdef"}, Case{"abcdef", 9, 1, "abcdef"},
                        Case{"abcdef", -2, 3, "bcdef"}, Case{"abcdef", 2, -1, "abcdef"},
                        Case{"abcdef", 2, INT_MAX, "ab"}, Case{"abcdef", INT_MIN, INT_MAX, "abcdef"}}) {
    CString s(c.s);
    EXPECT_EQ(t.Delete(&s, c.start, c.count), CString(c.want).GetLength()) << c.start << " " << c.count;
    EXPECT_EQ(s, c.want) << c.start << " " << c.count;
  }
  EXPECT_EQ(t.Delete(nullptr, 0, 1), 0);
}

TEST(StringToolTest, DeleteZeroTrimsDecimals) {
  CStringTool t;
  struct Case { const char* in; const char* out; };
  for (const Case& c : {Case{"1.500", "1.5"}, Case{"2.000", "2"}, Case{"0.0", "0"}, Case{"10", "10"},
                        Case{"100", "100"}, Case{"120.05", "120.05"}, Case{".0", ""}, Case{"1.2.00", "1.2"},
                        Case{"", ""}}) {
    CString s(c.in);
    t.DeleteZero(&s);
    EXPECT_EQ(s, c.out) << c.in;
  }
  t.DeleteZero(nullptr);
}

TEST(StringToolTest, SubstituteOverwritesInPlace) {
  CStringTool t;
  struct Case { int start, count; const char* src; const char* want; };
  for (const Case& c : {Case{1, 2, "XY", "aXYd"}, Case{1, 1, "XY", "aXcd"}, Case{2, 5, "XYZW", "abXY"},
                        Case{-1, 3, "XYZ", "YZcd"}, Case{1, 3, "X", "aXcd"}, Case{9, 2, "XY", "abcd"},
                        Case{INT_MAX, INT_MAX, "XY", "abcd"}, Case{INT_MIN, INT_MAX, "XY", "abcd"}}) {
    CString s("abcd");
    t.Substitute(&s, c.start, c.count, c.src);
    EXPECT_EQ(s, c.want) << c.start << " " << c.count;
  }
  t.Substitute(nullptr, 0, 1, "x");
}
