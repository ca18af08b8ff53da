// The entry points of the fuzz targets. Each takes one input of any bytes,
// drives one unit with it and aborts when a defined answer is broken. The
// libFuzzer drivers call them, and the hardening tests replay the kept
// inputs of fuzz/regressions/<target>/ through the same functions.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lexaro::fuzz {

// Markup through SetText, GetTextExtent and TextOutA on the raster or SVG
// surface; the first bytes choose the angle, the em height, the code page
// and the surface. Every diagnostic's range lies inside the text.
void Markup(const uint8_t* data, size_t size);
// Markup through TextOutA on a counting surface of the largest area at
// large em heights: the pixels painted must stay within the drawing budget.
void Ink(const uint8_t* data, size_t size);
// The attribute and style parser on a start tag of any construct.
void Properties(const uint8_t* data, size_t size);
// Colour reading, formatting and brightness.
void Color(const uint8_t* data, size_t size);
// The string tool's cursors and edits.
void StringTool(const uint8_t* data, size_t size);
// TeX through the translator, then the markup through SetText and
// TextOutA; the first byte chooses display style and strict mode. The
// markup stays in proportion to the text, balanced and within the nesting
// limit.
void Tex(const uint8_t* data, size_t size);
// The command-line parser of `lexaro`; the words are separated by NULs.
void Options(const uint8_t* data, size_t size);

// Aborts with a message when an answer is outside what is defined.
void Require(bool condition, const char* what);

}  // namespace lexaro::fuzz
