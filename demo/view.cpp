#include "demo/view.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

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

// The drawings' em height in logical pixels.
constexpr int kEm = 20;

int CanvasSide(int logical, double ratio) {
  return int(std::clamp(std::ceil(logical * ratio), 0.0, double(kMaxCanvasSide)));
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
  CFontTool().SetLOGFONT(&m_lf, &dc, -kEm, "ＭＳ ゴシック", 1);
  UseEngineFont(m_lf);
  m_layoutRatio = m_canvasRatio;  // the empty text below
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
    emit Message(tr("テキストの角度には整数を入力してください。"));
}

void CLexaroDemoView::OnSample(int id) {
  const demo::Sample* sample = demo::FindSample(id);
  if (!sample) return;
  UpdateData(true);
  std::string error;
  if (!demo::LoadSample(m_samplesDir, *sample, &m_text, &error)) {
    emit Message(tr("サンプルを読めません: %1").arg(QString::fromStdString(error)));
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
  ResizeCanvas(width(), height());
  CDC* dc = m_canvas.get();
  UpdateData(true);
  if (m_angle != m_lastAngle) {
    m_lastAngle = m_angle;
    // Whole turns are dropped first, so that no angle overflows in tenths.
    m_lexaro.SetParam_lfEscapement(long(m_angle % 360) * 10);
  }
  // The canvas holds device pixels: the em and the point are scaled, and a
  // new pixel ratio lays the text out again.
  LOGFONT lf = m_lf;
  lf.lfHeight = -std::max(1, int(std::lround(kEm * m_canvasRatio)));
  UseEngineFont(lf);
  const bool tex = m_texSwitch->isChecked();
  if (!(m_text == m_lastText) || tex != m_lastTex || m_layoutRatio != m_canvasRatio) {
    m_lastText = m_text;
    m_lastTex = tex;
    m_layoutRatio = m_canvasRatio;
    ++m_parseCount;
    m_lexaro.SetText(dc, MarkupOf(m_lastText, tex));
  }
  m_lexaro.TextOutA(dc, CPoint(int(std::lround(point.x() * m_canvasRatio)), int(std::lround(point.y() * m_canvasRatio))));
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
  auto summary = [](const QString& what, size_t count, const std::string& first) {
    return tr("%1 %2 件: %3").arg(what).arg(count).arg(QString::fromStdString(first));
  };
  // What the translation could not take comes first: the markup made of
  // TeX is the translator's, not the user's.
  if (!m_texDiagnostics.empty()) return summary(tr("TeX の診断"), m_texDiagnostics.size(), m_texDiagnostics[0].message);
  const auto& found = m_lexaro.GetDiagnostics();
  return found.empty() ? QString() : summary(tr("診断"), found.size(), found[0].message.str());
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
  ResizeCanvas(width(), height());  // the window may have moved to another screen
  QImage image(reinterpret_cast<const uchar*>(m_canvas->Bits()), m_canvas->Width(), m_canvas->Height(),
               m_canvas->BytesPerLine(), QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(m_canvasRatio);
  QPainter painter(this);
  painter.drawImage(QPointF(0, 0), image);
}

void CLexaroDemoView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ResizeCanvas(width(), height());
}

void CLexaroDemoView::SetAliased(bool aliased) {
  m_aliased = aliased;
  if (m_canvas) gallery::SetDrawingMode(*m_canvas, aliased);
}

// A new surface of the view's size in device pixels that keeps what was
// drawn.
void CLexaroDemoView::ResizeCanvas(int width, int height) {
  double ratio = std::clamp(devicePixelRatioF(), 0.25, 16.0);
  width = CanvasSide(width, ratio);
  height = CanvasSide(height, ratio);
  if (m_canvas && m_canvas->Width() == width && m_canvas->Height() == height && m_canvasRatio == ratio) return;
  auto canvas = std::make_unique<CRasterDC>(width, height, CLR_TRANSPARENT);
  canvas->SetResolution(int(std::lround(logicalDpiY() * ratio)));
  m_canvasRatio = ratio;
  gallery::SetDrawingMode(*canvas, m_aliased);
  if (m_canvas) {
    int w = std::min(width, m_canvas->Width()), h = std::min(height, m_canvas->Height());
    for (int y = 0; y < h; ++y)
      std::copy_n(m_canvas->Bits() + size_t(y) * m_canvas->Width(), w, canvas->Bits() + size_t(y) * width);
  }
  m_canvas = std::move(canvas);
}
