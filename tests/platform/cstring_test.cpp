#include <gtest/gtest.h>

#include "lexaro/cstring.h"

TEST(CString, PositionsOutsideTheStringAreClamped) {
  CString s("hello");
  EXPECT_EQ(s.Mid(-3, 2), "he");
  EXPECT_EQ(s.Mid(3, 100), "lo");
  EXPECT_EQ(s.Mid(9), "");
  EXPECT_EQ(s.Left(-1), "");
  EXPECT_EQ(s.Right(99), "hello");
  EXPECT_EQ(s.GetAt(5), '\0');
  EXPECT_EQ(s.GetAt(-1), '\0');
  s.SetAt(7, 'x');
  EXPECT_EQ(s, "hello");
  EXPECT_EQ(s.Delete(3, 99), 3);
  EXPECT_EQ(s, "hel");
  EXPECT_EQ(s.Delete(-1, 2), 3);
  EXPECT_EQ(s.Find('l', 99), -1);
  EXPECT_EQ(s.Find("", 4), -1);
}

TEST(CString, BytesAreOpaqueAndCounted) {
  CString s("a\0b", 3);
  EXPECT_EQ(s.GetLength(), 3);
  CString jp("ＭＳ ゴシック");
  EXPECT_EQ(jp.GetLength(), 19);
  CString upper("ÄbC");
  upper.MakeLower();  // only ASCII letters change
  EXPECT_EQ(upper, "Äbc");
  CString null(static_cast<const char*>(nullptr));
  EXPECT_TRUE(null.IsEmpty());
}

TEST(CString, FormatReplaceTrim) {
  CString s;
  s.Format("%d-%s", 42, std::string(300, 'x').c_str());
  EXPECT_EQ(s.GetLength(), 303);
  CString r("a--b--");
  EXPECT_EQ(r.Replace("--", "+"), 2);
  EXPECT_EQ(r, "a+b+");
  EXPECT_EQ(r.Replace("", "x"), 0);
  CString t(" \t x \r\n");
  EXPECT_EQ(t.Trim(), "x");
  EXPECT_EQ(CString("b").Compare("a"), 1);
  EXPECT_EQ(CString("ABC").CompareNoCase("abc"), 0);
}
