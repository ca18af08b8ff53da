// Extent sums, and the alignments along the rotated text axes from which
// the positions of the render pass start (the moves are inline, engine.h).
#include <algorithm>

#include "engine/engine.h"
#include "engine/saturate.h"
#include "lexaro/numeric.h"

using lexaro::engine::Sat;

void CLexaro::Engine::AddExtent(LX_TXT_EXTENT* sum, const LX_TXT_EXTENT& item) {
  sum->width = Sat((long long)sum->width + item.width);
  sum->ascent = std::max(sum->ascent, item.ascent);
  sum->descent = std::max(sum->descent, item.descent);
}

CPoint CLexaro::Engine::GetPos_LTop(CPoint p, const LX_TXT_EXTENT& ext, unsigned int flags) const {
  if ((flags & 6) == 2)
    p = GetPos_MoveX(p, -double(ext.width));
  else if ((flags & 6) == 6)
    p = GetPos_MoveX(p, -double(ext.width) * 0.5);
  if ((flags & 24) == 8)
    p = GetPos_MoveY(p, -(double(ext.ascent) + ext.descent));
  else if ((flags & 24) == 24)
    p = GetPos_MoveY(p, -double(ext.ascent));
  return p;
}

void CLexaro::Engine::DrawDebugBox(CPoint p, const LX_TXT_EXTENT& ext, COLORREF color) {
  if (ext.width <= 0 || (long long)ext.ascent + ext.descent <= 0) return;
  // The last column and row of the box, so that the outline lies inside it.
  CPoint top = GetPos_MoveY(p, -double(ext.ascent));
  CPoint corners[4] = {top, GetPos_MoveX(top, ext.width - 1.0),
                       GetPos_MoveX(GetPos_MoveY(p, ext.descent - 1.0), ext.width - 1.0),
                       GetPos_MoveY(p, ext.descent - 1.0)};
  CPen pen(PS_SOLID, 1, color);
  CPen* previous = m_pDC->SelectObject(&pen);
  CPoint position = m_pDC->MoveTo(corners[3]);
  for (const CPoint& corner : corners) {
    // Each side is charged as a line; one beyond the budget is left out.
    if (SpendInk({m_pDC->GetCurrentPosition(), corner}, 1))
      m_pDC->LineTo(corner);
    else
      m_pDC->MoveTo(corner);
  }
  m_pDC->MoveTo(position);
  m_pDC->SelectObject(previous);
}
