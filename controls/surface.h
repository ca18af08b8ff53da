// What the markup controls share: a raster device context over a widget's
// area shown through a QImage that wraps its pixels, colours and edges of
// the widget's palette, and the engine's class-wide default font.
#pragma once

#include <QImage>
#include <QPalette>
#include <QWidget>

#include "lexaro/controls.h"

namespace lexaro::controls {

// Painting surfaces are kept within this size; a larger widget shows its
// top-left part drawn.
constexpr int kMaxSurfaceSide = 8192;

// A raster device context as large as a widget, at the widget's resolution.
class WidgetSurface {
 public:
  WidgetSurface(const QWidget* widget, COLORREF background);
  CRasterDC& DC() { return m_dc; }
  CRect Client() const { return CRect(0, 0, m_dc.Width(), m_dc.Height()); }
  // The pixels as an image, without copying; valid while the surface lives.
  QImage Image();
  // Draws the surface onto the widget (inside its paint event).
  void Show(QWidget* widget);

 private:
  CRasterDC m_dc;
};

// The laid-out size of a markup text in a widget's font (0 x 0 when it
// cannot be laid out), within kMaxSurfaceSide.
QSize MeasureMarkup(const QWidget* widget, const QString& text);

// v limited to the int range.
int ClampInt(long long v);

COLORREF ToColorRef(const QColor& color);

// A dotted rectangle outline that inverts the pixels under it (black over
// transparent pixels), like a focus rectangle.
void DrawFocusRect(CDC* dc, const CRect& rect);
// A raised, soft two-pixel edge inside rect in the palette's light and
// shadow colours.
void DrawRaisedEdge(CDC* dc, const CRect& rect, const QPalette& palette);

}  // namespace lexaro::controls
