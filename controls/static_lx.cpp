// CStatic_LX: a label that draws its markup text.
#include <QPaintEvent>
#include <algorithm>

#include "controls/surface.h"

using namespace lexaro::controls;

CStatic_LX::CStatic_LX(QWidget* parent) : CStatic_LX(QString(), parent) {}

CStatic_LX::CStatic_LX(const QString& text, QWidget* parent) : QLabel(text, parent) {
  // A static text starts at the top-left corner; the markup is never
  // interpreted by the label itself.
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setTextFormat(Qt::PlainText);
}

CStatic_LX::~CStatic_LX() = default;

void CStatic_LX::SetButtonMode() {
  m_buttonMode = 1;
  m_hint = QSize();
}

void CStatic_LX::SetFocus() {
  m_focus = 1;
  update();
}

void CStatic_LX::KillFocus() {
  m_focus = 0;
  update();
}

UINT CStatic_LX::GetStyle() const {
  UINT style = 0;
  if (alignment() & Qt::AlignHCenter)
    style |= SS_CENTER;
  else if (alignment() & Qt::AlignRight)
    style |= SS_RIGHT;
  if (alignment() & Qt::AlignVCenter) style |= SS_CENTERIMAGE;
  return style;
}

QSize CStatic_LX::sizeHint() const {
  if (m_hintText == text() && m_hintFont == font() && m_hint.isValid()) return m_hint;
  int frame = m_buttonMode ? 2 : 0;
  m_hintText = text();
  m_hintFont = font();
  m_hint = MeasureMarkup(this, text()) + QSize(frame, frame);
  return m_hint;
}

void CStatic_LX::paintEvent(QPaintEvent*) {
  WidgetSurface surface(this, CLR_TRANSPARENT);
  OnPaint(&surface.DC(), surface.Client());
  surface.Show(this);
}

void CStatic_LX::OnPaint(CDC* dc, const CRect& client) {
  UINT style = GetStyle();
  // The frame and the focus rectangle's gap are logical pixels.
  const double scale = SurfaceScale(this, dc);
  const int edge = Scaled(1, scale);
  CRect rc = client;
  CBrush face;
  CBrush* previousBrush = nullptr;
  if (m_buttonMode) {
    rc.DeflateRect(edge, edge);
    face.CreateSolidBrush(ToColorRef(palette().color(QPalette::Button)));
    previousBrush = dc->SelectObject(&face);
    dc->FillRect(&client, &face);
  }
  CRgn clip;
  clip.CreateRectRgnIndirect(&rc);
  dc->SelectClipRgn(&clip, RGN_AND);

  // The font is read only when the text or the resolution changed: an
  // unchanged text keeps its layout.
  CString text(this->text().toStdString());
  int dpi = dc->GetDeviceCaps(LOGPIXELSY);
  if (text != m_lexaro.GetText() || dpi != m_dpi) {
    m_lf = ScaledFont(this, scale);
    m_dpi = dpi;
    UseEngineFont(m_lf);
    m_lexaro.SetText(dc, text);
  } else if (m_lf.lfHeight != 0) {
    UseEngineFont(m_lf);
  }

  // Extents may be huge: place and clamp in 64 bits.
  CSize size = m_lexaro.GetTextExtent(dc);
  long long x = rc.left, y = rc.top;
  if (style & SS_CENTER)
    x += ((long long)rc.right - size.cx - rc.left) / 2;
  else if (style & SS_RIGHT)
    x += (long long)rc.right - size.cx - rc.left;
  if (style & SS_CENTERIMAGE) y += ((long long)rc.bottom - size.cy - rc.top) / 2;
  DrawCaption(dc, this, m_buttonMode ? QPalette::ButtonText : QPalette::WindowText, rc,
              [&](CDC* target) { m_lexaro.TextOutA(target, CPoint(ClampInt(x), ClampInt(y))); });

  if (m_focus) {
    CRect focus(ClampInt(std::max<long long>(x, rc.left)), ClampInt(std::max<long long>(y, rc.top)),
                ClampInt(std::min<long long>(x + size.cx, rc.right)),
                ClampInt(std::min<long long>(y + size.cy, rc.bottom)));
    focus.InflateRect(edge, edge);
    CRgn focusRegion;
    focusRegion.CreateRectRgnIndirect(&focus);
    dc->SelectClipRgn(&focusRegion, RGN_OR);
    DrawFocusRect(dc, focus);
  }
  if (previousBrush) dc->SelectObject(previousBrush);
}
