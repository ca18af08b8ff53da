// Window class names of widgets, and the class-name test of focused windows.
#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextEdit>

#include "lexaro/controls.h"

namespace {

// The most characters of a class name that are read.
constexpr int kMaxClassName = 9;

template <typename T>
bool Is(const CWnd* wnd) {
  return qobject_cast<const T*>(wnd) != nullptr;
}

}  // namespace

CString GetClassName(const CWnd* wnd) {
  if (!wnd) return CString();
  if (Is<QLineEdit>(wnd) || Is<QPlainTextEdit>(wnd) || Is<QTextEdit>(wnd))
    return "Edit";
  if (Is<QAbstractButton>(wnd)) return "Button";
  if (Is<QLabel>(wnd)) return "Static";
  if (Is<QComboBox>(wnd)) return "ComboBox";
  if (Is<QListView>(wnd)) return "ListBox";
  if (Is<QScrollBar>(wnd)) return "ScrollBar";
  return CString(wnd->metaObject()->className());
}

int CheckClassName(CWnd* wnd, CString name) {
  if (!wnd) return 0;
  CString className = GetClassName(wnd);
  if (className.GetLength() > kMaxClassName) return 0;
  return className == name ? 1 : 0;
}
