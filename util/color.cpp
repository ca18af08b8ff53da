#include "lexaro/color.h"

#include <cstdint>
#include <string_view>

#include "lexaro/numeric.h"

namespace {

struct NamedColor {
  const char* name;
  const char* hex;
};

// Tried in this order.
constexpr NamedColor kNamedColors[] = {
    {"black", "#000000"},  {"gray", "#808080"},    {"silver", "#C0C0C0"},
    {"white", "#FFFFFF"},  {"red", "#FF0000"},     {"yellow", "#FFFF00"},
    {"lime", "#00FF00"},   {"aqua", "#00FFFF"},    {"blue", "#0000FF"},
    {"fuchsia", "#FF00FF"}, {"maroon", "#800000"}, {"olive", "#808000"},
    {"green", "#008000"},  {"teal", "#008080"},    {"navy", "#000080"},
    {"purple", "#800080"},
};

constexpr const char* kTransparent = "transparent";

// Patterns of GetRGBString, by mode; index 0 serves every other mode.
constexpr const char* kRGBPatterns[] = {
    "RGB (%d, %d, %d)", "RGB(%d, %d, %d)", "RGB(%d,%d,%d)", "(%d, %d, %d)", "(%d,%d,%d)",
};

COLORREF Compose(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
  return (red & 255) + 256 * (green & 255) + 65536 * (blue & 255);
}

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads an optionally signed decimal number after optional white space.
// Overlong numbers wrap modulo 2^32 instead of overflowing; the low 8 bits,
// the only ones a component keeps, stay exact.
bool ReadNumber(std::string_view s, size_t& i, std::uint32_t& value) {
  while (i < s.size() && IsSpace(s[i])) ++i;
  bool negative = i < s.size() && s[i] == '-';
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
  if (i >= s.size() || s[i] < '0' || s[i] > '9') return false;
  value = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) value = value * 10 + std::uint32_t(s[i] - '0');
  if (negative) value = 0u - value;
  return true;
}

// Reads "r,g,b" into the components; reading stops at the first mismatch and
// leaves the components not read untouched.
void ReadComponents(std::string_view s, std::uint32_t (&rgb)[3]) {
  size_t i = 0;
  for (int k = 0; k < 3; ++k) {
    if (k > 0 && (i >= s.size() || s[i++] != ',')) return;
    if (!ReadNumber(s, i, rgb[k])) return;
  }
}

COLORREF ReadHex(const CString& text) {
  int n = text.GetLength();
  std::uint32_t red = n >= 3 ? ChangeValue10(16, text.Mid(1, 2)) : 0;
  std::uint32_t green = n >= 5 ? ChangeValue10(16, text.Mid(3, 2)) : 0;
  std::uint32_t blue = n >= 7 ? ChangeValue10(16, text.Mid(5, 2)) : 0;
  return Compose(red, green, blue);
}

COLORREF ReadRGB(const CString& text) {
  int open = text.Find('(');
  int close = text.Find(')');
  if (open < 0 || close < open) return 0;
  CString inner = text.Mid(open + 1, close - open - 1);
  inner.Remove(' ');
  std::uint32_t rgb[3] = {0, 0, 0};
  ReadComponents(inner.view(), rgb);
  return Compose(rgb[0], rgb[1], rgb[2]);
}

}  // namespace

COLORREF GetCOLORREF(CString text) {
  if (text.IsEmpty()) return 0;
  text.MakeLower();
  if (text.GetAt(0) == '#') return ReadHex(text);
  if (text.Left(3) == "rgb") return ReadRGB(text);
  for (const NamedColor& c : kNamedColors)
    if (text == c.name) return GetCOLORREF(c.hex);
  return text == kTransparent ? CLR_TRANSPARENT : 0;
}

bool IsColorText(const CString& text, bool allowTransparent) {
  // Read in place, ignoring case: the layout asks this of every colour.
  const std::string_view s = text.view();
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
  auto is = [&](std::string_view word) {
    if (s.size() != word.size()) return false;
    for (size_t i = 0; i < s.size(); ++i)
      if (lower(s[i]) != word[i]) return false;
    return true;
  };
  if (is(kTransparent)) return allowTransparent;
  if (!s.empty() && s[0] == '#') {
    if (s.size() != 7) return false;
    for (char c : s.substr(1))
      if (!((c >= '0' && c <= '9') || (lower(c) >= 'a' && lower(c) <= 'f'))) return false;
    return true;
  }
  if (s.size() >= 5 && lower(s[0]) == 'r' && lower(s[1]) == 'g' && lower(s[2]) == 'b' && s[3] == '(' &&
      s.back() == ')') {
    // Three components 0..255 separated by commas; spaces anywhere inside.
    size_t i = 4;
    const size_t end = s.size() - 1;
    auto skip = [&] { while (i < end && s[i] == ' ') ++i; };
    for (int k = 0; k < 3; ++k) {
      skip();
      if (k > 0) {
        if (i >= end || s[i++] != ',') return false;
        skip();
      }
      size_t digits = 0;
      unsigned value = 0;
      for (; i < end && s[i] >= '0' && s[i] <= '9' && digits < 4; ++i, ++digits)
        value = value * 10 + unsigned(s[i] - '0');
      if (digits == 0 || value > 255) return false;
    }
    skip();
    return i == end;
  }
  for (const NamedColor& c : kNamedColors)
    if (is(c.name)) return true;
  return false;
}

CString GetRGBString(COLORREF color, int mode) {
  unsigned char red, green, blue;
  GetRGB(color, &red, &green, &blue);
  int count = int(sizeof kRGBPatterns / sizeof kRGBPatterns[0]);
  CString s;
  s.Format(kRGBPatterns[mode >= 1 && mode < count ? mode : 0], red, green, blue);
  return s;
}

void GetRGB(COLORREF color, unsigned char* red, unsigned char* green, unsigned char* blue) {
  if (red) *red = GetRValue(color);
  if (green) *green = GetGValue(color);
  if (blue) *blue = GetBValue(color);
}

unsigned char GetLuxColor(unsigned char component, double factor) {
  double x = component * factor;
  if (x > 255) return 255;
  // Negative factors and NaN darken to 0 rather than wrap.
  if (!(x > 0)) return 0;
  return static_cast<unsigned char>(x);
}

COLORREF GetLuxColor(COLORREF color, double factor) {
  return Compose(GetLuxColor(GetRValue(color), factor), GetLuxColor(GetGValue(color), factor),
                 GetLuxColor(GetBValue(color), factor));
}
