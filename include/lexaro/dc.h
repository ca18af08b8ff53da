// CDC: a device context. It keeps the drawing state (selected font, pen and
// brush, colours, background mode, text alignment, current position, clip
// region) and implements the device-context semantics once; each surface
// (raster, recording, vector) supplies only the primitive hooks below.
#pragma once

#include "lexaro/cstring.h"
#include "lexaro/export.h"
#include "lexaro/gdi.h"
#include "lexaro/types.h"

class CDC;
using HDC = CDC*;

namespace lexaro {
class DrawList;
struct DrawState;
}  // namespace lexaro

// Code pages for the bytes of text drawn with non-symbol fonts.
constexpr int CP_UTF8 = 65001;   // default; a stray byte reads as code page 1252
constexpr int CP_SHIFTJIS = 932;
// The code page that new device contexts start with (process-wide).
LEXARO_API void SetDefaultCodePage(int codePage);
LEXARO_API int GetDefaultCodePage();

// Everything a surface needs to draw one text output.
struct TextOutRequest {
  CPoint point;          // as passed to TextOut
  const char* bytes;
  int count;
  UINT align;            // text-alignment flags in effect
  double originX, originY;  // left end of the baseline, after alignment
  LOGFONT font;
  COLORREF color;
  int bkMode;
  COLORREF bkColor;
  int codePage;
  bool hinting = true;   // fit level glyphs to the pixel grid (raster surfaces)
};

// One vertical stroke of a fill: the line from (x, from) to (x, to), whose
// end pixel is not painted, as MoveTo and LineTo draw it.
struct ColumnStroke {
  int x, from, to;
};

// A pen as a surface sees it: style, width (at least 1) and colour.
struct PenState {
  int style = PS_SOLID;
  int width = 1;
  COLORREF color = 0;
};

class LEXARO_API CDC {
 public:
  // Handles through which the free functions below reach this context; both
  // point at the context itself.
  HDC m_hDC;
  HDC m_hAttribDC;

  CDC();
  virtual ~CDC();
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  // Selection returns the previously selected object (the context's own
  // default object when nothing was selected before).
  CFont* SelectObject(CFont* font);
  CPen* SelectObject(CPen* pen);
  CBrush* SelectObject(CBrush* brush);
  CFont* GetCurrentFont() const { return m_pFont; }
  // The font text is measured and drawn in: the selected font as it was
  // when it was selected.
  const LOGFONT& GetCurrentLogFont() const { return m_lf; }
  CPen* GetCurrentPen() const { return m_pPen; }

  // Clipping: a null region removes the clip (with RGN_COPY); otherwise the
  // region is combined with the current clip. Returns the region kind.
  int SelectClipRgn(CRgn* rgn);
  int SelectClipRgn(CRgn* rgn, int mode);
  int IntersectClipRect(int left, int top, int right, int bottom);
  // The bounding box of what can be painted: the surface, within the clip.
  int GetClipBox(RECT* box) const;
  // The clip region in effect, or null when drawing is not clipped.
  const CRgn* GetClipRegion() const { return m_hasClip ? &m_clip : nullptr; }

  COLORREF SetTextColor(COLORREF color);
  COLORREF GetTextColor() const { return m_textColor; }
  COLORREF SetBkColor(COLORREF color);
  COLORREF GetBkColor() const { return m_bkColor; }
  int SetBkMode(int mode);
  int GetBkMode() const { return m_bkMode; }
  UINT SetTextAlign(UINT flags);
  UINT GetTextAlign() const { return m_textAlign; }
  void SetCodePage(int codePage) { m_codePage = codePage; }
  int GetCodePage() const { return m_codePage; }
  // Whether raster surfaces fit the horizontal stems of level glyphs to
  // whole pixel rows (the default); advances and extents are the same either
  // way, and vector surfaces always draw the fonts' own outlines.
  void SetTextHinting(bool on) { m_textHinting = on; }
  bool GetTextHinting() const { return m_textHinting; }

