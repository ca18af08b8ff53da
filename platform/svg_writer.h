// The document an SVG surface writes, as it grows: definitions (glyph
// outlines, clip paths, erasing masks) and the body in drawing order.
// Opaque shapes of one colour drawn one after another (fills, lines,
// pixels) are gathered into one path, their rectangles joined into runs;
// glyphs of one colour share a group; text under a clip region goes into a
// group clipped by it. Everything stays within CSvgDC::kMaxBodyBytes.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "lexaro/svg_dc.h"
#include "platform/font/outline_cache.h"

namespace lexaro::svg {

inline bool IsTransparent(COLORREF c) { return (c & 0xFF000000u) != 0; }

// What makes two glyph outlines the same drawing.
struct OutlineKey {
  const void* face;
  unsigned index;
  int dx, dy;
  bool bold;
  bool operator<(const OutlineKey& o) const {
    return std::tie(face, index, dx, dy, bold) < std::tie(o.face, o.index, o.dx, o.dy, o.bold);
  }
};

}  // namespace lexaro::svg

class CSvgDC::Writer {
 public:
  Writer(int width, int height, COLORREF background);

  std::string defs, body;
  bool truncated = false;
  bool inGroup = false;  // inside a clip group
  bool inFill = false;   // inside a fill group (within the clip group)
  std::string runUses;   // scratch for the glyphs of one text run

  // Whether `more` bytes still fit; once something did not, nothing does.
  bool Fits(size_t more);
  void Emit(const std::string& s);
  // Emits a path filled with `color`, with more attributes and path data d.
  void EmitPath(COLORREF color, std::string_view attributes, std::string_view d);

  // The gathered path of colour `color` (CLR_TRANSPARENT erases), to which a
  // shape is appended; null when the document is full.
  std::string* Batch(COLORREF color);
  void AddPixel(int x, int y, COLORREF color);
  void AddRect(const CRect& r, COLORREF color);
  // Writes the gathered path.
  void Flush();

  // Puts what follows inside a group clipped by the region (or outside any
  // group when there is none). Clip paths are defined once per region.
  void EnterClip(const CRgn* clip, const CRect& surface);
  // Puts the glyphs that follow in a group of their fill colour.
  void OpenFill(COLORREF color);
  // Closes the fill group and the clip group.
  void CloseGroup();

  // The id of an outline's definition, -1 for an empty outline.
  int GlyphId(const lexaro::svg::OutlineKey& key, const lexaro::font::KeptOutline& outline);
  // Appends a <use> of glyph definition `id` placed by m (under the font
  // engine's lock).
  void AppendUse(std::string& out, int id, const lexaro::font::Affine& m);

 private:
  void CloseFill();
  void Erase();
  void MergePixels();
  void MergeRects(bool write);

  std::string m_size[2];  // the surface's width and height
  bool m_batchOpen = false;
  COLORREF m_batchColor = 0;
  std::string m_batch;
  std::vector<std::pair<int, int>> m_pixels;  // (y, x)
  std::vector<CRect> m_rects;
  int m_masks = 0;
  COLORREF m_fill = 0;
  std::vector<CRect> m_clipRects;
  int m_clipId = -1, m_clipCount = 0;
  std::map<lexaro::svg::OutlineKey, int> m_glyphs;
  int m_glyphCount = 0;
};
