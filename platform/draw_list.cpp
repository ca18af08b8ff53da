#include "platform/draw_list.h"

#include <algorithm>

namespace lexaro {

bool DrawState::SameBesidesPosition(const DrawState& o) const {
  // Type identities are compared as types: a class may have more than one
  // type_info object when it crosses shared libraries.
  const bool sameKind = kind == o.kind || (kind && o.kind && *kind == *o.kind);
  return sameKind && bounds == o.bounds && resolution == o.resolution && font == o.font &&
         pen.style == o.pen.style && pen.width == o.pen.width && pen.color == o.pen.color &&
         brushColor == o.brushColor && nullBrush == o.nullBrush && textColor == o.textColor &&
         bkColor == o.bkColor && bkMode == o.bkMode && textAlign == o.textAlign &&
         antialias == o.antialias && hinting == o.hinting && codePage == o.codePage &&
         clipped == o.clipped && clip == o.clip;
}

bool DrawState::Same(const DrawState& o) const {
  return position == o.position && SameBesidesPosition(o);
}

void DrawList::Clear() {
  m_items.clear();
  m_bytes.clear();
  m_columns.clear();
  m_overflow = false;
}

DrawList::Item* DrawList::Add(Kind kind, bool antialias) {
  if (m_overflow || m_items.size() >= kMaxItems) {
    m_overflow = true;
    return nullptr;
  }
  Item& item = m_items.emplace_back();
  item.kind = kind;
  item.antialias = antialias;
  return &item;
}

void DrawList::AddText(const TextOutRequest& request, bool antialias) {
  // The bytes may live only as long as the call: the list keeps a copy.
  if (request.count < 0 || m_bytes.size() + std::size_t(request.count) > kMaxBytes) {
    m_overflow = true;
    return;
  }
  Item* item = Add(Kind::Text, antialias);
  if (!item) return;
  item->request = request;
  item->request.bytes = nullptr;
  item->first = m_bytes.size();
  m_bytes.append(request.bytes, std::size_t(request.count));
}

void DrawList::AddTextCharged(const TextOutRequest& request, const CRect& clip, long long budget,
                              bool wantsExtent, bool antialias) {
  AddText(request, antialias);
  if (m_overflow) return;
  Item& item = m_items.back();
  item.kind = Kind::TextCharged;
  item.clip = clip;
  item.budget = budget;
  item.wantsExtent = wantsExtent;
}

void DrawList::AddLine(CPoint from, CPoint to, const PenState& pen, bool antialias) {
  Item* item = Add(Kind::Line, antialias);
  if (!item) return;
  item->points[0] = from;
  item->points[1] = to;
  item->pen = pen;
}

void DrawList::AddColumns(const ColumnStroke* strokes, int count, const PenState& pen, bool antialias) {
  if (count < 0 || m_columns.size() + std::size_t(count) > kMaxColumns) {
    m_overflow = true;
    return;
  }
  Item* item = Add(Kind::Columns, antialias);
  if (!item) return;
  item->first = m_columns.size();
  item->count = count;
  item->pen = pen;
  m_columns.insert(m_columns.end(), strokes, strokes + count);
}

void DrawList::AddConvex(const CPoint* corners, int count, const PenState& pen, bool antialias) {
  Item* item = Add(Kind::Convex, antialias);
  if (!item) return;
  item->count = std::clamp(count, 0, 4);
  std::copy(corners, corners + item->count, item->points);
  item->pen = pen;
}

void DrawList::AddPixel(int x, int y, COLORREF color, bool antialias) {
  Item* item = Add(Kind::Pixel, antialias);
  if (!item) return;
  item->points[0] = CPoint(x, y);
  item->color = color;
}

void DrawList::AddRect(const CRect& rect, COLORREF color, bool antialias) {
  Item* item = Add(Kind::Rect, antialias);
  if (!item) return;
  item->clip = rect;
  item->color = color;
}

}  // namespace lexaro
