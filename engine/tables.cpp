// TABLE, TR and TD: a grid of cells, each holding markup of its own.
//
// The layout finds rows and cells, measures every cell, sizes columns and
// rows, settles which pen draws each grid line where neighbouring cells
// disagree, and places the table against the surrounding line. The render
// fills backgrounds and draws contents cell by cell, then strokes the grid.
//
// Sizes come from the markup and may be anything, so sums are kept in 64
// bits and clamped where they become extents. Work and memory grow with the
// number of cells and with rows + columns, never with rows x columns: a
// single long row beside many short ones stays cheap.
#include <algorithm>
#include <climits>
#include <memory>
#include <new>
#include <vector>

#include "engine/em_share.h"
#include "engine/engine.h"
#include "engine/saturate.h"
#include "lexaro/numeric.h"

using namespace lexaro::engine;
using Engine = CLexaro::Engine;

namespace {


// Scratch memory of both passes. The allocation hook counts as memory, so
// tests can make any of these fail; failure is an answer, not an exception.
bool MayAllocate() { return !g_allocationHook || g_allocationHook(); }

template <typename T>
bool Append(std::vector<T>* v, const T& x) {
  if (v->size() == v->capacity()) {
    if (!MayAllocate()) return false;
    try {
      v->reserve(std::max<size_t>(8, v->capacity() * 2));
    } catch (const std::exception&) {
      return false;
    }
  }
  v->push_back(x);
  return true;
}

template <typename T>
std::unique_ptr<T[]> NewArray(size_t n) {
  if (!MayAllocate()) return nullptr;
  return std::unique_ptr<T[]>(new (std::nothrow) T[std::max<size_t>(n, 1)]());
}

// ---------------------------------------------------------------- layout --

// A cell or row as measured, with the border its properties gave it; the
// borders are only needed until the grid lines are settled.
struct CellDraft {
  LX_TABLE_CELL cell;
  CBorderData border;
};

struct RowDraft {
  LX_TABLE_ROW row;
  CBorderData border;
  size_t firstCell;  // index of the row's first cell in TableDraft::cells
};

struct TableDraft {
  std::vector<LX_TABLE_COL> cols;
  std::vector<RowDraft> rows;
  std::vector<CellDraft> cells;
  int topLine = 1;
};

LX_TABLE_CELL EmptyCell() {
  return LX_TABLE_CELL{{0, 0, 0}, LX_VA_BASELINE, CPoint(), CRect(), CPenData(), CPenData(),
                       CLR_TRANSPARENT, 0, CPenData(), 0};
}

// The cell grows its row: padded ascent and descent, then the row height
// the cell asks for, split evenly above and below (an odd unit is lost).
void GrowRow(LX_TABLE_ROW* row, const LX_TXT_EXTENT& x, const CRect& pad, int height) {
  long long ascent = std::max<long long>(row->ascent, (long long)x.ascent + pad.top);
  long long descent = std::max<long long>(row->descent, (long long)x.descent + pad.bottom);
  long long extra = height - (ascent + descent);
  if (extra > 0) {
    ascent += extra / 2;
    descent += extra / 2;
  }
  row->ascent = Sat(ascent);
  row->descent = Sat(descent);
}

// Column k is as wide as its widest padded cell, or its widest `width`.
bool GrowColumn(TableDraft* d, size_t k, int width) {
  if (k < d->cols.size()) {
    d->cols[k].width = std::max(d->cols[k].width, width);
    return true;
  }
  return Append(&d->cols, LX_TABLE_COL{width, CPenData()});
}

// Lays out the cell whose TD start tag was just read; returns where the
// search for the next cell goes on.
int ReadCell(Engine& e, int idx, LX_TXT_STATE* state, const LX_TAG_PROPERTY& rowProp, int em,
             RowDraft* row, TableDraft* d) {
  LX_TAG_PROPERTY prop;
  e.SetDefaultTagProperty(&prop, LX_TC_TD, state, 0, &rowProp);
  e.GetTagProperty(&prop);
  CellDraft c{EmptyCell(), prop.style.border};
  c.cell.startIdx = idx;
  c.cell.offset = EmShare(em, prop.style.position);
  c.cell.padding = EmShare(em, prop.style.padding);
  c.cell.vAlign = prop.vAlign;
  c.cell.bgColor = prop.bgColor;
  LX_TXT_STATE copy = e.NestedState(state, LX_TC_TD, prop.hAlign);
  c.cell.extent = e.AnalyzeText_Multi(idx, &copy, &c.cell.endIdx);
  const LX_TXT_EXTENT& x = c.cell.extent;
  const CRect& pad = c.cell.padding;
  GrowRow(&row->row, x, pad, prop.height);
  int width = std::max(Sat((long long)x.width + pad.left + pad.right), prop.width);
  if (GrowColumn(d, row->row.cellCount, width) && Append(&d->cells, c))
    ++row->row.cellCount;
  else
    e.AnalyzeErrorBuffer();
  return std::max(c.cell.endIdx, idx);
}

// Reads the rows of the table from idx; returns the index past the
// table's end tag (or the text length when it has none). Text outside the
// cells is passed over by the tag searches.
int ReadRows(Engine& e, int idx, LX_TXT_STATE* state, const LX_TAG_PROPERTY& tableProp, int em,
             TableDraft* d) {
  LX_TAG_PROPERTY rowProp;
  while (e.m_error == 0) {
    int found = -1;
    idx = e.FindPart(LX_TC_TR, 1, LX_TC_TABLE, 0, &found, idx);
    if (found != 0) break;
    e.SetDefaultTagProperty(&rowProp, LX_TC_TR, state, 0, &tableProp);
    e.GetTagProperty(&rowProp);
    RowDraft row{LX_TABLE_ROW{0, 0, 0, 1, CPenData(), 0}, rowProp.style.border, d->cells.size()};
    while (e.m_error == 0) {
      found = -1;
      idx = e.FindPart(LX_TC_TD, 1, LX_TC_TR, 0, &found, idx);
      if (found != 0) break;
      idx = ReadCell(e, idx, state, rowProp, em, &row, d);
    }
    row.row.endIdx = idx;
    if (!Append(&d->rows, row)) e.AnalyzeErrorBuffer();
  }
  return idx;
}

// Settles the pen of every grid line. A side a cell only inherited gives
// way to the side its neighbour set for itself: a lower cell's top over
// the upper cell's inherited bottom, a right cell's left over the left
// cell's inherited right. A horizontal line is as high as its widest pen.
//
// Where a row has fewer cells than its neighbour above or below, the cell
// that has no neighbour still closes its side of the grid: the upper one
// with its bottom pen, the lower one with its top pen.
bool ResolvePens(TableDraft* d, const CBorderData& table) {
  auto above = NewArray<CellDraft*>(d->cols.size());
  if (!above) return false;
  RowDraft* prev = nullptr;
  int prevCount = 0;
  for (size_t r = 0; r < d->rows.size(); ++r) {
    RowDraft& row = d->rows[r];
    const bool last = r + 1 == d->rows.size();
    row.row.lineBelow = 1;
    for (int c = row.row.cellCount; c < prevCount; ++c) {
      if (!above[c]) continue;
      prev->row.lineBelow = std::max(prev->row.lineBelow, above[c]->cell.bottomPen.m_width);
      above[c] = nullptr;
    }
    for (int c = 0; c < row.row.cellCount; ++c) {
      CellDraft& cell = d->cells[row.firstCell + c];
      const CBorderData& b = cell.border;
      cell.cell.topPen = b.m_top;
      if (r == 0) {
        d->cols[c].topPen = b.m_top;
        d->topLine = std::max(d->topLine, b.m_top.m_width);
      } else if (CellDraft* up = above[c]) {
        const CPenData& inherited = prev->border.m_bottom;
        if (up->cell.bottomPen == inherited && inherited == table.m_bottom && b.m_top != table.m_bottom)
          up->cell.bottomPen = b.m_top;
        prev->row.lineBelow = std::max(prev->row.lineBelow, up->cell.bottomPen.m_width);
      } else {
        prev->row.lineBelow = std::max(prev->row.lineBelow, b.m_top.m_width);
      }
      cell.cell.bottomPen = b.m_bottom;
      above[c] = &cell;
      if (last) row.row.lineBelow = std::max(row.row.lineBelow, b.m_bottom.m_width);
      if (c == 0) {
        row.row.leftPen = b.m_left;
      } else {
        CPenData& left = d->cells[row.firstCell + c - 1].cell.rightPen;
        if (left == row.border.m_right && b.m_left != row.border.m_right) left = b.m_left;
      }
      cell.cell.rightPen = b.m_right;
    }
    prev = &row;
    prevCount = row.row.cellCount;
  }
  return true;
}

// The grid's height above and below the surrounding baseline. With an odd
// number of rows the middle row's baseline is the table's; with an even
// number the boundary between the halves sits em / 2 - descent above it.
void VerticalSize(const TableDraft& d, int em, int fontDescent, long long* up, long long* down) {
  const size_t rows = d.rows.size(), h = rows / 2;
  long long line = d.topLine;  // the line above the current row
  *up = *down = 0;
  for (size_t r = 0; r < rows; ++r) {
    const LX_TABLE_ROW& row = d.rows[r].row;
    long long whole = line + row.ascent + row.descent;
    if (r < h) {
      *up += whole;
    } else if (r == h && rows % 2 == 1) {
      *up += line + row.ascent;
      *down += row.descent;
    } else {
      *down += whole;
    }
    line = row.lineBelow;
  }
  *down += line;
  if (rows % 2 == 0) {
    long long a = em / 2 - fontDescent;
    *up += a;
    *down -= a;
  }
}

// Every column takes its width plus 1 for the line to its left; the last
// line adds 1 more.
long long GridWidth(const TableDraft& d) {
  long long w = 1;
  for (const LX_TABLE_COL& col : d.cols) w += (long long)col.width + 1;
  return w;
}

template <typename T>
bool CopyInto(CList_Ex<T>* list, const T& value) {
  if (list->AddTail(value)) return true;
  list->SetError();
  return false;
}

bool StoreLists(LX_DATA_TABLE* table, const TableDraft& d) {
  for (const LX_TABLE_COL& col : d.cols)
    if (!CopyInto(&table->colList, col)) return false;
  for (const RowDraft& row : d.rows)
    if (!CopyInto(&table->rowList, row.row)) return false;
  for (const CellDraft& cell : d.cells)
    if (!CopyInto(&table->cellList, cell.cell)) return false;
  return true;
}

// ---------------------------------------------------------------- render --

// Scratch of the drawing, one array per grid: small tables, the usual
// ones, keep it in place and allocate nothing; larger ones take it from the
// heap. Elements start value-initialised.
template <typename T>
class GridArray {
 public:
  bool Allocate(size_t n) {
    if (n <= kInPlace) {
      std::fill_n(m_inPlace, n, T());
      m_data = m_inPlace;
      return true;
    }
    m_heap = NewArray<T>(n);
    m_data = m_heap.get();
    return m_data != nullptr;
  }
  T& operator[](size_t i) { return m_data[i]; }
  const T& operator[](size_t i) const { return m_data[i]; }
  T* get() { return m_data; }

