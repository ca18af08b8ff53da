// PAREN: content between a left and a right delimiter that grow with the
// content. Round, square and curly delimiters are symbol-font characters:
// one glyph while the content is low, else end pieces, a middle piece and
// extensions, each extension drawn in a font as tall as the gap it fills
// (the width request stays that of the text, so a tall font only stretches
// the piece vertically). The vertical bars are pen lines.
#include <algorithm>
#include <climits>
#include <cstdint>

#include "engine/engine.h"
#include "engine/saturate.h"
#include "lexaro/numeric.h"

using namespace lexaro::engine;

namespace {

using Engine = CLexaro::Engine;

// The average character width the delimiter font asks for (its lfWidth is
// the negated width).
int AverageWidth(const LOGFONT& font) { return Sat(-std::int64_t(font.lfWidth)); }

bool Drawable(LX_PAREN_CODE code) { return code >= LX_PAREN_LPAREN && code <= LX_PAREN_DBAR; }
bool Measurable(LX_PAREN_CODE code) { return code >= LX_PAREN_EMPTY && code <= LX_PAREN_DBAR; }
bool IsBar(LX_PAREN_CODE code) { return code == LX_PAREN_BAR || code == LX_PAREN_DBAR; }
bool IsBrace(LX_PAREN_CODE code) { return code == LX_PAREN_LBRACE || code == LX_PAREN_RBRACE; }

// The delimiters' height: the content's plus the extra margin above and
// below. Never negative (a box with negative margins has no delimiters) and
// never beyond the int range.
int DelimiterHeight(const LX_TXT_EXTENT& content, int marginY) {
  std::int64_t d = std::int64_t(content.ascent) + content.descent + 2 * std::int64_t(marginY);
  return int(std::clamp<std::int64_t>(d, 0, INT_MAX));
}

// The font of the pieces at one height; the width request stays.
LOGFONT AtHeight(LOGFONT font, std::int64_t height) {
  font.lfHeight = HeightOf(height);
  return font;
}

// A piece font's metrics at em h and the overlap and drop of its pieces.
struct PieceFont {
  int a, d;  // ascent and descent at em h
  int P;     // a + d
  int t;     // overlap between adjacent pieces
  int v;     // vertical shift of every piece (negative: down)
  int descentRatio;

