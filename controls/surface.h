// What the markup controls share: a raster device context over a widget's
// area, in device pixels, shown through a QImage that wraps its pixels;
// colours and edges of the widget's palette; the engine's class-wide default
// font.
#pragma once

#include <QImage>
#include <QPalette>
#include <QWidget>
#include <functional>

#include "lexaro/controls.h"

namespace lexaro::controls {

// Painting surfaces are kept within this size in device pixels; a larger
// widget shows its top-left part drawn.
constexpr int kMaxSurfaceSide = 8192;

// A raster device context as large as a widget in device pixels (its
// logical size times its device pixel ratio), at the widget's resolution
// times that ratio, so that text laid out on it is as sharp as the screen.
class WidgetSurface {
 public:
  WidgetSurface(const QWidget* widget, COLORREF background);
  CRasterDC& DC() { return m_dc; }
  CRect Client() const { return CRect(0, 0, m_dc.Width(), m_dc.Height()); }
  // The pixels as an image of the widget's device pixel ratio, without
  // copying; valid while the surface lives.
  QImage Image();
  // Draws the surface onto the widget (inside its paint event).
  void Show(QWidget* widget);

 private:
  double m_ratio;
  CRasterDC m_dc;
};

// Device pixels per logical pixel of a surface drawn for a widget: its
// resolution over the widget's logical one (1 for a surface at the widget's
// own resolution).
double SurfaceScale(const QWidget* widget, CDC* dc);
// A length of logical pixels in device pixels at scale, at least 1 when
// logical is positive.
int Scaled(int logical, double scale);
// The engine font for a widget's font drawn at scale.
LOGFONT ScaledFont(const QWidget* widget, double scale);

// The laid-out size of a markup text in a widget's font (0 x 0 when it
// cannot be laid out), in logical pixels within kMaxSurfaceSide.
QSize MeasureMarkup(const QWidget* widget, const QString& text);

// Calls draw with dc. When the widget is disabled and dc a raster surface,
// what draw paints inside clip takes the colour of role in the palette's
// disabled group, keeping its coverage, as Qt greys a disabled widget's
// text whatever its own colours.
void DrawCaption(CDC* dc, const QWidget* widget, QPalette::ColorRole role, const CRect& clip,
                 const std::function<void(CDC*)>& draw);

// v limited to the int range.
int ClampInt(long long v);

COLORREF ToColorRef(const QColor& color);

// A dotted rectangle outline that inverts the pixels under it (black over
// transparent pixels), like a focus rectangle.
void DrawFocusRect(CDC* dc, const CRect& rect);
// A raised, soft edge inside rect in the palette's light and shadow
// colours: two frames of width pixels each.
void DrawRaisedEdge(CDC* dc, const CRect& rect, const QPalette& palette, int width = 1);

}  // namespace lexaro::controls
