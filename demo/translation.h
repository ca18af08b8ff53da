// The language of the demo's interface. Its captions are written in
// Japanese; an English translation (translations/lexaro_demo_en.ts, built
// into the program) serves every other language.
#pragma once

#include <QLocale>

namespace demo {

// Installs the English translation on the application unless locale is
// Japanese; true when it did. Called before any window is made.
bool InstallTranslation(const QLocale& locale);

}  // namespace demo
