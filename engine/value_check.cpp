// Diagnostics of attributes and style declarations: names that are not
// understood and values that do not parse. The checks follow the reading
// in properties.cpp token for token (the same splitting), so what is
// reported is what the reading passed over or read differently; a valid
// attribute costs a lookup and a scan of its value (a style is split twice).
#include <algorithm>
#include <array>
#include <string_view>

#include "engine/diagnostics.h"
#include "engine/engine.h"
#include "engine/numbers.h"
#include "lexaro/color.h"

using namespace lexaro::engine;

namespace {

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Whether the number reading (numbers.h) reads all of text: white space, a
// sign, digits and, for a decimal, a point and more digits.
bool IsNumber(std::string_view s, bool decimal) {
  size_t i = 0, n = s.size();
  while (i < n && IsBlank(s[i])) ++i;
  if (i < n && (s[i] == '-' || s[i] == '+')) ++i;
  size_t digits = 0;
  for (; i < n && IsDigit(s[i]); ++i) ++digits;
  if (decimal && i < n && s[i] == '.')
    for (++i; i < n && IsDigit(s[i]); ++i) ++digits;
  while (i < n && IsBlank(s[i])) ++i;
  return digits > 0 && i == n;
}

// Where needle lies in the attribute at or after its cursor, or -1; the
// search never leaves the attribute, so it costs no more than reading it.
int FindIn(const CString& text, const CString& needle, const CLexaro::Engine::ValueCheck& at) {
  if (at.cursor < 0 || at.cursor > at.end || at.end > text.GetLength()) return -1;
  const size_t p = text.view().substr(size_t(at.cursor), size_t(at.end - at.cursor)).find(needle.view());
  return p == std::string_view::npos ? -1 : at.cursor + int(p);
}

// The delimiter names of PAREN's type, from the vocabulary.
const char* const* ParenNames() {
  static const auto names = [] {
    std::array<const char*, 9> n{};
    for (size_t i = 0; i < n.size(); ++i) n[i] = kParenCng[i].name;
    return n;
  }();
  return names.data();
}

// The names of a vocabulary table as views, made once: attributes are
// checked on every layout, and comparing views costs no strlen.
template <size_t N>
struct Views {
  std::string_view names[N];
  explicit Views(const char* const* table) {
    for (size_t i = 0; i < N; ++i) names[i] = table[i];
  }
  int Find(std::string_view name) const {
    for (size_t i = 0; i < N; ++i)
      if (names[i] == name) return int(i);
    return -1;
  }
};

int PropertyCode(const CString& name) {
  static const Views<13> properties(kTagPropertyTable);
  return properties.Find(name.view());
}

bool IsParenName(std::string_view name) {
  static const Views<9> parens(ParenNames());
  return parens.Find(name) >= 0;
}

CString List(const char* const* words, int n) {
  CString s;
  for (int i = 0; i < n; ++i) s += CString(i == 0 ? "" : i + 1 == n ? " or " : ", ") + words[i];
  return s;
}

}  // namespace

CLexaro::Engine::ValueCheck CLexaro::Engine::AttributeRange(const CString& token) const {
  // The token ended at the space before the cursor, or at the tag's end.
  int end = m_diag.tag.end;
  if (m_tagTokenPos >= 0)
    end = m_tagTokenPos - 1;
  else if (end > 0 && m_text.GetAt(end - 1) == '>' && token.Right(1) != ">")
    --end;
  const int start = std::max(m_diag.tag.start, end - token.GetLength());
  return ValueCheck{start, std::max(end, start)};
}

void CLexaro::Engine::NoteValue(ValueCheck at, LX_DIAG_KIND kind, const CString& found,
                                const CString& message) {
  if (!m_diag.Room()) return;
  // The value's own bytes when they can be found in the attribute.
  int offset = at.start, length = at.end - at.start;
  if (!found.IsEmpty()) {
    const int p = FindIn(m_text, found, at);
    if (p >= 0) offset = p, length = found.GetLength();
  }
  m_diag.Add(kind, offset, length, message);
}

