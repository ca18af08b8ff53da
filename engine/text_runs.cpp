// The leaves of both passes: runs of plain characters, symbol tags and
// single characters in a font of their own, and the font changes of the
// text state.
#include <algorithm>
#include <cstring>

#include "engine/engine.h"
#include "engine/piece_font.h"
#include "lexaro/numeric.h"

using namespace lexaro::engine;

void CLexaro::Engine::SetTState_Sub(LX_TXT_STATE* state, int ratio) {
  const ClassParams& p = Params();
  if (p.changeSpaceChar == 1) state->spaceChar = GetValueRatio(state->spaceChar, ratio);
  if (p.changeSpaceLine == 1) state->spaceLine = GetValueRatio(state->spaceLine, ratio);
}

void CLexaro::Engine::SetTState_Font(LX_TXT_STATE* state, const LX_DATA_FONT& font) {
  state->lf.lfHeight = font.lfHeight;
  state->txtclr = font.txtclr;
  std::memcpy(state->lf.lfFaceName, font.faceName, sizeof font.faceName);
  state->lf.lfCharSet = font.charSet;
}

void CLexaro::Engine::SetLOGFONT(LOGFONT* lf, const LX_CNG_FONT& change) {
  lf->lfCharSet = change.charSet;
  static_assert(sizeof change.face == sizeof lf->lfFaceName);
  std::memcpy(lf->lfFaceName, change.face, sizeof lf->lfFaceName);
  if (change.bold == -1) lf->lfWeight = FW_NORMAL;
  if (change.bold == 1) lf->lfWeight = FW_BOLD;
  if (change.italic == -1) lf->lfItalic = 0;
  if (change.italic == 1) lf->lfItalic = 1;
  if (change.underline == -1) lf->lfUnderline = 0;
  if (change.underline == 1) lf->lfUnderline = 1;
}

void CLexaro::Engine::AnalyzeText_Font(LX_DATA_FONT* font, LX_TXT_STATE* state,
                                       const LX_TAG_PROPERTY& prop) {
  font->lfHeight = prop.size > 0.0 ? m_fontTool.GetHeight(&m_pDC->m_hDC, prop.size) : state->lf.lfHeight;
  font->txtclr = prop.color != CLR_TRANSPARENT ? prop.color : state->txtclr;
  if (prop.face.IsEmpty()) {
    std::memcpy(font->faceName, state->lf.lfFaceName, sizeof font->faceName);
    font->charSet = state->lf.lfCharSet;
  } else {
    LOGFONT cut;
    SetFaceName(cut, prop.face.GetString());
    std::memcpy(font->faceName, cut.lfFaceName, sizeof font->faceName);
    font->charSet = BYTE(m_fontTool.GetCharSet(m_pDC, prop.face));
  }
}

std::string_view CLexaro::Engine::TextPiece(int first, int last) const {
  const std::string_view text = m_text.view();
  const long long count = (long long)last - first + 1;
  const size_t from = size_t(std::clamp(first, 0, int(text.size())));
  return text.substr(from, count <= 0 ? 0 : size_t(count));
}

LX_TXT_EXTENT CLexaro::Engine::AnalyzeText_String(int first, int last, LX_TXT_STATE* state) {
  return AnalyzeText_Run(TextPiece(first, last), state);
}

LX_TXT_EXTENT CLexaro::Engine::AnalyzeText_Run(std::string_view run, LX_TXT_STATE* state) {
  const auto font = m_fontMetrics.Of(m_pDC);
  LX_TXT_EXTENT ext{0, font.ascent, font.descent};
  // Nothing between two tags is as wide as nothing, but as high as the font.
  if (run.empty()) return ext;
  SIZE size;
  const int n = int(run.size());
  if (state->spaceChar == 0.0) {
    GetTextExtentPoint32(m_pDC->m_hAttribDC, run.data(), n, &size);
    ext.width = size.cx;
    return ext;
  }
  // With character spacing every byte is measured on its own and the
  // spacing goes between them.
  double sum = 0;
  for (int i = 0; i < n; ++i) {
    GetTextExtentPoint32(m_pDC->m_hAttribDC, run.data() + i, 1, &size);
    sum = size.cx + state->spaceChar + sum;
  }
  ext.width = Roundoff(sum - state->spaceChar);
  return ext;
}

LX_TXT_EXTENT CLexaro::Engine::AnalyzeText_Char(char c, LOGFONT* lf, const LX_CNG_FONT& change) {
  SetLOGFONT(lf, change);
  SelectedFont font(m_pDC, m_pieceFont.For(*lf));
  SIZE size;
  GetTextExtentPoint32(m_pDC->m_hAttribDC, &c, 1, &size);
  return LX_TXT_EXTENT{size.cx, FontAscent(), FontDescent()};
}

void CLexaro::Engine::AnalyzeText_Mark(LX_TAG_CODE code, LX_TXT_STATE* state, LX_TXT_EXTENT* ext) {
  LOGFONT lf = state->lf;
  const LX_CNG_CTAG& row = kCTagCng[code - LX_TC_FIRST_SYMBOL];
  int m = GetValueRatio(Em(state), row.margin);
  lf.lfEscapement += row.escapement;
  *ext = AnalyzeText_Char(char(row.code), &lf, row.font);
  ext->width += 2 * m;
}

double CLexaro::Engine::TextOut_String(int first, int last, LX_TXT_STATE*, CPoint pt) {
  return TextOut_Run(TextPiece(first, last), pt);
}

double CLexaro::Engine::TextOut_Run(std::string_view run, CPoint pt) {
  return TextOut_Ink(pt, run.data(), int(run.size()));
}

int CLexaro::Engine::TextOut_Char(char c, LOGFONT* lf, const LX_CNG_FONT& change, CPoint pt) {
  SetLOGFONT(lf, change);
  SelectedFont font(m_pDC, m_pieceFont.For(*lf));
  return TextOut_Ink(pt, &c, 1);
}

LX_TXT_EXTENT CLexaro::Engine::CharFontExtent(LOGFONT* lf, const LX_CNG_FONT& change) {
  SetLOGFONT(lf, change);
  SelectedFont font(m_pDC, m_pieceFont.For(*lf));
  return LX_TXT_EXTENT{0, FontAscent(), FontDescent()};
}

int CLexaro::Engine::TextOut_Mark(LX_TAG_CODE code, LX_TXT_STATE* state, CPoint pt) {
  LOGFONT lf = state->lf;
  const LX_CNG_CTAG& row = kCTagCng[code - LX_TC_FIRST_SYMBOL];
  CPoint o = GetValueRatio(Em(state), row.offset);
  int m = GetValueRatio(Em(state), row.margin);
  lf.lfEscapement += row.escapement;
  // A positive y offset moves the glyph up, a positive x offset forward.
  CPoint at = GetPos_MoveX(GetPos_MoveY(pt, -o.y), m + o.x);
  return TextOut_Char(char(row.code), &lf, row.font, at) + 2 * m;
}
