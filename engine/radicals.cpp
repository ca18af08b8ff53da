// SQRT and SQRTN: a radical sign from the symbol font, scaled so that its top
// reaches the top of the radicand's box, and a bar drawn with a pen that
// carries the sign over the radicand. SQRTN adds an index (its second S
// part) in the crook of the sign, set smaller like a script.
#include <algorithm>
#include <climits>
#include <cmath>

#include "engine/engine.h"
#include "engine/saturate.h"
#include "lexaro/numeric.h"

using namespace lexaro::engine;

namespace {

constexpr int kRadicand = 0;
constexpr int kPartCount = 2;  // radicand and index; a third S is skipped unread

// The character height of the sign for a radicand box of height h: the
// sign's ascent S is chosen so that its top, at barAscentRatio x S, meets the
// top of the box, and its descent is added. A box of no height (or less)
// asks for a sign one unit high: lfHeight 0 would mean the default size and
// a positive one a cell height.
int SignCharHeight(long long h) {
  const ClassParams& p = Params();
  long long ascent = Roundoff(double(h) / p.Sqrt_barAscentRatio);
  long long height = ascent + Roundoff(double(ascent) * p.Sqrt_DescentRatio);
  return int(std::clamp<long long>(height, 1, INT_MAX));
}

// The sign font before kSqrtFont gives it its face and charset: the text
// font with the sign's height and, as width, the negated average character
// width of the text font, so that tall signs grow taller, not wider.
LOGFONT SignFont(const LX_TXT_STATE* state, int lfHeight, int lfWidth) {
  LOGFONT lf = state->lf;
  lf.lfHeight = lfHeight;
  lf.lfWidth = lfWidth;
  return lf;
}

// Draws the sign in its colour with its baseline starting at `at`; the text
// colour of the device context is restored. Answers where the sign's ink
// ends along its baseline, from `at`: the glyph's outline may end short of
// its advance (by about 6 % of it in the usual symbol face); `advance` when
// the sign has no ink.
double DrawSign(CLexaro::Engine& e, const LX_TXT_STATE* state, int lfHeight, COLORREF color,
                CPoint at, int advance) {
  LOGFONT lf = SignFont(state, lfHeight, e.GetFontWidth_Sqrt(state->lf.lfHeight, state));
  // The sign's font stays selected for measuring its outline after drawing.
  e.SetLOGFONT(&lf, kSqrtFont);
  SelectedFont font(e.m_pDC, e.m_pieceFont.For(lf));
  const char sign = char(kSqrtCode);
  COLORREF previous = e.m_pDC->SetTextColor(color);
  e.TextOut_Ink(at, &sign, 1);
  e.m_pDC->SetTextColor(previous);
  CLexaro::Engine::SignInk& last = e.m_signInk;
  if (!last.known || last.lfHeight != lf.lfHeight || last.lfWidth != lf.lfWidth) {
    // The box around the sign's ink from its baseline's left end, unturned.
    double ink[4];
    bool inked = e.m_pDC->GetTextOutlineBox(&sign, 1, ink);
    last = {true, int(lf.lfHeight), int(lf.lfWidth), inked ? ink[2] : double(advance)};
  }
  return last.end;
}

// How far the bar reaches back over the sign's ink, in pixels: a whole
// pixel, so that the bar's first pixel covers the sign's last one whatever
// the rounding of the two, the vertical snapping of glyphs or the smoothing
// of lines.
constexpr double kBarOverlap = 1.0;

// The pixel a bar starts on, for a start `along` the baseline and `down`
// across it from the sign drawn at p: the pixel whose centre lies nearest
// the centre of the bar's first pixel, half a pixel along and down from the
// start as a level bar's lies. A level bar keeps its pixels, and a turned
// bar's first pixel lies on the sign's side of the bar's line as a level
// one does: rounding the start itself would put it on the far side on some
// turns, off the sign's top. (Wider pens stamp squares around that pixel,
// centred on it or half a pixel off.)
CPoint BarStartPixel(const CLexaro::Engine& e, CPoint p, double along, double down) {
  const double a = along + 0.5, d = down + 0.5;
  auto pixel = [](double v) {
    return Sat(static_cast<long long>(std::floor(std::clamp(v, -0x1p62, 0x1p62))));
  };
  return CPoint(pixel(p.x + a * e.m_cos + d * e.m_sin), pixel(p.y + d * e.m_cos - a * e.m_sin));
}

// Where the bar starts, from the left end of the sign's baseline, for a sign
// `advance` wide whose ink ends at `inkEnd` and a stroke w wide: half a
// stroke inside the sign's advance, or a pixel inside its ink where that
// lies farther left, but never left of the sign, so the bar stays inside
// the box it is laid out in.
double BarStart(int advance, double inkEnd, int w) {
  double start = std::min(double(advance) - w / 2, inkEnd - kBarOverlap);
  return std::max(start, 0.0);
}

}  // namespace

