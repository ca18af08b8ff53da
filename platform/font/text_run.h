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
  // A glyph known to have ink inside the clip of the walk, as ReplayInk
  // hands it: by default, as any glyph.
  virtual void Inked(RealizedFont& font, const lexaro::font::Glyph& glyph, double x, double y) {
    Glyph(font, glyph, x, y);
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
// int. Takes the font engine's lock.
void WalkTextRun(const TextOutRequest& request, TextRunSink& sink);

// The pixels of a box [x0, x1) x [y0, y1) of the surface within clip.
long long AreaWithin(double x0, double y0, double x1, double y1, const CRect& clip);
// The drawing work of a request within clip (CDC::GetTextInk): the sum of
// the ink boxes of its glyphs and of the boxes of its bands, and for each
// visible glyph rendered from its outline the fixed work of rendering it,
// in pixels as long to paint.
long long MeasureInk(const TextOutRequest& request, const CRect& clip);
// When MeasureInk was last asked for this request within this clip, walks
// what it found instead of laying the run out again: the bands, and the
// glyphs with ink inside the clip (through Inked), in drawing order; the
// glyphs without such ink are left out. False, calling nothing, otherwise.
// A surface measures an output and then draws it; this spares the second
// walk. Takes the font engine's lock.
bool ReplayInk(const TextOutRequest& request, const CRect& clip, TextRunSink& sink);
// The box {left, top, right, bottom} in surface pixels that holds every
// pixel a request may paint: its glyphs' ink boxes and its bands. False,
// with box untouched, when it paints nothing.
bool PaintedBox(const TextOutRequest& request, double box[4]);

}  // namespace lexaro::font
