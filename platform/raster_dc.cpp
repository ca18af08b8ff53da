#include "lexaro/raster_dc.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <typeinfo>

#include "platform/coverage_walk.h"
#include "platform/font/font_engine.h"
#include "platform/font/text_run.h"
#include "platform/line_walk.h"
#include "platform/pixel_blend.h"

namespace {

bool IsTransparent(COLORREF c) { return (c & 0xFF000000u) != 0; }

std::uint32_t Opaque(COLORREF c) {
  return 0xFF000000u | std::uint32_t(GetRValue(c)) << 16 | std::uint32_t(GetGValue(c)) << 8 |
         GetBValue(c);
}

// The pixel a colour paints: transparent colours leave nothing.
std::uint32_t PixelOf(COLORREF c) { return IsTransparent(c) ? 0u : Opaque(c); }

}  // namespace

CRasterDC::CRasterDC(int width, int height, COLORREF background)
    : m_width(width), m_height(height) {
  if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide ||
      (long long)width * height > kMaxPixels)
    throw std::invalid_argument("raster surface of " + std::to_string(width) + " x " +
                                std::to_string(height) + " pixels refused: each side must be 0 to " +
                                std::to_string(kMaxSide) + " and the area at most " +
                                std::to_string(kMaxPixels) + " pixels");
  // Pixels start zero, transparent: only another background is painted.
  m_pixels.resize(size_t(width) * size_t(height));
  if (PixelOf(background) != 0) Clear(background);
}

void CRasterDC::Clear(COLORREF background) {
  std::fill(m_pixels.begin(), m_pixels.end(), PixelOf(background));
}

void CRasterDC::Crop(const CRect& rect) {
  const int left = std::clamp<int>(rect.left, 0, m_width), right = std::clamp<int>(rect.right, left, m_width);
  const int top = std::clamp<int>(rect.top, 0, m_height), bottom = std::clamp<int>(rect.bottom, top, m_height);
  const int width = right - left, height = bottom - top;
  // Rows move towards the start, each to a place at or before its own.
  for (int y = 0; y < height; ++y)
    std::memmove(&m_pixels[size_t(y) * width], &m_pixels[size_t(top + y) * m_width + left],
                 size_t(width) * sizeof(std::uint32_t));
  m_pixels.resize(size_t(width) * size_t(height));
  m_width = width;
  m_height = height;
}

bool CRasterDC::ReplaysAlike() const { return typeid(*this) == typeid(CRasterDC); }

CRect CRasterDC::ClipBounds() const {
  if (!GetClipRegion()) return CRect(0, 0, m_width, m_height);  // as GetClipBox answers
  CRect bounds;
  GetClipBox(&bounds);
  return bounds;
}

// Calls paint(row, x0, x1) for the parts of the row span [x0, x1) that lie
// on the surface and inside the clip region.
template <typename F>
void CRasterDC::ForEachVisibleSpan(int y, long long x0, long long x1, F&& paint) {
  if (y < 0 || y >= m_height) return;
  x0 = std::max(x0, 0LL);
  x1 = std::min(x1, (long long)m_width);
  if (x0 >= x1) return;
  const CRgn* clip = GetClipRegion();
  std::uint32_t* row = m_pixels.data() + size_t(y) * size_t(m_width);
  if (!clip) {
    paint(row, int(x0), int(x1));
    return;
  }
  for (const CRect& r : clip->Rects()) {
    if (r.top > y) break;  // bands are sorted from the top
    if (y >= r.bottom) continue;
    long long a = std::max(x0, (long long)r.left), b = std::min(x1, (long long)r.right);
    if (a < b) paint(row, int(a), int(b));
  }
}

void CRasterDC::FillSpan(int y, long long x0, long long x1, COLORREF color) {
  std::uint32_t value = PixelOf(color);
  ForEachVisibleSpan(y, x0, x1, [&](std::uint32_t* row, int a, int b) {
    std::fill(row + a, row + b, value);
  });
}

template <typename Shape>
void CRasterDC::PaintCoverage(const Shape& shape, COLORREF color) {
  const std::uint32_t src = Opaque(color);
  lexaro::coverage::WalkCoverage(shape, ClipBounds(), [&](int y, long long x0, long long x1, std::uint32_t alpha) {
    ForEachVisibleSpan(y, x0, x1, [&](std::uint32_t* row, int a, int b) {
      if (alpha == 255) {
        std::fill(row + a, row + b, src);
      } else {
        for (int x = a; x < b; ++x) row[x] = lexaro::pixels::Blend(row[x], src, alpha);
      }
    });
  });
}

