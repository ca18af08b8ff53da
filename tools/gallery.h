// The gallery: reads the sample files of the samples directory, places
// markup on pages and draws them upright or turned; and the page of every
// delimiter kind.
//
// A sample file (*.lxm) holds one markup text in UTF-8. Its lines are joined
// the way the demo joins the lines of its edit box: each line loses its
// leading white space and the lines follow each other without a separator,
// so markup can be indented freely. Line breaks in the drawing come from BR.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "lexaro/lexaro.h"

namespace gallery {

// Sample files larger than this are refused: no sample comes near it, and a
// stray large file should give an error, not a huge layout.
constexpr long long kMaxSampleBytes = 1 << 20;
// Images are never larger than this on a side; a larger drawing is cut.
constexpr int kMaxImageSide = 4000;
// Free space around every drawing, in pixels.
constexpr int kImageMargin = 24;

// Reads a sample file: a UTF-8 byte order mark is dropped, CR LF becomes LF
// and one final line feed is dropped, so the text is the lines joined by
// "\n". False with the reason in *error for a missing, unreadable or too
// large file and for one that holds a NUL byte.
bool ReadSample(const std::string& path, std::string* text, std::string* error);

// The samples directory of a program: the source tree's when the program
// runs from its build directory, else the installed one (found beside the
// program first, so that a moved installation still finds it). The program's
// build gives the places as LEXARO_BUILD_DIR, LEXARO_SOURCE_SAMPLES_DIR,
// LEXARO_RELATIVE_SAMPLES_DIR and LEXARO_INSTALLED_SAMPLES_DIR; without
// them the answer is "samples".
std::string DefaultSamplesDir();

// The *.lxm files directly inside dir, sorted by name. False with the reason
// in *error when dir cannot be read or holds no sample file.
bool ListSamples(const std::string& dir, std::vector<std::string>* paths, std::string* error);

// The text the engine is given for a sample text: lines joined as the demo
// joins them (see above).
CString EngineText(const std::string& sample);

// The box that a drawing of width x height covers when it is turned by
// escapement (tenths of a degree, counter-clockwise) about its top-left
// corner, in pixels relative to that corner (y grows downwards). The edges
// are rounded outwards.
struct Bounds {
  int left, top, right, bottom;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};
Bounds RotatedBounds(int width, int height, long escapement);

// Where the point (x, y) of an upright drawing lands when the drawing is
// turned by escapement about its origin: x along the turned baseline, y down
// across it, each rounded half away from zero as the engine moves points.
CPoint RotatedPoint(int x, int y, long escapement);

// One markup text placed on a page: its top-left corner in page pixels.
struct Block {
  std::string markup;  // engine text (already joined)
  CPoint at;
};

// A page: blocks on an upright area of the given size. Rendering turns the
// whole page about its top-left corner.
struct Page {
  int width = 0;
  int height = 0;
  std::vector<Block> blocks;
};

// The laid-out extent of an engine text (measured on a raster surface).
// False with the reason when the layout fails.
bool Measure(const std::string& markup, LX_TXT_EXTENT* extent, std::string* error);

// A page holding one markup text, as large as its extent.
bool SingleTextPage(const std::string& markup, Page* page, std::string* error);

// The programs (the command line, the demo and the showcase) draw lines and
// fills anti-aliased on their raster surfaces unless `aliased` asks for the
// library's default, aliased drawing.
void SetDrawingMode(CDC& dc, bool aliased);

// Draws a page turned by escapement on a white surface that holds the turned
// page and the margin (at most kMaxImageSide a side); null with the reason in
// *error when a block cannot be laid out or drawn.
std::unique_ptr<CRasterDC> DrawPage(const Page& page, long escapement, std::string* error);
// DrawPage, written as PNG to path.
bool RenderPage(const Page& page, long escapement, const std::string& path, std::string* error);

// The delimiter page: every delimiter kind around a line, a fraction and a
// tall stack, with a label per row.
bool DelimiterPage(Page* page, std::string* error);

}  // namespace gallery

// Renders the delimiter page into outDir as delimiters.png and, turned by 30
// degrees, delimiters-30.png. False with the reason in *error when it cannot
// be laid out, drawn or written.
bool WriteDelimiterPages(const std::string& outDir, std::string* error);
