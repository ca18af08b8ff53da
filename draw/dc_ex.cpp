// CDC_Ex: construction, the pen style table, pens, the current point and the
// stroke forms of LineTo that start a fresh pattern.
#include "lexaro/dc_ex.h"

#include <algorithm>
#include <mutex>

namespace {

constexpr const char* kStyleNames[7] = {
    "solid", "dashed", "dotted", "dashdotted", "dashdotdotted", "none", "double",
};

std::once_flag g_tableBuilt;

}  // namespace

CString CDC_Ex::m_pStyleTable[7];
int CDC_Ex::m_CreateTable = 0;

CDC_Ex::CDC_Ex()
    : m_lPattern(DE_PS_SOLID),
      m_pWidth(1),
      m_curPoint(0, 0),
      m_patternPos(0),
      m_pColor(0),
      m_backColor(0x00FFFFFF) {
  CreateTable();
}

CDC_Ex::~CDC_Ex() { DeletePen(); }

void CDC_Ex::CreateTable() {
  std::call_once(g_tableBuilt, [this] {
    CreatePStyleTable();
    m_CreateTable = 1;
  });
}

void CDC_Ex::CreatePStyleTable() {
  // Entries that already hold their name are not written again, so building
  // the table a second time cannot disturb a reader on another thread.
  for (int i = 0; i < 7; ++i)
    if (m_pStyleTable[i] != kStyleNames[i]) m_pStyleTable[i] = kStyleNames[i];
}

DE_PENSTYLE_CODE CDC_Ex::GetPStyleCode(CString name) {
  CreateTable();
  name.MakeLower();
  for (int i = 0; i < 7; ++i)
    if (m_pStyleTable[i] == name) return DE_PENSTYLE_CODE(i);
  return DE_PS_INVALID;
}

void CDC_Ex::CreatePen(const CPenData& pen) { CreatePen(pen.m_style, pen.m_width, pen.m_color); }

void CDC_Ex::CreatePen(int style, int width, unsigned long color) {
  width = std::clamp(width, 1, 3);
  m_lPattern = style;
  m_pWidth = width;
  m_pColor = COLORREF(color);
  DeletePen();
  m_pen.CreatePen(PS_SOLID, width, m_pColor);
  m_nullPen.CreatePen(PS_NULL, width, m_pColor);
}

void CDC_Ex::DeletePen() {
  if (!m_pen.IsNull()) m_pen.DeleteObject();
  if (!m_nullPen.IsNull()) m_nullPen.DeleteObject();
}

void CDC_Ex::SetLPattern(int style) { m_lPattern = style; }

void CDC_Ex::SetBackColor(unsigned long color) { m_backColor = COLORREF(color); }

void CDC_Ex::MoveTo(CDC* dc, int x, int y) {
  if (!dc) return;
  dc->MoveTo(x, y);
  m_curPoint = CPoint(x, y);
  m_patternPos = 0;
}

void CDC_Ex::MoveTo(CDC* dc, const CPoint& point) { MoveTo(dc, point.x, point.y); }

void CDC_Ex::LineTo(CDC* dc, const CPoint& point) { LineTo(dc, point.x, point.y); }

void CDC_Ex::LineTo(CDC* dc, int x1, int y1, int x2, int y2) {
  if (!dc) return;
  dc->MoveTo(x1, y1);
  m_curPoint = CPoint(x1, y1);
  LineTo(dc, x2, y2);
}

void CDC_Ex::LineTo(CDC* dc, int x1, int y1, int x2, int y2, const CPenData& pen) {
  if (!dc) return;
  if (pen.m_color == CLR_TRANSPARENT || pen.m_width <= 0) {
    dc->MoveTo(x2, y2);
    return;
  }
  CreatePen(pen);
  MoveTo(dc, x1, y1);
  LineTo(dc, x2, y2);
}

void CDC_Ex::LineTo(CDC* dc, const CPoint& p1, const CPoint& p2, const CPenData& pen) {
  LineTo(dc, p1.x, p1.y, p2.x, p2.y, pen);
}

int CDC_Ex::GetPWidth_Top(const CPenData& pen) { return pen.m_width / 2; }

int CDC_Ex::GetPWidth_Bottom(const CPenData& pen) { return int((pen.m_width - 1LL) / 2); }

int CDC_Ex::GetPWidth_Left(const CPenData& pen) { return int((pen.m_width - 1LL) / 2); }

int CDC_Ex::GetPWidth_Right(const CPenData& pen) {
  const int w = pen.m_width;
  return w % 2 != 0 && w != 1 ? w / 2 + 1 : w / 2;
}