  // Text: drawn at the point named by the text-alignment flags.
  BOOL TextOut(int x, int y, const char* str, int count);
  BOOL TextOut(int x, int y, const CString& str);
  CSize GetTextExtent(const char* str, int count) const;
  CSize GetTextExtent(const CString& str) const;
  BOOL GetTextMetrics(TEXTMETRIC* tm) const;
  // The drawing work of TextOut(x, y, str, count): the pixels of the boxes
  // of its glyphs' outlines (and of its bands: opaque background, underline,
  // strike-out) within the paintable area, each glyph counted on its own,
  // so marks drawn over one another count once each, and a glyph of a size
  // rendered from its outline each time adds the fixed work of that, in
  // pixels as long to paint. Measured from the outlines' boxes, without
  // rendering.
  long long GetTextInk(int x, int y, const char* str, int count) const;
  // TextOut within a budget of drawing work: when GetTextInk(x, y, str,
  // count) is at most *budget, it is taken from *budget and the text drawn;
  // otherwise *budget becomes 0 and nothing is drawn (FALSE). The same as
  // asking GetTextInk and then calling TextOut, for a request made once.
  // *extent, when given, becomes GetTextExtent(str, count) either way.
  BOOL TextOutWithin(int x, int y, const char* str, int count, long long* budget,
                     CSize* extent = nullptr);
  // Where the glyphs of str in the selected font put ink: the box around
  // their outlines, as {left, top, right, bottom} in logical units from the
  // left end of the baseline, unturned, y downwards. Measured from the
  // outlines, not from rendered pixels, so that a mark drawn to meet a
  // glyph (the bar of a radical) can find the glyph's edge, which need not
  // lie at its advance. FALSE, with box untouched, when no glyph has ink.
  BOOL GetTextOutlineBox(const char* str, int count, double box[4]) const;

  // Lines: from the current position to the end point, which is not painted.
  CPoint MoveTo(int x, int y);
  CPoint MoveTo(POINT p) { return MoveTo(p.x, p.y); }
  BOOL LineTo(int x, int y);
  BOOL LineTo(POINT p) { return LineTo(p.x, p.y); }
  CPoint GetCurrentPosition() const { return m_pos; }
  // Fills: the strokes in the selected pen, each as MoveTo(x, from) and
  // LineTo(x, to) would draw it, in order; the current position ends at the
  // last stroke's end. Surfaces paint a run of them as they see fit.
  BOOL StrokeColumns(const ColumnStroke* strokes, int count);

  // Anti-aliasing, off by default. When on, a surface with pixels of its
  // own (the raster surface) paints solid lines and the shapes of
  // FillConvex with coverage computed from their exact geometry, with the
  // same pixel centres as when off: a level or upright line or rectangle
  // paints exactly the same pixels. Other surfaces ignore it. Answers the
  // setting it replaces.
  bool SetAntialias(bool on);
  bool GetAntialias() const { return m_antialias; }
  // A convex polygon with these corners (3 or 4, in order either way round)
  // filled and outlined in the selected pen, anti-aliased: it covers what
  // the column strokes of its inside and its outline drawn with LineTo
  // would paint. FALSE, without drawing, when anti-aliasing is off, the
  // surface does not paint shapes so, or the corners make no convex polygon
  // with an inside: the caller then draws it stroke by stroke. The current
  // position is not moved.
  BOOL FillConvex(const CPoint* corners, int count);

  // Pixels and areas. GetPixel answers CLR_TRANSPARENT for a fully
  // transparent pixel and CLR_INVALID outside the surface or clip.
  COLORREF SetPixel(int x, int y, COLORREF color);
  COLORREF SetPixel(POINT p, COLORREF color) { return SetPixel(p.x, p.y, color); }
  COLORREF GetPixel(int x, int y) const;
  COLORREF GetPixel(POINT p) const { return GetPixel(p.x, p.y); }
  void FillSolidRect(const RECT* rect, COLORREF color);
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
  BOOL FillRect(const RECT* rect, CBrush* brush);
  // Outline in the selected pen, inside filled with the selected brush.
  BOOL Rectangle(int left, int top, int right, int bottom);
  BOOL Rectangle(const RECT* rect);

  // LOGPIXELSX/LOGPIXELSY answer the resolution; HORZRES/VERTRES the size.
  int GetDeviceCaps(int index) const;

  // Drawing again what was drawn before (lexaro::DrawList). While a list is
  // given to RecordInto, every call this context makes to its surface is
  // also added to it; null stops that. SaveState captures what of this
  // context a drawing may depend on. Replay makes a list's calls again,
  // each with anti-aliasing as it was, and leaves the current position and
  // anti-aliasing at `after`'s: on a context in the state the recording
  // started from, that paints what the recorded drawing painted and leaves
  // the context as it left it.
  void RecordInto(lexaro::DrawList* list) { m_recording = list; }
  // Whether what this context measures and paints follows from its
  // DrawState alone, so that a drawing recorded on it may be replayed on
  // any context in the same state. Surfaces that measure or paint by state
  // of their own answer false, as all do unless they say otherwise.
  virtual bool ReplaysAlike() const { return false; }
  void SaveState(lexaro::DrawState* state) const;
  void Replay(const lexaro::DrawList& list, const lexaro::DrawState& after);

