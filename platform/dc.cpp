#include "lexaro/dc.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <typeinfo>
#include <cmath>
#include <utility>

#include "platform/draw_list.h"
#include "platform/font/font_engine.h"
#include "platform/font/text_run.h"
#include "platform/text_outline.h"

namespace {

std::atomic<int> g_defaultCodePage{CP_UTF8};

// Extent of a surface without a size of its own: large, but far from the
// limits of 32-bit arithmetic.
constexpr int kUnbounded = 1 << 29;

}  // namespace

void SetDefaultCodePage(int codePage) { g_defaultCodePage = codePage; }
int GetDefaultCodePage() { return g_defaultCodePage; }

CDC::CDC() : m_hDC(this), m_hAttribDC(this), m_codePage(g_defaultCodePage) {
  LOGFONT lf{};
  lf.lfHeight = -16;
  lf.lfWeight = FW_NORMAL;
  m_defaultFont.CreateFontIndirect(&lf);
  m_defaultFont.GetLogFont(&m_lf);
  m_defaultPen.CreatePen(PS_SOLID, 1, 0);
  m_defaultBrush.CreateSolidBrush(0x00FFFFFF);
  m_pFont = &m_defaultFont;
  m_pPen = &m_defaultPen;
  m_pBrush = &m_defaultBrush;
}

CDC::~CDC() = default;

CFont* CDC::SelectObject(CFont* font) {
  if (!font || font->IsNull()) return nullptr;
  CFont* previous = m_pFont;
  m_pFont = font;
  font->GetLogFont(&m_lf);
  return previous;
}

CPen* CDC::SelectObject(CPen* pen) {
  if (!pen || pen->IsNull()) return nullptr;
  CPen* previous = m_pPen;
  m_pPen = pen;
  m_pen = PenState{pen->GetStyle(), pen->GetWidth(), pen->GetColor()};
  return previous;
}

CBrush* CDC::SelectObject(CBrush* brush) {
  if (!brush || brush->IsNull()) return nullptr;
  CBrush* previous = m_pBrush;
  m_pBrush = brush;
  m_brushColor = brush->GetColor();
  return previous;
}

int CDC::SelectClipRgn(CRgn* rgn) { return SelectClipRgn(rgn, RGN_COPY); }

int CDC::SelectClipRgn(CRgn* rgn, int mode) {
  if (!rgn || rgn->IsNull()) {
    if (mode != RGN_COPY) return ERROR;
    m_hasClip = false;
    m_clip.DeleteObject();
    return SIMPLEREGION;
  }
  if (mode == RGN_COPY) {
    m_clip.CopyRgn(rgn);
  } else {
    // Without a clip the whole surface is the current clip region.
    CRgn current;
    if (m_hasClip) {
      current.CopyRgn(&m_clip);
    } else {
      CRect b = SurfaceBounds();
      current.CreateRectRgn(b.left, b.top, b.right, b.bottom);
    }
    if (m_clip.CombineRgn(&current, rgn, mode) == ERROR) return ERROR;
  }
  m_hasClip = true;
  return m_clip.Kind();
}

int CDC::IntersectClipRect(int left, int top, int right, int bottom) {
  CRgn r;
  r.CreateRectRgn(left, top, right, bottom);
  return SelectClipRgn(&r, RGN_AND);
}

CRect CDC::SurfaceBounds() const { return CRect(-kUnbounded, -kUnbounded, kUnbounded, kUnbounded); }

int CDC::GetClipBox(RECT* box) const {
  if (!box) return ERROR;
  CRect bounds = SurfaceBounds();
  if (!m_hasClip) {
    *box = bounds;
    return bounds.IsRectEmpty() ? NULLREGION : SIMPLEREGION;
  }
  CRect clip;
  m_clip.GetRgnBox(&clip);
  CRect visible;
  visible.IntersectRect(bounds, clip);
  *box = visible;
  return visible.IsRectEmpty() ? NULLREGION : m_clip.Kind();
}

COLORREF CDC::SetTextColor(COLORREF color) {
  COLORREF previous = m_textColor;
  m_textColor = color;
  return previous;
}

COLORREF CDC::SetBkColor(COLORREF color) {
  COLORREF previous = m_bkColor;
  m_bkColor = color;
  return previous;
}

int CDC::SetBkMode(int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  int previous = m_bkMode;
  m_bkMode = mode;
  return previous;
}

UINT CDC::SetTextAlign(UINT flags) {
  UINT previous = m_textAlign;
  m_textAlign = flags;
  return previous;
}