 private:
  static constexpr size_t kInPlace = 16;
  T m_inPlace[kInPlace];
  std::unique_ptr<T[]> m_heap;
  T* m_data = nullptr;
};

// The grid's corner points. The point of row line r and column line c is
// the start of row line r moved along the baseline by column line c's
// offset, so the grid needs rows + columns numbers, not their product.
struct Grid {
  const Engine* e = nullptr;
  GridArray<CPoint> rowStart;  // r = 0 .. rows: the last pixel of the line below row r - 1
  GridArray<long long> colX;   // c = 0 .. cols: the column line's offset
  GridArray<const LX_TABLE_COL*> col;
  GridArray<const LX_TABLE_ROW*> row;
  int rows = 0, cols = 0;

  CPoint At(int r, int c) const { return e->GetPos_StepX(rowStart[r], colX[c]); }
  int Width(int c) const { return col[c]->width; }
};

bool BuildGrid(const Engine& e, CPoint pt, const LX_DATA_TABLE& t, Grid* g) {
  g->e = &e;
  g->rows = std::clamp(t.rows, 0, t.rowList.GetCount());
  g->cols = std::clamp(t.cols, 0, t.colList.GetCount());
  if (!g->rowStart.Allocate(size_t(g->rows) + 1) || !g->colX.Allocate(size_t(g->cols) + 1) ||
      !g->col.Allocate(size_t(g->cols)) || !g->row.Allocate(size_t(g->rows)))
    return false;
  CPoint corner = e.GetPos_StepX(pt, (long long)t.marginLeft + t.offset.x);
  corner = e.GetPos_StepY(corner, -((long long)t.extent.ascent - t.marginTop + t.offset.y));
  g->rowStart[0] = corner;
  long long y = t.topLine;
  auto* rn = t.rowList.GetHead();
  for (int r = 0; r < g->rows; ++r, rn = rn->next) {
    g->row[r] = &rn->value;
    y += (long long)rn->value.ascent + rn->value.descent + rn->value.lineBelow;
    g->rowStart[r + 1] = e.GetPos_StepY(corner, y - 1);
  }
  long long x = 0;
  g->colX[0] = 0;
  auto* cn = t.colList.GetHead();
  for (int c = 0; c < g->cols; ++c, cn = cn->next) {
    g->col[c] = &cn->value;
    x += (long long)cn->value.width + 1;
    g->colX[c + 1] = x;
  }
  return true;
}

// How far below the top of its row's line the content's baseline stands.
long long ContentDrop(const LX_TABLE_ROW& row, const LX_TABLE_CELL& cell) {
  const LX_TXT_EXTENT& x = cell.extent;
  long long rowHeight = (long long)row.ascent + row.descent;
  switch (cell.vAlign) {
    case LX_VA_TOP: return (long long)cell.padding.top + x.ascent;
    case LX_VA_MIDDLE:
      return Roundoff(rowHeight / 2.0 - ((double)x.ascent + x.descent) / 2.0 + x.ascent);
    case LX_VA_BOTTOM: return rowHeight - cell.padding.bottom - x.descent;
    default: return row.ascent;
  }
}

using CellNode = CList_Ex<LX_TABLE_CELL>::Node;

// Backgrounds and contents, cell by cell, in text order.
void DrawCells(Engine& e, LX_TXT_STATE* state, const LX_DATA_TABLE& t, const Grid& g) {
  const CellNode* cn = t.cellList.GetHead();
  for (int r = 0; r < g.rows; ++r) {
    const LX_TABLE_ROW& row = *g.row[r];
    for (int c = 0; c < std::min(row.cellCount, g.cols) && cn; ++c, cn = cn->next) {
      const LX_TABLE_CELL& cell = cn->value;
      // A clear cell paints nothing: its corners are not needed.
      if (COLORREF(cell.bgColor) != CLR_TRANSPARENT)
        e.DrawBgColor(g.At(r, c), g.At(r + 1, c), g.At(r + 1, c + 1), g.At(r, c + 1), cell.bgColor);
      long long d = (r == 0 ? t.topLine : 1) - (long long)cell.offset.y + ContentDrop(row, cell);
      CPoint origin = e.GetPos_StepY(g.At(r, c), d);
      origin = e.GetPos_StepX(origin, 1LL + cell.padding.left + cell.offset.x);
      LX_TXT_STATE copy = e.NestedState(state, LX_TC_TD, state->hAlign);
      int inner = Sat((long long)g.Width(c) - cell.padding.left - cell.padding.right);
      e.TextOut_Multi(cell.startIdx, &copy, origin, inner);
      if (e.m_error != 0) return;
    }
  }
}

// The grid lines, row by row. `below[c]` is the bottom pen of the cell
// above column c in the previous row, or null where that row had no cell.
void DrawLines(Engine& e, const LX_DATA_TABLE& t, const Grid& g, const CPenData** below) {
  // A line from grid point (r0, c0) to (r1, c1). One without width only
  // moves the current position to its end, so its start is not computed.
  using Draw = void (Engine::*)(CPoint, CPoint, const CPenData&);
  auto rule = [&](Draw draw, int r0, int c0, int r1, int c1, const CPenData& pen) {
    const CPoint to = g.At(r1, c1);
    (e.*draw)(pen.m_width != 0 ? g.At(r0, c0) : to, to, pen);
  };
  const Draw vertical = &Engine::DrawVBorder, top = &Engine::DrawBorderTop, bottom = &Engine::DrawBorderBtm;
  const CellNode* cn = t.cellList.GetHead();
  int prevCount = 0;
  for (int r = 0; r < g.rows; ++r) {
    const LX_TABLE_ROW& row = *g.row[r];
    const bool last = r + 1 == g.rows;
    const int count = std::min(row.cellCount, g.cols);
    for (int c = 0; c < count && cn; ++c, cn = cn->next) {
      const LX_TABLE_CELL& cell = cn->value;
      if (r == 0) {
        if (c == 0) rule(vertical, 0, 0, 1, 0, row.leftPen);
        rule(vertical, 0, c + 1, 1, c + 1, cell.rightPen);
        rule(top, 0, c, 0, c + 1, g.col[c]->topPen);
      } else {
        const CPenData& between = below[c] ? *below[c] : cell.topPen;
        if (c == g.cols - 1) {
          rule(bottom, r, c, r, c + 1, between);
          rule(vertical, r, c + 1, r + 1, c + 1, cell.rightPen);
        } else {
          rule(vertical, r, c + 1, r + 1, c + 1, cell.rightPen);
          rule(bottom, r, c, r, c + 1, between);
        }
        if (c == 0) rule(vertical, r, 0, r + 1, 0, row.leftPen);
      }
      if (last) rule(bottom, g.rows, c, g.rows, c + 1, cell.bottomPen);
      below[c] = last ? nullptr : &cell.bottomPen;
    }
    // Cells above positions this row does not have are closed from below.
    for (int c = count; c < prevCount; ++c) {
      if (below[c]) rule(bottom, r, c, r, c + 1, *below[c]);
      below[c] = nullptr;
    }
    prevCount = last ? 0 : count;
  }
}

}  // namespace

