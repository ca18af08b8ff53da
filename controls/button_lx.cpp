// CButton_LX: a push button that draws its own face and markup caption.
#include <QPaintEvent>

#include "controls/surface.h"

using namespace lexaro::controls;

namespace {

// Nested outlines of rect in the current pen, width pixels in all, each
// inside the one before.
void Outline(CDC* dc, CRect rect, int width) {
  for (int i = 0; i < width; ++i, rect.DeflateRect(1, 1)) dc->Rectangle(&rect);
}

}  // namespace

CButton_LX::CButton_LX(QWidget* parent) : QPushButton(parent) {}
CButton_LX::CButton_LX(const QString& text, QWidget* parent) : QPushButton(text, parent) {}
CButton_LX::~CButton_LX() = default;

QSize CButton_LX::sizeHint() const {
  // Room for the edges and the focus rectangle around the caption.
  return MeasureMarkup(this, text()) + QSize(16, 12);
}

void CButton_LX::paintEvent(QPaintEvent*) {
  WidgetSurface surface(this, CLR_TRANSPARENT);
  DRAWITEMSTRUCT item{0, &surface.DC(), surface.Client()};
  if (isDown()) item.itemState |= ODS_SELECTED;
  if (hasFocus()) item.itemState |= ODS_FOCUS;
  DrawItem(&item);
  surface.Show(this);
}

void CButton_LX::DrawItem(DRAWITEMSTRUCT* item) {
  CDC* dc = item->hDC;
  CRect rc = item->rcItem;
  // Edges and gaps are logical pixels; the palette is the disabled group's
  // when the button is disabled.
  const double scale = SurfaceScale(this, dc);
  const int edge = Scaled(1, scale);
  CRect inner = rc;
  inner.DeflateRect(edge, edge);
  const QPalette& colors = palette();

  CBrush face(ToColorRef(colors.color(QPalette::Button)));
  CBrush* previousBrush = dc->SelectObject(&face);
  dc->FillRect(&rc, &face);
  // The focused button gets a frame in the current pen (black).
  if (item->itemState & ODS_FOCUS) Outline(dc, rc, edge);
  if (item->itemState & ODS_SELECTED) {
    CPen shadow(PS_SOLID, 1, ToColorRef(colors.color(QPalette::Dark)));
    CPen* previousPen = dc->SelectObject(&shadow);
    Outline(dc, inner, edge);
    dc->SelectObject(previousPen);
  } else {
    DrawRaisedEdge(dc, inner, colors, edge);
  }

  CString caption(text().toStdString());
  int dpi = dc->GetDeviceCaps(LOGPIXELSY);
  if (caption != m_lexaro.GetText() || dpi != m_dpi) {
    m_lf = ScaledFont(this, scale);
    m_dpi = dpi;
    UseEngineFont(m_lf);
    m_lexaro.SetText(dc, caption);
  } else if (m_lf.lfHeight != 0) {
    UseEngineFont(m_lf);
  }
  // Centred, and not moved when the button is pressed.
  CSize size = m_lexaro.GetTextExtent(dc);
  DrawCaption(dc, this, QPalette::ButtonText, rc, [&](CDC* target) {
    m_lexaro.TextOutA(target, ClampInt(((long long)rc.right - size.cx - rc.left) / 2),
                      ClampInt(((long long)rc.bottom - size.cy - rc.top) / 2));
  });

  if (item->itemState & ODS_FOCUS) {
    CRect focus = rc;
    focus.DeflateRect(Scaled(4, scale), Scaled(4, scale));
    DrawFocusRect(dc, focus);
  }
  dc->SelectObject(previousBrush);
}
