#include "lexaro/font_tool.h"

#include "lexaro/numeric.h"

namespace {

// The resolution behind a handle pointer; 96 when there is no device.
int Dpi(HDC* dc) {
  int dpi = dc && *dc ? GetDeviceCaps(*dc, LOGPIXELSY) : 96;
  return dpi > 0 ? dpi : 96;
}

}  // namespace

CFontTool::~CFontTool() = default;

void CFontTool::SetLOGFONT(LOGFONT* lf, int height, CString faceName, unsigned char charSet,
                           int antialias) {
  if (!lf) return;
  *lf = LOGFONT{};
  lf->lfHeight = height;
  lf->lfWeight = FW_NORMAL;
  lf->lfCharSet = charSet;
  lf->lfQuality = antialias ? ANTIALIASED_QUALITY : DEFAULT_QUALITY;
  SetFaceName(*lf, faceName.GetString());
}

void CFontTool::SetLOGFONT(LOGFONT* lf, HDC* dc, int height, CString faceName, int antialias) {
  unsigned char charSet = static_cast<unsigned char>(GetCharSet(dc, faceName));
  SetLOGFONT(lf, height, faceName, charSet, antialias);
}

int CFontTool::GetHeight(HDC* dc, int points) { return -MulDiv(points, Dpi(dc), 72); }

int CFontTool::GetHeight(HDC* dc, double points) {
  return -Roundoff(double(Dpi(dc)) * points * 0.013888888888888888);
}

int CFontTool::GetPtsize(HDC* dc, int height) { return -MulDiv(height, 72, Dpi(dc)); }

int CFontTool::GetAscent(CDC* dc) {
  TEXTMETRIC tm{};
  if (!dc || !::GetTextMetrics(dc->m_hAttribDC, &tm)) return 0;
  return tm.tmAscent - tm.tmInternalLeading;
}

int CFontTool::GetDescent(CDC* dc) {
  TEXTMETRIC tm{};
  if (!dc || !::GetTextMetrics(dc->m_hAttribDC, &tm)) return 0;
  return tm.tmDescent;
}

int CFontTool::GetCharSet(CDC* dc, CString faceName) {
  if (!dc) return DEFAULT_CHARSET;
  return GetCharSet(&dc->m_hDC, faceName);
}

int CFontTool::GetCharSet(HDC* dc, CString faceName) {
  // Stays DEFAULT_CHARSET when the enumeration finds no font of the face.
  TEXTMETRIC tm{};
  tm.tmCharSet = DEFAULT_CHARSET;
  if (dc && *dc) EnumFonts(*dc, faceName.GetString(), EnumFontsProc, long(&tm));
  return tm.tmCharSet;
}

double CFontTool::GetAveCharWidthRatio(CDC* dc, const LOGFONT& lf) {
  if (!dc) return 0.0;
  CFont font;
  font.CreateFontIndirect(&lf);
  CFont* previous = dc->SelectObject(&font);
  TEXTMETRIC tm{};
  ::GetTextMetrics(dc->m_hAttribDC, &tm);
  dc->SelectObject(previous);
  font.DeleteObject();
  if (lf.lfHeight == 0 || tm.tmHeight == 0) return 0.0;
  return (double(tm.tmHeight) / -double(lf.lfHeight)) * (double(tm.tmAveCharWidth) / tm.tmHeight);
}

int CFontTool::EnumFontsProc(LOGFONT*, TEXTMETRIC* tm, unsigned long, long data) {
  if (tm && data) *reinterpret_cast<TEXTMETRIC*>(data) = *tm;
  return 0;
}
