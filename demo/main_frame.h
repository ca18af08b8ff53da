// CMainFrame: the demo's main window: menus, a dockable tool bar, a status
// bar with five panes (message, Kana, Caps, Num, Scroll) and the form view.
// The document holds no data: opening a file only checks that it can be
// read and remembers it among the recent files.
#pragma once

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QPrinter>
#include <QScrollArea>

#include "demo/view.h"

class CLexaroDemoApp;

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  // The window's size with the whole form showing.
  static constexpr QSize kNaturalSize{1120, 860};

  explicit CMainFrame(CLexaroDemoApp* app);
  ~CMainFrame() override;

  // Shrinks the window from its natural size to the available area of its
  // screen, and moves it inside; the form scrolls where it does not fit.
  void FitToScreen();
  QScrollArea* FormArea() const { return m_formArea; }

  CLexaroDemoView* View() const { return m_view; }
  QAction* Action(const QString& name) const { return findChild<QAction*>(name); }

  // File commands.
  void OnFileNew();
  void OnFileOpen();
  bool OpenDocument(const QString& path, QString* error);
  void OnFilePrintSetup();
  void OnFilePrint();
  void OnFilePrintPreview();
  // Edit commands: "undo", "cut", "copy" or "paste", sent to the focused
  // window when it is an edit box; otherwise nothing happens.
  void OnEditCommand(const char* command);
  void OnAppAbout();

 private:
  void BuildMenus();
  void BuildToolBar();
  void BuildStatusBar();
  void UpdateRecentFiles();

  CLexaroDemoApp* m_app;
  CLexaroDemoView* m_view;
  QScrollArea* m_formArea;
  QMenu* m_recentMenu = nullptr;
  QPrinter m_printer;
};
