// The toolkit page: sections of labelled samples drawn through CDC_Ex on a
// raster surface.
#include "tools/toolkit_page.h"

#include <cmath>

#include "lexaro/lexaro.h"

namespace {

constexpr COLORREF kLabel = RGB(70, 70, 70);
constexpr COLORREF kHeading = RGB(20, 40, 110);
constexpr COLORREF kInk = RGB(30, 60, 150);
constexpr COLORREF kAccent = RGB(190, 50, 40);
constexpr COLORREF kFill = RGB(250, 215, 120);
constexpr COLORREF kGreen = RGB(40, 130, 70);

void Label(CDC& dc, int x, int y, const CString& text, COLORREF color = kLabel, int height = -12,
           int weight = FW_NORMAL) {
  LOGFONT lf{};
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfQuality = ANTIALIASED_QUALITY;
  SetFaceName(lf, "DejaVu Sans");
  CFont font;
  font.CreateFontIndirect(&lf);
  CFont* old = dc.SelectObject(&font);
  dc.SetTextColor(color);
  dc.TextOut(x, y, text);
  dc.SelectObject(old);
}

void Heading(CDC& dc, int x, int y, const char* text) {
  Label(dc, x, y, text, kHeading, -14, FW_BOLD);
  CPen rule(PS_SOLID, 1, RGB(200, 205, 220));
  CPen* old = dc.SelectObject(&rule);
  dc.MoveTo(x, y + 19);
  dc.LineTo(x + 430, y + 19);
  dc.SelectObject(old);
}

CString Number(int n) {
  CString s;
  s.Format("%d", n);
  return s;
}

// A corner of a w x h rectangle around c turned by degrees.
CPoint Turned(CPoint c, double w, double h, double degrees, int corner) {
  const double sx[4] = {-1, 1, 1, -1}, sy[4] = {-1, -1, 1, 1};
  const double a = degrees * M_PI / 180, x = sx[corner] * w / 2, y = sy[corner] * h / 2;
  return CPoint(c.x + int(std::lround(x * std::cos(a) - y * std::sin(a))),
                c.y + int(std::lround(x * std::sin(a) + y * std::cos(a))));
}

void PenStyles(CDC& dc, CDC_Ex& ex, int x, int y) {
  Heading(dc, x, y, "Pen styles at widths 1, 2 and 3");
  const char* names[] = {"solid", "dashed", "dotted", "dashdotted", "dashdotdotted"};
  for (int w = 1; w <= 3; ++w) Label(dc, x + 110 + (w - 1) * 110, y + 26, "width " + Number(w));
  for (int s = 0; s < 5; ++s) {
    const int row = y + 52 + s * 22;
    Label(dc, x, row - 7, names[s]);
    for (int w = 1; w <= 3; ++w) {
      const int left = x + 110 + (w - 1) * 110;
      ex.LineTo(&dc, left, row, left + 96, row, CPenData(DE_PENSTYLE_CODE(s), w, kInk));
    }
  }
  // A patterned polyline: the pattern runs on around the corners.
  const int top = y + 166;
  Label(dc, x, top + 8, "dashdotted path");
  ex.CreatePen(DE_PS_DASHDOTTED, 2, kAccent);
  ex.MoveTo(&dc, x + 110, top + 30);
  ex.LineTo(&dc, x + 180, top);
  ex.LineTo(&dc, x + 260, top + 30);
  ex.LineTo(&dc, x + 340, top);
  ex.LineTo(&dc, x + 416, top + 30);
}

void Quadrilaterals(CDC& dc, CDC_Ex& ex, int x, int y) {
  Heading(dc, x, y, "Quadrilaterals and triangles");
  const int cy = y + 80;
  const CPoint centres[3] = {{x + 45, cy}, {x + 135, cy}, {x + 225, cy}};
  const double turns[3] = {0, 25, 60};
  for (int k = 0; k < 3; ++k) {
    CPoint p[4];
    for (int c = 0; c < 4; ++c) p[c] = Turned(centres[k], 64, 42, turns[k], c);
    ex.DrawSquareCover(&dc, p[0], p[1], p[2], p[3], kFill);
  }
  // Outlined in the toolkit's 2-wide pen.
  ex.CreatePen(DE_PS_SOLID, 2, kInk);
  CPen* old = dc.SelectObject(&ex.m_pen);
  CPoint p[4];
  for (int c = 0; c < 4; ++c) p[c] = Turned(CPoint(x + 135, cy), 64, 42, 25, c);
  ex.DrawSquare(&dc, p[0], p[1], p[2], p[3]);
  ex.DrawTriangle(&dc, CPoint(x + 290, cy + 30), CPoint(x + 330, cy - 34), CPoint(x + 360, cy + 24));
  dc.SelectObject(old);
  ex.DrawTriangleCover(&dc, CPoint(x + 380, cy + 30), CPoint(x + 410, cy - 34),
                       CPoint(x + 440, cy + 18), kGreen);
  Label(dc, x + 15, cy + 44, "filled");
  Label(dc, x + 95, cy + 44, "filled, outlined");
  Label(dc, x + 200, cy + 44, "turned 60");
  Label(dc, x + 300, cy + 44, "triangles");
}

void Circles(CDC& dc, CDC_Ex& ex, int x, int y) {
  Heading(dc, x, y, "Circles");
  const int cy = y + 70;
  ex.CreatePen(DE_PS_SOLID, 1, kInk);
  CPen* old = dc.SelectObject(&ex.m_pen);
  for (int k = 0; k < 4; ++k) ex.DrawCircle(&dc, CPoint(x + 40, cy), 12 + k * 16);
  ex.DrawCircle_X(&dc, CPoint(x + 140, cy), 60);
  CPen fill(PS_SOLID, 1, kFill);
  dc.SelectObject(&fill);
  ex.DrawCircleCover(&dc, CPoint(x + 235, cy), 61);
  ex.CreatePen(DE_PS_SOLID, 3, kAccent);
  dc.SelectObject(&ex.m_pen);
  ex.DrawCircle(&dc, CPoint(x + 330, cy), 58);
  dc.SelectObject(old);
  for (int d = 1; d <= 9; d += 2) ex.DrawPoint(&dc, x + 380 + d * 6, cy, d, 3);
  Label(dc, x + 8, cy + 40, "outlines");
  Label(dc, x + 110, cy + 40, "with a cross");
  Label(dc, x + 215, cy + 40, "filled");
  Label(dc, x + 300, cy + 40, "3 wide");
  Label(dc, x + 384, cy + 40, "small");
}

void Markers(CDC& dc, CDC_Ex& ex, int x, int y) {
  Heading(dc, x, y, "Point markers 1-13, flat and shaded");
  auto column = [x](int kind) { return x + 70 + (kind - 1) * 29; };
  ex.CreatePen(DE_PS_SOLID, 1, kInk);
  ex.SetBackColor(RGB(255, 250, 225));
  Label(dc, x, y + 54, "flat");
  for (int kind = 1; kind <= 13; ++kind) {
    Label(dc, column(kind) - (kind < 10 ? 4 : 7), y + 28, Number(kind));
    ex.DrawPoint(&dc, column(kind), y + 62, 21, kind);
  }
  Label(dc, x, y + 88, "shaded");
  ex.CreatePen(DE_PS_SOLID, 1, RGB(40, 90, 200));
  for (int kind = 1; kind <= 13; ++kind) ex.DrawPoint3D(&dc, column(kind), y + 96, 23, kind);
  Label(dc, x, y + 140, "size 41");
  ex.CreatePen(DE_PS_SOLID, 1, kAccent);
  const int big[] = {3, 6, 8, 10, 12};
  for (int k = 0; k < 5; ++k) ex.DrawPoint3D(&dc, x + 100 + k * 75, y + 148, 41, big[k]);
}

void Arrows(CDC& dc, CDC_Ex& ex, int x, int y) {
  Heading(dc, x, y, "Arrows, kinds 0-8");
  ex.CreatePen(DE_PS_SOLID, 2, kInk);
  for (int kind = 0; kind <= 8; ++kind) {
    const int cx = x + 24 + kind * 47;
    Label(dc, cx - 4, y + 28, Number(kind));
    ex.DrawArrow(&dc, CPoint(cx, y + 50), CPoint(cx, y + 120), kind, 20, 25);
  }
  // Other directions, head sizes and patterned shafts.
  const int row = y + 160;
  ex.DrawArrow(&dc, CPoint(x + 120, row), CPoint(x + 10, row), 3, 16, 20);
  ex.DrawArrow(&dc, CPoint(x + 150, row + 30), CPoint(x + 230, row - 18), 6, 20, 30);
  ex.CreatePen(DE_PS_DASHED, 1, kAccent);
  ex.DrawArrow(&dc, CPoint(x + 420, row - 16), CPoint(x + 260, row + 26), 0, 14, 35);
  ex.CreatePen(DE_PS_DOTTED, 2, kGreen);
  ex.DrawArrow(&dc, CPoint(x + 260, row - 16), CPoint(x + 420, row + 26), 4, 22, 20);
  Label(dc, x + 10, row + 34, "filled head");
  Label(dc, x + 140, row + 34, "notched head");
  Label(dc, x + 270, row + 34, "dashed and dotted shafts");
}

void KeyedCopy(CDC& dc, CDC_Ex& ex, int x, int y) {
  Heading(dc, x, y, "Colour-keyed copy");
  // A stamp drawn on magenta, copied without the magenta.
  const COLORREF key = RGB(255, 0, 255);
  CRasterDC stamp(60, 60, key);
  ex.CreatePen(DE_PS_SOLID, 1, kAccent);
  ex.SetBackColor(kFill);
  ex.DrawPoint(&stamp, 30, 30, 50, 7);
  ex.DrawPoint(&stamp, 30, 30, 18, 3);
  ex.BitBlt_Trans(&dc, x + 10, y + 30, 60, 60, &stamp, 0, 0, CLR_INVALID);
  Label(dc, x + 4, y + 96, "the stamp");
  dc.FillSolidRect(x + 110, y + 30, 320, 60, RGB(225, 235, 250));
  for (int k = 0; k < 4; ++k)
    ex.BitBlt_Trans(&dc, x + 120 + k * 78, y + 30, 60, 60, &stamp, 0, 0, key);
  Label(dc, x + 170, y + 96, "copied without magenta");
}

}  // namespace

bool WriteToolkitPage(const std::string& dir, std::string* error) {
  CRasterDC dc(940, 650, RGB(255, 255, 255));
  dc.SetBkMode(TRANSPARENT);
  CDC_Ex ex;
  Label(dc, 20, 12, "Lexaro drawing toolkit", RGB(0, 0, 0), -18, FW_BOLD);
  PenStyles(dc, ex, 20, 50);
  Circles(dc, ex, 480, 50);
  Quadrilaterals(dc, ex, 20, 290);
  Arrows(dc, ex, 480, 200);
  Markers(dc, ex, 20, 460);
  KeyedCopy(dc, ex, 480, 460);
  return dc.SavePng(dir + "/toolkit.png", error);
}
