#include "platform/font/text_run.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace lexaro::font {
namespace {

constexpr double kFarAway = double(1 << 30);
constexpr long long kOutlineWork = 2048;

bool IsTransparent(COLORREF c) { return (c & 0xFF000000u) != 0; }

// The run laid out last. Text is measured for its ink and then drawn, so
// one run is walked twice in a row; the second walk takes these glyphs. The
// font is held, so an equal pointer is the same font. Used under the
// engine's lock.
class LastRun {
 public:
  const std::vector<Glyph>& Glyphs(const std::shared_ptr<RealizedFont>& font, const TextOutRequest& req) {
    const size_t n = req.bytes && req.count > 0 ? size_t(req.count) : 0;
    if (font != m_font || req.codePage != m_codePage || n != m_bytes.size() ||
        (n > 0 && std::memcmp(req.bytes, m_bytes.data(), n) != 0)) {
      font->Layout(req.bytes, req.count, req.codePage, m_glyphs);
      if (font != m_font) m_font = font;
      m_codePage = req.codePage;
      m_bytes.assign(req.bytes ? req.bytes : "", n);
    }
    return m_glyphs;
  }

 private:
  std::shared_ptr<RealizedFont> m_font;
  int m_codePage = 0;
  std::string m_bytes;
  std::vector<Glyph> m_glyphs;
};

// WalkTextRun in the request's font, realised by the caller, who holds the
// engine's lock.
bool WalkRealized(const TextOutRequest& req, const std::shared_ptr<RealizedFont>& found,
                  TextRunSink& sink) {
  static LastRun last;
  const std::vector<Glyph>& glyphs = last.Glyphs(found, req);
  // The sinks realise no fonts, and the last run holds the font.
  RealizedFont* font = found.get();
  long long width = 0;
  for (const Glyph& g : glyphs) width += g.advance;
  if (!sink.Start(*font, glyphs.size(), width)) return false;

  double dx, dy;  // along the baseline
  BaselineDirection(req.font.lfEscapement, &dx, &dy);
  double downX = -dy, downY = dx;                       // across it, downwards
  // From `top` to `top + height` below the baseline, along the whole run.
  auto band = [&](double top, double height, COLORREF color) {
    double w = double(width), b = top + height;
    double quad[8] = {req.originX + top * downX, req.originY + top * downY,
                      req.originX + w * dx + top * downX, req.originY + w * dy + top * downY,
                      req.originX + w * dx + b * downX, req.originY + w * dy + b * downY,
                      req.originX + b * downX, req.originY + b * downY};
    sink.Band(quad, color);
  };

  const TEXTMETRIC& tm = font->Metrics();
  if (req.bkMode == OPAQUE && !IsTransparent(req.bkColor) && width > 0)
    band(-tm.tmAscent, tm.tmHeight, req.bkColor);
  if (IsTransparent(req.color)) return true;
  double pen = 0;
  for (const Glyph& g : glyphs) {
    double gx = req.originX + pen * dx, gy = req.originY + pen * dy;
    pen += g.advance;
    if (std::fabs(gx) > kFarAway || std::fabs(gy) > kFarAway) continue;
    if (!sink.Glyph(*font, g, gx, gy)) break;
  }
  sink.GlyphsDone();
  double top, thickness;
  if (req.font.lfUnderline) {
    font->UnderlineBand(&top, &thickness);
    band(top, thickness, req.color);
  }
  if (req.font.lfStrikeOut) {
    font->StrikeOutBand(&top, &thickness);
    band(top, thickness, req.color);
  }
  return true;
}

}  // namespace

bool WalkTextRun(const TextOutRequest& req, TextRunSink& sink) {
  std::lock_guard lock(Mutex());
  return WalkRealized(req, RealizeLocked(req.font, req.hinting), sink);
}

