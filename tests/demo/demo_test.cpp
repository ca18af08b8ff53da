// The demo's window driven headless: sample buttons, drawing and clearing,
// angles, edit commands and the font of the drawings.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

#include "demo/app.h"
#include "demo/main_frame.h"
#include "demo/resource.h"
#include "demo/samples.h"
#include "tests/support/layout1_text.h"

using test_support::kLayout1Lines;

namespace {

// The part of the canvas that holds something drawn.
QRect Drawn(const CRasterDC& canvas, QRect area = QRect()) {
  if (area.isNull()) area = QRect(0, 0, canvas.Width(), canvas.Height());
  area &= QRect(0, 0, canvas.Width(), canvas.Height());
  QRect box;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (canvas.Bits()[size_t(y) * canvas.Width() + x] >> 24) box |= QRect(x, y, 1, 1);
  return box;
}

class Demo : public ::testing::Test {
 protected:
  void SetUp() override {
    QString error;
    ASSERT_TRUE(app.InitInstance({}, &error)) << error.toStdString();
    frame = app.MainFrame();
    view = frame->View();
    view->SetSamplesDir(LEXARO_SAMPLES_DIR);
  }
  void Type(const QString& markup, int angle = 0) {
    view->MarkupEdit()->setPlainText(markup);
    view->AngleEdit()->setText(QString::number(angle));
  }
  // A point of the free area below the controls.
  QPoint Free() const { return QPoint(200, view->height() - 200); }

