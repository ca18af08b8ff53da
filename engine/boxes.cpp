// The box model shared by every construct (margin, border, padding, content,
// position offset) and the constructs that are only boxes: DIV, SUP, SUB,
// and the stacked and right-hand scripts with their S parts.
#include <algorithm>
#include <climits>

#include "engine/em_share.h"
#include "engine/engine.h"
#include "engine/saturate.h"
#include "lexaro/numeric.h"

using namespace lexaro::engine;

namespace {

// Where the parts of a stacked or right-hand script go.
enum class Place { Base, Above, Below, TopRight, BottomRight };

Place PartPlace(LX_TAG_CODE code, int k) {
  if (k == 0) return Place::Base;
  switch (code) {
    case LX_TC_TOP: return Place::Above;
    case LX_TC_BTM: return Place::Below;
    case LX_TC_TB: return k == 1 ? Place::Below : Place::Above;
    case LX_TC_RTOP: return Place::TopRight;
    case LX_TC_RBTM: return Place::BottomRight;
    default: return k == 1 ? Place::BottomRight : Place::TopRight;  // RTB
  }
}

int PartCount(LX_TAG_CODE code) { return code == LX_TC_TB || code == LX_TC_RTB ? 3 : 2; }
bool Stacked(LX_TAG_CODE code) { return code == LX_TC_TOP || code == LX_TC_BTM || code == LX_TC_TB; }

// A right-hand script part as laid out: its box and its vertical offset.
struct RightPart {
  bool found = false;
  LX_TXT_EXTENT box{0, 0, 0};
  long long y = 0;
};

// How far each right-hand script of RTB moves away from the other: the top
// one up, the bottom one down, by the same amount. The usual placement puts
// the top script's em box at the base's ascent and the bottom one's at its
// descent; with fonts whose line is one em high, two single-line scripts at
// the default ratio then already overlap by a few pixels (about a sixth of
// the script's em, up to half of it where rounding adds up at small sizes),
// and that placement stands. Beyond half the script's em of overlap (a large
// ratio, a script of several lines, a position that pushes them together)
// they are moved apart until a tenth of the script's em lies between them.
int ScriptSeparation(const LX_TXT_EXTENT& base, const RightPart& bottom, const RightPart& top,
                     int e, int a, int d) {
  if (!bottom.found || !top.found) return 0;
  // Vertical positions measured downwards from the base's baseline.
  long long topBoxBottom = -((long long)base.ascent - e + d) - top.y + top.box.descent;
  long long bottomBoxTop = ((long long)base.descent + a - e) - bottom.y - bottom.box.ascent;
  long long overlap = topBoxBottom - bottomBoxTop;
  long long em = std::max(e, 0);
  if (2 * overlap <= em) return 0;
  long long gap = std::max(1, GetValueRatio(int(em), 10));
  return Sat((overlap + gap + 1) / 2);
}

}  // namespace

int CLexaro::Engine::Em(const LX_TXT_STATE* state) const {
  return ClampEm(-(long long)state->lf.lfHeight);
}

LX_TXT_STATE CLexaro::Engine::NestedState(const LX_TXT_STATE* state, LX_TAG_CODE tagCode,
                                          LX_HALIGN_CODE hAlign) const {
  LX_TXT_STATE copy = *state;
  copy.hAlign = hAlign;
  copy.tagCode = tagCode;
  return copy;
}

void CLexaro::Engine::AddExtent_Margin(LX_TXT_EXTENT* ext, const CRect& r) {
  ext->width = Sat((long long)ext->width + r.left + r.right);
  ext->ascent = Sat((long long)ext->ascent + r.top);
  ext->descent = Sat((long long)ext->descent + r.bottom);
}

void CLexaro::Engine::AddExtent_Padding(LX_TXT_EXTENT* ext, const CRect& r) { AddExtent_Margin(ext, r); }

