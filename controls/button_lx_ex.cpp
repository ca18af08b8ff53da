// CButton_LX_Ex: a check box or radio button with a markup caption.
#include <QFocusEvent>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>

#include "controls/surface.h"

namespace {

// The group of a parent's radio buttons that were given none.
constexpr const char* kParentsGroup = "lexaro-parents-radio-buttons";

QButtonGroup* ParentsGroup(QWidget* parent) {
  auto* group = parent->findChild<QButtonGroup*>(kParentsGroup, Qt::FindDirectChildrenOnly);
  if (!group) {
    group = new QButtonGroup(parent);
    group->setObjectName(kParentsGroup);
  }
  return group;
}

}  // namespace

CButton_LX_Ex::CButton_LX_Ex(Kind kind, const QString& text, QWidget* parent, QButtonGroup* group)
    : QAbstractButton(parent), m_kind(kind), m_static(this) {
  setCheckable(true);
  setAutoExclusive(kind == RadioButton);
  if (group)
    group->addButton(this);
  else
    JoinParentsGroup();
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

// Qt's own exclusivity of buttons without a group takes in the buttons of
// widgets inside the parent too, and lets two of them stay checked: a radio
// button given no group joins one of its parent's, and follows the widget
// when it moves to another parent (as it does when put in a layout).
void CButton_LX_Ex::JoinParentsGroup() {
  if (m_kind != RadioButton) return;
  QButtonGroup* current = group();
  if (current && current->objectName() != kParentsGroup) return;  // the caller's group
  if (current) current->removeButton(this);
  if (parentWidget()) ParentsGroup(parentWidget())->addButton(this);
}

bool CButton_LX_Ex::event(QEvent* event) {
  if (event->type() == QEvent::ParentChange) JoinParentsGroup();
  return QAbstractButton::event(event);
}

bool CButton_LX_Ex::hitButton(const QPoint& pos) const { return rect().contains(pos); }
