// Backgrounds and four-sided borders of boxes. Each side is moved inward by
// the part of its width that would stick out of the box.
#include "engine/engine.h"

void CLexaro::Engine::DrawBgColor(const CPoint& p1, const CPoint& p2, const CPoint& p3,
                                  const CPoint& p4, const unsigned long& color) {
  if (COLORREF(color) != CLR_TRANSPARENT && SpendInk_Fill(p1, p2, p3, p4))
    m_dcEx.DrawSquareCover(m_pDC, p1, p2, p3, p4, COLORREF(color));
}

namespace {

// A side without width draws nothing: DrawLine only moves the current
// position to its end, which is b, as the side's insets are all 0.
bool Unruled(CDC* dc, const CPenData& pen, CPoint b) {
  if (pen.m_width != 0) return false;
  dc->MoveTo(b);
  return true;
}

}  // namespace

void CLexaro::Engine::DrawBorder(CPoint (*vtx)[2], const CBorderData& border) {
  // Four sides without width only move the current position, and the last
  // of them leaves it at the bottom right corner.
  if (lexaro::engine::NoRules(border)) {
    m_pDC->MoveTo(vtx[1][1]);
    return;
  }
  DrawVBorder(vtx[0][0], vtx[1][0], border.m_left);
  DrawVBorder(vtx[0][1], vtx[1][1], border.m_right);
  DrawBorderTop(vtx[0][0], vtx[0][1], border.m_top);
  DrawBorderBtm(vtx[1][0], vtx[1][1], border.m_bottom);
}

void CLexaro::Engine::DrawBorderTop(CPoint a, CPoint b, const CPenData& pen) {
  if (Unruled(m_pDC, pen, b)) return;
  a = GetPos_MoveX(a, m_dcEx.GetPWidth_Left(pen));
  b = GetPos_MoveX(b, -m_dcEx.GetPWidth_Right(pen));
  int down = m_dcEx.GetPWidth_Top(pen);
  DrawLine(GetPos_MoveY(a, down), GetPos_MoveY(b, down), pen);
}

void CLexaro::Engine::DrawBorderBtm(CPoint a, CPoint b, const CPenData& pen) {
  if (Unruled(m_pDC, pen, b)) return;
  a = GetPos_MoveX(a, m_dcEx.GetPWidth_Left(pen));
  b = GetPos_MoveX(b, -m_dcEx.GetPWidth_Right(pen));
  int up = m_dcEx.GetPWidth_Bottom(pen);
  DrawLine(GetPos_MoveY(a, -up), GetPos_MoveY(b, -up), pen);
}

void CLexaro::Engine::DrawVBorder(CPoint a, CPoint b, const CPenData& pen) {
  if (Unruled(m_pDC, pen, b)) return;
  DrawLine(GetPos_MoveY(a, m_dcEx.GetPWidth_Top(pen)),
                GetPos_MoveY(b, -m_dcEx.GetPWidth_Bottom(pen)), pen);
}