  CLexaroDemoApp app;
  CMainFrame* frame = nullptr;
  CLexaroDemoView* view = nullptr;
};

TEST_F(Demo, WindowTitleAndForm) {
  EXPECT_EQ(frame->windowTitle(), "Lexaro v0.8.1 DLL Demo");
  for (int id : {IDC_TEXT, IDC_ANGLE, IDC_CLEAR, IDC_LABEL, IDC_BUTTON, IDC_CHECK, IDC_RADIO1, IDC_RADIO2, IDC_RADIO3})
    EXPECT_NE(view->Control(id), nullptr) << id;
  EXPECT_TRUE(qobject_cast<CButton_LX_Ex*>(view->Control(IDC_RADIO1))->isChecked());
  EXPECT_EQ(view->AngleEdit()->text(), "0");
}

TEST_F(Demo, SampleButtonsFillTheEditBoxWithLinesJoinedByCrLf) {
  ASSERT_EQ(demo::Samples().size(), 19u);
  for (const demo::Sample& s : demo::Samples()) {
    auto* button = qobject_cast<QPushButton*>(view->Control(s.id));
    ASSERT_NE(button, nullptr) << s.id;
    EXPECT_EQ(button->text(), QString::fromUtf8(s.caption));
    button->click();
    EXPECT_GT(view->Text().GetLength(), 20) << s.id;
    EXPECT_EQ(view->Text().Find("\n"), view->Text().Find("\r\n") + 1) << s.id;
  }
  qobject_cast<QPushButton*>(view->Control(1006))->click();
  CString expected;
  for (size_t i = 0; i < std::size(kLayout1Lines); ++i) expected += CString(i ? "\r\n" : "") + kLayout1Lines[i];
  EXPECT_EQ(view->Text(), expected);
  EXPECT_EQ(view->MarkupEdit()->toPlainText().split('\n').size(), 11);
}

TEST_F(Demo, MissingSampleFileLeavesTheTextAndSaysWhy) {
  Type("x");
  view->SetSamplesDir("/nonexistent/samples");
  QString message;
  QObject::connect(view, &CLexaroDemoView::Message, [&](const QString& m) { message = m; });
  view->OnSample(1006);
  EXPECT_EQ(view->Text(), "x");
  EXPECT_TRUE(message.contains("1006-layout1.lxm"));
}

TEST_F(Demo, LeftClickDrawsAndKeepsItRightClickClears) {
  Type("<FRAC><S>1</S><S>x</S></FRAC>");
  QTest::mouseClick(view, Qt::LeftButton, {}, Free());
  QRect near(Free() - QPoint(5, 5), QSize(80, 80));
  EXPECT_FALSE(Drawn(view->Canvas(), near).isNull());
  // A repaint keeps the drawing; what it shows is the canvas.
  QImage shown = view->grab().toImage();
  QRect box = Drawn(view->Canvas());
  int painted = 0;
  for (int y = box.top(); y <= box.bottom(); ++y)
    for (int x = box.left(); x <= box.right(); ++x)
      painted += shown.pixel(x, y) != view->palette().color(QPalette::Window).rgb();
  EXPECT_GT(painted, 20);
  QTest::mouseClick(view, Qt::RightButton, {}, Free());
  EXPECT_TRUE(Drawn(view->Canvas()).isNull());
}

TEST_F(Demo, TheStatusBarShowsTheDrawnTextsDiagnostics) {
  Type("<frac><S>1</S><S>x</S></frac>");
  QTest::mouseClick(view, Qt::LeftButton, {}, Free());
  EXPECT_EQ(frame->statusBar()->currentMessage().toStdString(),
            "診断 6 件: unknown tag 'frac' passed over, did you mean 'FRAC'?");
  Type("<FRAC><S>1</S><S>x</S></FRAC>");
  QTest::mouseClick(view, Qt::LeftButton, {}, Free());
  EXPECT_EQ(frame->statusBar()->currentMessage().toStdString(), "レディ");
}

// With the TeX switch on, the edit box's lines are translated as they are
// (joined, "\alpha" and "b" would run together) and drawn as the markup
// made of them; the switch alone lays the text out again.
TEST_F(Demo, TheTexSwitchDrawsTheTranslationAndShowsItsDiagnostics) {
  const std::string tex = "\\alpha\n b + \\frac{1}{x}";
  auto drawn = [this] {
    const CRasterDC& c = view->Canvas();
    return std::vector<std::uint32_t>(c.Bits(), c.Bits() + size_t(c.Width()) * c.Height());
  };
  Type(QString::fromStdString(lexaro::TranslateTex(tex).markup));
  QTest::mouseClick(view, Qt::LeftButton, {}, Free());
  const auto fromMarkup = drawn();
  view->OnRButtonDown();
  Type(QString::fromStdString(tex));
  view->TexSwitch()->setChecked(true);
  QTest::mouseClick(view, Qt::LeftButton, {}, Free());
  EXPECT_TRUE(drawn() == fromMarkup);
  EXPECT_EQ(frame->statusBar()->currentMessage().toStdString(), "レディ");
  view->TexSwitch()->setChecked(false);
  QTest::mouseClick(view, Qt::LeftButton, {}, Free());
  EXPECT_EQ(view->ParseCount(), 3);
  Type("a + \\nosuchcommand");
  view->TexSwitch()->setChecked(true);
  QTest::mouseClick(view, Qt::LeftButton, {}, Free());
  EXPECT_EQ(frame->statusBar()->currentMessage().toStdString().rfind("TeX の診断 1 件: ", 0), 0u)
      << frame->statusBar()->currentMessage().toStdString();
}

TEST_F(Demo, SameTextIsParsedOnceAndEmptyTextDrawsNothing) {
  QTest::mouseClick(view, Qt::LeftButton, {}, Free());
  EXPECT_TRUE(Drawn(view->Canvas()).isNull());
  Type("abc");
  QTest::mouseClick(view, Qt::LeftButton, {}, Free());
  QTest::mouseClick(view, Qt::LeftButton, {}, Free() + QPoint(0, 50));
  EXPECT_EQ(view->ParseCount(), 1);
  // A new document forgets the previous text.
  frame->OnFileNew();
  view->OnRButtonDown();
  QTest::mouseClick(view, Qt::LeftButton, {}, Free());
  EXPECT_TRUE(Drawn(view->Canvas()).isNull());
}

TEST_F(Demo, ClearEmptiesTheTextAndTheDrawing) {
  Type("abc");
  QTest::mouseClick(view, Qt::LeftButton, {}, Free());
  qobject_cast<QPushButton*>(view->Control(IDC_CLEAR))->click();
  EXPECT_TRUE(view->MarkupEdit()->toPlainText().isEmpty());
  EXPECT_TRUE(Drawn(view->Canvas()).isNull());
}

TEST_F(Demo, ChangedAngleTurnsTheDrawingWithoutParsingAgain) {
  Type("ABCDEFGHIJKL");
  QTest::mouseClick(view, Qt::LeftButton, {}, Free());
  QRect flat = Drawn(view->Canvas());
  view->OnRButtonDown();
  view->AngleEdit()->setText("90");
  QTest::mouseClick(view, Qt::LeftButton, {}, Free());
  QRect turned = Drawn(view->Canvas());
  EXPECT_GT(flat.width(), 3 * flat.height());
  EXPECT_GT(turned.height(), 3 * turned.width());
  EXPECT_EQ(view->ParseCount(), 1);
  // Angles of any size: whole turns do not matter.
  view->OnRButtonDown();
  view->AngleEdit()->setText("2147483647");  // 2147483647 = 5965232 * 360 + 127
  QTest::mouseClick(view, Qt::LeftButton, {}, Free());
  QRect huge = Drawn(view->Canvas());
  view->OnRButtonDown();
  view->AngleEdit()->setText("127");
  QTest::mouseClick(view, Qt::LeftButton, {}, Free());
  EXPECT_EQ(Drawn(view->Canvas()), huge);
}

TEST_F(Demo, DrawingsUseTheViewsFontWhateverTheControlsUse) {
  frame->grab();  // the markup controls lay out in the form's 9-point font
  Type("HHHH");
  QTest::mouseClick(view, Qt::LeftButton, {}, Free());
  QRect drawn = Drawn(view->Canvas());
  // The same text in the view's 20-pixel font, drawn alone.
  CRasterDC reference(view->Canvas().Width(), view->Canvas().Height(), CLR_TRANSPARENT);
  LOGFONT lf;
  CDC* dc = &reference;
  CFontTool().SetLOGFONT(&lf, &dc, -20, "ＭＳ ゴシック", 1);
  UseEngineFont(lf);
  CLexaro engine;
  engine.SetText(&reference, "HHHH");
  engine.TextOutA(&reference, CPoint(Free().x(), Free().y()));
  EXPECT_EQ(drawn, Drawn(reference));
}

TEST_F(Demo, EditCommandsActOnTheFocusedEditBoxOnly) {
  frame->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
  QClipboard* clipboard = QApplication::clipboard();
  clipboard->setText("kept");
  Type("markup");
  auto* sample = qobject_cast<QPushButton*>(view->Control(1006));
  sample->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), sample);
  frame->Action("copy")->trigger();
  frame->Action("cut")->trigger();
  frame->Action("paste")->trigger();
  EXPECT_EQ(clipboard->text(), "kept");
  EXPECT_EQ(view->MarkupEdit()->toPlainText(), "markup");

  view->MarkupEdit()->setFocus();
  view->MarkupEdit()->selectAll();
  frame->Action("copy")->trigger();
  EXPECT_EQ(clipboard->text(), "markup");
  frame->Action("cut")->trigger();
  EXPECT_TRUE(view->MarkupEdit()->toPlainText().isEmpty());
  frame->Action("undo")->trigger();
  EXPECT_EQ(view->MarkupEdit()->toPlainText(), "markup");
}

