#include "demo/app.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "demo/main_frame.h"
#include "demo/samples.h"

namespace {
constexpr const char* kRegistryKey = "Local AppWizard-Generated Applications";
constexpr const char* kRecentGroup = "Recent File List";

bool TakesValue(const QString& argument) {
  return argument == "--sample" || argument == "--angle" || argument == "--screenshot";
}

bool IsHelp(const QString& argument) { return argument == "--help" || argument == "-h"; }
}  // namespace

CLexaroDemoApp::CLexaroDemoApp() : m_settings(kRegistryKey, "LexaroDemo") {}
CLexaroDemoApp::~CLexaroDemoApp() = default;

bool CLexaroDemoApp::AsksForHelp(const QStringList& arguments) {
  for (int i = 0; i < arguments.size(); ++i) {
    if (IsHelp(arguments[i])) return true;
    if (TakesValue(arguments[i])) ++i;
  }
  return false;
}

QString CLexaroDemoApp::Usage() {
  // Five samples a line, each as its ID and its file's name.
  QString samples;
  int n = 0;
  for (const demo::Sample& s : demo::Samples()) {
    samples += QString(n++ % 5 ? ", " : "\n                       ");
    samples += QString("%1 %2").arg(s.id).arg(QString(s.file).section('.', 0, 0).section('-', 1));
  }
  return "usage: LexaroDemo [--sample ID] [--angle DEG] [--aliased] [--screenshot FILE] [file]\n"
         "\n"
         "A window with a markup edit box: a left click on the free area draws the\n"
         "markup there, a right click clears.\n"
         "\n"
         "  file               a file to open (remembered among the recent files)\n"
         "  --sample ID        fill the edit box with a sample, ID one of:" + samples + "\n"
         "  --angle DEG        the angle of the drawing, in degrees\n"
         "  --aliased          draw lines and fills aliased, as the library does by default\n"
         "  --screenshot FILE  draw the markup once, write the window as PNG to FILE and end\n"
         "                     (with QT_QPA_PLATFORM=offscreen no desktop is needed)\n"
         "  -h, --help         print this and end\n";
}

bool CLexaroDemoApp::ParseCommandLine(const QStringList& arguments, QString* file, QString* error) {
  const QString usage = " (usage: LexaroDemo [--sample ID] [--angle DEG] [--aliased] [--screenshot FILE] [file]; --help tells more)";
  for (int i = 0; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (TakesValue(argument)) {
      if (i + 1 >= arguments.size()) {
        *error = argument + " needs a value" + usage;
        return false;
      }
      const QString& value = arguments[++i];
      bool ok = true;
      if (argument == "--sample") m_sample = value.toInt(&ok);
      if (argument == "--angle") value.toInt(&ok), m_angle = value;
      if (argument == "--screenshot") m_screenshot = value;
      if (!ok || (argument == "--sample" && !demo::FindSample(m_sample))) {
        *error = "bad value '" + value + "' for " + argument + usage;
        return false;
      }
    } else if (argument == "--aliased") {
      m_aliased = true;
    } else if (IsHelp(argument)) {
      m_help = true;
    } else if (argument.startsWith('-')) {
      *error = "unknown option '" + argument + "'" + usage;
      return false;
    } else if (!file->isEmpty()) {
      *error = "more than one file given" + usage;
      return false;
    } else {
      *file = argument;
    }
  }
  return true;
}

bool CLexaroDemoApp::InitInstance(const QStringList& arguments, QString* error) {
  QString file;
  if (!ParseCommandLine(arguments, &file, error)) return false;
  if (m_help) return true;
  m_frame = std::make_unique<CMainFrame>(this);
  if (!file.isEmpty() && !m_frame->OpenDocument(file, error)) return false;
  m_frame->setWindowTitle("Lexaro v0.8.1 DLL Demo");
  m_frame->show();
  // Once shown, the window knows its frame. A screenshot shows the whole
  // form, whatever the screen.
  if (m_screenshot.isEmpty()) m_frame->FitToScreen();
  CLexaroDemoView* view = m_frame->View();
  view->SetAliased(m_aliased);
  if (m_sample) view->OnSample(m_sample);
  if (!m_angle.isEmpty()) view->AngleEdit()->setText(m_angle);
  return m_screenshot.isEmpty() || TakeScreenshot(error);
}

bool CLexaroDemoApp::TakeScreenshot(QString* error) {
  // Let the window settle at its size first: without an event loop the
  // scroll area would still lay the form out for the size it had before.
  QCoreApplication::processEvents();
  CLexaroDemoView* view = m_frame->View();
  // The free area starts below the tallest control.
  int top = 0;
  for (QWidget* child : view->findChildren<QWidget*>()) top = std::max(top, child->geometry().bottom());
  view->OnLButtonDown(QPoint(40, top + 60));
  if (!m_frame->grab().save(m_screenshot, "PNG")) {
    *error = "cannot write the screenshot '" + m_screenshot + "'";
    return false;
  }
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