  // Ascent, descent and shift of the same font made `height` tall.
  int Ascent(std::int64_t height) const { return Sat(std::int64_t(a) * height / P); }
  int Descent(std::int64_t height) const { return Sat(std::int64_t(d) * height / P); }
  int Drop(std::int64_t height) const { return GetValueRatio(Descent(height), descentRatio); }
};

// Draws one piece of a tall delimiter at a baseline `down` below `from`. A
// piece of no height (the end pieces already meet) is left out.
void DrawPiece(Engine& e, unsigned char c, const LX_CNG_PAREN& row, const LOGFONT& font,
               std::int64_t height, CPoint from, std::int64_t down) {
  if (height <= 0) return;
  LOGFONT lf = AtHeight(font, height);
  e.TextOut_Char(char(c), &lf, row.font, e.GetPos_MoveY(from, double(down)));
}

// "(", ")", "[", "]": the two end pieces and one extension between them,
// overlapping each by t.
void DrawTallBracket(Engine& e, const LX_CNG_PAREN& row, const LOGFONT& font, const PieceFont& m,
                     int D, int h, CPoint top, CPoint bottom) {
  DrawPiece(e, row.codeTop, row, font, h, top, std::int64_t(m.a) - m.v);
  DrawPiece(e, row.codeBtm, row, font, h, bottom, -(std::int64_t(m.d) + m.v));
  std::int64_t inset = std::int64_t(m.P) - m.t;
  std::int64_t E = D - 2 * inset;
  if (E > 0) DrawPiece(e, row.codeMid, row, font, E, bottom, -(inset + m.Descent(E) + m.Drop(E)));
}

// "{", "}" from 2h to 3h: the middle hook centred, and the two end pieces
// stretched to meet it.
void DrawShortBrace(Engine& e, const LX_CNG_PAREN& row, const LOGFONT& font, const PieceFont& m,
                    int D, int h, CPoint top, CPoint bottom) {
  std::int64_t half = (std::int64_t(D) - m.P) / 2;
  DrawPiece(e, row.codeMid, row, font, h, bottom, -(std::int64_t(m.d) + m.v + half));
  std::int64_t F = half + m.t;
  if (F <= 0) return;
  DrawPiece(e, row.codeTop, row, font, F, top, std::int64_t(m.Ascent(F)) - m.Drop(F));
  DrawPiece(e, row.codeBtm, row, font, F, bottom, -(std::int64_t(m.Descent(F)) + m.Drop(F)));
}

// "{", "}" from 3h: end pieces and the middle hook at their own height, and
// an extension stretched into each of the two gaps between them.
void DrawTallBrace(Engine& e, const LX_CNG_PAREN& row, const LOGFONT& font, const PieceFont& m,
                   int D, int h, CPoint top, CPoint bottom) {
  std::int64_t gap = (std::int64_t(D) - 3 * std::int64_t(m.P)) / 2;
  DrawPiece(e, row.codeTop, row, font, h, top, std::int64_t(m.a) - m.v);
  DrawPiece(e, row.codeMid, row, font, h, bottom, -(m.P + gap + m.d + m.v));
  DrawPiece(e, row.codeBtm, row, font, h, bottom, -(std::int64_t(m.d) + m.v));
  std::int64_t G = gap + 2 * std::int64_t(m.t);
  if (G <= 0) return;
  std::int64_t inset = std::int64_t(m.P) - m.t;
  DrawPiece(e, row.codeExt, row, font, G, top, inset + m.Ascent(G) - m.Drop(G));
  DrawPiece(e, row.codeExt, row, font, G, bottom, -(inset + m.Descent(G) + m.Drop(G)));
}

// "|" and "||": vertical pen lines of the bar width, D long from the top,
// centred in the advance width of the row's middle character.
void DrawBars(Engine& e, LX_PAREN_CODE code, const LOGFONT& font, COLORREF color, int D, int h,
              CPoint top) {
  const LX_CNG_PAREN& row = kParenCng[code];
  // The bar width formula only makes sense for positive em heights.
  int w = h > 0 ? std::max(1, Engine::GetBarWidth(h)) : 1;
  CPenData pen(DE_PS_SOLID, w, color);
  LOGFONT lf = font;
  int gw = e.AnalyzeText_Char(char(row.codeMid), &lf, row.font).width;
  auto line = [&](std::int64_t x) {
    CPoint from = e.GetPos_MoveX(top, double(x));
    e.DrawLine(from, e.GetPos_MoveY(from, D), pen);
  };
  if (code == LX_PAREN_BAR) {
    line(gw / 2);
    return;
  }
  int gap = GetValueRatio(AverageWidth(font), row.heightRatio);
  std::int64_t first = (std::int64_t(gw) - w - gap) / 2;
  line(first);
  line(first + w + gap);
}

// The character delimiters: one glyph of height D, its descent line on the
// bottom of the box, while D < 2h; pieces from 2h on.
void DrawGlyphs(Engine& e, LX_PAREN_CODE code, const LOGFONT& font, int D, int h, CPoint p,
                const LX_TXT_EXTENT& box) {
  const LX_CNG_PAREN& row = kParenCng[code];
  PieceFont m{};
  bool tall = h > 0 && std::int64_t(D) >= 2 * std::int64_t(h);
  if (tall) {
    LOGFONT lf = AtHeight(font, h);
    LX_TXT_EXTENT x = e.CharFontExtent(&lf, row.font);
    m = PieceFont{x.ascent, x.descent, Sat(std::int64_t(x.ascent) + x.descent),
                  GetValueRatio(h, row.heightRatio), GetValueRatio(x.descent, row.descentRatio),
                  row.descentRatio};
    tall = m.P > 0;  // pieces of a font without height cannot be scaled
  }
  if (tall) p = e.GetPos_MoveX(p, GetValueRatio(AverageWidth(font), row.widthRatio));
  CPoint top = e.GetPos_MoveY(p, -double(box.ascent)), bottom = e.GetPos_MoveY(p, box.descent);
  if (!tall) {
    // The glyph's font is selected once, for its descent and for drawing.
    LOGFONT lf = font;
    e.SetLOGFONT(&lf, row.font);
    SelectedFont selected(e.m_pDC, e.m_pieceFont.For(lf));
    const char c = char(row.code);
    e.TextOut_Ink(e.GetPos_MoveY(bottom, -double(e.FontDescent())), &c, 1);
  } else if (!IsBrace(code)) {
    DrawTallBracket(e, row, font, m, D, h, top, bottom);
  } else if (std::int64_t(D) < 3 * std::int64_t(h)) {
    DrawShortBrace(e, row, font, m, D, h, top, bottom);
  } else {
    DrawTallBrace(e, row, font, m, D, h, top, bottom);
  }
}

}  // namespace