int CLexaro::Engine::GetFontWidth_Sqrt(int n, const LX_TXT_STATE* state) {
  return Roundoff(AveCharWidthRatio(state->lf) * n);
}

void CLexaro::Engine::AnalyzeText_Sqrt(int idx, LX_TXT_STATE* state, LX_DATA_TAG* tag,
                                       const LX_TAG_PROPERTY& prop) {
  const int em = Em(state);
  SetBoxGeometry(tag, prop, em);
  const int mT = GetValueRatio(em, Params().Sqrt_marginTop);
  const int mX = GetValueRatio(em, Params().Sqrt_marginX);
  LX_TXT_STATE copy = NestedState(state, LX_TC_SQRT, prop.hAlign);
  const LX_TXT_EXTENT c = AnalyzeText_Multi(idx, &copy, &tag->endIdx);
  const long long boxAscent = static_cast<long long>(c.ascent) + mT;
  tag->aux3 = -SignCharHeight(boxAscent + c.descent);
  LOGFONT lf = SignFont(state, tag->aux3, GetFontWidth_Sqrt(state->lf.lfHeight, state));
  const LX_TXT_EXTENT g = AnalyzeText_Char(char(kSqrtCode), &lf, kSqrtFont);
  tag->aux2 = g.width;
  // The sign hangs below the box: only the content's descent counts.
  LX_TXT_EXTENT ext{Sat(static_cast<long long>(c.width) + 2LL * mX + g.width),
                    Sat(boxAscent), c.descent};
  AddExtent_Box(&ext, *tag);
  tag->extent = ext;
  tag->color = prop.color;
}

void CLexaro::Engine::TextOut_Sqrt(int idx, LX_TXT_STATE* state, CPoint pt,
                                   const LX_DATA_TAG* tag) {
  const int em = Em(state);
  const int w = GetBarWidth(em);
  const int mX = GetValueRatio(em, Params().Sqrt_marginX);
  const CPenData pen(DE_PS_SOLID, w, tag->color);
  CPoint vtx[2][2];
  DrawBoxBackground(pt, tag, 0, vtx);
  const CPoint q = GetPos_LBase_PTag(pt, tag);
  const LX_TXT_EXTENT in = GetExtent_PTag(tag, 0);
  LX_TXT_STATE copy = NestedState(state, LX_TC_SQRT, state->hAlign);
  TextOut_Multi(idx, &copy, GetPos_MoveX(q, double(tag->aux2) + mX),
                Sat(static_cast<long long>(in.width) - tag->aux2 - 2LL * mX));
  // The sign stands on the bottom of the content box; the bar runs along
  // the top of the box from the sign to where the layout ends it, half a
  // stroke left of the box's right edge (`laid` is the start the layout
  // gives it, which the end is measured from at every angle).
  const CPoint sign = GetPos_MoveY(q, in.descent);
  const double inkEnd = DrawSign(*this, state, tag->aux3, tag->color, sign, tag->aux2);
  const CPoint laid = GetPos_MoveY(GetPos_MoveX(q, double(tag->aux2) - w / 2), -double(in.ascent));
  const double top = static_cast<double>(in.ascent) + in.descent;
  const CPoint s = BarStartPixel(*this, sign, BarStart(tag->aux2, inkEnd, w), -top);
  DrawLine(s, GetPos_MoveX(laid, double(in.width) - tag->aux2), pen);
  DrawBorder(vtx, tag->border);
}

