// Colours as text and as COLORREF (0x00BBGGRR). CLR_TRANSPARENT (types.h)
// means "no colour".
#pragma once

#include "lexaro/cstring.h"
#include "lexaro/export.h"
#include "lexaro/types.h"

// Reads a colour name, "#rrggbb", "rgb(r,g,b)" or "transparent", ignoring
// case; anything else is black.
LEXARO_API COLORREF GetCOLORREF(CString text);

// Whether GetCOLORREF reads text as it is meant: "#rrggbb", "rgb(r,g,b)"
// with components 0..255, one of its colour names, or (when allowed)
// "transparent"; case is ignored. Anything else is read as some colour
// nobody asked for.
LEXARO_API bool IsColorText(const CString& text, bool allowTransparent = true);

// Formats the three components. Mode 1 "RGB(r, g, b)", 2 "RGB(r,g,b)",
// 3 "(r, g, b)", 4 "(r,g,b)", any other "RGB (r, g, b)".
LEXARO_API CString GetRGBString(COLORREF color, int mode);

// Splits a colour into its components; null pointers are skipped.
LEXARO_API void GetRGB(COLORREF color, unsigned char* red, unsigned char* green,
                       unsigned char* blue);

// Scales the brightness: each component times factor, cut to 0..255.
LEXARO_API COLORREF GetLuxColor(COLORREF color, double factor);
LEXARO_API unsigned char GetLuxColor(unsigned char component, double factor);
