// Glyph outlines kept across drawings: what vector output and outline boxes
// need of a glyph (its path text and boxes in font units) is read from the
// face once, not every time the glyph is drawn or measured.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstddef>
#include <string>

#include "platform/font/font_engine.h"

namespace lexaro::font {

// A glyph's outline in font units of its face, moved and emboldened as it is
// drawn (RealizedFont::GlyphOutline): it depends on the face, the glyph, the
// shift and the emboldening, not on the size, so fonts of every size share it.
struct KeptOutline {
  bool loaded = false;   // false: the glyph has no outline
  std::string path;      // SVG path data (svg::OutlinePath); empty when unreadable
  bool evenOdd = false;  // filled by the even-odd rule
  bool hasPoints = false;
  bool hasContours = false;
  FT_BBox controlBox{};  // of the points, curves' control points included
  FT_BBox inkBox{};      // of the curves; valid when hasInkBox
  bool hasInkBox = false;
};

// The kept outline of glyph g of font; null when the glyph has no outline.
// Use it under the engine's lock, before the next call: at most
// kMaxKeptOutlines outlines and kMaxKeptPathBytes bytes of path text are
// kept, and the whole store is dropped when the next one would not fit.
const KeptOutline* KeptGlyphOutline(RealizedFont& font, const Glyph& g);

constexpr size_t kMaxKeptOutlines = 4096;
constexpr size_t kMaxKeptPathBytes = size_t(4) << 20;

// How many outlines are kept now, for tests. Takes the engine's lock.
size_t KeptOutlineCount();

}  // namespace lexaro::font
