#include "demo/view.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "demo/resource.h"
#include "demo/samples.h"
#include "tools/gallery.h"

namespace {

// The drawing surface is kept within this size; clicks beyond it draw
// nothing.
constexpr int kMaxCanvasSide = 8192;

// The edit box holds lines separated by "\n"; the members hold them
// separated by "\r\n", as the samples and the engine's line joining expect.
CString FromEdit(const QString& text) {
  CString s(text.toStdString());
  s.Replace("\n", "\r\n");
  return s;
}

QString ToEdit(const CString& text) {
  CString s = text;
  s.Replace("\r\n", "\n");
  return QString::fromStdString(s.str());
}

}  // namespace

CLexaroDemoView::CLexaroDemoView(QWidget* parent) : QWidget(parent), m_samplesDir(gallery::DefaultSamplesDir()) {
  setAutoFillBackground(true);
  BuildForm();
  ResizeCanvas(width(), height());
}

CLexaroDemoView::~CLexaroDemoView() = default;

void CLexaroDemoView::OnInitialUpdate() {
  m_lastAngle = m_angle = 0;
  m_lastText = CString();
  m_text = m_lastText;
  m_lastTex = false;
  m_texDiagnostics.clear();
  // Drawings on the view use a 20-pixel gothic face; the controls keep
  // their own font (UseEngineFont switches between them).
  CDC* dc = m_canvas.get();
  CFontTool().SetLOGFONT(&m_lf, &dc, -20, "ＭＳ ゴシック", 1);
  UseEngineFont(m_lf);
  // The engine forgets the previous document's text and angle too, so
  // that an empty edit box draws nothing.
  m_lexaro.SetParam_lfEscapement(0);
  m_lexaro.SetText(dc, m_lastText);
  m_newline = "\r\n";
  UpdateData(false);
  m_radio[0]->setChecked(true);
}

void CLexaroDemoView::UpdateData(bool save) {
  if (!save) {
    m_textEdit->setPlainText(ToEdit(m_text));
    m_angleEdit->setText(QString::number(m_angle));
    return;
  }
  m_text = FromEdit(m_textEdit->toPlainText());
  bool ok = false;
  int angle = m_angleEdit->text().trimmed().toInt(&ok);
  if (ok)
    m_angle = angle;
  else
    emit Message("テキストの角度には整数を入力してください。");
}

void CLexaroDemoView::OnSample(int id) {
  const demo::Sample* sample = demo::FindSample(id);
  if (!sample) return;
  UpdateData(true);
  std::string error;
  if (!demo::LoadSample(m_samplesDir, *sample, &m_text, &error)) {
    emit Message(QString::fromStdString("サンプルを読めません: " + error));
    return;
  }
  UpdateData(false);
}

void CLexaroDemoView::OnClear() {
  UpdateData(true);
  m_text.Empty();
  UpdateData(false);
  OnRButtonDown();
}

void CLexaroDemoView::OnLButtonDown(const QPoint& point) {
  CDC* dc = m_canvas.get();
  UpdateData(true);
  if (m_angle != m_lastAngle) {
    m_lastAngle = m_angle;
    // Whole turns are dropped first, so that no angle overflows in tenths.
    m_lexaro.SetParam_lfEscapement(long(m_angle % 360) * 10);
  }
  UseEngineFont(m_lf);
  const bool tex = m_texSwitch->isChecked();
  if (!(m_text == m_lastText) || tex != m_lastTex) {
    m_lastText = m_text;
    m_lastTex = tex;
    ++m_parseCount;
    m_lexaro.SetText(dc, MarkupOf(m_lastText, tex));
  }
  m_lexaro.TextOutA(dc, CPoint(point.x(), point.y()));
  update();
  emit Diagnosed(DiagnosticSummary());
}

CString CLexaroDemoView::MarkupOf(const CString& text, bool tex) {
  m_texDiagnostics.clear();
  if (!tex) return m_lexaro.GetFormalText(text, m_newline);
  // TeX keeps its lines: it reads a line break as a space, and joining the
  // lines would run a command into the next line's letters.
  lexaro::TexResult translated = lexaro::TranslateTex(ToEdit(text).toStdString());
  m_texDiagnostics = std::move(translated.diagnostics);
  return CString(translated.markup);
}

QString CLexaroDemoView::DiagnosticSummary() const {
  auto summary = [](const char* what, size_t count, const std::string& first) {
    return QString("%1 %2 件: %3").arg(what).arg(count).arg(QString::fromStdString(first));
  };
  // What the translation could not take comes first: the markup made of
  // TeX is the translator's, not the user's.
  if (!m_texDiagnostics.empty()) return summary("TeX の診断", m_texDiagnostics.size(), m_texDiagnostics[0].message);
  const auto& found = m_lexaro.GetDiagnostics();
  return found.empty() ? QString() : summary("診断", found.size(), found[0].message.str());
}

void CLexaroDemoView::OnRButtonDown() {
  m_canvas->Clear(CLR_TRANSPARENT);
  update();
}

void CLexaroDemoView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton)
    OnLButtonDown(event->position().toPoint());
  else if (event->button() == Qt::RightButton)
    OnRButtonDown();
  QWidget::mousePressEvent(event);
}

void CLexaroDemoView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0,
                    QImage(reinterpret_cast<const uchar*>(m_canvas->Bits()), m_canvas->Width(),
                           m_canvas->Height(), m_canvas->BytesPerLine(), QImage::Format_ARGB32_Premultiplied));
}

void CLexaroDemoView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ResizeCanvas(width(), height());
}

void CLexaroDemoView::SetAliased(bool aliased) {
  m_aliased = aliased;
  if (m_canvas) gallery::SetDrawingMode(*m_canvas, aliased);
}

// A new surface of the view's size that keeps what was drawn.
void CLexaroDemoView::ResizeCanvas(int width, int height) {
  width = std::clamp(width, 0, kMaxCanvasSide);
  height = std::clamp(height, 0, kMaxCanvasSide);
  if (m_canvas && m_canvas->Width() == width && m_canvas->Height() == height) return;
  auto canvas = std::make_unique<CRasterDC>(width, height, CLR_TRANSPARENT);
  canvas->SetResolution(logicalDpiY());
  gallery::SetDrawingMode(*canvas, m_aliased);
  if (m_canvas) {
    int w = std::min(width, m_canvas->Width()), h = std::min(height, m_canvas->Height());
    for (int y = 0; y < h; ++y)
      std::copy_n(m_canvas->Bits() + size_t(y) * m_canvas->Width(), w, canvas->Bits() + size_t(y) * width);
  }
  m_canvas = std::move(canvas);
}