TextOutRequest CDC::MakeRequest(int x, int y, const char* str, int count, CSize* ext) const {
  const bool updateCp = (m_textAlign & TA_UPDATECP) != 0;
  CPoint pt = updateCp ? m_pos : CPoint(x, y);
  // Only what the alignment needs is measured, and the extent when asked
  // for: a run aligned on the left end of its baseline measures nothing.
  const UINT horizontal = m_textAlign & TA_CENTER, vertical = m_textAlign & TA_BASELINE;
  CSize size;
  if (ext || horizontal != TA_LEFT) size = MeasureText(m_lf, str, count);
  if (ext) *ext = size;

  // Baseline direction and the direction "down" from it, both turned by the
  // escapement (counter-clockwise on a y-down surface).
  double dx, dy;
  lexaro::font::BaselineDirection(m_lf.lfEscapement, &dx, &dy);
  double downX = -dy, downY = dx;
  double along = 0, across = 0;
  switch (horizontal) {
    case TA_RIGHT: along = -size.cx; break;
    case TA_CENTER: along = -(size.cx / 2); break;
    default: break;
  }
  if (vertical != TA_BASELINE) {
    TEXTMETRIC tm{};
    MeasureFont(m_lf, &tm);
    across = vertical == TA_BOTTOM ? -tm.tmDescent : tm.tmAscent;
  }
  return TextOutRequest{pt, str, count, m_textAlign,
                        pt.x + along * dx + across * downX, pt.y + along * dy + across * downY,
                        m_lf, m_textColor, m_bkMode, m_bkColor, m_codePage, m_textHinting};
}

BOOL CDC::TextOut(int x, int y, const char* str, int count) {
  if (count < 0 || (count > 0 && !str)) return FALSE;
  if (count == 0) return TRUE;
  CSize ext;
  const TextOutRequest req = MakeRequest(x, y, str, count, (m_textAlign & TA_UPDATECP) ? &ext : nullptr);
  if (m_recording) m_recording->AddText(req, m_antialias);
  DrawText(req);
  MoveAfter(req, ext);
  return TRUE;
}

void CDC::MoveAfter(const TextOutRequest& req, CSize ext) {
  if (m_textAlign & TA_UPDATECP) {
    double angle = m_lf.lfEscapement * (M_PI / 1800.0);
    double dx = std::cos(angle), dy = -std::sin(angle);
    double move = (m_textAlign & TA_CENTER) == TA_RIGHT ? -ext.cx
                  : (m_textAlign & TA_CENTER) == TA_CENTER ? 0 : ext.cx;
    m_pos = CPoint(int(std::lround(req.point.x + move * dx)), int(std::lround(req.point.y + move * dy)));
  }
}

BOOL CDC::TextOutWithin(int x, int y, const char* str, int count, long long* budget, CSize* extent) {
  if (count <= 0 || !str || !budget) {
    if (extent) *extent = GetTextExtent(str, count);
    return budget ? TextOut(x, y, str, count) : FALSE;
  }
  CSize ext;
  const bool measured = (m_textAlign & TA_UPDATECP) != 0;
  const TextOutRequest req = MakeRequest(x, y, str, count, measured ? &ext : nullptr);
  CSize* wanted = extent && !measured ? &ext : nullptr;
  CRect clip;
  long long ink = 0;
  if (GetClipBox(&clip) == NULLREGION || clip.IsRectEmpty()) {
    if (m_recording) m_recording->AddText(req, m_antialias);
    DrawText(req);  // nothing shows, and nothing is charged
    if (wanted) *wanted = MeasureText(m_lf, str, count);
  } else {
    if (m_recording) m_recording->AddTextCharged(req, clip, *budget, wanted != nullptr, m_antialias);
    ink = DrawTextCharged(req, clip, *budget, wanted);
  }
  if (extent) *extent = ext;
  if (ink > *budget) {
    *budget = 0;
    return FALSE;
  }
  *budget -= ink;
  MoveAfter(req, ext);
  return TRUE;
}

long long CDC::DrawTextCharged(const TextOutRequest& request, const CRect& clip, long long budget,
                               CSize* extent) {
  if (extent) *extent = MeasureText(request.font, request.bytes, request.count);
  const long long ink = MeasureInk(request, clip);
  if (ink <= budget) DrawText(request);
  return ink;
}

