#include "platform/font/text_run.h"

#include <cmath>
#include <mutex>
#include <vector>

namespace lexaro::font {
namespace {

constexpr double kFarAway = double(1 << 30);

bool IsTransparent(COLORREF c) { return (c & 0xFF000000u) != 0; }

}  // namespace

void WalkTextRun(const TextOutRequest& req, TextRunSink& sink) {
  std::lock_guard lock(Mutex());
  auto font = Realize(req.font);
  static std::vector<Glyph> glyphs;  // used under the engine's lock
  font->Layout(req.bytes, req.count, req.codePage, glyphs);
  long long width = 0;
  for (const Glyph& g : glyphs) width += g.advance;

  double angle = req.font.lfEscapement * (M_PI / 1800.0);
  double dx = std::cos(angle), dy = -std::sin(angle);  // along the baseline
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
  if (IsTransparent(req.color)) return;
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
}

}  // namespace lexaro::font