 protected:
  // Primitive hooks of a surface. Coordinates are logical units; clipping
  // against the surface and the clip region is the surface's job.
  virtual void DrawLine(CPoint from, CPoint to, const PenState& pen) = 0;
  virtual void DrawText(const TextOutRequest& request) = 0;
  virtual void DrawPixel(int x, int y, COLORREF color) = 0;
  virtual COLORREF ReadPixel(int x, int y) const = 0;
  virtual void DrawRect(const CRect& rect, COLORREF color) = 0;
  // Column strokes of a fill; by default each one is a DrawLine.
  virtual void DrawColumns(const ColumnStroke* strokes, int count, const PenState& pen);
  // FillConvex on an anti-aliased surface; false when the surface leaves
  // the shape to the strokes (the default).
  virtual bool DrawConvex(const CPoint* /*corners*/, int /*count*/, const PenState& /*pen*/) { return false; }
  virtual int Resolution() const { return 96; }
  // The area a surface can show; surfaces without a size of their own
  // (recording, vector) answer a rectangle reaching 2^29 units each way.
  virtual CRect SurfaceBounds() const;
  // Text measurement; the default uses the real font engine.
  virtual CSize MeasureText(const LOGFONT& font, const char* str, int count) const;
  virtual void MeasureFont(const LOGFONT& font, TEXTMETRIC* tm) const;
  // The pixels of GetTextInk for a request, within clip; the default asks
  // the real font engine for the glyph boxes.
  virtual long long MeasureInk(const TextOutRequest& request, const CRect& clip) const;
  // The box of GetTextOutlineBox in a font; the default asks the real font
  // engine for the glyphs' outlines.
  virtual bool MeasureOutlineBox(const LOGFONT& font, const char* str, int count,
                                 double box[4]) const;
  // TextOutWithin's drawing: draws the request when its work within clip
  // (MeasureInk) is at most budget, and answers that work either way; sets
  // *extent, when given, to the text's extent (MeasureText). By default it
  // is measured, then drawn; a surface may do it all in one walk.
  virtual long long DrawTextCharged(const TextOutRequest& request, const CRect& clip,
                                    long long budget, CSize* extent);

  const LOGFONT& CurrentLogFont() const { return m_lf; }
  const PenState& CurrentPen() const { return m_pen; }

 private:
  // The request TextOut(x, y, str, count) hands to DrawText; *ext, unless
  // ext is null, is the text's extent.
  TextOutRequest MakeRequest(int x, int y, const char* str, int count, CSize* ext) const;
  // After drawing a request of TextOut, moves the current position when the
  // alignment asks for that; ext is the text's extent.
  void MoveAfter(const TextOutRequest& req, CSize ext);

  CFont m_defaultFont;
  CPen m_defaultPen;
  CBrush m_defaultBrush;
  CFont* m_pFont;
  CPen* m_pPen;
  CBrush* m_pBrush;
  LOGFONT m_lf{};
  PenState m_pen;
  COLORREF m_brushColor = 0x00FFFFFF;
  bool m_nullBrush = false;
  COLORREF m_textColor = 0;
  COLORREF m_bkColor = 0x00FFFFFF;
  int m_bkMode = OPAQUE;
  UINT m_textAlign = TA_LEFT | TA_TOP;
  CPoint m_pos;
  bool m_hasClip = false;
  bool m_antialias = false;
  CRgn m_clip;
  int m_codePage;
  bool m_textHinting = true;
  lexaro::DrawList* m_recording = nullptr;
};

// The handle forms of the context operations.
using FONTENUMPROC = int (*)(LOGFONT*, TEXTMETRIC*, unsigned long, long);
LEXARO_API BOOL GetTextMetrics(HDC dc, TEXTMETRIC* tm);
LEXARO_API BOOL GetTextExtentPoint32(HDC dc, const char* str, int count, SIZE* size);
LEXARO_API int GetDeviceCaps(HDC dc, int index);
// Calls proc for the fonts of the given face (one per style) until it
// returns 0; returns the last value proc returned, 1 when it was never called.
LEXARO_API int EnumFonts(HDC dc, const char* face, FONTENUMPROC proc, LPARAM data);

constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
