// Widgets whose captions are markup, for Qt 6 Widgets programs (library
// lexaro_controls). Not part of <lexaro/lexaro.h>: programs that only render
// images need no Qt.
//
// Each control paints through a raster device context over its own area and
// draws its window text (the widget's text) with its own CLexaro engine, in
// the widget's font. The context holds device pixels: at a device pixel
// ratio above 1 the em and the resolution are multiplied by the ratio, so
// captions are sharp while sizes in logical pixels stay the same; a
// DRAWITEMSTRUCT's rectangle is then in device pixels too. A disabled
// control draws its whole caption, markup colours included, in the
// palette's disabled text colour.
#pragma once

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLabel>
#include <QPushButton>

#include "lexaro/lexaro.h"

// A window of the windowing layer.
using CWnd = QWidget;

// Static text styles, as CStatic_LX::GetStyle reports them from the label's
// Qt alignment.
constexpr UINT SS_CENTER = 0x1;       // Qt::AlignHCenter
constexpr UINT SS_RIGHT = 0x2;        // Qt::AlignRight
constexpr UINT SS_CENTERIMAGE = 0x200;  // Qt::AlignVCenter

// Owner-draw item states.
constexpr UINT ODS_SELECTED = 0x1;  // the button is pressed
constexpr UINT ODS_FOCUS = 0x10;    // the button has the keyboard focus

// What an owner-drawn button is given to draw itself.
struct DRAWITEMSTRUCT {
  UINT itemState;  // ODS_* flags
  HDC hDC;         // covers the button's area
  CRect rcItem;    // the button's client rectangle
};

// The window class name of a widget: "Edit" for line and text edits,
// "Button" for buttons, "Static" for labels, "ComboBox", "ListBox",
// "ScrollBar"; otherwise the class name of the widget's meta-object.
LEXARO_API CString GetClassName(const CWnd* wnd);
// 1 when wnd is not null and its class name equals name exactly. Only 9
// characters of a class name are read, so a longer class name never matches.
LEXARO_API int CheckClassName(CWnd* wnd, CString name);

// The engine's logical font for a Qt font shown at dpi dots per inch: face,
// em height (negative), weight, italic, underline, strike-out.
LEXARO_API LOGFONT LogFontFromQFont(const QFont& font, int dpi);

// Makes lf the engines' class-wide default font (CLexaro::SetParam_LOGFONT)
// unless it already is. The default font is shared by every engine of the
// process, while each control and the demo's view want their own: they call
// this before every layout-reading call, so a text is laid out again only
// when someone else changed the font in between. Code that shares engines
// with the controls sets the default font through this, not directly.
LEXARO_API void UseEngineFont(const LOGFONT& lf);

// A label whose text is markup. Alignment: Qt::AlignHCenter or
// Qt::AlignRight place the drawing across, Qt::AlignVCenter centres it
// vertically. In button mode it paints a button face and serves as the
// caption of a CButton_LX_Ex.
class LEXARO_API CStatic_LX : public QLabel {
  Q_OBJECT

 public:
  explicit CStatic_LX(QWidget* parent = nullptr);
  explicit CStatic_LX(const QString& text, QWidget* parent = nullptr);
  ~CStatic_LX() override;

  void SetButtonMode();
  // Show or hide the focus rectangle around the drawing; repaints.
  void SetFocus();
  void KillFocus();
  // SS_CENTER, SS_RIGHT and SS_CENTERIMAGE from the label's alignment.
  UINT GetStyle() const;

  // The laid-out size of the text (plus the frame in button mode).
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

  bool IsButtonMode() const { return m_buttonMode != 0; }
  bool HasFocusRect() const { return m_focus != 0; }
  // The engine, for callers that want the laid-out text or its extent.
  CLexaro& Engine() { return m_lexaro; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void OnPaint(CDC* dc, const CRect& client);

 private:
  int m_buttonMode = 0;
  int m_focus = 0;
  CLexaro m_lexaro;
  LOGFONT m_lf{};  // the font the current text was laid out with
  int m_dpi = 0;   // and the surface's resolution
  mutable QString m_hintText;  // what sizeHint last measured
  mutable QFont m_hintFont;
  mutable QSize m_hint;
};

// A push button that draws its own face and its markup caption, centred.
class LEXARO_API CButton_LX : public QPushButton {
  Q_OBJECT

 public:
  explicit CButton_LX(QWidget* parent = nullptr);
  explicit CButton_LX(const QString& text, QWidget* parent = nullptr);
  ~CButton_LX() override;

  virtual void DrawItem(DRAWITEMSTRUCT* item);
  // The laid-out size of the caption with room for the edges.
  QSize sizeHint() const override;
  CLexaro& Engine() { return m_lexaro; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  CLexaro m_lexaro;
  LOGFONT m_lf{};
  int m_dpi = 0;
};

// A check box or radio button that draws the style's own indicator and shows
// its caption through a CStatic_LX child in button mode. The caption is the
// text given at construction; later changes of the button's text are not
// shown.
//
// Radio buttons given a group are exclusive within that QButtonGroup only
// (the group may be left to be set later with QButtonGroup::addButton).
// Radio buttons without a group are exclusive among the radio buttons
// without a group of the same parent widget: put the buttons of each set of
// choices in a widget of their own (a QGroupBox) or in a QButtonGroup.
class LEXARO_API CButton_LX_Ex : public QAbstractButton {
  Q_OBJECT

 public:
  enum Kind { CheckBox, RadioButton };
  // Width kept free for the indicator, left of the caption.
  static constexpr int kIndicatorWidth = 17;

  CButton_LX_Ex(Kind kind, const QString& text, QWidget* parent = nullptr, QButtonGroup* group = nullptr);
  ~CButton_LX_Ex() override;

  Kind GetKind() const { return m_kind; }
  CStatic_LX& Caption() { return m_static; }
  QSize sizeHint() const override;

 protected:
  virtual void PreSubclassWindow();
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool hitButton(const QPoint& pos) const override;
  bool event(QEvent* event) override;

 private:
  QRect CaptionRect() const;
  void JoinParentsGroup();

  Kind m_kind;
  CStatic_LX m_static;
};
