// CRecordDC: a device context that draws nothing and records every drawing
// call in order, so tests can assert exactly what was drawn. It measures
// text with the real font engine, or with a synthetic font whose metrics the
// caller chooses, so that exact numbers need no installed font (a
// synthetic glyph's ink, for GetTextInk and GetTextOutlineBox, is its whole
// cell).
#pragma once

#include <functional>
#include <vector>

#include "lexaro/dc.h"

struct RecordedOp {
  enum Kind { Text, Line, Pixel, Fill };
  Kind kind;
  CPoint from;      // Text: the point passed; Line: start; Pixel: the pixel
  CPoint to;        // Line: end (not painted)
  CString text;     // Text: the bytes
  double originX;   // Text: the left end of the baseline after alignment
  double originY;
  LOGFONT font;     // Text: the selected font
  COLORREF color;   // Text, Pixel and Fill colour; Line: the pen's colour
  UINT align;       // Text: the alignment flags
  int bkMode;       // Text
  PenState pen;     // Line
  CRect rect;       // Fill
};

// Metrics of the synthetic font, as fractions of the em height (the negated
// lfHeight; a positive lfHeight is taken as the cell height). Each value is
// rounded half away from zero after scaling.
struct SyntheticFont {
  double ascent = 0.8;
  double descent = 0.2;
  double internalLeading = 0.0;  // included in ascent
  double advance = 0.5;          // of every byte, unless byteAdvance says otherwise
  std::function<double(unsigned char)> byteAdvance;  // optional, per byte
};

class LEXARO_API CRecordDC : public CDC {
 public:
  CRecordDC() = default;

  const std::vector<RecordedOp>& Ops() const { return m_ops; }
  void ClearOps() { m_ops.clear(); }
  // Switches measuring to a synthetic font (or back to real fonts).
  void UseSyntheticFont(const SyntheticFont& font);
  void UseRealFonts() { m_synthetic = false; }
  void SetResolution(int dpi) { m_dpi = dpi > 0 ? dpi : 96; }
  // The colour GetPixel answers for pixels that were never set.
  void SetUnsetPixelColor(COLORREF color) { m_unset = color; }

 protected:
  void DrawLine(CPoint from, CPoint to, const PenState& pen) override;
  void DrawText(const TextOutRequest& request) override;
  void DrawPixel(int x, int y, COLORREF color) override;
  COLORREF ReadPixel(int x, int y) const override;
  void DrawRect(const CRect& rect, COLORREF color) override;
  int Resolution() const override { return m_dpi; }
  CSize MeasureText(const LOGFONT& font, const char* str, int count) const override;
  void MeasureFont(const LOGFONT& font, TEXTMETRIC* tm) const override;
  // A synthetic font's glyphs are charged their cells.
  long long MeasureInk(const TextOutRequest& request, const CRect& clip) const override;
  // A synthetic font's outlines fill their cells.
  bool MeasureOutlineBox(const LOGFONT& font, const char* str, int count,
                         double box[4]) const override;

 private:
  std::vector<RecordedOp> m_ops;
  bool m_synthetic = false;
  SyntheticFont m_font;
  int m_dpi = 96;
  COLORREF m_unset = 0x00FFFFFF;
};
