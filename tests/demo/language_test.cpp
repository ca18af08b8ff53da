// The demo's interface in the system's language (the suite runs under
// several LANG settings): Japanese captions under a Japanese locale, their
// English translation under any other.
#include <QGroupBox>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <gtest/gtest.h>

#include "demo/about_dialog.h"
#include "demo/app.h"
#include "demo/main_frame.h"
#include "demo/resource.h"
#include "demo/translation.h"

namespace {

TEST(DemoLanguage, CaptionsFollowTheSystemLocale) {
  // The language the suite was started for, to catch a LANG that did not
  // reach the locale.
  const QString language = qEnvironmentVariable("LEXARO_TEST_LANGUAGE");
  ASSERT_TRUE(language == "ja" || language == "en") << "run with LEXARO_TEST_LANGUAGE=ja or en";
  const bool japanese = language == "ja";
  ASSERT_EQ(QLocale::system().language() == QLocale::Japanese, japanese) << QLocale::system().name().toStdString();
  EXPECT_EQ(demo::InstallTranslation(QLocale::system()), !japanese);

  CLexaroDemoApp app;
  QString error;
  ASSERT_TRUE(app.InitInstance({}, &error)) << error.toStdString();
  CMainFrame* frame = app.MainFrame();
  CLexaroDemoView* view = frame->View();
  CAboutDlg about(frame);
  struct Case {
    const char* what;
    QString shown;
    const char* ja;
    const char* en;
  };
  const Case cases[] = {
      {"menu", frame->menuBar()->actions().value(0)->text(), "ファイル(&F)", "&File"},
      {"menu item", frame->Action("exit")->text(), "アプリケーションの終了(&X)", "E&xit"},
      {"tool tip", frame->Action("open")->toolTip(), "開く", "Open"},
      {"tool bar", frame->findChild<QToolBar*>("toolBar")->windowTitle(), "ツール バー", "Toolbar"},
      {"status bar", frame->statusBar()->currentMessage(), "レディ", "Ready"},
      {"button", qobject_cast<QPushButton*>(view->Control(IDC_CLEAR))->text(), "クリア", "Clear"},
      {"sample", qobject_cast<QPushButton*>(view->Control(1018))->text(), "ｷﾞﾘｼｬ（小）", "Greek (lower)"},
      {"group box", qobject_cast<QGroupBox*>(view->Control(IDC_LABEL)->parentWidget())->title(),
       "ｺﾝﾄﾛｰﾙｸﾗｽのｻﾝﾌﾟﾙ", "Control classes"},
      {"dialog", about.windowTitle(), "バージョン情報 LexaroDemo", "About LexaroDemo"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.shown.toStdString(), japanese ? c.ja : c.en) << c.what;

  // A message made later, with its arguments.
  QString message;
  QObject::connect(view, &CLexaroDemoView::Message, [&](const QString& m) { message = m; });
  view->AngleEdit()->setText("x");
  view->UpdateData(true);
  EXPECT_EQ(message.toStdString(), japanese ? "テキストの角度には整数を入力してください。"
                                            : "Enter a whole number for the angle of the text.");
}

}  // namespace
