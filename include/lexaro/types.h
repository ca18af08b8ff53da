// Basic value types of the drawing platform: integer geometry (y grows
// downwards), colours, logical fonts, text metrics and the constants that
// device-context code uses.
#pragma once

#include <cstdint>

#include "lexaro/export.h"

using BYTE = unsigned char;
using WORD = unsigned short;
using DWORD = unsigned long;
using UINT = unsigned int;
using LONG = int;       // 32 bits, as on the platform the API comes from
using BOOL = int;
using LPARAM = long;
using LPCSTR = const char*;
using COLORREF = std::uint32_t;  // 0x00BBGGRR

#ifndef TRUE
constexpr BOOL TRUE = 1;
#endif
#ifndef FALSE
constexpr BOOL FALSE = 0;
#endif

constexpr COLORREF RGB(int r, int g, int b) {
  return COLORREF(r & 255) | (COLORREF(g & 255) << 8) | (COLORREF(b & 255) << 16);
}
constexpr BYTE GetRValue(COLORREF c) { return BYTE(c & 255); }
constexpr BYTE GetGValue(COLORREF c) { return BYTE((c >> 8) & 255); }
constexpr BYTE GetBValue(COLORREF c) { return BYTE((c >> 16) & 255); }

// The system-wide "no colour" marker.
constexpr COLORREF CLR_TRANSPARENT = 0x01000000;
// What GetPixel answers for a point outside the surface or its clip.
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

struct POINT { LONG x, y; };
struct SIZE { LONG cx, cy; };
struct RECT { LONG left, top, right, bottom; };

class CPoint : public POINT {
 public:
  constexpr CPoint() : POINT{0, 0} {}
  constexpr CPoint(int x_, int y_) : POINT{x_, y_} {}
  constexpr CPoint(const POINT& p) : POINT(p) {}
  void Offset(int dx, int dy) { x += dx; y += dy; }
  CPoint operator+(const CPoint& o) const { return CPoint(x + o.x, y + o.y); }
  CPoint operator-(const CPoint& o) const { return CPoint(x - o.x, y - o.y); }
  CPoint& operator+=(const CPoint& o) { x += o.x; y += o.y; return *this; }
  CPoint& operator-=(const CPoint& o) { x -= o.x; y -= o.y; return *this; }
  bool operator==(const CPoint& o) const { return x == o.x && y == o.y; }
};

class CSize : public SIZE {
 public:
  constexpr CSize() : SIZE{0, 0} {}
  constexpr CSize(int cx_, int cy_) : SIZE{cx_, cy_} {}
  constexpr CSize(const SIZE& s) : SIZE(s) {}
  bool operator==(const CSize& o) const { return cx == o.cx && cy == o.cy; }
};

class LEXARO_API CRect : public RECT {
 public:
  constexpr CRect() : RECT{0, 0, 0, 0} {}
  constexpr CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
  constexpr CRect(const RECT& r) : RECT(r) {}
  CRect(const CPoint& topLeft, const CSize& size)
      : RECT{topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy} {}
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  CSize Size() const { return CSize(Width(), Height()); }
  CPoint TopLeft() const { return CPoint(left, top); }
  CPoint BottomRight() const { return CPoint(right, bottom); }
  CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
  bool IsRectEmpty() const { return right <= left || bottom <= top; }
  bool PtInRect(const CPoint& p) const {
    return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
  }
  void SetRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
  void OffsetRect(int dx, int dy) { left += dx; right += dx; top += dy; bottom += dy; }
  void InflateRect(int dx, int dy) { left -= dx; right += dx; top -= dy; bottom += dy; }
  void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
  void NormalizeRect();
  // Intersection of a and b; empty (all zero) when they do not overlap.
  bool IntersectRect(const RECT& a, const RECT& b);
  bool operator==(const CRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

constexpr int LF_FACESIZE = 32;

struct LOGFONT {
  LONG lfHeight;  // < 0: character (em) height; > 0: cell height; 0: default
  LONG lfWidth;   // average character width; 0 keeps the design aspect
  LONG lfEscapement;   // tenths of a degree, counter-clockwise on screen
  LONG lfOrientation;
  LONG lfWeight;  // 400 normal, 700 bold
  BYTE lfItalic;
  BYTE lfUnderline;
  BYTE lfStrikeOut;
  BYTE lfCharSet;
  BYTE lfOutPrecision;
  BYTE lfClipPrecision;
  BYTE lfQuality;
  BYTE lfPitchAndFamily;
  char lfFaceName[LF_FACESIZE];  // always zero-terminated
};

// Copies `face` into lf.lfFaceName, cutting it to 31 bytes (never in the
// middle of a UTF-8 sequence) so that the field always stays terminated.
LEXARO_API void SetFaceName(LOGFONT& lf, const char* face);
LEXARO_API bool operator==(const LOGFONT& a, const LOGFONT& b);

struct TEXTMETRIC {
  LONG tmHeight;
  LONG tmAscent;
  LONG tmDescent;
  LONG tmInternalLeading;
  LONG tmExternalLeading;
  LONG tmAveCharWidth;
  LONG tmMaxCharWidth;
  LONG tmWeight;
  LONG tmOverhang;
  LONG tmDigitizedAspectX;
  LONG tmDigitizedAspectY;
  BYTE tmFirstChar;
  BYTE tmLastChar;
  BYTE tmDefaultChar;
  BYTE tmBreakChar;
  BYTE tmItalic;
  BYTE tmUnderlined;
  BYTE tmStruckOut;
  BYTE tmPitchAndFamily;
  BYTE tmCharSet;
};

// Background modes.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Text alignment flags: horizontal in bits 1-2, vertical in bits 3-4.
constexpr UINT TA_NOUPDATECP = 0;
constexpr UINT TA_UPDATECP = 1;
constexpr UINT TA_LEFT = 0;
constexpr UINT TA_RIGHT = 2;
constexpr UINT TA_CENTER = 6;
constexpr UINT TA_TOP = 0;
constexpr UINT TA_BOTTOM = 8;
constexpr UINT TA_BASELINE = 24;

// Pen styles.
constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_DOT = 2;
constexpr int PS_DASHDOT = 3;
constexpr int PS_DASHDOTDOT = 4;
constexpr int PS_NULL = 5;

// Device capabilities.
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;

// Character sets.
constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE SYMBOL_CHARSET = 2;
constexpr BYTE SHIFTJIS_CHARSET = 128;

// Font weights and qualities.
constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;
constexpr BYTE DEFAULT_QUALITY = 0;
constexpr BYTE ANTIALIASED_QUALITY = 4;

// Region combination modes and results.
constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;
#ifndef ERROR
constexpr int ERROR = 0;
#endif
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

// Font types reported to font enumeration callbacks.
constexpr DWORD RASTER_FONTTYPE = 1;
constexpr DWORD DEVICE_FONTTYPE = 2;
constexpr DWORD TRUETYPE_FONTTYPE = 4;

// Multiplies a by b and divides by c, rounding half away from zero; -1 when
// c is 0 or the result does not fit in 32 bits.
LEXARO_API int MulDiv(int a, int b, int c);