int CLexaro::Engine::GetFontWidth_Paren(int n, const LX_TXT_STATE* state) {
  return Roundoff(AveCharWidthRatio(state->lf) * n);
}

void CLexaro::Engine::AnalyzeText_Paren(int idx, LX_TXT_STATE* state, LX_DATA_TAG* tag,
                                        const LX_TAG_PROPERTY& prop) {
  int h = Em(state);
  SetBoxGeometry(tag, prop, h);
  int marginY = GetValueRatio(h, Params().Paren_marginY);
  LX_PAREN_CODE left, right;
  GetParenType(&left, &right, prop.type);
  LX_TXT_STATE copy = NestedState(state, LX_TC_PAREN, prop.hAlign);
  LX_TXT_EXTENT c = AnalyzeText_Multi(idx, &copy, &tag->endIdx);
  int D = DelimiterHeight(c, marginY);
  tag->aux2 = c.width;
  tag->aux3 = HeightOf(D);
  LOGFONT font = state->lf;
  font.lfHeight = tag->aux3;
  font.lfWidth = GetFontWidth_Paren(state->lf.lfHeight, state);
  int wl = AnalyzeText_CharParen(left, font), wr = AnalyzeText_CharParen(right, font);
  // Drawing takes the delimiters and the left one's width from here.
  tag->left = left;
  tag->right = right;
  tag->aux = wl;
  LX_TXT_EXTENT ext{Sat(std::int64_t(c.width) + wl + wr),
                    Sat(std::int64_t(c.ascent) + marginY),
                    Sat(std::int64_t(c.descent) + marginY)};
  AddExtent_Box(&ext, *tag);
  tag->extent = ext;
  tag->color = prop.color;
  tag->type = prop.type;
}

void CLexaro::Engine::TextOut_Paren(int idx, LX_TXT_STATE* state, CPoint pt, const LX_DATA_TAG* tag) {
  LOGFONT font = state->lf;
  font.lfHeight = tag->aux3;
  font.lfWidth = GetFontWidth_Paren(state->lf.lfHeight, state);
  const auto left = LX_PAREN_CODE(tag->left), right = LX_PAREN_CODE(tag->right);
  const int wl = tag->aux;
  CPoint vtx[2][2];
  DrawBoxBackground(pt, tag, 0, vtx);
  CPoint q = GetPos_LBase_PTag(pt, tag);
  LX_TXT_STATE copy = NestedState(state, LX_TC_PAREN, state->hAlign);
  TextOut_Multi(idx, &copy, GetPos_MoveX(q, wl), tag->aux2);
  // The delimiters span the content and its extra margin, not the box's
  // padding, border and margin: those lie outside them.
  LX_TXT_EXTENT span = GetExtent_PTag(tag, 0);
  int h = Em(state);
  TextOut_CharParen(left, font, tag->color, q, h, span);
  TextOut_CharParen(right, font, tag->color, GetPos_MoveX(q, double(wl) + tag->aux2), h, span);
  DrawBorder(vtx, tag->border);
}

int CLexaro::Engine::AnalyzeText_CharParen(LX_PAREN_CODE code, LOGFONT font) {
  // A delimiter of no height takes no room (a zero height would ask the
  // platform for its default size).
  if (!Measurable(code) || font.lfHeight >= 0) return 0;
  const LX_CNG_PAREN& row = kParenCng[code];
  return AnalyzeText_Char(char(row.codeMid), &font, row.font).width;
}

void CLexaro::Engine::TextOut_CharParen(LX_PAREN_CODE code, LOGFONT font, COLORREF color, CPoint p,
                                        int h, const LX_TXT_EXTENT& box) {
  if (!Drawable(code) || font.lfHeight >= 0) return;
  int D = Sat(-std::int64_t(font.lfHeight));
  COLORREF previous = m_pDC->SetTextColor(color);
  if (IsBar(code))
    DrawBars(*this, code, font, color, D, h, GetPos_MoveY(p, -double(box.ascent)));
  else
    DrawGlyphs(*this, code, font, D, h, p, box);
  m_pDC->SetTextColor(previous);
}