void CLexaro::Engine::CheckNumber(ValueCheck at, const CString& what, const CString& value, bool decimal) {
  if (IsNumber(value.view(), decimal)) return;
  CString read;
  if (decimal)
    read.Format("%g", ReadDecimal(value));
  else
    read.Format("%d", ReadInt(value));
  if (value.IsEmpty())
    NoteValue(at, LX_DIAG_VALUE, value, Quoted(what.view()) + " has no value; read as " + read);
  else
    NoteValue(at, LX_DIAG_VALUE, value,
              Quoted(what.view()) + " value " + Quoted(value.view()) + " is not " +
                  (decimal ? "a number" : "a whole number") + "; read as " + read);
}

void CLexaro::Engine::CheckColor(ValueCheck at, const CString& what, const CString& value) {
  if (IsColorText(value, true)) return;
  NoteValue(at, LX_DIAG_VALUE, value,
            Quoted(what.view()) + " value " + Quoted(value.view()) +
                " is not a colour (a name, #rrggbb, rgb(r,g,b) or transparent)");
}

void CLexaro::Engine::CheckPenStyle(ValueCheck at, const CString& what, const CString& value) {
  if (m_dcEx.GetPStyleCode(value) != DE_PS_INVALID) return;
  static const char* const kPenStyles[] = {"solid", "dashed", "dotted", "dashdotted",
                                           "dashdotdotted", "none", "double"};
  NoteValue(at, LX_DIAG_VALUE, value,
            Quoted(what.view()) + " value " + Quoted(value.view()) + " is not a line style (" +
                List(kPenStyles, 7) + ")" + DidYouMean(value.view(), kPenStyles, 7));
}

void CLexaro::Engine::CheckWord(ValueCheck at, const CString& what, const CString& value,
                                const char* const* words, int count) {
  for (int i = 0; i < count; ++i)
    if (value == words[i]) return;
  NoteValue(at, LX_DIAG_VALUE, value,
            Quoted(what.view()) + " value " + Quoted(value.view()) + " is not " + List(words, count) +
                "; passed over" + DidYouMean(value.view(), words, size_t(count)));
}

void CLexaro::Engine::CheckParenType(ValueCheck at, const CString& value) {
  // The names as GetParenType splits them: runs between spaces and commas.
  std::string_view names[3];
  const std::string_view v = value.view();
  for (size_t i = 0, k = 0; k < 3 && i < v.size();) {
    const size_t end = std::min(v.find_first_of(" ,", i), v.size());
    if (end > i) names[k++] = v.substr(i, end - i);
    i = end + 1;
  }
  for (int i = 0; i < 2; ++i)
    if (!names[i].empty() && !IsParenName(names[i]))
      NoteValue(at, LX_DIAG_VALUE, CString(names[i]),
                "'type' name " + Quoted(names[i]) + " is no delimiter (" + List(ParenNames(), 9) +
                    "); that side draws nothing");
  if (!names[2].empty())
    NoteValue(at, LX_DIAG_VALUE, CString(names[2]),
              "'type' takes two names; " + Quoted(names[2]) + " is passed over");
}

void CLexaro::Engine::NoteAttribute(const CString& token, const CString& name, const CString& value) {
  if (!m_diag.Recording()) return;
  ValueCheck at = AttributeRange(token);
  at.cursor = at.start + name.GetLength();
  switch (PropertyCode(name)) {
    case LX_PROP_SIZE: CheckNumber(at, name, value, true); break;
    case LX_PROP_WIDTH:
    case LX_PROP_HEIGHT:
    case LX_PROP_CELLPADDING:
    case LX_PROP_BORDER: CheckNumber(at, name, value, false); break;
    case LX_PROP_COLOR:
    case LX_PROP_BORDERCOLOR:
    case LX_PROP_BGCOLOR: CheckColor(at, name, value); break;
    case LX_PROP_FACE:
      if (value.IsEmpty()) NoteValue(at, LX_DIAG_VALUE, value, "'face' has no value");
      break;
    case LX_PROP_ALIGN: CheckWord(at, name, value, kHAlignTable, 4); break;
    case LX_PROP_VALIGN: CheckWord(at, name, value, kVAlignTable, 4); break;
    case LX_PROP_TYPE: CheckParenType(at, value); break;
    case LX_PROP_STYLE: CheckStyle(at, value); break;
    default:
      if (m_diag.Room())
        m_diag.Add(LX_DIAG_ATTRIBUTE, at.start, at.end - at.start,
                   "unknown attribute " + Quoted(name.view()) + " passed over" +
                       DidYouMean(name.view(), kTagPropertyTable, 13));
      break;
  }
}

