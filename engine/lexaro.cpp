// CLexaro's public operations and the engine object's lifecycle.
#include <algorithm>
#include <cmath>

#include "engine/engine.h"
#include "engine/saturate.h"
#include "lexaro/numeric.h"

using namespace lexaro::engine;

namespace {

// The diagnostic texts of a failed allocation in layout and in drawing.
constexpr const char* kAnalyzeError = "解析に必要なメモリの確保に失敗しました。";
constexpr const char* kTextOutError = "出力に必要なメモリの確保に失敗しました。";

}  // namespace

CLexaro::Engine::Engine() { CreateTable(); }

void CLexaro::Engine::CreateTable() {
  // The vocabulary is constant data; the parameters are set to their
  // defaults once, by whichever object comes first.
  Params();
}

void CLexaro::Engine::ParamsChanged() { ParamsGeneration().fetch_add(1, std::memory_order_release); }

bool CLexaro::Engine::LayoutIsStale() const {
  return m_stale || m_generation != ParamsGeneration().load(std::memory_order_acquire);
}

// The generation is read before the layout, so a change made while it runs
// (from another thread) still makes the next use lay out again.
void CLexaro::Engine::Analyze() {
  m_generation = ParamsGeneration().load(std::memory_order_acquire);
  m_stale = false;
  m_kept.ready = m_kept.seen = false;
  m_kept.list.Clear();
  if (m_recordDiagnostics)
    m_diag.Begin(std::max(m_givenLength, m_text.GetLength()));
  else
    m_diag.Clear();
  AnalyzeText();
  if (m_recordDiagnostics) FinishDiagnostics();
  m_diagnosed = m_recordDiagnostics;
}

void CLexaro::Engine::AnalyzeErrorBuffer() {
  m_error = 1;
  m_errorText = kAnalyzeError;
}

void CLexaro::Engine::TextOutErrorBuffer() {
  m_error = 1;
  m_errorText = kTextOutError;
}

LX_TXT_STATE CLexaro::Engine::DefaultState() const {
  const ClassParams& p = Params();
  LX_TXT_STATE s{p.def_hAlign, p.def_vAlign, p.def_lf, p.def_txtclr,
                 double(p.spaceChar), double(p.spaceLine), LX_TAG_CODE(0)};
  if (m_ownFont) s.lf = m_font;
  if (m_ownColor) s.txtclr = m_color;
  s.lf.lfEscapement = m_lfEscapement;
  return s;
}

int CLexaro::Engine::SetText(CDC* pDC, const CString& text) {
  m_pDC = pDC;
  m_givenLength = text.GetLength();
  m_text = text.GetLength() > kMaxTextLength ? text.Left(kMaxTextLength) : text;
  if (!pDC) {
    AnalyzeErrorBuffer();
    return 0;
  }
  Analyze();
  return m_error != 1 ? 1 : 0;
}

LX_TXT_EXTENT CLexaro::Engine::GetTextExtent_Ex(CDC* pDC) {
  if (LayoutIsStale() && pDC) {
    m_pDC = pDC;
    Analyze();
  }
  return m_error == 0 ? m_extent : LX_TXT_EXTENT{-1, -1, -1};
}

