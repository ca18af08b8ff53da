// CStringTool: tokenizing and small edits of byte strings.
//
// Three independent cursors: a plain tokenizer (GetToken), a quote-aware
// tokenizer (GetToken_Ex) and a line reader (SetText / Gets). A scan starts
// with a call whose source pointer is non-null and continues with calls that
// pass null; it is over when a call returns an empty string (tokenizers) or
// null (Gets). The cursors keep a pointer to the caller's string, which must
// stay alive for the whole scan. Copies continue the same scans.
//
// Positions are zero-based byte indices. Every operation accepts positions
// outside the string and null pointers without touching memory outside it.
#pragma once

#include "lexaro/cstring.h"
#include "lexaro/export.h"

class LEXARO_API CStringTool {
 public:
  CStringTool() = default;
  CStringTool(const CStringTool&) = default;
  CStringTool& operator=(const CStringTool&) = default;
  virtual ~CStringTool();

  // First position >= start whose byte is any byte of chars; -1 if none.
  int FindOneOf(CString* s, CString chars, int start) const;
  // Number of bytes equal to c at positions start..end inclusive; end -1
  // means through the end of s.
  int GetCount(CString* s, char c, int start, int end) const;
  // The character at index: two bytes for a code page 932 lead byte that
  // has a byte after it, else one; empty when index is outside s.
  CString GetChar(const CString* s, int index) const;

  // Next non-empty token between separator bytes.
  CString GetToken(const CString* src, CString separators, int start);
  // Next token; separators between an odd and an even quote are kept.
  CString GetToken_Ex(const CString* src, CString separators, char quote, int start);

  // Starts reading text line by line; separator is a whole string.
  void SetText(const CString* text, CString separator);
  // Stores the next line in out and returns out; null when none is left.
  CString* Gets(CString* out);

  // Removes up to count bytes at start; returns the new length.
  int Delete(CString* s, int start, int count) const;
  // Drops trailing zeros and a trailing point of a decimal number: "1.500"
  // becomes "1.5", "2.000" becomes "2".
  void DeleteZero(CString* s) const;
  // Overwrites count bytes of s at start with the first bytes of src; the
  // length of s does not change.
  void Substitute(CString* s, int start, int count, CString src) const;

 private:
  int m_tokenPos = -1;
  const CString* m_tokenSrc = nullptr;

  int m_exPos = -1;
  int m_exQuoteCount = 0;
  const CString* m_exSrc = nullptr;

  int m_linePos = -1;
  int m_sepLength = 0;
  int m_srcLength = 0;
  CString m_separator;
  const CString* m_lineSrc = nullptr;
};
