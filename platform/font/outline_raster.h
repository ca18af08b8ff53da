// Anti-aliased rendering of outlines in font units through an affine map to
// the surface, clipped while it renders: the work and memory depend on the
// visible part, not on how large the outline is.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <vector>

#include "lexaro/types.h"

namespace lexaro::font {

// Coverage (0-255) of the pixels of a rectangle of the surface.
struct Coverage {
  int left = 0, top = 0, width = 0, height = 0;
  std::vector<std::uint8_t> alpha;
};

// Surface point = (xx*x + xy*y + tx, yx*x + yy*y + ty) for a point (x, y).
struct Affine {
  double xx, xy, yx, yy, tx, ty;
};

// Grows {left, top, right, bottom} to hold box b mapped by m: every point of
// an outline inside b lies in the box of b's four mapped corners.
void GrowByMappedBox(const Affine& m, const FT_BBox& b, double box[4]);

// Renders the outline into `out`, covering only pixels inside `clip`.
// Returns false when nothing of it lies inside the clip.
bool RenderOutline(const FT_Outline& outline, const Affine& m, const CRect& clip, Coverage& out);

// Cuts the rows and columns of zero coverage from the edges of `cov`, then
// widens it on the right with zero coverage to a multiple of `step` columns:
// what it paints is unchanged, and a blit of whole steps needs no remainder.
void TrimCoverage(Coverage& cov, int step);

// Renders a closed polygon given in surface coordinates (x0, y0, x1, y1, ...).
bool RenderPolygon(const double* xy, int points, const CRect& clip, Coverage& out);

}  // namespace lexaro::font
