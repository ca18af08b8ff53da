#include "controls/surface.h"

#include <QPainter>
#include <algorithm>
#include <limits>
#include <optional>

namespace lexaro::controls {
namespace {

int SurfaceSide(int side) { return std::clamp(side, 0, kMaxSurfaceSide); }

// Inverts one pixel; a transparent pixel becomes black, one outside the
// surface or the clip is left alone.
void InvertPixel(CDC* dc, int x, int y) {
  COLORREF c = dc->GetPixel(x, y);
  if (c == CLR_INVALID) return;
  if (c == CLR_TRANSPARENT) {
    dc->SetPixel(x, y, RGB(0, 0, 0));
    return;
  }
  dc->SetPixel(x, y, RGB(255 - GetRValue(c), 255 - GetGValue(c), 255 - GetBValue(c)));
}

// One pixel wide frame inside rect: top and left in one colour, bottom and
// right in another.
void Frame(CDC* dc, const CRect& r, COLORREF topLeft, COLORREF bottomRight) {
  if (r.IsRectEmpty()) return;
  dc->FillSolidRect(r.left, r.top, r.Width() - 1, 1, topLeft);
  dc->FillSolidRect(r.left, r.top, 1, r.Height() - 1, topLeft);
  dc->FillSolidRect(r.left, r.bottom - 1, r.Width(), 1, bottomRight);
  dc->FillSolidRect(r.right - 1, r.top, 1, r.Height(), bottomRight);
}

}  // namespace

WidgetSurface::WidgetSurface(const QWidget* widget, COLORREF background)
    : m_dc(SurfaceSide(widget->width()), SurfaceSide(widget->height()), background) {
  m_dc.SetResolution(widget->logicalDpiY());
}

QImage WidgetSurface::Image() {
  return QImage(reinterpret_cast<uchar*>(m_dc.Bits()), m_dc.Width(), m_dc.Height(), m_dc.BytesPerLine(),
                QImage::Format_ARGB32_Premultiplied);
}

void WidgetSurface::Show(QWidget* widget) {
  QPainter painter(widget);
  painter.drawImage(0, 0, Image());
}

QSize MeasureMarkup(const QWidget* widget, const QString& text) {
  CRasterDC probe(0, 0);
  probe.SetResolution(widget->logicalDpiY());
  UseEngineFont(LogFontFromQFont(widget->font(), widget->logicalDpiY()));
  CLexaro measure;
  measure.SetText(&probe, CString(text.toStdString()));
  CSize size = measure.GetTextExtent(&probe);
  return QSize(std::clamp(size.cx, 0, kMaxSurfaceSide), std::clamp(size.cy, 0, kMaxSurfaceSide));
}

int ClampInt(long long v) {
  return int(std::clamp<long long>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

COLORREF ToColorRef(const QColor& color) { return RGB(color.red(), color.green(), color.blue()); }

void DrawFocusRect(CDC* dc, const CRect& rect) {
  RECT box;
  dc->GetClipBox(&box);
  CRect visible;
  if (!visible.IntersectRect(rect, CRect(box.left - 1, box.top - 1, box.right + 1, box.bottom + 1))) return;
  // Every other pixel along the outline, counted from the top-left corner.
  for (int x = visible.left; x < visible.right; ++x) {
    if ((x - rect.left) % 2 != 0) continue;
    if (visible.top == rect.top) InvertPixel(dc, x, rect.top);
    if (visible.bottom == rect.bottom && rect.Height() > 1) InvertPixel(dc, x, rect.bottom - 1);
  }
  for (int y = visible.top + 1; y < visible.bottom - 1; ++y) {
    if ((y - rect.top) % 2 != 0) continue;
    if (visible.left == rect.left) InvertPixel(dc, rect.left, y);
    if (visible.right == rect.right && rect.Width() > 1) InvertPixel(dc, rect.right - 1, y);
  }
}

void DrawRaisedEdge(CDC* dc, const CRect& rect, const QPalette& palette) {
  // Outer edge: highlight against the darkest shadow; inner edge: the light
  // colour against the shadow.
  Frame(dc, rect, ToColorRef(palette.color(QPalette::Light)), ToColorRef(palette.color(QPalette::Shadow)));
  CRect inner = rect;
  inner.DeflateRect(1, 1);
  Frame(dc, inner, ToColorRef(palette.color(QPalette::Midlight)), ToColorRef(palette.color(QPalette::Dark)));
}

}  // namespace lexaro::controls

LOGFONT LogFontFromQFont(const QFont& font, int dpi) {
  LOGFONT lf{};
  int pixels = font.pixelSize();
  if (pixels <= 0) pixels = Roundoff(std::max(0.0, font.pointSizeF()) * (dpi > 0 ? dpi : 96) / 72.0);
  lf.lfHeight = -std::clamp(pixels, 1, 4096);
  lf.lfWeight = std::clamp(int(font.weight()), 1, 1000);
  lf.lfItalic = font.italic() ? 1 : 0;
  lf.lfUnderline = font.underline() ? 1 : 0;
  lf.lfStrikeOut = font.strikeOut() ? 1 : 0;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = ANTIALIASED_QUALITY;
  SetFaceName(lf, font.family().toUtf8().constData());
  return lf;
}

void UseEngineFont(const LOGFONT& lf) {
  static std::optional<LOGFONT> current;
  if (current && *current == lf) return;
  CLexaro().SetParam_LOGFONT(lf);
  current = lf;
}
