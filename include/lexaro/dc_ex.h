// CDC_Ex: the drawing toolkit over a device context. It keeps a solid pen
// and an invisible pen of the same width (1 to 3) and colour, and draws
// styled lines itself, one pixel step at a time, switching between the two
// pens by a repeating on/off pattern; it fills convex quadrilaterals and
// triangles column by column, and draws circles, arrows, point markers and
// colour-keyed copies. Every stroke goes through the CDC interface
// (SelectObject, MoveTo, LineTo, SetPixel, GetPixel), so the same code draws
// on any surface; the previously selected pen is always reselected.
//
// Work is bounded by what can show: steps, columns and outline segments
// outside the device context's clip box are not drawn, and a skipped stretch
// leaves the pattern position and the current position exactly as if it had
// been walked.
#pragma once

#include "lexaro/cstring.h"
#include "lexaro/dc.h"
#include "lexaro/export.h"
#include "lexaro/gdi.h"
#include "lexaro/pen_data.h"
#include "lexaro/types.h"

class LEXARO_API CDC_Ex {
 public:
  int m_lPattern;       // DE_PENSTYLE_CODE that LineTo follows
  int m_pWidth;         // width of both pens, 1 to 3 once a pen was created
  CPoint m_curPoint;    // where the next patterned line starts
  int m_patternPos;     // position within the pattern period
  CPen m_pen;           // solid, m_pWidth wide, m_pColor
  CPen m_nullPen;       // invisible, same width and colour
  COLORREF m_pColor;
  COLORREF m_backColor;  // fill colour of the point markers

  // Pen style names in code order; built once per process, safe to build
  // from any object on any thread.
  static CString m_pStyleTable[7];
  static int m_CreateTable;  // 1 once m_pStyleTable is filled
  // A fill reaching in from far left of the clip walks up to this many
  // hidden columns one by one to reach the visible ones, so that its edges
  // round as in a full walk; beyond, it jumps. Part of a fill's work.
  static constexpr long long kExactColumns = 1LL << 20;

  // Both pens start empty: nothing is drawn until CreatePen.
  CDC_Ex();
  virtual ~CDC_Ex();
  CDC_Ex(const CDC_Ex&) = delete;
  CDC_Ex& operator=(const CDC_Ex&) = delete;

  void CreateTable();
  void CreatePStyleTable();
  // The style code of a name, ignoring case; DE_PS_INVALID when none matches.
  DE_PENSTYLE_CODE GetPStyleCode(CString name);

  void CreatePen(const CPenData& pen);
  // Width is clamped to 1..3; style becomes the line pattern.
  void CreatePen(int style, int width, unsigned long color);
  void DeletePen();
  void SetLPattern(int style);
  void SetBackColor(unsigned long color);

  // Moves the current position and restarts the pattern.
  void MoveTo(CDC* dc, int x, int y);
  void MoveTo(CDC* dc, const CPoint& point);
  // The patterned line from m_curPoint; the pattern continues from the
  // previous line. The end point itself is not painted.
  void LineTo(CDC* dc, int x, int y);
  void LineTo(CDC* dc, const CPoint& point);
  // Starts at (x1, y1) without restarting the pattern.
  void LineTo(CDC* dc, int x1, int y1, int x2, int y2);
  // One stroke with its own pen, pattern restarted; a pen of width 0 or
  // colour CLR_TRANSPARENT only moves the device context to (x2, y2).
  void LineTo(CDC* dc, int x1, int y1, int x2, int y2, const CPenData& pen);
  void LineTo(CDC* dc, const CPoint& p1, const CPoint& p2, const CPenData& pen);

  // How a pen's width is shared around a centre line.
  int GetPWidth_Top(const CPenData& pen);
  int GetPWidth_Bottom(const CPenData& pen);
  int GetPWidth_Left(const CPenData& pen);
  int GetPWidth_Right(const CPenData& pen);

  // Stable bubble sort by ascending x.
  void SortPoint(int count, CPoint* points);

  // Quadrilaterals in the selected pen: outline a-b-c-d-a, and fill plus
  // outline. The coloured form uses a 1-wide pen and draws nothing for
  // CLR_TRANSPARENT.
  void DrawSquare(CDC* dc, const CPoint& a, const CPoint& b, const CPoint& c, const CPoint& d);
  void DrawSquareCover(CDC* dc, const CPoint& a, const CPoint& b, const CPoint& c, const CPoint& d);
  void DrawSquareCover(CDC* dc, const CPoint& a, const CPoint& b, const CPoint& c, const CPoint& d,
                       const COLORREF& color);

  // Triangles in the selected pen; the coloured form uses a 1-wide pen.
  void DrawTriangle(CDC* dc, const CPoint& a, const CPoint& b, const CPoint& c);
  void DrawTriangleCover(CDC* dc, const CPoint& a, const CPoint& b, const CPoint& c);
  void DrawTriangleCover(CDC* dc, const CPoint& a, const CPoint& b, const CPoint& c,
                         const COLORREF& color);
  // A filled triangle only when all points lie within 19 units of each other.
  void DrawTriangle_alpha(CDC* dc, CPoint a, CPoint b, CPoint c);
  // An outlined triangle only when all points lie within 1 unit of each other.
  void DrawTriangleCover_alpha(CDC* dc, CPoint a, CPoint b, CPoint c);

  // Circles of diameter d around c in the selected pen; d < 0 draws nothing.
  void DrawCircle(CDC* dc, CPoint c, int d);
  void DrawCircle_X(CDC* dc, CPoint c, int d);
  void DrawCircleCover(CDC* dc, CPoint c, int d);

  // A shaft from tail to tip and a head of the kind (0-8) at the tip, size
  // long, its sides opening by angle degrees from the shaft.
  void DrawArrow(CDC* dc, CPoint tip, CPoint tail, int kind, int size, int angle);

  // Point markers of kinds 1-13 (circles, squares, diamonds, triangles,
  // cross), flat and shaded.
  void DrawPoint(CDC* dc, int x, int y, int size, int kind);
  void DrawPoint3D(CDC* dc, int x, int y, int size, int kind);
  // Lightens a colour: level 0 by 3/4, 1 by 1/2, 2 by 2/5 of the way to
  // white; other levels leave it unchanged.
  COLORREF Get3DColor(COLORREF color, int level);

  // Copies a width x height block from src (sx, sy) to dst (x, y), leaving
  // out the pixels of the transparent colour.
  void BitBlt_Trans(CDC* dst, int x, int y, int width, int height, CDC* src, int sx, int sy,
                    COLORREF transparent);
};
