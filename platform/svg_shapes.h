// Geometry and number formatting of the SVG surface: the polygon a thick
// aliased line covers, polygons clipped to rectangles, and compact path text
// of shapes and glyph outlines.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>
#include <vector>

#include "lexaro/types.h"

namespace lexaro::svg {

struct Point {
  double x, y;
};
using Polygon = std::vector<Point>;

// The area the raster surface paints for a line of the given width from
// `from` to `to` (excluded): a w x w square stamped on every pixel of the
// one-pixel line. The polygon is the hull of the first and last stamps cut
// to the band around the ideal line that the stamps cover, so that sampling
// it at pixel centres picks the raster surface's pixels; an axis-aligned
// line gives its exact rectangle. Every polygon turns the same way (so that
// overlapping ones of one path add up); empty for a line of no length.
Polygon LinePolygon(CPoint from, CPoint to, int width);

// The part of a convex polygon inside a rectangle (empty when none is).
Polygon ClipPolygon(const Polygon& polygon, double left, double top, double right, double bottom);

// v with at most `decimals` decimals, without trailing zeros and without the
// zero before the point ("0.5" is ".5", "-0" is "0").
void AppendNumber(std::string& out, double v, int decimals = 2);
// Appends a whole number.
void AppendInt(std::string& out, long long v);
// Appends "#rrggbb" of a COLORREF.
void AppendColor(std::string& out, COLORREF color);
// "#rrggbb" of a COLORREF.
std::string ColorText(COLORREF color);
// Appends a closed subpath through the points.
void AppendPolygon(std::string& out, const Polygon& polygon, int decimals = 2);
// Appends a closed rectangular subpath.
void AppendRect(std::string& out, long long left, long long top, long long right, long long bottom);
// Path data of an outline in font units (y up), as whole numbers in
// relative commands, a command letter only where it changes; empty when the
// outline cannot be read.
std::string OutlinePath(const FT_Outline& outline);

}  // namespace lexaro::svg
