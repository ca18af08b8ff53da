// CLexaroDemoApp: the demo's settings (under "Local AppWizard-Generated
// Applications"), its list of recently opened files and its start-up.
#pragma once

#include <QSettings>
#include <QStringList>
#include <memory>

class CMainFrame;

class CLexaroDemoApp {
 public:
  static constexpr int kRecentFiles = 4;

  CLexaroDemoApp();
  ~CLexaroDemoApp();

  // Creates and shows the main window and processes the command line (the
  // arguments after the program name): at most one file to open, and for
  // pictures without a desktop "--sample ID" (fill the edit box with a
  // sample), "--angle DEG" and "--screenshot FILE" (draw the markup once in
  // the free area, write the window as PNG to FILE; the program then ends).
  // "--help" or "-h" creates no window. False, with the reason in *error,
  // when the command line cannot be processed or the picture not written.
  bool InitInstance(const QStringList& arguments, QString* error);
  // Whether the program ends after start-up (a screenshot or help was asked
  // for).
  bool ExitAfterStart() const { return m_help || !m_screenshot.isEmpty(); }
  // Whether the arguments ask for help (the program prints Usage() and
  // ends); decided before the application object, which needs a display.
  static bool AsksForHelp(const QStringList& arguments);
  static QString Usage();
  CMainFrame* MainFrame() const { return m_frame.get(); }

  QStringList RecentFiles() const;
  void AddRecentFile(const QString& path);
  void RemoveRecentFile(const QString& path);

 private:
  void SaveRecentFiles(const QStringList& files);
  bool ParseCommandLine(const QStringList& arguments, QString* file, QString* error);
  bool TakeScreenshot(QString* error);

  bool m_help = false;
  int m_sample = 0;
  QString m_angle;
  QString m_screenshot;
  bool m_aliased = false;

  QSettings m_settings;
  std::unique_ptr<CMainFrame> m_frame;
};
