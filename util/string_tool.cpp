#include "lexaro/string_tool.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

// Lead bytes of a two-byte character in code page 932.
bool IsLeadByte(char c) {
  auto b = static_cast<unsigned char>(c);
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

int FindAnyOf(const CString& s, const CString& chars, int start) {
  start = std::max(start, 0);
  if (chars.IsEmpty() || start >= s.GetLength()) return -1;
  size_t p = s.str().find_first_of(chars.str(), size_t(start));
  return p == std::string::npos ? -1 : int(p);
}

int CountOf(const CString& s, char c, int start, int end) {
  if (end == -1 || end >= s.GetLength()) end = s.GetLength() - 1;
  start = std::max(start, 0);
  if (start > end) return 0;
  auto first = s.str().begin() + start;
  return int(std::count(first, first + (end - start + 1), c));
}

}  // namespace

CStringTool::~CStringTool() = default;

int CStringTool::FindOneOf(CString* s, CString chars, int start) const {
  return s ? FindAnyOf(*s, chars, start) : -1;
}

int CStringTool::GetCount(CString* s, char c, int start, int end) const {
  return s ? CountOf(*s, c, start, end) : 0;
}

CString CStringTool::GetChar(const CString* s, int index) const {
  if (!s || index < 0 || index >= s->GetLength()) return CString();
  bool pair = IsLeadByte(s->GetAt(index)) && index + 1 < s->GetLength();
  return s->Mid(index, pair ? 2 : 1);
}

CString CStringTool::GetToken(const CString* src, CString separators, int start) {
  CString token;
  if (src) {
    m_tokenSrc = src;
    m_tokenPos = std::max(start, 0);
  }
  while (m_tokenSrc && token.IsEmpty()) {
    int p = FindAnyOf(*m_tokenSrc, separators, m_tokenPos);
    if (p < 0) {
      token = m_tokenSrc->Mid(m_tokenPos);
      m_tokenSrc = nullptr;
    } else {
      token = m_tokenSrc->Mid(m_tokenPos, p - m_tokenPos);
      m_tokenPos = p + 1;
    }
  }
  return token;
}

CString CStringTool::GetToken_Ex(const CString* src, CString separators, char quote, int start) {
  CString head;  // pieces joined across separators that stand inside quotes
  CString tail;  // the piece that ends the token
  if (src) {
    m_exSrc = src;
    m_exPos = std::max(start, 0);
    m_exQuoteCount = 0;
  }
  while (m_exSrc && tail.IsEmpty()) {
    int p = FindAnyOf(*m_exSrc, separators, m_exPos);
    if (p < 0) {
      tail = m_exSrc->Mid(m_exPos);
      m_exSrc = nullptr;
      break;
    }
    CString stretch = m_exSrc->Mid(m_exPos, p - m_exPos);
    m_exQuoteCount += CountOf(stretch, quote, 0, -1);
    if (m_exQuoteCount % 2 != 0)
      head += stretch + m_exSrc->GetAt(p);
    else
      tail = stretch;
    m_exPos = p + 1;
  }
  return head + tail;
}

void CStringTool::SetText(const CString* text, CString separator) {
  m_linePos = 0;
  m_sepLength = separator.GetLength();
  m_srcLength = text ? text->GetLength() : 0;
  m_separator = separator;
  m_lineSrc = text;
}

CString* CStringTool::Gets(CString* out) {
  if (!out || !m_lineSrc || m_linePos >= m_srcLength) return nullptr;
  // An empty separator would be found at the cursor again and again without
  // moving it; it reads the whole rest as one line instead.
  int p = m_separator.IsEmpty() ? -1 : m_lineSrc->Find(m_separator, m_linePos);
  if (p < 0) {
    *out = m_lineSrc->Mid(m_linePos);
    m_lineSrc = nullptr;
  } else {
    *out = m_lineSrc->Mid(m_linePos, p - m_linePos);
    m_linePos = p + m_sepLength;
  }
  return out;
}

int CStringTool::Delete(CString* s, int start, int count) const {
  if (!s) return 0;
  // Only the part of [start, start + count) that lies inside s is removed.
  std::int64_t first = std::max<std::int64_t>(start, 0);
  std::int64_t last = std::min<std::int64_t>(std::int64_t(start) + count, s->GetLength());
  if (first < last) s->Delete(int(first), int(last - first));
  return s->GetLength();
}

void CStringTool::DeleteZero(CString* s) const {
  if (!s) return;
  int point = s->Find('.');
  if (point < 0) return;
  int end = s->GetLength();
  while (end > point && (s->GetAt(end - 1) == '0' || s->GetAt(end - 1) == '.')) --end;
  *s = s->Left(end);
}

void CStringTool::Substitute(CString* s, int start, int count, CString src) const {
  if (!s) return;
  // Bytes outside s, and bytes past the end of src, are left alone.
  std::int64_t n = std::min(count, src.GetLength());
  std::int64_t room = std::int64_t(s->GetLength()) - start;
  for (std::int64_t i = std::max<std::int64_t>(0, -std::int64_t(start)); i < n && i < room; ++i)
    s->SetAt(int(start + i), src.GetAt(int(i)));
}
