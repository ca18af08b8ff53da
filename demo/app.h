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
  // arguments after the program name: at most one file to open). False,
  // with the reason in *error, when the command line cannot be processed.
  bool InitInstance(const QStringList& arguments, QString* error);
  CMainFrame* MainFrame() const { return m_frame.get(); }

  QStringList RecentFiles() const;
  void AddRecentFile(const QString& path);
  void RemoveRecentFile(const QString& path);

 private:
  void SaveRecentFiles(const QStringList& files);

  QSettings m_settings;
  std::unique_ptr<CMainFrame> m_frame;
};