long long CDC::GetTextInk(int x, int y, const char* str, int count) const {
  if (count <= 0 || !str) return 0;
  CRect clip;
  if (GetClipBox(&clip) == NULLREGION || clip.IsRectEmpty()) return 0;
  return MeasureInk(MakeRequest(x, y, str, count, nullptr), clip);
}

long long CDC::MeasureInk(const TextOutRequest& request, const CRect& clip) const {
  return lexaro::font::MeasureInk(request, clip);
}

BOOL CDC::GetTextOutlineBox(const char* str, int count, double box[4]) const {
  if (!str || count <= 0 || !box) return FALSE;
  LOGFONT font = m_lf;
  font.lfEscapement = 0;
  return MeasureOutlineBox(font, str, count, box) ? TRUE : FALSE;
}

bool CDC::MeasureOutlineBox(const LOGFONT& font, const char* str, int count, double box[4]) const {
  return lexaro::font::OutlineBox(font, str, count, m_codePage, box);
}

BOOL CDC::TextOut(int x, int y, const CString& str) {
  return TextOut(x, y, str.GetString(), str.GetLength());
}

CSize CDC::GetTextExtent(const char* str, int count) const {
  if (!str || count < 0) count = 0;
  return MeasureText(m_lf, str ? str : "", count);
}

CSize CDC::GetTextExtent(const CString& str) const {
  return GetTextExtent(str.GetString(), str.GetLength());
}

BOOL CDC::GetTextMetrics(TEXTMETRIC* tm) const {
  if (!tm) return FALSE;
  MeasureFont(m_lf, tm);
  return TRUE;
}

CSize CDC::MeasureText(const LOGFONT& font, const char* str, int count) const {
  return lexaro::font::MeasureText(font, str, count, m_codePage);
}

void CDC::MeasureFont(const LOGFONT& font, TEXTMETRIC* tm) const {
  lexaro::font::GetMetrics(font, tm);
}

CPoint CDC::MoveTo(int x, int y) {
  CPoint previous = m_pos;
  m_pos = CPoint(x, y);
  return previous;
}

BOOL CDC::LineTo(int x, int y) {
  CPoint to(x, y);
  if (m_pen.style != PS_NULL) {
    if (m_recording) m_recording->AddLine(m_pos, to, m_pen, m_antialias);
    DrawLine(m_pos, to, m_pen);
  }
  m_pos = to;
  return TRUE;
}

BOOL CDC::StrokeColumns(const ColumnStroke* strokes, int count) {
  if (!strokes || count <= 0) return FALSE;
  if (m_pen.style != PS_NULL) {
    if (m_recording) m_recording->AddColumns(strokes, count, m_pen, m_antialias);
    DrawColumns(strokes, count, m_pen);
  }
  m_pos = CPoint(strokes[count - 1].x, strokes[count - 1].to);
  return TRUE;
}

bool CDC::SetAntialias(bool on) { return std::exchange(m_antialias, on); }

BOOL CDC::FillConvex(const CPoint* corners, int count) {
  if (!m_antialias || !corners || count < 3 || count > 4) return FALSE;
  if (m_recording) m_recording->AddConvex(corners, count, m_pen, m_antialias);
  return DrawConvex(corners, count, m_pen) ? TRUE : FALSE;
}

void CDC::DrawColumns(const ColumnStroke* strokes, int count, const PenState& pen) {
  for (int i = 0; i < count; ++i)
    DrawLine(CPoint(strokes[i].x, strokes[i].from), CPoint(strokes[i].x, strokes[i].to), pen);
}

COLORREF CDC::SetPixel(int x, int y, COLORREF color) {
  if (m_hasClip && !m_clip.PtInRegion(x, y)) return CLR_INVALID;
  if (m_recording) m_recording->AddPixel(x, y, color, m_antialias);
  DrawPixel(x, y, color);
  return color;
}

COLORREF CDC::GetPixel(int x, int y) const {
  if (m_hasClip && !m_clip.PtInRegion(x, y)) return CLR_INVALID;
  return ReadPixel(x, y);
}

void CDC::FillSolidRect(const RECT* rect, COLORREF color) {
  if (!rect) return;
  CRect r(*rect);
  r.NormalizeRect();
  if (r.IsRectEmpty()) return;
  if (m_recording) m_recording->AddRect(r, color, m_antialias);
  DrawRect(r, color);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color) {
  // The far edges saturate instead of wrapping around.
  auto edge = [](int a, int b) {
    return int(std::clamp<long long>((long long)a + b, INT_MIN, INT_MAX));
  };
  CRect r(x, y, edge(x, cx), edge(y, cy));
  FillSolidRect(&r, color);
}