void CRasterDC::DrawLine(CPoint from, CPoint to, const PenState& pen) {
  if (pen.style == PS_NULL || IsTransparent(pen.color)) return;
  if (GetAntialias()) return PaintCoverage(lexaro::coverage::LineBody(from, to, pen.width), pen.color);
  CRect bounds = ClipBounds();
  if (from.y == to.y && from.x != to.x) return DrawLevelLine(from, to.x, pen, bounds);
  // Neighbouring columns over the same rows are painted together by rows:
  // each step of a shallow line costs a span per row of the pen, not one
  // per pixel.
  long long x0 = 0, n = 0, top = 0, bottom = 0;
  auto flush = [&] {
    for (long long y = top; y < bottom && n > 0; ++y) FillSpan(int(y), x0, x0 + n, pen.color);
    n = 0;
  };
  lexaro::WalkThickLine(from, to, pen.width, bounds, [&](bool rows, long long at, long long lo, long long hi) {
    if (rows) return FillSpan(int(at), lo, hi, pen.color);
    lo = std::max(lo, (long long)bounds.top), hi = std::min(hi, (long long)bounds.bottom);
    if (n > 0 && at == x0 + n && lo == top && hi == bottom) {
      ++n;
      return;
    }
    flush();
    x0 = at, n = 1, top = lo, bottom = hi;
  });
  flush();
}

// The pixels WalkThickLine gives a level line: a pen square on each pixel
// from `from` up to `toX`, without it.
void CRasterDC::DrawLevelLine(CPoint from, int toX, const PenState& pen, const CRect& bounds) {
  const long long w = pen.width, h = w / 2;
  if (w < 1) return;
  long long first = from.x < toX ? from.x : (long long)toX + 1, last = from.x < toX ? (long long)toX - 1 : from.x;
  long long top = std::max((long long)from.y - h, (long long)bounds.top);
  long long bottom = std::min((long long)from.y - h + w, (long long)bounds.bottom);
  long long left = std::max(first - h, (long long)bounds.left), right = std::min(last - h + w, (long long)bounds.right);
  if (left >= right) return;
  for (long long y = top; y < bottom; ++y) FillSpan(int(y), left, right, pen.color);
}

bool CRasterDC::DrawConvex(const CPoint* corners, int count, const PenState& pen) {
  // A null or transparent pen paints nothing, stroke by stroke or at once.
  if (pen.style == PS_NULL || IsTransparent(pen.color)) return true;
  const lexaro::coverage::Polygon body = lexaro::coverage::OutlinedBody(corners, count, pen.width);
  if (body.count == 0) return false;
  PaintCoverage(body, pen.color);
  return true;
}

void CRasterDC::DrawPixel(int x, int y, COLORREF color) { FillSpan(y, x, (long long)x + 1, color); }

COLORREF CRasterDC::ReadPixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= m_width || y >= m_height) return CLR_INVALID;
  std::uint32_t p = m_pixels[size_t(y) * size_t(m_width) + size_t(x)];
  std::uint32_t a = p >> 24;
  if (a == 0) return CLR_TRANSPARENT;
  auto channel = [&](int shift) { return int(std::min<std::uint32_t>(255, (((p >> shift) & 255) * 255 + a / 2) / a)); };
  return RGB(channel(16), channel(8), channel(0));
}

void CRasterDC::DrawRect(const CRect& rect, COLORREF color) {
  CRect r;
  if (!r.IntersectRect(rect, ClipBounds())) return;
  for (int y = r.top; y < r.bottom; ++y) FillSpan(y, r.left, r.right, color);
}

void CRasterDC::DrawColumns(const ColumnStroke* strokes, int count, const PenState& pen) {
  if (pen.style == PS_NULL || IsTransparent(pen.color)) return;
  // A wider pen stamps squares; only the 1-wide strokes of fills are
  // painted by rows here.
  if (pen.width != 1) return CDC::DrawColumns(strokes, count, pen);
  CRect bounds = ClipBounds();
  if (bounds.IsRectEmpty()) return;
  // Blocks of strokes in consecutive columns; each stroke paints the rows
  // from `from` towards `to`, without `to`, as DrawLine does.
  // Long blocks keep the spans long, so the rows are walked in memory order.
  constexpr int kBlock = 1024;
  int lo[kBlock], hi[kBlock];
  for (int i = 0; i < count;) {
    int n = 0;
    const long long x0 = strokes[i].x;
    for (; i < count && n < kBlock && strokes[i].x == x0 + n; ++i, ++n) {
      long long from = strokes[i].from, to = strokes[i].to;
      lo[n] = int(std::max(to > from ? from : to + 1, (long long)bounds.top));
      hi[n] = int(std::min(to > from ? to : from + 1, (long long)bounds.bottom));
      if (from == to) hi[n] = lo[n];
    }
    FillColumnBlock(x0, n, lo, hi, pen.color);
  }
}