int CLexaro::Engine::TextOutA(CDC* pDC, CPoint pt) {
  if (!pDC) return 0;
  m_pDC = pDC;
  if (LayoutIsStale()) Analyze();
  if (m_error == 1) return 0;
  double angle = ChangeRad(m_lfEscapement * 0.1);
  SetTurn(angle);
  if (ReplayKeptDrawing(pt)) return 1;
  const int errorBefore = m_error;
  StartKeeping(pt);
  // The surface records no more once the drawing ends, however it ends.
  struct StopRecording {
    CDC* dc;
    ~StopRecording() { dc->RecordInto(nullptr); }
  } stopRecording{pDC};
  m_dataLine.ResetCursor();
  m_dataTag.ResetCursor();
  m_dataTable.ResetCursor();
  m_dataFont.ResetCursor();
  m_readTags.Rewind();
  m_depth = 0;
  m_fontMetrics.Forget();
  m_aveWidthRatio.Forget();
  StartMeter();
  m_signInk = {};
  LX_TXT_STATE state = DefaultState();
  int previousMode = pDC->SetBkMode(TRANSPARENT);
  UINT previousAlign = pDC->SetTextAlign(TA_BASELINE);
  CPoint corner = GetPos_LTop(pt, m_extent, previousAlign);
  TextOut_Multi(0, &state, GetPos_MoveY(corner, m_extent.ascent), m_extent.width);
  pDC->SetTextAlign(previousAlign);
  pDC->SetBkMode(previousMode);
  FinishKeeping(errorBefore);
  return m_error != 1 ? 1 : 0;
}

CString CLexaro::Engine::GetFormalText(const CString& text, const CString& separator) {
  CStringTool lines;
  lines.SetText(&text, separator);
  CString out, line;
  while (lines.Gets(&line)) out += line.TrimLeft();
  return out;
}

CLexaro::CLexaro() : m_engine(std::make_unique<Engine>()) {}
CLexaro::~CLexaro() = default;

int CLexaro::SetText(CDC* pDC, CString text) { return m_engine->SetText(pDC, text); }
int CLexaro::TextOutA(CDC* pDC, CPoint pt) { return m_engine->TextOutA(pDC, pt); }
int CLexaro::TextOutA(CDC* pDC, int x, int y) { return m_engine->TextOutA(pDC, CPoint(x, y)); }
CString CLexaro::GetText() { return m_engine->m_text; }

CSize CLexaro::GetTextExtent(CDC* pDC) {
  LX_TXT_EXTENT e = m_engine->GetTextExtent_Ex(pDC);
  // Negative margins may make a valid layout narrower than nothing; only a
  // failed layout answers (-1, -1).
  if (m_engine->m_error != 0) return CSize(-1, -1);
  return CSize(e.width, lexaro::engine::Sat((long long)e.ascent + e.descent));
}

LX_TXT_EXTENT CLexaro::GetTextExtent_Ex(CDC* pDC) { return m_engine->GetTextExtent_Ex(pDC); }

CString CLexaro::GetFormalText(const CString& text, CString separator) {
  return Engine::GetFormalText(text, separator);
}

void CLexaro::SetParam_LOGFONT(const LOGFONT& lf) {
  Params().def_lf = lf;
  Engine::ParamsChanged();
}

void CLexaro::SetParam_lfHeight(long height) {
  // Beyond the largest em the layout works with, a height means that em.
  Params().def_lf.lfHeight = ClampEm(height);
  Engine::ParamsChanged();
}

void CLexaro::SetParam_SubPtRatio(int ratio) {
  Params().Sub_ptRatio = ratio;
  Engine::ParamsChanged();
}

void CLexaro::SetParam_SpaceLine(int space) {
  Params().spaceLine = space;
  Engine::ParamsChanged();
}

void CLexaro::SetParam_TextColor(COLORREF color) {
  Params().def_txtclr = color;
  Engine::ParamsChanged();
}

void CLexaro::SetDebugBoxes(bool on) { m_engine->m_debugBoxes = on; }

void CLexaro::SetFont(const LOGFONT& lf) {
  m_engine->m_font = lf;
  m_engine->m_font.lfHeight = ClampEm(lf.lfHeight);
  m_engine->m_ownFont = true;
  m_engine->m_stale = true;
}

void CLexaro::SetTextColor(COLORREF color) {
  m_engine->m_color = color;
  m_engine->m_ownColor = true;
  m_engine->m_stale = true;
}

// Angles repeat every 3600 tenths of a degree: reducing keeps a long's
// angle exactly instead of cutting it to 32 bits.
void CLexaro::SetParam_lfEscapement(long escapement) {
  m_engine->m_lfEscapement = int(escapement % 3600);
}