void CLexaro::Engine::AddExtent_Border(LX_TXT_EXTENT* ext, const CBorderData& b) {
  ext->ascent = Sat((long long)ext->ascent + b.m_top.m_width);
  ext->descent = Sat((long long)ext->descent + b.m_bottom.m_width);
  ext->width = Sat((long long)ext->width + LeftRule(b) + RightRule(b));
}

void CLexaro::Engine::AddExtent_Box(LX_TXT_EXTENT* ext, const LX_DATA_TAG& tag) {
  AddExtent_Padding(ext, tag.padding);
  AddExtent_Border(ext, tag.border);
  AddExtent_Margin(ext, tag.margin);
}

void CLexaro::Engine::SetBoxGeometry(LX_DATA_TAG* tag, const LX_TAG_PROPERTY& prop, int em) {
  tag->offset = EmShare(em, prop.style.position);
  tag->margin = EmShare(em, prop.style.margin);
  tag->padding = EmShare(em, prop.style.padding);
  tag->border = prop.style.border;
  tag->bgColor = prop.bgColor;
}

void CLexaro::Engine::DrawBoxBackground(CPoint p, const LX_DATA_TAG* tag, int shift,
                                        CPoint (*vtx)[2]) {
  if (COLORREF(tag->bgColor) == CLR_TRANSPARENT && NoRules(tag->border)) {
    vtx[1][1] = GetPos_BorderBottomRight_PTag(p, tag, shift);
    return;
  }
  GetPos_BorderVtx_PTag(vtx, p, tag, shift);
  DrawBgColor(vtx[0][0], vtx[1][0], vtx[1][1], vtx[0][1], tag->bgColor);
}

void CLexaro::Engine::TextOut_Box(int idx, const LX_TXT_STATE& state, CPoint p,
                                  const LX_DATA_TAG* tag, int shift) {
  CPoint vtx[2][2];
  DrawBoxBackground(p, tag, shift, vtx);
  LX_TXT_STATE copy = state;
  TextOut_Multi(idx, &copy, GetPos_LBase_PTag(p, tag), GetExtent_PTag(tag, shift).width);
  DrawBorder(vtx, tag->border);
}

void CLexaro::Engine::AnalyzeText_Div(int idx, LX_TXT_STATE* state, LX_DATA_TAG* tag,
                                      const LX_TAG_PROPERTY& prop) {
  SetBoxGeometry(tag, prop, Em(state));
  LX_TXT_STATE copy = NestedState(state, LX_TC_DIV, prop.hAlign);
  LX_TXT_EXTENT ext = AnalyzeText_Multi(idx, &copy, &tag->endIdx);
  AddExtent_Box(&ext, *tag);
  tag->extent = ext;
}

void CLexaro::Engine::TextOut_Div(int idx, LX_TXT_STATE* state, CPoint pt, const LX_DATA_TAG* tag) {
  TextOut_Box(idx, NestedState(state, LX_TC_DIV, state->hAlign), pt, tag, 0);
}

namespace {

// The script's em, ascent and descent: the surrounding ones scaled by ratio.
struct ScriptMetrics {
  int em, ascent, descent;  // of the surrounding font
  int e, a, d;              // of the script
};

}  // namespace

void CLexaro::Engine::AnalyzeText_PTag(LX_TAG_CODE code, int idx, LX_TXT_STATE* state,
                                       LX_DATA_TAG* tag, const LX_TAG_PROPERTY& prop) {
  int em = Em(state), ascent = FontAscent(), descent = FontDescent();
  tag->ratio = int(std::clamp(prop.size, double(INT_MIN), double(INT_MAX)));
  int e = GetValueRatio(em, tag->ratio), a = GetValueRatio(ascent, tag->ratio),
      d = GetValueRatio(descent, tag->ratio);
  SetBoxGeometry(tag, prop, e);
  tag->offset = EmShare(em, prop.style.position);
  LX_TXT_STATE copy = NestedState(state, code, prop.hAlign);
  copy.lf.lfHeight = HeightOf(e);
  SetTState_Sub(&copy, tag->ratio);
  LX_TXT_EXTENT ext = AnalyzeText_Multi(idx, &copy, &tag->endIdx);
  AddExtent_Box(&ext, *tag);
  long long shift = code == LX_TC_SUP ? (long long)tag->offset.y + ascent - e + d
                                      : (long long)tag->offset.y + e - a - descent;
  tag->extent = LX_TXT_EXTENT{ext.width, Sat(ext.ascent + shift), Sat(ext.descent - shift)};
}

