// The box around the outlines of a text's glyphs (CDC::GetTextOutlineBox).
#pragma once

#include "lexaro/types.h"

namespace lexaro::font {

// The box around the outlines of the glyphs of n bytes in font, laid out
// from (0, 0) along an unturned baseline, as {left, top, right, bottom} in
// pixels, y downwards; glyphs are placed and emboldened as they are drawn.
// False, with box untouched, when no glyph has an outline. Takes the font
// engine's lock.
bool OutlineBox(const LOGFONT& font, const char* s, int n, int codePage, double box[4]);

}  // namespace lexaro::font
