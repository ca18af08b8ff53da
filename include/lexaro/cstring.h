// CString: a counted byte string with value semantics. Bytes are opaque
// (UTF-8, code page 932 or anything else); positions and lengths count bytes.
// Every member takes positions outside the string gracefully: they are
// clamped, never read or written past the end.
#pragma once

#include <compare>
#include <string>
#include <string_view>

#include "lexaro/export.h"
#include "lexaro/types.h"

class LEXARO_API CString {
 public:
  CString() = default;
  CString(const char* s) : m_s(s ? s : "") {}  // NOLINT: implicit by design
  CString(const char* s, int n);
  CString(char c, int repeat = 1);
  CString(std::string s) : m_s(std::move(s)) {}  // NOLINT
  CString(std::string_view s) : m_s(s) {}        // NOLINT

  int GetLength() const { return int(m_s.size()); }
  bool IsEmpty() const { return m_s.empty(); }
  void Empty() { m_s.clear(); }
  const char* GetString() const { return m_s.c_str(); }
  const char* c_str() const { return m_s.c_str(); }
  const std::string& str() const { return m_s; }
  std::string_view view() const { return m_s; }

  // Byte at index; 0 when index is outside the string.
  char GetAt(int index) const;
  char operator[](int index) const { return GetAt(index); }
  // Replaces the byte at index; does nothing outside the string.
  void SetAt(int index, char c);

  CString Mid(int first) const;
  CString Mid(int first, int count) const;
  CString Left(int count) const;
  CString Right(int count) const;

  int Find(char c, int start = 0) const;
  int Find(const CString& sub, int start = 0) const;
  int ReverseFind(char c) const;
  int FindOneOf(const CString& chars) const;

  CString& MakeLower();  // ASCII letters only: other bytes are kept
  CString& MakeUpper();
  CString& MakeReverse();
  CString& TrimLeft();   // space, tab, CR, LF, VT, FF
  CString& TrimRight();
  CString& Trim() { return TrimRight().TrimLeft(); }
  CString& TrimLeft(char c);
  CString& TrimRight(char c);

  int Insert(int index, const CString& s);  // returns the new length
  int Delete(int index, int count = 1);     // returns the new length
  int Replace(const CString& from, const CString& to);  // number replaced
  int Remove(char c);                                    // number removed

  void Format(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
  void AppendFormat(const char* fmt, ...) __attribute__((format(printf, 2, 3)));

  int Compare(const CString& o) const { return m_s.compare(o.m_s) < 0 ? -1 : m_s == o.m_s ? 0 : 1; }
  int CompareNoCase(const CString& o) const;

  CString& operator+=(const CString& o) { m_s += o.m_s; return *this; }
  CString& operator+=(const char* s) { if (s) m_s += s; return *this; }
  CString& operator+=(char c) { m_s += c; return *this; }

  friend CString operator+(const CString& a, const CString& b) { return CString(a.m_s + b.m_s); }
  friend CString operator+(const CString& a, const char* b) { CString r(a); r += b; return r; }
  friend CString operator+(const char* a, const CString& b) { CString r(a); r += b; return r; }
  friend CString operator+(const CString& a, char b) { CString r(a); r += b; return r; }
  friend CString operator+(char a, const CString& b) { CString r(a); r += b; return r; }
  friend bool operator==(const CString& a, const CString& b) { return a.m_s == b.m_s; }
  friend bool operator==(const CString& a, const char* b) { return a.m_s == (b ? b : ""); }
  friend std::strong_ordering operator<=>(const CString& a, const CString& b) { return a.m_s <=> b.m_s; }

 private:
  std::string m_s;
};

template <>
struct std::hash<CString> {
  size_t operator()(const CString& s) const noexcept { return std::hash<std::string>()(s.str()); }
};