void CLexaro::Engine::TextOut_PTag(LX_TAG_CODE code, int idx, LX_TXT_STATE* state, CPoint pt,
                                   const LX_DATA_TAG* tag) {
  int em = Em(state), ascent = FontAscent(), descent = FontDescent();
  int e = GetValueRatio(em, tag->ratio), a = GetValueRatio(ascent, tag->ratio),
      d = GetValueRatio(descent, tag->ratio);
  int s = Sat(code == LX_TC_SUP ? (long long)ascent - e + d : (long long)e - a - descent);
  LX_TXT_STATE copy = NestedState(state, code, state->hAlign);
  copy.lf.lfHeight = HeightOf(e);
  SetTState_Sub(&copy, tag->ratio);
  TextOut_Box(idx, copy, GetPos_MoveY(pt, -double(s)), tag, s);
}

void CLexaro::Engine::AnalyzeText_PTag_Ex(LX_TAG_CODE code, int idx, LX_TXT_STATE* state,
                                          LX_DATA_TAG* tag, const LX_TAG_PROPERTY& prop) {
  int em = Em(state);
  tag->ratio = int(std::clamp(prop.size, double(INT_MIN), double(INT_MAX)));
  int e = GetValueRatio(em, tag->ratio);
  int a = GetValueRatio(FontAscent(), tag->ratio);
  int d = GetValueRatio(FontDescent(), tag->ratio);
  LX_TXT_EXTENT total{0, 0, 0}, baseBox{0, 0, 0};
  RightPart topRight, bottomRight;  // combined once both are known
  int baseHeight = 0, widestRight = 0, k = 0;
  bool ended = false;  // the construct's end tag has been passed
  LX_TAG_PROPERTY partProp;
  for (; k < PartCount(code); ++k) {
    int found = -1;
    idx = FindPart(LX_TC_S, 1, code, 0, &found, idx);
    if (found != 0) {
      ended = true;
      break;
    }
    SetDefaultTagProperty(&partProp, code, state, k);
    GetTagProperty(&partProp);
    LX_DATA_TAG part;
    part.startIdx = idx;
    Place place = PartPlace(code, k);
    SetBoxGeometry(&part, partProp, place == Place::Base ? em : e);
    if (place != Place::Base) part.offset = GetValueRatio(baseHeight, partProp.style.position);
    LX_TXT_STATE copy = NestedState(state, LX_TC_S, partProp.hAlign);
    if (place != Place::Base) {
      copy.lf.lfHeight = HeightOf(e);
      SetTState_Sub(&copy, tag->ratio);
    }
    auto* position = m_dataTag.GetTailPosition();
    LX_TXT_EXTENT x = AnalyzeText_Multi(idx, &copy, &part.endIdx);
    AddExtent_Box(&x, part);
    part.extent = x;
    if (!m_dataTag.InsertAfter(position, part)) AnalyzeErrorBuffer();
    const long long y = part.offset.y;  // sums in 64 bits, saturated as extents
    switch (place) {
      case Place::Base:
        total = baseBox = x;
        baseHeight = Sat((long long)x.ascent + x.descent);
        break;
      case Place::Above:
        total.ascent = Sat(total.ascent + y + x.descent + x.ascent);
        total.width = std::max(total.width, x.width);
        break;
      case Place::Below:
        total.descent = Sat(total.descent + (x.descent - y) + x.ascent);
        total.width = std::max(total.width, x.width);
        break;
      case Place::TopRight: topRight = RightPart{true, x, y}; break;
      case Place::BottomRight: bottomRight = RightPart{true, x, y}; break;
    }
    if (place == Place::TopRight || place == Place::BottomRight) {
      if (code != LX_TC_RTB) {
        total.width = Sat((long long)total.width + x.width);
      } else if (x.width > widestRight) {
        total.width = Sat((long long)total.width + x.width - widestRight);
        widestRight = x.width;
      }
    }
    idx = part.endIdx;
  }
  tag->aux = k;
  // aux2: how far each right-hand script moved away from the other.
  const int apart = ScriptSeparation(baseBox, bottomRight, topRight, e, a, d);
  tag->aux2 = apart;
  if (topRight.found)
    total.ascent = std::max(total.ascent, Sat((long long)total.ascent + topRight.y + apart - e +
                                              topRight.box.ascent + d));
  if (bottomRight.found)
    total.descent =
        std::max(total.descent, Sat((long long)total.descent + (bottomRight.box.descent -
                                                                bottomRight.y) + apart - e + a));
  CloseBox_S(code, tag, prop, em, total, idx, ended);
}

