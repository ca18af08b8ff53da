#include "controls/surface.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace lexaro::controls {
namespace {

int SurfaceSide(int side, double ratio) {
  return int(std::clamp(std::ceil(side * ratio), 0.0, double(kMaxSurfaceSide)));
}

// The device pixel ratio a widget is painted at, within what the surfaces
// can hold.
double DeviceRatio(const QWidget* widget) { return std::clamp(widget->devicePixelRatioF(), 0.25, 16.0); }

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

// Colour c at coverage alpha laid over the premultiplied ARGB pixel d.
std::uint32_t Over(std::uint32_t alpha, COLORREF c, std::uint32_t d) {
  auto channel = [&](std::uint32_t colour, int shift) {
    std::uint32_t src = (colour * alpha + 127) / 255;
    std::uint32_t dst = (d >> shift) & 0xFF;
    return (src + (dst * (255 - alpha) + 127) / 255) << shift;
  };
  return channel(255, 24) | channel(GetRValue(c), 16) | channel(GetGValue(c), 8) | channel(GetBValue(c), 0);
}

}  // namespace

WidgetSurface::WidgetSurface(const QWidget* widget, COLORREF background)
    : m_ratio(DeviceRatio(widget)),
      m_dc(SurfaceSide(widget->width(), m_ratio), SurfaceSide(widget->height(), m_ratio), background) {
  m_dc.SetResolution(int(std::lround(widget->logicalDpiY() * m_ratio)));
}

QImage WidgetSurface::Image() {
  QImage image(reinterpret_cast<uchar*>(m_dc.Bits()), m_dc.Width(), m_dc.Height(), m_dc.BytesPerLine(),
               QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(m_ratio);
  return image;
}

void WidgetSurface::Show(QWidget* widget) {
  QPainter painter(widget);
  painter.drawImage(QPointF(0, 0), Image());
}

double SurfaceScale(const QWidget* widget, CDC* dc) {
  int logical = widget->logicalDpiY() > 0 ? widget->logicalDpiY() : 96;
  return std::clamp(dc->GetDeviceCaps(LOGPIXELSY) / double(logical), 0.25, 16.0);
}

int Scaled(int logical, double scale) {
  int device = int(std::lround(logical * scale));
  return logical > 0 ? std::max(1, device) : device;
}

LOGFONT ScaledFont(const QWidget* widget, double scale) {
  // The size in logical pixels, as Qt shows the font, then in device pixels.
  LOGFONT lf = LogFontFromQFont(widget->font(), widget->logicalDpiY());
  lf.lfHeight = -std::clamp(Scaled(-lf.lfHeight, scale), 1, 4096 * 16);
  return lf;
}

void DrawCaption(CDC* dc, const QWidget* widget, QPalette::ColorRole role, const CRect& clip,
                 const std::function<void(CDC*)>& draw) {
  auto* raster = dynamic_cast<CRasterDC*>(dc);
  if (widget->isEnabled() || !raster) {
    draw(dc);
    return;
  }
  // Drawn alone on a transparent layer, then laid over in one colour.
  CRasterDC layer(raster->Width(), raster->Height(), CLR_TRANSPARENT);
  layer.SetResolution(raster->GetDeviceCaps(LOGPIXELSY));
  layer.SetAntialias(raster->GetAntialias());
  draw(&layer);
  CRect area;
  if (!area.IntersectRect(clip, CRect(0, 0, raster->Width(), raster->Height()))) return;
  COLORREF colour = ToColorRef(widget->palette().color(QPalette::Disabled, role));
  for (int y = area.top; y < area.bottom; ++y) {
    const std::uint32_t* from = layer.Bits() + size_t(y) * layer.Width();
    std::uint32_t* to = raster->Bits() + size_t(y) * raster->Width();
    for (int x = area.left; x < area.right; ++x)
      if (std::uint32_t alpha = from[x] >> 24) to[x] = Over(alpha, colour, to[x]);
  }
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

void DrawRaisedEdge(CDC* dc, const CRect& rect, const QPalette& palette, int width) {
  // Outer edge: highlight against the darkest shadow; inner edge: the light
  // colour against the shadow.
  CRect r = rect;
  for (int i = 0; i < 2 * width; ++i, r.DeflateRect(1, 1)) {
    if (i < width)
      Frame(dc, r, ToColorRef(palette.color(QPalette::Light)), ToColorRef(palette.color(QPalette::Shadow)));
    else
      Frame(dc, r, ToColorRef(palette.color(QPalette::Midlight)), ToColorRef(palette.color(QPalette::Dark)));
  }
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
