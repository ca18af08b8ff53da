// Vertical grid fitting of glyph outlines: horizontal stems are moved and
// sized to cover whole pixel rows, and the rest of the outline follows.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

namespace lexaro::font {

// One 64th of a pixel: the unit of the outlines FitStemsToRows fits.
constexpr double kFitUnitsPerPixel = 64;

// Fits an outline given in 64ths of a pixel, y up, whose y = 0 lies on a
// boundary between pixel rows. Its horizontal edges (at least half a pixel
// long) are found; an edge with ink above and the nearest edge with ink below
// it, no more than maxStem pixels higher and overlapping it, make a stem,
// which is given a whole number of rows (at least one; a fraction below 0.6
// is dropped) about its centre; any other edge moves to the nearest row
// boundary. Every other point moves as the edges around it do, so the
// outline keeps its order from bottom to top and nothing moves across.
// Outlines with more edges than any glyph has are left as they are, which
// bounds the work.
void FitStemsToRows(FT_Outline& outline, double maxStem);

}  // namespace lexaro::font