long long AreaWithin(double x0, double y0, double x1, double y1, const CRect& clip) {
  double w = std::min(x1, double(clip.right)) - std::max(x0, double(clip.left));
  double h = std::min(y1, double(clip.bottom)) - std::max(y0, double(clip.top));
  return w > 0 && h > 0 ? (long long)w * (long long)h : 0;
}

long long BandInk(const double q[8], const CRect& clip) {
  double x0 = std::min({q[0], q[2], q[4], q[6]}), x1 = std::max({q[0], q[2], q[4], q[6]});
  double y0 = std::min({q[1], q[3], q[5], q[7]}), y1 = std::max({q[1], q[3], q[5], q[7]});
  return AreaWithin(std::floor(x0), std::floor(y0), std::ceil(x1), std::ceil(y1), clip);
}

long long GlyphInk(RealizedFont& font, const Glyph& g, double x, double y, int escapement,
                   const CRect& clip) {
  double box[4];
  if (!font.InkBox(g, x, y, escapement, box)) return 0;
  long long area = AreaWithin(box[0], box[1], box[2], box[3], clip);
  // Loading and rasterising an outline costs about as much as painting
  // kOutlineWork pixels, however small the glyph.
  if (area > 0 && font.RendersOutlines()) area += kOutlineWork;
  return area;
}

long long MostInk(size_t glyphs, const CRect& clip) {
  const long long area = std::max(0LL, (long long)clip.right - clip.left) *
                         std::max(0LL, (long long)clip.bottom - clip.top);
  if (area > LLONG_MAX / 16) return LLONG_MAX;
  // glyphs * perGlyph beyond LLONG_MAX / 4 is refused, checked without a
  // division: a run of text asks for this every time.
  const unsigned long long perGlyph = (unsigned long long)(area + kOutlineWork);
  unsigned long long all;
  if (__builtin_mul_overflow((unsigned long long)glyphs, perGlyph, &all) || all > (unsigned long long)(LLONG_MAX / 4))
    return LLONG_MAX;
  return (long long)all + 3 * area;  // three bands at most
}

long long MeasureInk(const TextOutRequest& req, const CRect& clip) {
  struct Ink : TextRunSink {
    const CRect& clip;
    int escapement;
    long long pixels = 0;
    Ink(const CRect& c, int e) : clip(c), escapement(e) {}
    void Band(const double q[8], COLORREF) override { pixels += BandInk(q, clip); }
    bool Glyph(RealizedFont& font, const lexaro::font::Glyph& g, double x, double y) override {
      pixels += GlyphInk(font, g, x, y, escapement, clip);
      return true;
    }
  };
  Ink ink(clip, req.font.lfEscapement);
  WalkTextRun(req, ink);
  return ink.pixels;
}

bool PaintedBox(const TextOutRequest& req, double box[4]) {
  struct Bounds : TextRunSink {
    int escapement;
    double b[4] = {1e300, 1e300, -1e300, -1e300};
    explicit Bounds(int e) : escapement(e) {}
    void Add(double x0, double y0, double x1, double y1) {
      b[0] = std::min(b[0], x0), b[1] = std::min(b[1], y0);
      b[2] = std::max(b[2], x1), b[3] = std::max(b[3], y1);
    }
    void Band(const double q[8], COLORREF) override {
      Add(std::floor(std::min({q[0], q[2], q[4], q[6]})), std::floor(std::min({q[1], q[3], q[5], q[7]})),
          std::ceil(std::max({q[0], q[2], q[4], q[6]})), std::ceil(std::max({q[1], q[3], q[5], q[7]})));
    }
    bool Glyph(RealizedFont& font, const lexaro::font::Glyph& g, double x, double y) override {
      double ink[4];
      if (font.InkBox(g, x, y, escapement, ink)) Add(ink[0], ink[1], ink[2], ink[3]);
      return true;
    }
  };
  Bounds bounds(req.font.lfEscapement);
  WalkTextRun(req, bounds);
  if (bounds.b[0] > bounds.b[2]) return false;
  std::copy(bounds.b, bounds.b + 4, box);
  return true;
}

}  // namespace lexaro::font
