// Drawing objects: fonts, pens, brushes and clip regions. They are plain
// descriptions; a device context copies what it needs when one is selected,
// so deleting or destroying an object that is still selected is harmless.
#pragma once

#include <memory>
#include <vector>

#include "lexaro/export.h"
#include "lexaro/types.h"

class LEXARO_API CFont {
 public:
  CFont() = default;
  virtual ~CFont() = default;
  CFont(const CFont&) = delete;
  CFont& operator=(const CFont&) = delete;

  // Stores the description; the font is realised when first used. The face
  // name is always read as a terminated string of at most 31 bytes.
  BOOL CreateFontIndirect(const LOGFONT* lf);
  int GetLogFont(LOGFONT* lf) const;  // bytes written, 0 when empty
  BOOL DeleteObject();
  bool IsNull() const { return !m_valid; }

 private:
  bool m_valid = false;
  LOGFONT m_lf{};
};

class LEXARO_API CPen {
 public:
  CPen() = default;
  CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
  virtual ~CPen() = default;
  CPen(const CPen&) = delete;
  CPen& operator=(const CPen&) = delete;

  BOOL CreatePen(int style, int width, COLORREF color);
  BOOL DeleteObject();
  bool IsNull() const { return !m_valid; }
  int GetStyle() const { return m_style; }
  int GetWidth() const { return m_width; }
  COLORREF GetColor() const { return m_color; }

 private:
  bool m_valid = false;
  int m_style = PS_SOLID;
  int m_width = 1;
  COLORREF m_color = 0;
};

class LEXARO_API CBrush {
 public:
  CBrush() = default;
  explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
  virtual ~CBrush() = default;
  CBrush(const CBrush&) = delete;
  CBrush& operator=(const CBrush&) = delete;

  BOOL CreateSolidBrush(COLORREF color);
  BOOL DeleteObject();
  bool IsNull() const { return !m_valid; }
  COLORREF GetColor() const { return m_color; }

 private:
  bool m_valid = false;
  COLORREF m_color = 0;
};

// A set of pixels made of rectangles, kept as disjoint rectangles sorted in
// horizontal bands (top to bottom, left to right).
class LEXARO_API CRgn {
 public:
  CRgn() = default;
  virtual ~CRgn() = default;
  CRgn(const CRgn& o) = default;
  CRgn& operator=(const CRgn& o) = default;

  BOOL CreateRectRgn(int left, int top, int right, int bottom);
  BOOL CreateRectRgnIndirect(const RECT* rect);
  // Sets this region to a combined with b (RGN_AND, RGN_OR, RGN_XOR,
  // RGN_DIFF) or to a copy of a (RGN_COPY). Returns the region kind or ERROR.
  int CombineRgn(const CRgn* a, const CRgn* b, int mode);
  int CopyRgn(const CRgn* src) { return CombineRgn(src, nullptr, RGN_COPY); }
  BOOL DeleteObject();
  bool IsNull() const { return !m_valid; }

  BOOL PtInRegion(int x, int y) const;
  int GetRgnBox(RECT* box) const;  // the region kind
  int Kind() const;
  const std::vector<CRect>& Rects() const { return m_rects; }

 private:
  bool m_valid = false;
  std::vector<CRect> m_rects;
};