void CLexaro::Engine::AnalyzeText_Table(int idx, LX_TXT_STATE* state, LX_DATA_TABLE* table,
                                        const LX_TAG_PROPERTY& prop) {
  const int em = Em(state), fontDescent = FontDescent();
  TableDraft d;
  table->endIdx = ReadRows(*this, idx, state, prop, em, &d);
  // A failed layout is thrown away: its drafts need not be settled.
  if (m_error == 0 && !ResolvePens(&d, prop.style.border)) AnalyzeErrorBuffer();
  long long up, down;
  VerticalSize(d, em, fontDescent, &up, &down);
  CRect margin = EmShare(em, prop.style.margin);
  long long width = GridWidth(d) + margin.left + margin.right;
  up += margin.top;
  down += margin.bottom;
  table->extent = GetExtent_vAlign(state, LX_TXT_EXTENT{Sat(width), Sat(up), Sat(down)});
  table->rows = int(d.rows.size());
  table->cols = int(d.cols.size());
  table->offset = EmShare(em, prop.style.position);
  table->marginTop = margin.top;
  table->marginLeft = margin.left;
  table->topLine = d.topLine;
  if (!StoreLists(table, d)) AnalyzeErrorBuffer();
}

// The cells record where their contents start, so the text is not read here.
void CLexaro::Engine::TextOut_Table(int, LX_TXT_STATE* state, CPoint pt, LX_DATA_TABLE* table) {
  Grid grid;
  if (!BuildGrid(*this, pt, *table, &grid)) {
    TextOutErrorBuffer();
    return;
  }
  DrawCells(*this, state, *table, grid);
  if (m_error != 0) return;
  GridArray<const CPenData*> below;
  if (!below.Allocate(size_t(grid.cols))) {
    TextOutErrorBuffer();
    return;
  }
  DrawLines(*this, *table, grid, below.get());
}

LX_TXT_EXTENT CLexaro::Engine::GetExtent_vAlign(LX_TXT_STATE* state, LX_TXT_EXTENT e) {
  const long long a = FontAscent(), d = FontDescent();
  const long long total = (long long)e.ascent + e.descent;
  long long ascent;
  switch (state->vAlign) {
    case LX_VA_TOP: ascent = a; break;
    case LX_VA_MIDDLE: ascent = total / 2 - (a + d) / 2 + a; break;
    case LX_VA_BOTTOM: ascent = total - d; break;
    default: return e;
  }
  return LX_TXT_EXTENT{e.width, Sat(ascent), Sat(total - ascent)};
}
