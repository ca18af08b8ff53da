#include "demo/translation.h"

#include <QCoreApplication>
#include <QTranslator>

namespace demo {

bool InstallTranslation(const QLocale& locale) {
  if (locale.language() == QLocale::Japanese) return false;
  // Owned by the application; once is enough for the process.
  static QTranslator* english = nullptr;
  if (!english) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(":/translations/lexaro_demo_en.qm")) {
      delete translator;
      return false;
    }
    english = translator;
  }
  return QCoreApplication::installTranslator(english);
}

}  // namespace demo
