// One text output walked in drawing order, shared by the surfaces that paint
// glyphs: the opaque background band, the glyphs at their pen positions, then
// the underline and strike-out bands. A surface says how it paints a band and
// a glyph; the geometry is computed here once for all of them.
#pragma once

#include <cmath>

#include "lexaro/dc.h"
#include "platform/font/font_engine.h"

namespace lexaro::font {

class TextRunSink {
 public:
  virtual ~TextRunSink() = default;
  // A band across the run: its four corners on the surface as x, y pairs.
  virtual void Band(const double quad[8], COLORREF color) = 0;
  // A glyph with its pen position on the baseline; false stops the walk of
  // the glyphs (the bands still follow).
  virtual bool Glyph(RealizedFont& font, const lexaro::font::Glyph& glyph, double x, double y) = 0;
  // After the last glyph, before the underline and strike-out bands.
  virtual void GlyphsDone() {}
  // Before anything else: the run's font, how many glyphs it has and its
  // advance in pixels. False declines the walk, and nothing else is called.
  virtual bool Start(const RealizedFont& /*font*/, size_t /*glyphs*/, long long /*advance*/) {
    return true;
  }
};

// The unit vector along a baseline turned by the escapement (tenths of a
// degree, counter-clockwise on a y-down surface): (cos a, -sin a). Level text
// takes no trigonometry; the values are those cos and sin give.
inline void BaselineDirection(int escapement, double* dx, double* dy) {
  if (escapement == 0) {
    *dx = 1.0, *dy = -0.0;
    return;
  }
  double angle = escapement * (M_PI / 1800.0);
  *dx = std::cos(angle), *dy = -std::sin(angle);
}

// Lays the request's text out in its font and walks it. Glyphs whose pen
// position lies farther than 2^30 pixels from the origin are passed over:
// they cannot reach any surface, and their pixel offsets would overflow an
// int. Takes the font engine's lock. False when the sink declined the walk.
bool WalkTextRun(const TextOutRequest& request, TextRunSink& sink);

// The pixels of a box [x0, x1) x [y0, y1) of the surface within clip.
long long AreaWithin(double x0, double y0, double x1, double y1, const CRect& clip);
// The drawing work of a request within clip (CDC::GetTextInk): the sum of
// the ink boxes of its glyphs and of the boxes of its bands, and for each
// visible glyph rendered from its outline the fixed work of rendering it,
// in pixels as long to paint.
long long MeasureInk(const TextOutRequest& request, const CRect& clip);
// Its parts, for sinks that paint and count at once: the work of a band
// and of a glyph (0 for a glyph that shows nothing within clip, and need
// not be drawn), and the most that a run of so many glyphs can cost.
long long BandInk(const double quad[8], const CRect& clip);
long long GlyphInk(RealizedFont& font, const Glyph& glyph, double x, double y, int escapement,
                   const CRect& clip);
long long MostInk(size_t glyphs, const CRect& clip);
// The box {left, top, right, bottom} in surface pixels that holds every
// pixel a request may paint: its glyphs' ink boxes and its bands. False,
// with box untouched, when it paints nothing.
bool PaintedBox(const TextOutRequest& request, double box[4]);

}  // namespace lexaro::font
