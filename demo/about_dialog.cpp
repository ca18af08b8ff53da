#include "demo/about_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QStyle>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("バージョン情報 LexaroDemo"));
  auto* grid = new QGridLayout(this);
  auto* icon = new QLabel;
  icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
  grid->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);
  grid->addWidget(new QLabel("Lexaro Version 0.8.1 DLL Demo"), 0, 1);
  grid->addWidget(new QLabel(tr("数式マークアップ描画ライブラリのデモ")), 1, 1);
  grid->addWidget(new QLabel(QString("Qt %1 Widgets").arg(qVersion())), 2, 1);
  auto* ok = new QDialogButtonBox(QDialogButtonBox::Ok);
  connect(ok, &QDialogButtonBox::accepted, this, &QDialog::accept);
  grid->addWidget(ok, 0, 2, Qt::AlignTop);
}
