// CLexaroDemoView: the demo's form. A left click on its free area draws the
// markup of the edit box at the click point, turned by the angle; a right
// click clears. What is drawn is kept in an image of the view's size until a
// right click or the Clear button, so covering the window loses nothing.
// With the TeX switch on, the edit box holds TeX math, translated into
// markup before it is drawn.
#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "lexaro/controls.h"
#include "lexaro/tex.h"

class CLexaroDemoView : public QWidget {
  Q_OBJECT

 public:
  explicit CLexaroDemoView(QWidget* parent = nullptr);
  ~CLexaroDemoView() override;

  // Resets the members, the engine's font and the controls, as for a new
  // document.
  void OnInitialUpdate();
  // Between the members and the controls: save reads the controls.
  void UpdateData(bool save);

  // The handlers of the form's buttons and of the mouse.
  void OnSample(int id);
  void OnClear();
  void OnLButtonDown(const QPoint& point);
  void OnRButtonDown();

  // The control with an identifier of resource.h or a sample button.
  QWidget* Control(int id) const { return findChild<QWidget*>(QString::number(id)); }
  QPlainTextEdit* MarkupEdit() const { return m_textEdit; }
  QLineEdit* AngleEdit() const { return m_angleEdit; }
  QCheckBox* TexSwitch() const { return m_texSwitch; }
  const CString& Text() const { return m_text; }
  int Angle() const { return m_angle; }
  // What has been drawn, in device pixels (the view's size times its device
  // pixel ratio).
  const CRasterDC& Canvas() const { return *m_canvas; }
  // How often the markup was handed to the engine.
  int ParseCount() const { return m_parseCount; }
  void SetSamplesDir(const std::string& dir) { m_samplesDir = dir; }
  // Lines and fills aliased, as the library draws them by default, instead
  // of the programs' anti-aliased ones; applies from the next drawing.
  void SetAliased(bool aliased);

 signals:
  // A message for the status bar.
  void Message(const QString& text);
  // After each drawing: the count and first message of the drawn text's
  // diagnostics, or empty when it has none.
  void Diagnosed(const QString& summary);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void BuildForm();
  void ResizeCanvas(int width, int height);
  // The markup the engine is given for the text of the edit box.
  CString MarkupOf(const CString& text, bool tex);
  // The status bar's line for the drawn text's diagnostics, empty for none.
  QString DiagnosticSummary() const;

  CString m_text;
  int m_angle = 0;
  CStatic_LX* m_label = nullptr;
  CButton_LX* m_button = nullptr;
  CButton_LX_Ex* m_check = nullptr;
  CButton_LX_Ex* m_radio[3] = {};
  int m_lastAngle = 0;
  CString m_lastText;
  bool m_lastTex = false;
  std::vector<lexaro::TexDiagnostic> m_texDiagnostics;  // of the text drawn as TeX
  CLexaro m_lexaro;
  CString m_newline;

  LOGFONT m_lf{};  // the engine's default font for drawings on the view
  QPlainTextEdit* m_textEdit = nullptr;
  QLineEdit* m_angleEdit = nullptr;
  QCheckBox* m_texSwitch = nullptr;
  std::unique_ptr<CRasterDC> m_canvas;  // what has been drawn, in device pixels
  double m_canvasRatio = 1;             // device pixels per logical pixel of the canvas
  double m_layoutRatio = 0;             // the ratio the text was laid out at
  int m_parseCount = 0;
  std::string m_samplesDir;
  bool m_aliased = false;
};