BOOL CDC::FillRect(const RECT* rect, CBrush* brush) {
  if (!rect || !brush || brush->IsNull()) return FALSE;
  FillSolidRect(rect, brush->GetColor());
  return TRUE;
}

BOOL CDC::Rectangle(int left, int top, int right, int bottom) {
  CRect r(left, top, right, bottom);
  r.NormalizeRect();
  // Sizes in 64 bits: Width() and Height() overflow for huge rectangles.
  if ((long long)r.right - r.left < 2 || (long long)r.bottom - r.top < 2) return FALSE;
  const CRect inside(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
  if (m_recording) m_recording->AddRect(inside, m_brushColor, m_antialias);
  DrawRect(inside, m_brushColor);
  if (m_pen.style != PS_NULL) {
    CPoint c[4] = {{r.left, r.top}, {r.right - 1, r.top}, {r.right - 1, r.bottom - 1},
                   {r.left, r.bottom - 1}};
    for (int i = 0; i < 4; ++i) {
      if (m_recording) m_recording->AddLine(c[i], c[(i + 1) % 4], m_pen, m_antialias);
      DrawLine(c[i], c[(i + 1) % 4], m_pen);
    }
  }
  return TRUE;
}

BOOL CDC::Rectangle(const RECT* rect) {
  return rect ? Rectangle(rect->left, rect->top, rect->right, rect->bottom) : FALSE;
}

int CDC::GetDeviceCaps(int index) const {
  switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY: return Resolution();
    case HORZRES: return SurfaceBounds().Width();
    case VERTRES: return SurfaceBounds().Height();
    default: return 0;
  }
}

void CDC::SaveState(lexaro::DrawState* state) const {
  lexaro::DrawState& s = *state;
  s.kind = &typeid(*this);
  s.bounds = SurfaceBounds();
  s.resolution = Resolution();
  s.font = m_lf;
  s.pen = m_pen;
  s.brushColor = m_brushColor;
  s.nullBrush = m_nullBrush;
  s.selected[0] = m_pFont, s.selected[1] = m_pPen, s.selected[2] = m_pBrush;
  s.textColor = m_textColor, s.bkColor = m_bkColor;
  s.bkMode = m_bkMode;
  s.textAlign = m_textAlign;
  s.position = m_pos;
  s.antialias = m_antialias, s.hinting = m_textHinting;
  s.codePage = m_codePage;
  s.clipped = m_hasClip;
  if (m_hasClip)
    s.clip = m_clip.Rects();
  else
    s.clip.clear();
}

void CDC::Replay(const lexaro::DrawList& list, const lexaro::DrawState& after) {
  using Kind = lexaro::DrawList::Kind;
  CSize extent;
  for (const lexaro::DrawList::Item& item : list.m_items) {
    m_antialias = item.antialias;
    switch (item.kind) {
      case Kind::Text:
      case Kind::TextCharged: {
        TextOutRequest req = item.request;
        req.bytes = list.m_bytes.data() + item.first;
        if (item.kind == Kind::Text)
          DrawText(req);
        else
          DrawTextCharged(req, item.clip, item.budget, item.wantsExtent ? &extent : nullptr);
        break;
      }
      case Kind::Line: DrawLine(item.points[0], item.points[1], item.pen); break;
      case Kind::Columns: DrawColumns(list.m_columns.data() + item.first, item.count, item.pen); break;
      case Kind::Convex: DrawConvex(item.points, item.count, item.pen); break;
      case Kind::Pixel: DrawPixel(item.points[0].x, item.points[0].y, item.color); break;
      case Kind::Rect: DrawRect(item.clip, item.color); break;
    }
  }
  m_antialias = after.antialias;
  m_pos = after.position;
}

BOOL GetTextMetrics(HDC dc, TEXTMETRIC* tm) { return dc ? dc->GetTextMetrics(tm) : FALSE; }

BOOL GetTextExtentPoint32(HDC dc, const char* str, int count, SIZE* size) {
  if (!dc || !size) return FALSE;
  *size = dc->GetTextExtent(str, count);
  return TRUE;
}

int GetDeviceCaps(HDC dc, int index) { return dc ? dc->GetDeviceCaps(index) : 0; }

int EnumFonts(HDC dc, const char* face, FONTENUMPROC proc, LPARAM data) {
  if (!dc || !proc) return 0;
  return lexaro::font::EnumFaces(face ? face : "", proc, data);
}
