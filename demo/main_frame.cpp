#include "demo/main_frame.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QStatusBar>
#include <QStyle>
#include <QScreen>
#include <QToolBar>
#include <algorithm>

#include "demo/about_dialog.h"
#include "demo/app.h"

namespace {
// The status bar's message when there is nothing to tell.
QString Ready() { return CMainFrame::tr("レディ"); }
}  // namespace

CMainFrame::CMainFrame(CLexaroDemoApp* app)
    : m_app(app), m_view(new CLexaroDemoView), m_formArea(new QScrollArea) {
  // The form fills the window and scrolls when the window is smaller than
  // its controls.
  m_formArea->setFrameShape(QFrame::NoFrame);
  m_formArea->setWidgetResizable(true);
  m_formArea->setWidget(m_view);
  setCentralWidget(m_formArea);
  BuildMenus();
  BuildToolBar();
  BuildStatusBar();
  connect(m_view, &CLexaroDemoView::Message, this, [this](const QString& text) { statusBar()->showMessage(text, 5000); });
  // The drawn text's diagnostics stay until the next drawing.
  connect(m_view, &CLexaroDemoView::Diagnosed, this,
          [this](const QString& summary) { statusBar()->showMessage(summary.isEmpty() ? Ready() : summary); });
  resize(kNaturalSize);
  m_view->OnInitialUpdate();
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::FitToScreen() {
  QRect available = screen()->availableGeometry();
  // The title bar and borders, as far as the window system tells them.
  QSize decoration = frameGeometry().size() - geometry().size();
  resize(kNaturalSize.boundedTo(available.size() - decoration));
  QRect frame = frameGeometry();
  if (!available.contains(frame))
    move(std::clamp(frame.left(), available.left(), std::max(available.left(), available.right() + 1 - frame.width())),
         std::clamp(frame.top(), available.top(), std::max(available.top(), available.bottom() + 1 - frame.height())));
}

void CMainFrame::BuildMenus() {
  auto add = [this](QMenu* menu, const char* name, const QString& text, QKeySequence key, auto handler) {
    QAction* action = menu->addAction(text);
    action->setObjectName(name);
    action->setShortcut(key);
    connect(action, &QAction::triggered, this, handler);
    return action;
  };
  QMenu* file = menuBar()->addMenu(tr("ファイル(&F)"));
  add(file, "new", tr("新規作成(&N)"), QKeySequence::New, [this] { OnFileNew(); });
  add(file, "open", tr("開く(&O)..."), QKeySequence::Open, [this] { OnFileOpen(); });
  file->addSeparator();
  add(file, "printSetup", tr("プリンタの設定(&R)..."), QKeySequence(), [this] { OnFilePrintSetup(); });
  add(file, "print", tr("印刷(&P)..."), QKeySequence::Print, [this] { OnFilePrint(); });
  add(file, "printPreview", tr("印刷プレビュー(&V)"), QKeySequence(), [this] { OnFilePrintPreview(); });
  file->addSeparator();
  m_recentMenu = file->addMenu(tr("最近使ったファイル"));
  UpdateRecentFiles();
  file->addSeparator();
  add(file, "exit", tr("アプリケーションの終了(&X)"), QKeySequence(), [this] { close(); });

  QMenu* edit = menuBar()->addMenu(tr("編集(&E)"));
  add(edit, "undo", tr("元に戻す(&U)"), QKeySequence::Undo, [this] { OnEditCommand("undo"); });
  edit->addSeparator();
  add(edit, "cut", tr("切り取り(&T)"), QKeySequence::Cut, [this] { OnEditCommand("cut"); });
  add(edit, "copy", tr("コピー(&C)"), QKeySequence::Copy, [this] { OnEditCommand("copy"); });
  add(edit, "paste", tr("貼り付け(&P)"), QKeySequence::Paste, [this] { OnEditCommand("paste"); });

  QMenu* help = menuBar()->addMenu(tr("ヘルプ(&H)"));
  add(help, "about", tr("バージョン情報 LexaroDemo(&A)..."), QKeySequence(), [this] { OnAppAbout(); });
}

void CMainFrame::BuildToolBar() {
  QToolBar* bar = addToolBar(tr("ツール バー"));
  bar->setObjectName("toolBar");
  bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  auto add = [&](const char* name, QStyle::StandardPixmap icon, const QString& tip) {
    QAction* action = Action(name);
    if (icon != QStyle::SP_CustomBase) action->setIcon(style()->standardIcon(icon));
    action->setToolTip(tip);
    bar->addAction(action);
  };
  add("new", QStyle::SP_FileIcon, tr("新規作成"));
  add("open", QStyle::SP_DialogOpenButton, tr("開く"));
  bar->addSeparator();
  add("cut", QStyle::SP_CustomBase, tr("切り取り"));
  add("copy", QStyle::SP_CustomBase, tr("コピー"));
  add("paste", QStyle::SP_CustomBase, tr("貼り付け"));
  bar->addSeparator();
  add("print", QStyle::SP_CustomBase, tr("印刷"));
  add("about", QStyle::SP_MessageBoxQuestion, tr("バージョン情報"));
}

void CMainFrame::BuildStatusBar() {
  // Qt does not tell the state of the lock keys: the indicator panes show
  // their names only.
  for (const QString& pane : {tr("ｶﾅ"), QString("CAP"), QString("NUM"), QString("SCRL")}) {
    auto* label = new QLabel(pane);
    label->setEnabled(false);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(40);
    statusBar()->addPermanentWidget(label);
  }
  statusBar()->showMessage(Ready());
}

void CMainFrame::UpdateRecentFiles() {
  m_recentMenu->clear();
  QStringList files = m_app->RecentFiles();
  for (int i = 0; i < files.size(); ++i) {
    QString path = files[i];
    QAction* action = m_recentMenu->addAction(QString("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()));
    connect(action, &QAction::triggered, this, [this, path] {
      QString error;
      if (!OpenDocument(path, &error)) {
        QMessageBox::warning(this, windowTitle(), error);
        m_app->RemoveRecentFile(path);
        UpdateRecentFiles();
      }
    });
  }
  m_recentMenu->setEnabled(!files.isEmpty());
}

void CMainFrame::OnFileNew() {
  m_view->OnInitialUpdate();
  statusBar()->showMessage(Ready());
}

void CMainFrame::OnFileOpen() {
  QString path = QFileDialog::getOpenFileName(this, tr("開く"));
  if (path.isEmpty()) return;
  QString error;
  if (!OpenDocument(path, &error)) QMessageBox::warning(this, windowTitle(), error);
}

bool CMainFrame::OpenDocument(const QString& path, QString* error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    *error = tr("ファイル %1 を開けません: %2").arg(path, file.errorString());
    return false;
  }
  m_app->AddRecentFile(path);
  UpdateRecentFiles();
  m_view->OnInitialUpdate();
  statusBar()->showMessage(QFileInfo(path).fileName());
  return true;
}

// The view prints nothing of its own: printing produces empty pages.
void CMainFrame::OnFilePrintSetup() { QPageSetupDialog(&m_printer, this).exec(); }

void CMainFrame::OnFilePrint() {
  QPrintDialog dialog(&m_printer, this);
  if (dialog.exec() != QDialog::Accepted) return;
  QPainter page(&m_printer);
}

void CMainFrame::OnFilePrintPreview() {
  QPrintPreviewDialog preview(&m_printer, this);
  connect(&preview, &QPrintPreviewDialog::paintRequested, this, [](QPrinter* printer) { QPainter page(printer); });
  preview.exec();
}

void CMainFrame::OnEditCommand(const char* command) {
  QWidget* focus = QApplication::focusWidget();
  if (CheckClassName(focus, "Edit")) QMetaObject::invokeMethod(focus, command);
}

void CMainFrame::OnAppAbout() { CAboutDlg(this).exec(); }
