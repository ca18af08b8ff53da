// CButton_LX_Ex: a check box or radio button with a markup caption.
#include <QFocusEvent>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>

#include "controls/surface.h"

CButton_LX_Ex::CButton_LX_Ex(Kind kind, const QString& text, QWidget* parent)
    : QAbstractButton(parent), m_kind(kind), m_static(this) {
  setCheckable(true);
  setAutoExclusive(kind == RadioButton);
  setFocusPolicy(Qt::StrongFocus);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  setText(text);
  PreSubclassWindow();
}

CButton_LX_Ex::~CButton_LX_Ex() = default;

QRect CButton_LX_Ex::CaptionRect() const {
  int left = std::min(kIndicatorWidth, width());
  return QRect(left, 0, width() - left, height());
}

void CButton_LX_Ex::PreSubclassWindow() {
  // The caption moves to the child once: the button's own text is emptied.
  QString caption = text();
  setText(QString());
  m_static.setText(caption);
  m_static.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  m_static.setGeometry(CaptionRect());
  m_static.SetButtonMode();
  // Clicks on the caption belong to the button.
  m_static.setAttribute(Qt::WA_TransparentForMouseEvents);
  m_static.show();
}

QSize CButton_LX_Ex::sizeHint() const {
  QSize caption = m_static.sizeHint();
  int indicator = style()->pixelMetric(m_kind == CheckBox ? QStyle::PM_IndicatorHeight
                                                          : QStyle::PM_ExclusiveIndicatorHeight);
  return QSize(kIndicatorWidth + caption.width(), std::max(indicator, caption.height()));
}

void CButton_LX_Ex::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  option.initFrom(this);
  option.state |= isChecked() ? QStyle::State_On : QStyle::State_Off;
  if (isDown()) option.state |= QStyle::State_Sunken;
  bool box = m_kind == CheckBox;
  int w = style()->pixelMetric(box ? QStyle::PM_IndicatorWidth : QStyle::PM_ExclusiveIndicatorWidth, &option, this);
  int h = style()->pixelMetric(box ? QStyle::PM_IndicatorHeight : QStyle::PM_ExclusiveIndicatorHeight, &option, this);
  option.rect = QRect(0, (height() - h) / 2, std::min(w, kIndicatorWidth), h);
  painter.drawPrimitive(box ? QStyle::PE_IndicatorCheckBox : QStyle::PE_IndicatorRadioButton, option);
}

void CButton_LX_Ex::resizeEvent(QResizeEvent* event) {
  QAbstractButton::resizeEvent(event);
  m_static.setGeometry(CaptionRect());
}

void CButton_LX_Ex::focusInEvent(QFocusEvent* event) {
  QAbstractButton::focusInEvent(event);
  m_static.SetFocus();
}

void CButton_LX_Ex::focusOutEvent(QFocusEvent* event) {
  QAbstractButton::focusOutEvent(event);
  m_static.KillFocus();
}

bool CButton_LX_Ex::hitButton(const QPoint& pos) const { return rect().contains(pos); }