void CLexaro::Engine::CheckStyle(ValueCheck at, const CString& value) {
  CStringTool declarations, items;
  for (CString decl = declarations.GetToken_Ex(&value, ";", '\'', 0); !decl.IsEmpty();
       decl = declarations.GetToken_Ex(nullptr, ";", '\'', 0)) {
    const CString name = items.GetToken_Ex(&decl, ": ", '\'', 0);
    const int code = GetTagStyleCode(name);
    if (code < 0)
      NoteValue(at, LX_DIAG_ATTRIBUTE, name,
                "unknown style property " + Quoted(name.view()) + " passed over" +
                    DidYouMean(name.view(), kTagStyleTable, 31));
    const int p = FindIn(m_text, name, at);
    if (p >= 0) at.cursor = p + name.GetLength();
    if (code < 0) continue;
    CheckDeclaration(at, LX_TAG_STYLE_CODE(code), name, items);
  }
}

void CLexaro::Engine::CheckDeclaration(ValueCheck at, LX_TAG_STYLE_CODE code, const CString& name,
                                       CStringTool& items) {
  auto next = [&] {
    CString v = items.GetToken_Ex(nullptr, ": ,", '\'', 0);
    v.Remove('\'');
    return v;
  };
  // What each value is read as, in order; the reading takes up to four
  // values for the properties that have one a side.
  enum Kind { kNumber, kPen, kColor };
  Kind kinds[4] = {kNumber, kNumber, kNumber, kNumber};
  int count = 1;
  bool optional = false;  // a border's pen style and colour may be left out
  switch (code) {
    case LX_STYLE_POSITION: count = 2; break;  // read as up to four, of which two are used
    case LX_STYLE_MARGIN: case LX_STYLE_PADDING: case LX_STYLE_BORDER_WIDTH: count = 4; break;
    case LX_STYLE_BORDER_STYLE: count = 4; kinds[0] = kinds[1] = kinds[2] = kinds[3] = kPen; break;
    case LX_STYLE_BORDER_COLOR: count = 4; kinds[0] = kinds[1] = kinds[2] = kinds[3] = kColor; break;
    case LX_STYLE_BORDER: case LX_STYLE_BORDER_TOP: case LX_STYLE_BORDER_BOTTOM:
    case LX_STYLE_BORDER_LEFT: case LX_STYLE_BORDER_RIGHT:
      count = 3, kinds[1] = kPen, kinds[2] = kColor, optional = true;
      break;
    case LX_STYLE_BORDER_STYLE_TOP: case LX_STYLE_BORDER_STYLE_BOTTOM:
    case LX_STYLE_BORDER_STYLE_LEFT: case LX_STYLE_BORDER_STYLE_RIGHT:
      kinds[0] = kPen;
      break;
    case LX_STYLE_BORDER_COLOR_TOP: case LX_STYLE_BORDER_COLOR_BOTTOM:
    case LX_STYLE_BORDER_COLOR_LEFT: case LX_STYLE_BORDER_COLOR_RIGHT:
      kinds[0] = kColor;
      break;
    default: break;  // one number
  }
  int n = 0;
  for (; n < count; ++n) {
    const CString v = next();
    if (v.IsEmpty()) break;
    if (kinds[n] == kNumber) CheckNumber(at, name, v, false);
    else if (kinds[n] == kPen) CheckPenStyle(at, name, v);
    else CheckColor(at, name, v);
    const int p = FindIn(m_text, v, at);
    if (p >= 0) at.cursor = p + v.GetLength();
  }
  if (n == 0 && !optional && kinds[0] == kNumber && count == 1) {
    CheckNumber(at, name, CString(), false);
  } else if (n == 0) {
    NoteValue(at, LX_DIAG_VALUE, name, Quoted(name.view()) + " has no value; passed over");
  } else if (n == count) {
    const CString extra = next();
    if (!extra.IsEmpty())
      NoteValue(at, LX_DIAG_VALUE, extra,
                Quoted(name.view()) + " value " + Quoted(extra.view()) + " is one too many; passed over");
  }
}
