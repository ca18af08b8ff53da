// The attribute and style parser on the start tag of any construct, and the
// box geometry the parsed values give at small and huge em heights.
#include <climits>
#include <string_view>

#include "engine/engine.h"
#include "fuzz/entries.h"

namespace lexaro::fuzz {
namespace {

// The tags whose properties are read: the constructs, their parts and FONT.
constexpr LX_TAG_CODE kCodes[] = {
    LX_TC_DIV,  LX_TC_SUP,  LX_TC_SUB,  LX_TC_TOP, LX_TC_BTM,  LX_TC_TB,    LX_TC_RTOP,  LX_TC_RBTM,
    LX_TC_RTB,  LX_TC_TABLE, LX_TC_TR,  LX_TC_TD,  LX_TC_FRAC, LX_TC_SQRT, LX_TC_SQRTN, LX_TC_PAREN,
    LX_TC_FONT, LX_TC_S};

constexpr int kEms[] = {1, 16, 1 << 22, INT_MAX};

}  // namespace

void Properties(const uint8_t* data, size_t size) {
  LX_TAG_CODE code = LX_TC_DIV;
  long part = -1;
  if (size >= 1) {
    code = kCodes[data[0] % (sizeof kCodes / sizeof kCodes[0])];
    part = long(data[0] >> 5) % 4 - 1;  // -1 (the construct) or a part 0..2
    ++data, --size;
  }
  CLexaro::Engine e;
  e.m_text = CString(std::string_view(reinterpret_cast<const char*>(data), size));
  e.m_textLength = e.m_text.GetLength();
  LX_TXT_STATE state = e.DefaultState();
  LX_TAG_PROPERTY parent;
  e.SetDefaultTagProperty(&parent, LX_TC_TABLE, &state, -1);
  LX_TAG_PROPERTY prop;
  e.SetDefaultTagProperty(&prop, code, &state, part, &parent);
  e.GetTagToken(0);  // the tag name; the attributes follow it
  e.GetTagProperty(&prop);

  LX_TAG_STYLE style;
  e.GetTagStyle(&style, &e.m_text);
  LX_PAREN_CODE left, right;
  CLexaro::Engine::GetParenType(&left, &right, prop.type);
  Require(left >= LX_PAREN_NONE && left <= LX_PAREN_DBAR, "left delimiter outside the table");
  Require(right >= LX_PAREN_NONE && right <= LX_PAREN_DBAR, "right delimiter outside the table");
  Require(prop.hAlign >= LX_HA_LEFT && prop.hAlign <= LX_HA_JUSTIFY, "alignment outside the table");
  Require(prop.vAlign >= LX_VA_TOP && prop.vAlign <= LX_VA_BASELINE, "alignment outside the table");

  for (int em : kEms) {
    LX_DATA_TAG tag;
    CLexaro::Engine::SetBoxGeometry(&tag, prop, em);
    LX_TXT_EXTENT ext{INT_MAX, INT_MAX, INT_MIN};
    CLexaro::Engine::AddExtent_Box(&ext, tag);
    CLexaro::Engine::GetExtent_PTag(&tag, em);
  }
}

}  // namespace lexaro::fuzz
