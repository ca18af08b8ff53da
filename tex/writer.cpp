#include "tex/writer.h"

#include <cstdio>

#include "tex/commands.h"
#include "tex/lexer.h"
#include "util/utf8.h"

namespace lexaro::tex {

void AppendEscaped(std::string& out, std::string_view text) {
  for (char c : text) {
    if (c == '<') out += '<';
    out += c;
  }
}

std::string Excerpt(std::string_view text, std::size_t max) {
  std::string out;
  for (std::size_t i = 0, n = 0; i < text.size(); i += n) {
    char32_t c = DecodeUtf8(text, i, &n);
    if (c < 0x20 || c == 0x7F) c = ' ';
    std::string one;
    util::AppendUtf8(one, c);
    if (out.size() + one.size() > max) break;
    out += one;
  }
  return out;
}

std::string Backslashed(std::string_view name) { return "\\" + Excerpt(name); }

std::string ColorHex(COLORREF color) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%02x%02x%02x", GetRValue(color), GetGValue(color), GetBValue(color));
  return buf;
}

std::string Space(int percent) {
  return "<DIV style=\"margin-left: " + std::to_string(percent) + "\"></DIV>";
}

std::string_view StyleOpen(int style) {
  switch (style) {
    case kItalic: return "<I>";
    case kBold: return "<B>";
    case kBoldItalic: return "<B><I>";
    default: return "";
  }
}

std::string_view StyleClose(int style) {
  switch (style) {
    case kItalic: return "</I>";
    case kBold: return "</B>";
    case kBoldItalic: return "</I></B>";
    default: return "";
  }
}


std::string StyledLetter(int style, char letter) {
  // The mathematical alphanumeric block has holes where the letterlike
  // block already had the character.
  struct Hole { char letter; char32_t code; };
  static constexpr Hole kDoubleStruckHoles[] = {{'C', 0x2102}, {'H', 0x210D}, {'N', 0x2115}, {'P', 0x2119},
                                           {'Q', 0x211A}, {'R', 0x211D}, {'Z', 0x2124}};
  static constexpr Hole kScriptHoles[] = {{'B', 0x212C}, {'E', 0x2130}, {'F', 0x2131}, {'H', 0x210B},
                                          {'I', 0x2110}, {'L', 0x2112}, {'M', 0x2133}, {'R', 0x211B},
                                          {'e', 0x212F}, {'g', 0x210A}, {'o', 0x2134}};
  static constexpr Hole kFrakturHoles[] = {{'C', 0x212D}, {'H', 0x210C}, {'I', 0x2111}, {'R', 0x211C},
                                           {'Z', 0x2128}};
  std::string out;
  const bool upper = letter >= 'A' && letter <= 'Z';
  const int index = upper ? letter - 'A' : letter - 'a' + 26;
  auto find = [&](const auto& holes, char32_t base) -> char32_t {
    for (const Hole& h : holes)
      if (h.letter == letter) return h.code;
    return base + char32_t(index);
  };
  if (style == kDoubleStruck) util::AppendUtf8(out, find(kDoubleStruckHoles, 0x1D538));
  else if (style == kScript) util::AppendUtf8(out, find(kScriptHoles, 0x1D49C));
  else if (style == kFraktur) util::AppendUtf8(out, find(kFrakturHoles, 0x1D504));
  else out += letter;
  return out;
}

namespace {

struct NamedColor { std::string_view name; COLORREF color; };

// xcolor's base colours.
constexpr NamedColor kColors[] = {
    {"black", RGB(0, 0, 0)},         {"white", RGB(255, 255, 255)},   {"red", RGB(255, 0, 0)},
    {"green", RGB(0, 255, 0)},       {"blue", RGB(0, 0, 255)},        {"cyan", RGB(0, 255, 255)},
    {"magenta", RGB(255, 0, 255)},   {"yellow", RGB(255, 255, 0)},    {"gray", RGB(128, 128, 128)},
    {"grey", RGB(128, 128, 128)},    {"darkgray", RGB(64, 64, 64)},   {"lightgray", RGB(191, 191, 191)},
    {"brown", RGB(191, 128, 64)},    {"lime", RGB(191, 255, 0)},      {"olive", RGB(128, 128, 0)},
    {"orange", RGB(255, 128, 0)},    {"pink", RGB(255, 191, 191)},    {"purple", RGB(191, 0, 64)},
    {"teal", RGB(0, 128, 128)},      {"violet", RGB(128, 0, 128)},
};

bool ReadNumbers(std::string_view spec, double* v, int n) {
  for (int i = 0; i < n; ++i) {
    std::string part(spec.substr(0, spec.find(',')));
    char* end = nullptr;
    v[i] = std::strtod(part.c_str(), &end);
    if (part.empty() || *end != '\0' || !(v[i] >= 0)) return false;
    const size_t comma = spec.find(',');
    if ((comma == std::string_view::npos) != (i == n - 1)) return false;
    if (comma != std::string_view::npos) spec.remove_prefix(comma + 1);
  }
  return true;
}

int Hex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool ReadColor(std::string_view model, std::string_view spec, COLORREF* color) {
  while (!spec.empty() && spec.front() == ' ') spec.remove_prefix(1);
  while (!spec.empty() && spec.back() == ' ') spec.remove_suffix(1);
  if (model == "HTML" || (model.empty() && spec.size() == 7 && spec[0] == '#')) {
    if (!model.empty() && spec.size() == 6) {
    } else if (spec.size() == 7) {
      spec.remove_prefix(1);
    } else {
      return false;
    }
    if (spec.size() != 6) return false;
    int v[6];
    for (int i = 0; i < 6; ++i)
      if ((v[i] = Hex(spec[i])) < 0) return false;
    *color = RGB(v[0] * 16 + v[1], v[2] * 16 + v[3], v[4] * 16 + v[5]);
    return true;
  }
  if (model == "rgb" || model == "RGB") {
    double v[3];
    const double scale = model == "rgb" ? 255.0 : 1.0;
    if (!ReadNumbers(spec, v, 3)) return false;
    for (double& x : v) {
      x *= scale;
      if (x > 255.0) return false;
    }
    *color = RGB(int(v[0] + 0.5), int(v[1] + 0.5), int(v[2] + 0.5));
    return true;
  }
  if (!model.empty()) return false;
  // name or name!percent (mixed with white).
  const size_t bang = spec.find('!');
  std::string_view name = spec.substr(0, bang);
  int percent = 100;
  if (bang != std::string_view::npos) {
    std::string_view p = spec.substr(bang + 1);
    if (p.empty() || p.size() > 3) return false;
    percent = 0;
    for (char c : p) {
      if (c < '0' || c > '9') return false;
      percent = percent * 10 + (c - '0');
    }
    if (percent > 100) return false;
  }
  for (const NamedColor& c : kColors) {
    if (c.name != name) continue;
    auto mix = [&](int v) { return (v * percent + 255 * (100 - percent) + 50) / 100; };
    *color = RGB(mix(GetRValue(c.color)), mix(GetGValue(c.color)), mix(GetBValue(c.color)));
    return true;
  }
  return false;
}

}  // namespace lexaro::tex
