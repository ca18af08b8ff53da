// FRAC: a numerator and a denominator, each an S part, stacked over a bar.
// The bar lies b above the fraction's baseline, b being a fixed share of the
// font's ascent, so fractions line up with the text around them.
#include <algorithm>
#include <climits>

#include "engine/engine.h"
#include "engine/saturate.h"
#include "lexaro/numeric.h"

using namespace lexaro::engine;

namespace {

constexpr int kNumerator = 0;
constexpr int kPartCount = 2;  // a third S is skipped unread

// The bar height above the baseline, from the ascent of the selected font.
int FracBarHeight(int ascent) { return Roundoff(ascent * Params().Frac_barAscentRatio); }

}  // namespace

int CLexaro::Engine::GetBarWidth(int em) {
  // 64 bits: em - 10 must not wrap for the most negative em heights.
  return Sat((static_cast<long long>(em) - 10) / 30 + 1);
}

void CLexaro::Engine::AnalyzeText_Frac(int idx, LX_TXT_STATE* state, LX_DATA_TAG* tag,
                                       const LX_TAG_PROPERTY& prop) {
  const int em = Em(state);
  const int b = FracBarHeight(FontAscent());
  // Sums in 64 bits: parts of huge fonts must not wrap the extent.
  long long width = 0, ascent = 0, descent = 0;
  int parts = 0;
  bool ended = false;  // the FRAC end tag has been passed
  for (; parts < kPartCount; ++parts) {
    int found = -1;
    idx = FindPart(LX_TC_S, 1, LX_TC_FRAC, 0, &found, idx);
    if (found != 0) {
      ended = true;
      break;
    }
    LX_TAG_PROPERTY partProp;
    SetDefaultTagProperty(&partProp, LX_TC_FRAC, state, parts);
    GetTagProperty(&partProp);
    LX_DATA_TAG part;
    part.startIdx = idx;
    SetBoxGeometry(&part, partProp, em);
    // The part's record goes before the records of what is nested in it.
    auto* position = m_dataTag.GetTailPosition();
    LX_TXT_STATE copy = NestedState(state, LX_TC_S, partProp.hAlign);
    LX_TXT_EXTENT x = AnalyzeText_Multi(idx, &copy, &part.endIdx);
    AddExtent_Box(&x, part);
    part.extent = x;
    if (!m_dataTag.InsertAfter(position, part)) AnalyzeErrorBuffer();
    long long height = static_cast<long long>(x.ascent) + x.descent;
    if (parts == kNumerator)
      ascent += part.offset.y + height;
    else
      descent += height - part.offset.y + 1;  // the denominator starts one below the bar
    width = std::max<long long>(width, x.width);
    idx = part.endIdx;
  }
  tag->aux = parts;
  // The baseline lies b below the bar.
  LX_TXT_EXTENT total{Sat(width), Sat(ascent + b), Sat(descent - b)};
  CloseBox_S(LX_TC_FRAC, tag, prop, em, total, idx, ended);
  tag->color = prop.color;
}

void CLexaro::Engine::TextOut_Frac(int, LX_TXT_STATE* state, CPoint pt,
                                   const LX_DATA_TAG* tag) {
  const int b = FracBarHeight(FontAscent());
  const CPenData pen(DE_PS_SOLID, GetBarWidth(Em(state)), tag->color);
  CPoint vtx[2][2];
  DrawBoxBackground(pt, tag, 0, vtx);
  const CPoint q = GetPos_LBase_PTag(pt, tag);
  const int barLength = GetExtent_PTag(tag, 0).width;
  for (int i = 0; i < tag->aux; ++i) {
    auto* node = m_dataTag.GetNext();
    if (!node) break;
    const LX_DATA_TAG& part = node->value;
    // The numerator's box ends on the bar, the denominator's starts just below.
    long long up = i == kNumerator ? (long long)part.extent.descent + b
                                   : (long long)b - part.extent.ascent - 1;
    // Centred over the bar; an odd remainder leaves the extra unit on the right.
    long long dx = (static_cast<long long>(barLength) - part.extent.width) / 2;
    CPoint p = GetPos_StepX(GetPos_StepY(q, -up), dx);
    TextOut_Box(part.startIdx, NestedState(state, LX_TC_S, state->hAlign), p, &part, 0);
  }
  const CPoint s = GetPos_StepY(q, -(long long)b);
  DrawLine(s, GetPos_StepX(s, barLength), pen);
  DrawBorder(vtx, tag->border);
}
