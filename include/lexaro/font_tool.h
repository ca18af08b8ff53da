// CFontTool: fills logical fonts, converts between points and logical
// heights, and reads the ascent, descent and character set of fonts through
// a device context. It has no state.
#pragma once

#include "lexaro/cstring.h"
#include "lexaro/dc.h"
#include "lexaro/export.h"

class LEXARO_API CFontTool {
 public:
  CFontTool() = default;
  CFontTool(const CFontTool&) {}
  CFontTool& operator=(const CFontTool&) { return *this; }
  virtual ~CFontTool();

  // Fills every field: the height as given, weight 400, no italic, underline
  // or strike-out, quality 4 (antialiased) when antialias is non-zero.
  void SetLOGFONT(LOGFONT* lf, int height, CString faceName, unsigned char charSet, int antialias);
  // The same with the character set that the device reports for the face.
  void SetLOGFONT(LOGFONT* lf, HDC* dc, int height, CString faceName, int antialias);

  int GetHeight(HDC* dc, int points);     // -MulDiv(points, dpi, 72)
  int GetHeight(HDC* dc, double points);  // -Roundoff(dpi * points / 72)
  int GetPtsize(HDC* dc, int height);     // -MulDiv(height, 72, dpi)

  int GetAscent(CDC* dc);   // tmAscent - tmInternalLeading of the selected font
  int GetDescent(CDC* dc);  // tmDescent of the selected font

  // The character set of the first installed font of the face;
  // DEFAULT_CHARSET (1) when no font provides the face.
  int GetCharSet(CDC* dc, CString faceName);
  int GetCharSet(HDC* dc, CString faceName);

  // Average character width per unit of requested character height
  // (lfHeight negative); 0 when either height is 0.
  double GetAveCharWidthRatio(CDC* dc, const LOGFONT& lf);

  // Font enumeration callback: copies the metrics into the TEXTMETRIC whose
  // address is `data` and stops the enumeration.
  static int EnumFontsProc(LOGFONT* lf, TEXTMETRIC* tm, unsigned long fontType, long data);
};
