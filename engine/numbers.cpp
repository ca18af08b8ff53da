#include "engine/numbers.h"

#include <climits>

namespace lexaro::engine {
namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Skips white space and reads the sign; returns where the digits begin.
int Prefix(const CString& text, bool* negative) {
  int i = 0;
  while (i < text.GetLength() && IsSpace(text[i])) ++i;
  *negative = text[i] == '-';
  if (text[i] == '-' || text[i] == '+') ++i;
  return i;
}

}  // namespace

int ReadInt(const CString& text) {
  bool negative;
  long long v = 0;
  for (int i = Prefix(text, &negative); IsDigit(text[i]); ++i)
    if (v <= INT_MAX) v = v * 10 + (text[i] - '0');
  if (negative) v = -v;
  return int(v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : v);
}

double ReadDecimal(const CString& text) {
  bool negative;
  double v = 0, scale = 1;
  int i = Prefix(text, &negative);
  for (; IsDigit(text[i]); ++i) v = v * 10 + (text[i] - '0');
  if (text[i] == '.')
    for (++i; IsDigit(text[i]); ++i) v += (text[i] - '0') * (scale /= 10);
  if (v > 1e12) v = 1e12;  // far beyond any meaningful size, and never infinite
  return negative ? -v : v;
}

}  // namespace lexaro::engine
