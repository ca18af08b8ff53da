// The controls of the demo's form and their places.
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "demo/resource.h"
#include "demo/samples.h"
#include "demo/view.h"

namespace {

// The captions of the markup controls: a sum, alone or applied to a term,
// to a fraction of the term and to a square root of it.
constexpr const char* kSum = "<TB><S><sum></S><S>k<=>1</S><S>n</S></TB>";
constexpr const char* kTerm = "(a<SUB>k</SUB><+>b<SUB>k</SUB>)";
constexpr const char* kRoman = "<FONT face=\"Times New Roman\">";
constexpr const char* kRoman11 = "<FONT face=\"Times New Roman\" size=11>";

QString Markup(const char* font, const QString& body) { return QString(font) + kSum + body; }

template <typename T>
T* Named(T* widget, int id) {
  widget->setObjectName(QString::number(id));
  return widget;
}

// The form's font: a proportional Japanese gothic face at 9 points.
QFont FormFont() {
  QFont font;
  font.setFamilies({"ＭＳ Ｐゴシック", "IPAPGothic", "IPAGothic"});
  font.setPointSize(9);
  return font;
}

}  // namespace

void CLexaroDemoView::BuildForm() {
  setFont(FormFont());
  auto* top = new QHBoxLayout;

  // The markup and the angle.
  auto* input = new QVBoxLayout;
  input->addWidget(new QLabel(tr("左クリック：テキスト出力")));
  input->addWidget(new QLabel(tr("右クリック：画面クリア")));
  auto* angleRow = new QHBoxLayout;
  angleRow->addWidget(new QLabel(tr("テキストの角度")));
  m_angleEdit = Named(new QLineEdit, IDC_ANGLE);
  m_angleEdit->setValidator(new QIntValidator(m_angleEdit));
  m_angleEdit->setFixedWidth(60);
  angleRow->addWidget(m_angleEdit);
  angleRow->addWidget(new QLabel("[deg]"));
  m_texSwitch = Named(new QCheckBox("TeX"), IDC_TEX);
  m_texSwitch->setToolTip(tr("テキストを TeX の数式として変換して出力します"));
  angleRow->addWidget(m_texSwitch);
  angleRow->addStretch();
  auto* clear = Named(new QPushButton(tr("クリア")), IDC_CLEAR);
  connect(clear, &QPushButton::clicked, this, [this] { OnClear(); });
  angleRow->addWidget(clear);
  input->addLayout(angleRow);
  m_textEdit = Named(new QPlainTextEdit, IDC_TEXT);
  m_textEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
  m_textEdit->setFixedSize(380, 220);
  input->addWidget(m_textEdit);
  input->addWidget(new QLabel(tr("（行頭の半角ｽﾍﾟｰｽ・タブは出力時に削除されます）")));
  input->addStretch();
  top->addLayout(input);

  // The sample buttons in their groups.
  auto group = [this](const QString& title, int first, int count, int columns) {
    auto* box = new QGroupBox(title);
    auto* grid = new QGridLayout(box);
    for (int i = 0; i < count; ++i) {
      const demo::Sample& s = demo::Samples()[size_t(first + i)];
      auto* button = Named(new QPushButton(demo::Caption(s)), s.id);
      button->setFocusPolicy(Qt::TabFocus);
      connect(button, &QPushButton::clicked, this, [this, id = s.id] { OnSample(id); });
      grid->addWidget(button, i / columns, i % columns);
    }
    return box;
  };
  auto* samples = new QVBoxLayout;
  samples->addWidget(group(tr("ｻﾝﾌﾟﾙ"), 0, 10, 2));
  samples->addWidget(group(tr("記号"), 10, 4, 2));
  samples->addStretch();
  top->addLayout(samples);
  auto* previous = new QVBoxLayout;
  previous->addWidget(group(tr("前verのｻﾝﾌﾟﾙ"), 14, 5, 1));
  previous->addStretch();
  top->addLayout(previous);

  // The markup controls.
  auto* controls = new QGroupBox(tr("ｺﾝﾄﾛｰﾙｸﾗｽのｻﾝﾌﾟﾙ"));
  auto* column = new QVBoxLayout(controls);
  m_label = Named(new CStatic_LX(Markup(kRoman, kTerm)), IDC_LABEL);
  m_button = Named(new CButton_LX(Markup(kRoman, kTerm)), IDC_BUTTON);
  m_button->setMinimumHeight(50);
  m_check = Named(new CButton_LX_Ex(CButton_LX_Ex::CheckBox, Markup(kRoman, kTerm)), IDC_CHECK);
  const QString radios[3] = {
      Markup(kRoman11, kTerm),
      Markup(kRoman11, QString("<FRAC><S>1</S><S>%1</S></FRAC>").arg(kTerm)),
      Markup(kRoman11, QString("<SQRT>%1</SQRT>").arg(kTerm)),
  };
  column->addWidget(m_label);
  column->addWidget(m_button);
  column->addWidget(m_check, 0, Qt::AlignLeft);
  for (int i = 0; i < 3; ++i) {
    m_radio[i] = Named(new CButton_LX_Ex(CButton_LX_Ex::RadioButton, radios[i]), IDC_RADIO1 + i);
    column->addWidget(m_radio[i], 0, Qt::AlignLeft);
  }
  column->addStretch();
  controls->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
  top->addWidget(controls);
  top->addStretch();

  // Below the controls, the free area for drawing.
  auto* form = new QVBoxLayout(this);
  form->addLayout(top);
  form->addStretch(1);
}