void CLexaro::Engine::AnalyzeText_SqrtN(int idx, LX_TXT_STATE* state, LX_DATA_TAG* tag,
                                        const LX_TAG_PROPERTY& prop) {
  const ClassParams& params = Params();
  const int em = Em(state);
  tag->ratio = int(std::clamp(prop.size, double(INT_MIN), double(INT_MAX)));
  const int indexEm = GetValueRatio(em, tag->ratio);
  const int indexDescent = GetValueRatio(FontDescent(), tag->ratio);
  const int signLfWidth = GetFontWidth_Sqrt(state->lf.lfHeight, state);
  long long width = 0, ascent = 0, descent = 0;
  LX_TXT_EXTENT g{0, 0, 0};
  int parts = 0;
  bool ended = false;  // the SQRTN end tag has been passed
  for (; parts < kPartCount; ++parts) {
    int found = -1;
    idx = FindPart(LX_TC_S, 1, LX_TC_SQRTN, 0, &found, idx);
    if (found != 0) {
      ended = true;
      break;
    }
    const bool radicand = parts == kRadicand;
    LX_TAG_PROPERTY partProp;
    SetDefaultTagProperty(&partProp, LX_TC_SQRTN, state, parts);
    GetTagProperty(&partProp);
    LX_DATA_TAG part;
    part.startIdx = idx;
    SetBoxGeometry(&part, partProp, radicand ? em : indexEm);
    LX_TXT_STATE copy = NestedState(state, LX_TC_S, partProp.hAlign);
    if (!radicand) {
      copy.lf.lfHeight = HeightOf(indexEm);
      SetTState_Sub(&copy, tag->ratio);
    }
    auto* position = m_dataTag.GetTailPosition();
    LX_TXT_EXTENT x = AnalyzeText_Multi(idx, &copy, &part.endIdx);
    AddExtent_Box(&x, part);
    part.extent = x;
    if (radicand) {
      // The radicand's top margin is the room between content and bar.
      tag->aux3 = -SignCharHeight(static_cast<long long>(x.ascent) + x.descent);
      LOGFONT lf = SignFont(state, tag->aux3, signLfWidth);
      g = AnalyzeText_Char(char(kSqrtCode), &lf, kSqrtFont);
      width = static_cast<long long>(x.width) + g.width;
      ascent = x.ascent;
      descent = x.descent;
      part.aux2 = tag->aux2 = g.width;
      part.aux3 = x.ascent;
    } else {
      // The index's estimated descent line sits at nAscentRatio of the
      // sign's ascent above the sign's baseline, which is the radicand's
      // bottom.
      long long raise = static_cast<long long>(Roundoff(g.ascent * params.Sqrt_nAscentRatio)) +
                        indexDescent - descent;
      part.aux3 = Sat(raise);
      ascent = std::max(ascent, raise + part.offset.y + x.ascent);
      // The index ends a third of the sign's width left of the sign's right
      // edge; a wider index widens the sign column.
      long long indexWidth =
          static_cast<long long>(Roundoff(g.width * params.Sqrt_nWidthRatio)) + x.width;
      part.aux2 = Sat(indexWidth);
      if (part.aux2 > tag->aux2) {
        width += static_cast<long long>(part.aux2) - tag->aux2;
        tag->aux2 = part.aux2;
      }
    }
    if (!m_dataTag.InsertAfter(position, part)) AnalyzeErrorBuffer();
    idx = part.endIdx;
  }
  tag->aux = parts;
  LX_TXT_EXTENT total{Sat(width), Sat(ascent), Sat(descent)};
  CloseBox_S(LX_TC_SQRTN, tag, prop, em, total, idx, ended);
  tag->color = prop.color;
}

void CLexaro::Engine::TextOut_SqrtN(int, LX_TXT_STATE* state, CPoint pt,
                                    const LX_DATA_TAG* tag) {
  const int em = Em(state);
  const int w = GetBarWidth(em);
  const int indexEm = GetValueRatio(em, tag->ratio);
  const CPenData pen(DE_PS_SOLID, w, tag->color);
  CPoint vtx[2][2];
  DrawBoxBackground(pt, tag, 0, vtx);
  const CPoint q = GetPos_LBase_PTag(pt, tag);
  int signWidth = 0;
  LX_TXT_EXTENT radicandBox{0, 0, 0};
  bool radicandDrawn = false, complete = true;
  for (int i = 0; i < tag->aux; ++i) {
    auto* node = m_dataTag.GetNext();
    if (!node) {
      complete = false;  // a layout that failed: draw no more than the records hold
      break;
    }
    const LX_DATA_TAG& part = node->value;
    LX_TXT_STATE copy = NestedState(state, LX_TC_S, state->hAlign);
    CPoint p;
    if (i == kRadicand) {
      signWidth = part.aux2;
      radicandBox = part.extent;
      radicandDrawn = true;
      p = GetPos_MoveX(q, tag->aux2);
    } else {
      p = GetPos_MoveY(GetPos_MoveX(q, double(tag->aux2) - part.aux2), -double(part.aux3));
      copy.lf.lfHeight = HeightOf(indexEm);
      SetTState_Sub(&copy, tag->ratio);
    }
    TextOut_Box(part.startIdx, copy, p, &part, 0);
  }
  if (radicandDrawn && complete) {
    // The sign is right-aligned in the sign column, on the radicand's
    // bottom; the bar runs from the sign along the radicand's top.
    const CPoint sign =
        GetPos_MoveY(GetPos_MoveX(q, double(tag->aux2) - signWidth), radicandBox.descent);
    const double inkEnd = DrawSign(*this, state, tag->aux3, tag->color, sign, signWidth);
    const CPoint laid =
        GetPos_MoveY(GetPos_MoveX(q, double(tag->aux2) - w / 2), -double(radicandBox.ascent));
    const double top = static_cast<double>(radicandBox.ascent) + radicandBox.descent;
    const CPoint s = BarStartPixel(*this, sign, BarStart(signWidth, inkEnd, w), -top);
    DrawLine(s, GetPos_MoveX(laid, radicandBox.width), pen);
  }
  DrawBorder(vtx, tag->border);
}