void CLexaro::Engine::CloseBox_S(LX_TAG_CODE code, LX_DATA_TAG* tag, const LX_TAG_PROPERTY& prop,
                                 int em, LX_TXT_EXTENT total, int idx, bool ended) {
  SetBoxGeometry(tag, prop, em);
  AddExtent_Box(&total, *tag);
  if (!ended) idx = FindEnd(code, idx);
  if (ended) NoteMissingParts(code, tag->aux);
  tag->extent = total;
  tag->endIdx = idx;
}

void CLexaro::Engine::TextOut_PTag_Ex(LX_TAG_CODE code, int, LX_TXT_STATE* state, CPoint pt,
                                      const LX_DATA_TAG* tag) {
  int em = Em(state);
  int e = GetValueRatio(em, tag->ratio);
  int a = GetValueRatio(FontAscent(), tag->ratio);
  int d = GetValueRatio(FontDescent(), tag->ratio);
  CPoint vtx[2][2];
  DrawBoxBackground(pt, tag, 0, vtx);
  CPoint base = GetPos_LBase_PTag(pt, tag);
  int inner = GetExtent_PTag(tag, 0).width;
  LX_TXT_EXTENT baseExt{0, 0, 0};
  bool movedRight = false;
  for (int i = 0; i < tag->aux; ++i) {
    auto* node = m_dataTag.GetNext();
    if (!node) break;
    const LX_DATA_TAG& part = node->value;
    Place place = PartPlace(code, i);
    CPoint p = base;
    switch (place) {
      case Place::Base: baseExt = part.extent; break;
      case Place::Above: p = GetPos_MoveY(base, -(double(baseExt.ascent) + part.extent.descent)); break;
      case Place::Below: p = GetPos_MoveY(base, double(part.extent.ascent) + baseExt.descent); break;
      case Place::TopRight:
      case Place::BottomRight:
        if (!movedRight) {
          base = GetPos_MoveX(base, baseExt.width);
          movedRight = true;
        }
        p = place == Place::TopRight
                ? GetPos_MoveY(base, -(double(baseExt.ascent) - e + d + tag->aux2))
                : GetPos_MoveY(base, -(double(e) - baseExt.descent - a - tag->aux2));
        break;
    }
    if (Stacked(code)) p = GetPos_MoveX(p, ((long long)inner - part.extent.width) / 2);
    LX_TXT_STATE copy = NestedState(state, LX_TC_S, state->hAlign);
    if (place != Place::Base) {
      copy.lf.lfHeight = HeightOf(e);
      SetTState_Sub(&copy, tag->ratio);
    }
    TextOut_Box(part.startIdx, copy, p, &part, 0);
  }
  DrawBorder(vtx, tag->border);
}