void CRasterDC::FillColumnBlock(long long x0, int count, const int* lo, const int* hi, COLORREF color) {
  int top = INT_MAX, bottom = INT_MIN, coreTop = INT_MIN, coreBottom = INT_MAX;
  for (int k = 0; k < count; ++k) {
    if (lo[k] < hi[k]) top = std::min(top, lo[k]), bottom = std::max(bottom, hi[k]);
    coreTop = std::max(coreTop, lo[k]), coreBottom = std::min(coreBottom, hi[k]);
  }
  // Rows every column covers are one span; the others are cut into the
  // runs of columns that cover them.
  for (int y = top; y < bottom; ++y) {
    if (y >= coreTop && y < coreBottom) {
      FillSpan(y, x0, x0 + count, color);
      continue;
    }
    for (int k = 0; k < count;) {
      if (y < lo[k] || y >= hi[k]) {
        ++k;
        continue;
      }
      int run = k;
      while (k < count && y >= lo[k] && y < hi[k]) ++k;
      FillSpan(y, x0 + run, x0 + k, color);
    }
  }
}

void CRasterDC::BlendCoverage(const std::uint8_t* alpha, int left, int top, int width, int height,
                              COLORREF color) {
  std::uint32_t src = Opaque(color);
  if (!GetClipRegion()) {
    // Cut to the surface once rather than row by row.
    const long long x0 = std::max(left, 0), x1 = std::min((long long)left + width, (long long)m_width);
    const long long y0 = std::max(top, 0), y1 = std::min((long long)top + height, (long long)m_height);
    if (y0 < y1 && x0 < x1)
      lexaro::pixels::BlendRows(m_pixels.data() + size_t(y0) * size_t(m_width) + size_t(x0), size_t(m_width),
                                alpha + size_t(y0 - top) * size_t(width) + size_t(x0 - left), size_t(width),
                                int(x1 - x0), int(y1 - y0), src);
    return;
  }
  for (int j = 0; j < height; ++j) {
    const std::uint8_t* cov = alpha + size_t(j) * size_t(width);
    ForEachVisibleSpan(top + j, left, (long long)left + width, [&](std::uint32_t* row, int a, int b) {
      lexaro::pixels::BlendRow(row + a, cov + (a - left), b - a, src);
    });
  }
}

// Paints a text run: bands and glyphs are rendered as coverage and
// blended in the colour. When charging, it also counts the run's drawing
// work as MeasureInk does, and declines a run that might cost more than
// the budget.
struct CRasterDC::TextPainter : lexaro::font::TextRunSink {
  CRasterDC& dc;
  const TextOutRequest& req;
  CRect clip;
  bool charging = false;
  long long budget = 0, ink = 0;
  CSize extent;
  lexaro::font::Coverage scratch;
  TextPainter(CRasterDC& d, const TextOutRequest& r, CRect c) : dc(d), req(r), clip(c) {}

  bool Start(const lexaro::font::RealizedFont& font, size_t glyphs, long long advance) override {
    // The extent as MeasureText answers it, its width clamped to an int.
    extent = CSize(int(std::clamp(advance, -2147483647LL, 2147483647LL)), int(font.Metrics().tmHeight));
    return !charging || lexaro::font::MostInk(glyphs, clip) <= budget;
  }
  void Band(const double quad[8], COLORREF color) override {
    if (charging) ink += lexaro::font::BandInk(quad, clip);
    lexaro::font::Coverage cov;
    if (lexaro::font::RenderPolygon(quad, 4, clip, cov))
      dc.BlendCoverage(cov.alpha.data(), cov.left, cov.top, cov.width, cov.height, color);
  }
  bool Glyph(lexaro::font::RealizedFont& font, const lexaro::font::Glyph& g, double x, double y) override {
    // Glyphs wholly outside the clip cost nothing and are passed over
    // before their outline is loaded.
    const long long work = lexaro::font::GlyphInk(font, g, x, y, req.font.lfEscapement, clip);
    if (work == 0) return true;
    ink += work;
    int ox, oy;
    const lexaro::font::Coverage* cov =
        font.RenderGlyph(g, x, y, req.font.lfEscapement, clip, scratch, &ox, &oy);
    if (cov) dc.BlendCoverage(cov->alpha.data(), cov->left + ox, cov->top + oy, cov->width, cov->height, req.color);
    return true;
  }
};

void CRasterDC::DrawText(const TextOutRequest& req) {
  CRect clip = ClipBounds();
  if (clip.IsRectEmpty()) return;
  TextPainter painter(*this, req, clip);
  lexaro::font::WalkTextRun(req, painter);
}

long long CRasterDC::DrawTextCharged(const TextOutRequest& req, const CRect& clip, long long budget,
                                     CSize* extent) {
  // A surface derived from this one may draw or measure text its own way.
  if (typeid(*this) != typeid(CRasterDC)) return CDC::DrawTextCharged(req, clip, budget, extent);
  // A run that surely fits is painted, counted and measured in one walk;
  // one that might not is measured first.
  TextPainter painter(*this, req, clip);
  painter.charging = true;
  painter.budget = budget;
  if (!lexaro::font::WalkTextRun(req, painter)) return CDC::DrawTextCharged(req, clip, budget, extent);
  if (extent) *extent = painter.extent;
  return painter.ink;
}
