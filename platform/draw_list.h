// A drawing kept as the calls a device context made to its surface's
// primitives (text runs, lines, column strokes, shapes, pixels, rectangles),
// so that the same drawing can be painted again by making the same calls,
// without the work that chose them. The calls are the whole of what a
// drawing paints: made again on a surface whose state (DrawState) is the
// same, they paint the same pixels the drawing itself would.
#pragma once

#include <cstddef>
#include <string>
#include <typeinfo>
#include <vector>

#include "lexaro/dc.h"

namespace lexaro {

// What of a device context a drawing may read or paint with: its kind and
// size, its attributes and selections, its clip and current position.
struct DrawState {
  const std::type_info* kind = nullptr;
  CRect bounds;
  int resolution = 0;
  LOGFONT font{};
  PenState pen;
  COLORREF brushColor = 0;
  bool nullBrush = false;
  const void* selected[3] = {};  // the font, pen and brush objects
  COLORREF textColor = 0, bkColor = 0;
  int bkMode = 0;
  UINT textAlign = 0;
  CPoint position;
  bool antialias = false, hinting = false;
  int codePage = 0;
  bool clipped = false;
  std::vector<CRect> clip;

  // Equal states, the selected objects aside: the context copies what it
  // draws with, so which objects hold it does not change a drawing.
  bool Same(const DrawState& o) const;
  // The same, the current position aside too.
  bool SameBesidesPosition(const DrawState& o) const;
};

class DrawList {
 public:
  // Bounds of one list: past them a recording is given up (Overflowed),
  // so a list holds at most about 600 KiB whatever it draws.
  static constexpr std::size_t kMaxItems = 2048;
  static constexpr std::size_t kMaxBytes = 64 * 1024;
  static constexpr std::size_t kMaxColumns = 8192;

  void Clear();
  bool Empty() const { return m_items.empty(); }
  bool Overflowed() const { return m_overflow; }

  // The calls, as a device context makes them while recording into this
  // list (`antialias` is the context's setting when the call is made).
  void AddText(const TextOutRequest& request, bool antialias);
  void AddTextCharged(const TextOutRequest& request, const CRect& clip, long long budget,
                      bool wantsExtent, bool antialias);
  void AddLine(CPoint from, CPoint to, const PenState& pen, bool antialias);
  void AddColumns(const ColumnStroke* strokes, int count, const PenState& pen, bool antialias);
  void AddConvex(const CPoint* corners, int count, const PenState& pen, bool antialias);
  void AddPixel(int x, int y, COLORREF color, bool antialias);
  void AddRect(const CRect& rect, COLORREF color, bool antialias);

 private:
  friend class ::CDC;
  enum class Kind : unsigned char { Text, TextCharged, Line, Columns, Convex, Pixel, Rect };
  struct Item {
    Kind kind;
    bool antialias;
    bool wantsExtent = false;
    int count = 0;             // corners, or column strokes from `first`
    std::size_t first = 0;     // the text's bytes in m_bytes, or strokes in m_columns
    TextOutRequest request{};  // text (bytes null: they are at `first`)
    CRect clip;                // charged text's clip, or a rectangle
    long long budget = 0;
    CPoint points[4];          // a line's ends, a shape's corners, a pixel
    PenState pen;
    COLORREF color = 0;        // a pixel's or rectangle's
  };
  Item* Add(Kind kind, bool antialias);

  std::vector<Item> m_items;
  std::string m_bytes;
  std::vector<ColumnStroke> m_columns;
  bool m_overflow = false;
};

}  // namespace lexaro
