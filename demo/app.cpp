#include "demo/app.h"

#include <QDir>
#include <QFileInfo>

#include "demo/main_frame.h"

namespace {
constexpr const char* kRegistryKey = "Local AppWizard-Generated Applications";
constexpr const char* kRecentGroup = "Recent File List";
}  // namespace

CLexaroDemoApp::CLexaroDemoApp() : m_settings(kRegistryKey, "LexaroDemo") {}
CLexaroDemoApp::~CLexaroDemoApp() = default;

bool CLexaroDemoApp::InitInstance(const QStringList& arguments, QString* error) {
  QString file;
  for (const QString& argument : arguments) {
    if (argument.startsWith('-')) {
      *error = "unknown option '" + argument + "' (usage: LexaroDemo [file])";
      return false;
    }
    if (!file.isEmpty()) {
      *error = "more than one file given (usage: LexaroDemo [file])";
      return false;
    }
    file = argument;
  }
  m_frame = std::make_unique<CMainFrame>(this);
  if (!file.isEmpty() && !m_frame->OpenDocument(file, error)) return false;
  m_frame->setWindowTitle("Lexaro v0.8.1 DLL Demo");
  m_frame->show();
  return true;
}

QStringList CLexaroDemoApp::RecentFiles() const {
  QStringList files;
  for (int i = 1; i <= kRecentFiles; ++i) {
    QString file = m_settings.value(QString("%1/File%2").arg(kRecentGroup).arg(i)).toString();
    if (!file.isEmpty()) files << file;
  }
  return files;
}

void CLexaroDemoApp::AddRecentFile(const QString& path) {
  QString absolute = QFileInfo(path).absoluteFilePath();
  QStringList files = RecentFiles();
  files.removeAll(absolute);
  files.prepend(absolute);
  SaveRecentFiles(files.mid(0, kRecentFiles));
}

void CLexaroDemoApp::RemoveRecentFile(const QString& path) {
  QStringList files = RecentFiles();
  files.removeAll(path);
  SaveRecentFiles(files);
}

void CLexaroDemoApp::SaveRecentFiles(const QStringList& files) {
  m_settings.remove(kRecentGroup);
  for (int i = 0; i < files.size() && i < kRecentFiles; ++i)
    m_settings.setValue(QString("%1/File%2").arg(kRecentGroup).arg(i + 1), files[i]);
}
