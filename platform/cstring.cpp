#include "lexaro/cstring.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace {

// Clamps a position to 0..len.
int Clamp(int pos, int len) { return pos < 0 ? 0 : pos > len ? len : pos; }

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }
char Upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

void AppendV(std::string& out, const char* fmt, va_list ap) {
  if (!fmt) return;
  va_list copy;
  va_copy(copy, ap);
  char small[256];
  int n = std::vsnprintf(small, sizeof small, fmt, copy);
  va_end(copy);
  if (n < 0) return;
  if (size_t(n) < sizeof small) {
    out.append(small, size_t(n));
    return;
  }
  std::string big(size_t(n) + 1, '\0');
  std::vsnprintf(big.data(), big.size(), fmt, ap);
  out.append(big.data(), size_t(n));
}

}  // namespace

CString::CString(const char* s, int n) {
  if (s && n > 0) m_s.assign(s, size_t(n));
}

CString::CString(char c, int repeat) {
  if (repeat > 0) m_s.assign(size_t(repeat), c);
}

char CString::GetAt(int index) const {
  return index >= 0 && index < GetLength() ? m_s[size_t(index)] : '\0';
}

void CString::SetAt(int index, char c) {
  if (index >= 0 && index < GetLength()) m_s[size_t(index)] = c;
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
  int len = GetLength();
  first = Clamp(first, len);
  if (count <= 0) return CString();
  count = std::min(count, len - first);
  return CString(m_s.substr(size_t(first), size_t(count)));
}

CString CString::Left(int count) const { return Mid(0, count); }

CString CString::Right(int count) const {
  count = Clamp(count, GetLength());
  return Mid(GetLength() - count, count);
}

int CString::Find(char c, int start) const {
  if (start < 0) start = 0;
  if (start >= GetLength()) return -1;
  size_t p = m_s.find(c, size_t(start));
  return p == std::string::npos ? -1 : int(p);
}

int CString::Find(const CString& sub, int start) const {
  if (start < 0) start = 0;
  if (start > GetLength()) return -1;
  size_t p = m_s.find(sub.m_s, size_t(start));
  return p == std::string::npos ? -1 : int(p);
}

int CString::ReverseFind(char c) const {
  size_t p = m_s.rfind(c);
  return p == std::string::npos ? -1 : int(p);
}

int CString::FindOneOf(const CString& chars) const {
  if (chars.IsEmpty()) return -1;
  size_t p = m_s.find_first_of(chars.m_s);
  return p == std::string::npos ? -1 : int(p);
}

CString& CString::MakeLower() {
  std::transform(m_s.begin(), m_s.end(), m_s.begin(), Lower);
  return *this;
}

CString& CString::MakeUpper() {
  std::transform(m_s.begin(), m_s.end(), m_s.begin(), Upper);
  return *this;
}

CString& CString::MakeReverse() {
  std::reverse(m_s.begin(), m_s.end());
  return *this;
}

CString& CString::TrimLeft() {
  size_t i = 0;
  while (i < m_s.size() && IsSpace(m_s[i])) ++i;
  m_s.erase(0, i);
  return *this;
}

CString& CString::TrimRight() {
  size_t n = m_s.size();
  while (n > 0 && IsSpace(m_s[n - 1])) --n;
  m_s.resize(n);
  return *this;
}

CString& CString::TrimLeft(char c) {
  size_t i = 0;
  while (i < m_s.size() && m_s[i] == c) ++i;
  m_s.erase(0, i);
  return *this;
}

CString& CString::TrimRight(char c) {
  size_t n = m_s.size();
  while (n > 0 && m_s[n - 1] == c) --n;
  m_s.resize(n);
  return *this;
}

int CString::Insert(int index, const CString& s) {
  m_s.insert(size_t(Clamp(index, GetLength())), s.m_s);
  return GetLength();
}

int CString::Delete(int index, int count) {
  int len = GetLength();
  if (index < 0 || index >= len || count <= 0) return len;
  m_s.erase(size_t(index), size_t(std::min(count, len - index)));
  return GetLength();
}

int CString::Replace(const CString& from, const CString& to) {
  if (from.IsEmpty()) return 0;
  int n = 0;
  std::string out;
  size_t pos = 0;
  for (size_t p; (p = m_s.find(from.m_s, pos)) != std::string::npos; pos = p + from.m_s.size()) {
    out.append(m_s, pos, p - pos);
    out += to.m_s;
    ++n;
  }
  if (n == 0) return 0;
  out.append(m_s, pos, std::string::npos);
  m_s.swap(out);
  return n;
}

int CString::Remove(char c) {
  size_t before = m_s.size();
  m_s.erase(std::remove(m_s.begin(), m_s.end(), c), m_s.end());
  return int(before - m_s.size());
}

void CString::Format(const char* fmt, ...) {
  std::string out;
  va_list ap;
  va_start(ap, fmt);
  AppendV(out, fmt, ap);
  va_end(ap);
  m_s.swap(out);
}

void CString::AppendFormat(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  AppendV(m_s, fmt, ap);
  va_end(ap);
}

int CString::CompareNoCase(const CString& o) const {
  CString a(*this), b(o);
  return a.MakeLower().Compare(b.MakeLower());
}
