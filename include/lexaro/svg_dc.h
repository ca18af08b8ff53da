// CSvgDC: a device context that writes an SVG document.
//
// Whatever draws on a CRasterDC draws here the same way: glyphs become
// outline paths from the font engine (each distinct outline is defined once
// and placed with <use>), so the document needs no font to be shown; lines
// and fills become vector shapes at the pixels the raster surface paints;
// runs of single pixels (patterned lines) are merged into rectangles. A
// transparent background writes no background at all.
//
// An SVG surface cannot read back what it drew: GetPixel answers the
// background colour (CLR_TRANSPARENT for a transparent one) everywhere on
// the surface. Painting pixels or fills with CLR_TRANSPARENT erases, as on
// a raster surface, by masking what was drawn before; each erasure nests
// the drawing one level deeper, and erasures beyond kMaxErasures are
// dropped. A document whose drawing grows beyond kMaxBodyBytes keeps what
// fit and drops the rest. Truncated() tells of either, and SaveSvg then
// fails.
#pragma once

#include <memory>
#include <string>

#include "lexaro/dc.h"

class LEXARO_API CSvgDC : public CDC {
 public:
  // Surfaces larger than CRasterDC's limits are refused
  // (std::invalid_argument).
  static constexpr long long kMaxBodyBytes = 64LL << 20;
  static constexpr int kMaxErasures = 32;

  CSvgDC(int width, int height, COLORREF background = CLR_TRANSPARENT);
  ~CSvgDC() override;

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  // The resolution FONT sizes in points use (96 by default).
  void SetResolution(int dpi) { m_dpi = dpi > 0 ? dpi : 96; }

  // The whole document.
  std::string Svg() const;
  // Writes the document; false with the reason in *error when it cannot be
  // written or was truncated.
  bool SaveSvg(const std::string& path, std::string* error = nullptr) const;
  // True when drawing was dropped (see above).
  bool Truncated() const;

 protected:
  void DrawLine(CPoint from, CPoint to, const PenState& pen) override;
  void DrawText(const TextOutRequest& request) override;
  void DrawPixel(int x, int y, COLORREF color) override;
  COLORREF ReadPixel(int x, int y) const override;
  void DrawRect(const CRect& rect, COLORREF color) override;
  int Resolution() const override { return m_dpi; }
  CRect SurfaceBounds() const override { return CRect(0, 0, m_width, m_height); }

 private:
  class Writer;
  // Fills a rectangle cut to the clip.
  void FillClipped(long long left, long long top, long long right, long long bottom, COLORREF color);
  int m_width;
  int m_height;
  COLORREF m_background;
  int m_dpi = 96;
  std::unique_ptr<Writer> m_writer;
};
