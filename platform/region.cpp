// Region arithmetic on sets of rectangles. A region is kept as disjoint
// rectangles grouped in horizontal bands; combining two regions sweeps the
// union of their band edges and combines the x intervals of each band.
#include <algorithm>

#include "lexaro/gdi.h"

namespace {

using Intervals = std::vector<std::pair<int, int>>;

// The merged x intervals of the rectangles that cover the band [y0, y1).
Intervals BandIntervals(const std::vector<CRect>& rects, int y0, int y1) {
  Intervals iv;
  for (const CRect& r : rects)
    if (r.top <= y0 && r.bottom >= y1 && r.left < r.right) iv.emplace_back(r.left, r.right);
  std::sort(iv.begin(), iv.end());
  Intervals merged;
  for (auto& [a, b] : iv) {
    if (!merged.empty() && a <= merged.back().second)
      merged.back().second = std::max(merged.back().second, b);
    else
      merged.emplace_back(a, b);
  }
  return merged;
}

bool Inside(const Intervals& iv, int x) {
  for (auto& [a, b] : iv)
    if (x >= a && x < b) return true;
  return false;
}

bool Keep(bool inA, bool inB, int mode) {
  switch (mode) {
    case RGN_AND: return inA && inB;
    case RGN_OR: return inA || inB;
    case RGN_XOR: return inA != inB;
    case RGN_DIFF: return inA && !inB;
    default: return inA;
  }
}

Intervals Combine(const Intervals& a, const Intervals& b, int mode) {
  std::vector<int> xs;
  for (auto& [l, r] : a) { xs.push_back(l); xs.push_back(r); }
  for (auto& [l, r] : b) { xs.push_back(l); xs.push_back(r); }
  std::sort(xs.begin(), xs.end());
  xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
  Intervals out;
  for (size_t i = 0; i + 1 < xs.size(); ++i) {
    if (!Keep(Inside(a, xs[i]), Inside(b, xs[i]), mode)) continue;
    if (!out.empty() && out.back().second == xs[i])
      out.back().second = xs[i + 1];
    else
      out.emplace_back(xs[i], xs[i + 1]);
  }
  return out;
}

std::vector<CRect> CombineRects(const std::vector<CRect>& a, const std::vector<CRect>& b, int mode) {
  std::vector<int> ys;
  for (const auto* set : {&a, &b})
    for (const CRect& r : *set) { ys.push_back(r.top); ys.push_back(r.bottom); }
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  std::vector<CRect> out;
  Intervals previous;
  size_t previousStart = 0;
  for (size_t i = 0; i + 1 < ys.size(); ++i) {
    int y0 = ys[i], y1 = ys[i + 1];
    Intervals iv = Combine(BandIntervals(a, y0, y1), BandIntervals(b, y0, y1), mode);
    // A band equal to the one just above it extends those rectangles down.
    if (!iv.empty() && iv == previous && !out.empty() && out.back().bottom == y0) {
      for (size_t k = previousStart; k < out.size(); ++k) out[k].bottom = y1;
      continue;
    }
    previousStart = out.size();
    for (auto& [l, r] : iv) out.emplace_back(l, y0, r, y1);
    previous = std::move(iv);
  }
  return out;
}

}  // namespace

BOOL CRgn::CreateRectRgn(int left, int top, int right, int bottom) {
  CRect r(left, top, right, bottom);
  r.NormalizeRect();
  m_rects.clear();
  if (!r.IsRectEmpty()) m_rects.push_back(r);
  m_valid = true;
  return TRUE;
}

BOOL CRgn::CreateRectRgnIndirect(const RECT* rect) {
  if (!rect) return FALSE;
  return CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

int CRgn::CombineRgn(const CRgn* a, const CRgn* b, int mode) {
  if (!a || a->IsNull() || mode < RGN_AND || mode > RGN_COPY) return ERROR;
  if (mode == RGN_COPY) {
    m_rects = a->m_rects;
  } else {
    if (!b || b->IsNull()) return ERROR;
    m_rects = CombineRects(a->m_rects, b->m_rects, mode);
  }
  m_valid = true;
  return Kind();
}

BOOL CRgn::DeleteObject() {
  BOOL had = m_valid;
  m_valid = false;
  m_rects.clear();
  return had;
}

BOOL CRgn::PtInRegion(int x, int y) const {
  for (const CRect& r : m_rects)
    if (r.PtInRect(CPoint(x, y))) return TRUE;
  return FALSE;
}

int CRgn::Kind() const {
  if (!m_valid) return ERROR;
  return m_rects.empty() ? NULLREGION : m_rects.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

int CRgn::GetRgnBox(RECT* box) const {
  if (!box) return ERROR;
  CRect b;
  for (const CRect& r : m_rects) {
    if (b.IsRectEmpty()) {
      b = r;
    } else {
      b.left = std::min(b.left, r.left);
      b.top = std::min(b.top, r.top);
      b.right = std::max(b.right, r.right);
      b.bottom = std::max(b.bottom, r.bottom);
    }
  }
  *box = b;
  return Kind();
}
