// A surface that paints nothing and keeps the box around everything drawn on
// it, so that an image can be sized to hold a drawing before any pixel is
// painted, however far a box was moved or a glyph reaches.
#pragma once

#include "lexaro/dc.h"

namespace lexaro::render {

class DrawnBoxDC : public CDC {
 public:
  explicit DrawnBoxDC(int dpi) : m_dpi(dpi) {}
  // The box, in pixels, that holds every pixel a surface may paint for what
  // was drawn (a little larger, never smaller); empty when nothing was.
  CRect Box() const;

 protected:
  void DrawLine(CPoint from, CPoint to, const PenState& pen) override;
  void DrawText(const TextOutRequest& request) override;
  void DrawPixel(int x, int y, COLORREF color) override;
  COLORREF ReadPixel(int, int) const override { return CLR_TRANSPARENT; }
  void DrawRect(const CRect& rect, COLORREF color) override;
  int Resolution() const override { return m_dpi; }

 private:
  void Add(double left, double top, double right, double bottom);
  int m_dpi;
  double m_box[4] = {1e300, 1e300, -1e300, -1e300};
};

}  // namespace lexaro::render
