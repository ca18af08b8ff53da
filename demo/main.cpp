// LexaroDemo: a window with a markup edit box; a left click draws the markup,
// a right click clears.
#include <QApplication>
#include <cstdio>

#include "demo/app.h"
#include "demo/translation.h"

int main(int argc, char** argv) {
  // Help needs no display, so it is answered before the application exists.
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  if (CLexaroDemoApp::AsksForHelp(arguments)) {
    std::fputs(CLexaroDemoApp::Usage().toLocal8Bit().constData(), stdout);
    return 0;
  }
  QApplication application(argc, argv);
  demo::InstallTranslation(QLocale::system());
  CLexaroDemoApp app;
  QString error;
  if (!app.InitInstance(application.arguments().mid(1), &error)) {
    std::fprintf(stderr, "LexaroDemo: %s\n", qPrintable(error));
    return 1;
  }
  return app.ExitAfterStart() ? 0 : application.exec();
}