TEST_F(Demo, OpenRemembersReadableFilesOnly) {
  QString error;
  EXPECT_FALSE(frame->OpenDocument("/nonexistent/file.txt", &error));
  EXPECT_FALSE(error.isEmpty());
  QString sample = QString(LEXARO_SAMPLES_DIR) + "/1006-layout1.lxm";
  ASSERT_TRUE(frame->OpenDocument(sample, &error));
  EXPECT_EQ(app.RecentFiles().value(0), sample);
  for (int i = 0; i < 6; ++i) app.AddRecentFile(QString("/tmp/f%1").arg(i));
  EXPECT_EQ(app.RecentFiles().size(), CLexaroDemoApp::kRecentFiles);
  EXPECT_EQ(app.RecentFiles().value(0), "/tmp/f5");
}

TEST(DemoStart, BadCommandLinesFail) {
  QString error;
  EXPECT_FALSE(CLexaroDemoApp().InitInstance({"--bogus"}, &error));
  EXPECT_FALSE(CLexaroDemoApp().InitInstance({"/nonexistent/a.lxm"}, &error));
  EXPECT_FALSE(CLexaroDemoApp().InitInstance({"a", "b"}, &error));
  EXPECT_FALSE(CLexaroDemoApp().InitInstance({"--sample", "1013"}, &error));
  EXPECT_FALSE(CLexaroDemoApp().InitInstance({"--angle", "x"}, &error));
  EXPECT_FALSE(CLexaroDemoApp().InitInstance({"--screenshot"}, &error));
  EXPECT_FALSE(CLexaroDemoApp().InitInstance({"--screenshot", "/nonexistent/dir/a.png"}, &error));
}

TEST(DemoStart, HelpOpensNoWindowAndNamesEverySample) {
  struct Case {
    QStringList arguments;
    bool help;
  };
  const Case cases[] = {{{"--help"}, true},
                        {{"-h"}, true},
                        {{"--sample", "1006", "--help"}, true},
                        {{"--angle", "-h"}, false},  // a value, not an option
                        {{"--aliased"}, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(CLexaroDemoApp::AsksForHelp(c.arguments), c.help) << c.arguments.join(' ').toStdString();
    if (!c.help) continue;
    CLexaroDemoApp app;
    QString error;
    EXPECT_TRUE(app.InitInstance(c.arguments, &error)) << error.toStdString();
    EXPECT_TRUE(app.ExitAfterStart());
    EXPECT_EQ(app.MainFrame(), nullptr);
  }
  for (const demo::Sample& s : demo::Samples())
    EXPECT_TRUE(CLexaroDemoApp::Usage().contains(QString::number(s.id))) << s.id;
}

TEST(DemoStart, ScreenshotWritesTheWindow) {
  QString path = QDir::temp().filePath("lexaro-demo-test.png");
  QFile::remove(path);
  CLexaroDemoApp app;
  QString error;
  ASSERT_TRUE(app.InitInstance({"--angle", "30", "--screenshot", path}, &error)) << error.toStdString();
  EXPECT_TRUE(app.ExitAfterStart());
  QImage image(path);
  EXPECT_EQ(image.size(), app.MainFrame()->size());
  QFile::remove(path);
}

TEST(DemoStart, DrawsAntialiasedUnlessAliasedIsAsked) {
  for (bool aliased : {false, true}) {
    CLexaroDemoApp app;
    QString error;
    QStringList args = {"--sample", "1010"};
    if (aliased) args << "--aliased";
    ASSERT_TRUE(app.InitInstance(args, &error)) << error.toStdString();
    EXPECT_EQ(app.MainFrame()->View()->Canvas().GetAntialias(), !aliased);
  }
}

}  // namespace
