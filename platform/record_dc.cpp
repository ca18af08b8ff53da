#include "lexaro/record_dc.h"

#include <algorithm>
#include <cmath>

#include "platform/font/text_run.h"

namespace {

LONG RoundHalfAway(double v) { return LONG(v < 0 ? -std::floor(-v + 0.5) : std::floor(v + 0.5)); }

// The em height of a font in the synthetic metrics: a negative height is the
// em itself, a positive one the cell height, 0 the default of 16.
double SyntheticEm(const LOGFONT& font, const SyntheticFont& f) {
  if (font.lfHeight < 0) return -double(font.lfHeight);
  if (font.lfHeight > 0) return font.lfHeight / (f.ascent + f.descent);
  return 16.0;
}

}  // namespace

void CRecordDC::UseSyntheticFont(const SyntheticFont& font) {
  m_font = font;
  m_synthetic = true;
}

void CRecordDC::DrawLine(CPoint from, CPoint to, const PenState& pen) {
  RecordedOp op{};
  op.kind = RecordedOp::Line;
  op.from = from;
  op.to = to;
  op.pen = pen;
  op.color = pen.color;
  m_ops.push_back(op);
}

void CRecordDC::DrawText(const TextOutRequest& req) {
  RecordedOp op{};
  op.kind = RecordedOp::Text;
  op.from = req.point;
  op.text = CString(req.bytes, req.count);
  op.originX = req.originX;
  op.originY = req.originY;
  op.font = req.font;
  op.color = req.color;
  op.align = req.align;
  op.bkMode = req.bkMode;
  m_ops.push_back(op);
}

void CRecordDC::DrawPixel(int x, int y, COLORREF color) {
  RecordedOp op{};
  op.kind = RecordedOp::Pixel;
  op.from = CPoint(x, y);
  op.color = color;
  m_ops.push_back(op);
}

COLORREF CRecordDC::ReadPixel(int x, int y) const {
  for (auto it = m_ops.rbegin(); it != m_ops.rend(); ++it) {
    if (it->kind == RecordedOp::Pixel && it->from == CPoint(x, y)) return it->color;
    if (it->kind == RecordedOp::Fill && it->rect.PtInRect(CPoint(x, y))) return it->color;
  }
  return m_unset;
}

void CRecordDC::DrawRect(const CRect& rect, COLORREF color) {
  RecordedOp op{};
  op.kind = RecordedOp::Fill;
  op.rect = rect;
  op.color = color;
  m_ops.push_back(op);
}

void CRecordDC::MeasureFont(const LOGFONT& font, TEXTMETRIC* tm) const {
  if (!m_synthetic) return CDC::MeasureFont(font, tm);
  double em = SyntheticEm(font, m_font);
  *tm = TEXTMETRIC{};
  tm->tmAscent = RoundHalfAway(em * m_font.ascent);
  tm->tmDescent = RoundHalfAway(em * m_font.descent);
  tm->tmHeight = tm->tmAscent + tm->tmDescent;
  tm->tmInternalLeading = RoundHalfAway(em * m_font.internalLeading);
  tm->tmAveCharWidth = RoundHalfAway(em * m_font.advance);
  tm->tmMaxCharWidth = tm->tmAveCharWidth;
  tm->tmWeight = font.lfWeight;
  tm->tmItalic = font.lfItalic;
  tm->tmUnderlined = font.lfUnderline;
  tm->tmStruckOut = font.lfStrikeOut;
  tm->tmCharSet = font.lfCharSet;
  tm->tmDigitizedAspectX = tm->tmDigitizedAspectY = Resolution();
}

CSize CRecordDC::MeasureText(const LOGFONT& font, const char* str, int count) const {
  if (!m_synthetic) return CDC::MeasureText(font, str, count);
  TEXTMETRIC tm;
  MeasureFont(font, &tm);
  double em = SyntheticEm(font, m_font);
  long long width = 0;
  for (int i = 0; i < count; ++i) {
    auto b = static_cast<unsigned char>(str[i]);
    width += RoundHalfAway(em * (m_font.byteAdvance ? m_font.byteAdvance(b) : m_font.advance));
  }
  return CSize(int(width), tm.tmHeight);
}

long long CRecordDC::MeasureInk(const TextOutRequest& req, const CRect& clip) const {
  if (!m_synthetic) return CDC::MeasureInk(req, clip);
  // A synthetic glyph's ink is its cell: the run's advance from ascent to
  // descent, turned by the escapement.
  TEXTMETRIC tm;
  MeasureFont(req.font, &tm);
  double w = MeasureText(req.font, req.bytes, req.count).cx;
  double angle = req.font.lfEscapement * (M_PI / 1800.0);
  double dx = std::cos(angle), dy = -std::sin(angle), downX = -dy, downY = dx;
  double xs[4], ys[4];
  for (int i = 0; i < 4; ++i) {
    double along = i & 1 ? w : 0, across = i & 2 ? double(tm.tmDescent) : -double(tm.tmAscent);
    xs[i] = req.originX + along * dx + across * downX;
    ys[i] = req.originY + along * dy + across * downY;
  }
  return lexaro::font::AreaWithin(std::floor(*std::min_element(xs, xs + 4)),
                                  std::floor(*std::min_element(ys, ys + 4)),
                                  std::ceil(*std::max_element(xs, xs + 4)),
                                  std::ceil(*std::max_element(ys, ys + 4)), clip);
}

bool CRecordDC::MeasureOutlineBox(const LOGFONT& font, const char* str, int count,
                                  double box[4]) const {
  if (!m_synthetic) return CDC::MeasureOutlineBox(font, str, count, box);
  TEXTMETRIC tm;
  MeasureFont(font, &tm);
  int width = MeasureText(font, str, count).cx;
  if (width <= 0 || tm.tmHeight <= 0) return false;
  box[0] = 0, box[1] = -tm.tmAscent, box[2] = width, box[3] = tm.tmDescent;
  return true;
}
