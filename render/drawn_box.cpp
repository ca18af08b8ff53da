#include "render/drawn_box.h"

#include <algorithm>
#include <cmath>

#include "platform/font/text_run.h"

namespace lexaro::render {

void DrawnBoxDC::Add(double left, double top, double right, double bottom) {
  m_box[0] = std::min(m_box[0], left), m_box[1] = std::min(m_box[1], top);
  m_box[2] = std::max(m_box[2], right), m_box[3] = std::max(m_box[3], bottom);
}

CRect DrawnBoxDC::Box() const {
  if (m_box[0] > m_box[2]) return CRect(0, 0, 0, 0);
  // Far beyond any image: clamped, so that the box stays in int and its
  // size still tells it is too large.
  auto edge = [](double v) { return int(std::clamp(v, -1e9, 1e9)); };
  return CRect(edge(std::floor(m_box[0])), edge(std::floor(m_box[1])), edge(std::ceil(m_box[2])),
               edge(std::ceil(m_box[3])));
}

void DrawnBoxDC::DrawLine(CPoint from, CPoint to, const PenState& pen) {
  // A wide pen paints about half its width on either side of the line, and
  // anti-aliased edges a pixel more.
  const double reach = pen.width / 2.0 + 2;
  Add(std::min(from.x, to.x) - reach, std::min(from.y, to.y) - reach, std::max(from.x, to.x) + reach,
      std::max(from.y, to.y) + reach);
}

void DrawnBoxDC::DrawText(const TextOutRequest& request) {
  double box[4];
  if (lexaro::font::PaintedBox(request, box)) Add(box[0], box[1], box[2], box[3]);
}

void DrawnBoxDC::DrawPixel(int x, int y, COLORREF) { Add(x, y, x + 1.0, y + 1.0); }

void DrawnBoxDC::DrawRect(const CRect& rect, COLORREF) {
  if (!rect.IsRectEmpty()) Add(rect.left, rect.top, rect.right, rect.bottom);
}

}  // namespace lexaro::render
