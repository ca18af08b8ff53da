// The font engine: realises LOGFONTs through fontconfig and FreeType, caches
// what it realised, measures text and renders glyphs. Every entry point is
// safe to call from several threads: one lock guards the engine; warm
// measuring reads only what never changes or is atomic, without it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "lexaro/dc.h"
#include "platform/font/byte_advances.h"
#include "platform/font/face.h"
#include "platform/font/glyph_cache.h"
#include "platform/font/outline_raster.h"

namespace lexaro::font {

// The largest em height that is realised; larger requests are realised at
// this height (4,194,304 px, far beyond any surface).
constexpr double kMaxEm = double(1 << 22);
// The largest em height whose level glyphs are hinted; above it a stem is
// many pixels thick and snapping it gains nothing visible.
constexpr double kHintMaxEm = 200;

// One glyph of a run: the face it comes from (null draws nothing), its index,
// its advance in whole pixels, and how far it is drawn from its outline's
// place (font units of its face; see GlyphShift).
struct Glyph {
  LoadedFace* face;
  unsigned index;
  int advance;
  int dx = 0, dy = 0;
};

// A LOGFONT realised at its size (the escapement is applied when drawing).
class RealizedFont {
 public:
  RealizedFont(const LOGFONT& lf, bool hinting);

  const TEXTMETRIC& Metrics() const { return m_tm; }
  double Em() const { return m_em; }
  // Glyphs of n bytes; the same advances serve measuring and drawing.
  void Layout(const char* s, int n, int codePage, std::vector<Glyph>& out);
  // The advance of n bytes, under the engine's lock; learns the advances
  // of the bytes that stand alone (font_measure.cpp).
  int Width(const char* s, int n, int codePage);
  // The same from the learnt advances alone, safe without the lock: false
  // when a byte does not stand alone or is not known yet.
  bool KnownWidth(const char* s, int n, int* width) const;
  // Coverage of glyph g with its pen position at (x, y), turned by the
  // escapement; null when nothing of it lies inside clip. The result is a
  // cached map or `scratch`; its pixels lie at (left + *dx, top + *dy), and
  // a cached map may reach outside the clip. Level glyphs are hinted (see
  // Hinted): their baseline is the pixel row nearest y, and their horizontal
  // stems cover whole rows; their advances stay those of Layout.
  const Coverage* RenderGlyph(const Glyph& g, double x, double y, int escapement,
                              const CRect& clip, Coverage& scratch, int* dx, int* dy);
  // The outline of glyph g in font units of its face, moved and emboldened
  // as it is drawn, and in *m the map that places it with its pen position
  // at (x, y), turned by the escapement: what RenderGlyph fills for glyphs
  // that are not hinted (vector surfaces draw it at every angle). Null when
  // the glyph has no outline. The outline lives in the face's glyph slot:
  // use it under the engine's lock, before the next glyph is loaded.
  const FT_Outline* GlyphOutline(const Glyph& g, double x, double y, int escapement, Affine* m);
  // The map GlyphOutline answers in *m, without loading the outline.
  Affine OutlinePlacement(const Glyph& g, double x, double y, int escapement) const;
  // The box around the ink of glyph g drawn as RenderGlyph draws it, in
  // surface pixels as {left, top, right, bottom}, rounded out by a pixel: a
  // superset of every pixel RenderGlyph can cover, hinted or not, and of
  // GlyphOutline's outline. False when the glyph has no outline. The
  // outline's box is loaded once per glyph and kept.
  bool InkBox(const Glyph& g, double x, double y, int escapement, double box[4]);
  // Whether RenderGlyph hints glyphs at this escapement (tenths of a degree):
  // level text up to kHintMaxEm, when realised with hinting. Hinting fits
  // the outline's horizontal stems to whole rows (FitStemsToRows) and moves
  // nothing across, so the glyphs keep their widths and places along the
  // baseline. It works on the outline of the glyph as drawn, after a
  // stand-in's shift and synthesised bold (which only widens), before the
  // slant of synthesised italics and a stretched width are applied, which
  // keep horizontal stems level. It touches no state of the shared face.
  bool Hinted(int escapement) const;
  // Whether RenderGlyph renders every glyph from its outline (large
  // glyphs) rather than once per quarter-pixel position into a cache.
  bool RendersOutlines() const { return m_rendersOutlines; }
  // Whether outlines are emboldened (part of what makes two outlines equal).
  bool SynthBold() const { return m_face.synthBold; }
  // Underline and strike-out as (top below the baseline, thickness) in px.
  void UnderlineBand(double* top, double* thickness) const;
  void StrikeOutBand(double* top, double* thickness) const;

 private:
  const Glyph& GlyphFor(char32_t cp);
  double LargestEm() const;
  // Loads the outline of glyph g into its face's glyph slot, moved and
  // emboldened as it is drawn: in font units, or hinted in 64ths of a pixel
  // up with the baseline at y = 0. *ux and *uy are the pixels per outline
  // unit across and up. Null when the glyph has no outline.
  const FT_Outline* LoadOutline(const Glyph& g, bool hinted, double* ux, double* uy);
  // The map that draws an outline of (ux, uy) pixels per unit with its pen
  // position at (x, y), turned by the escapement and slanted for italics.
  Affine Placement(double ux, double uy, double x, double y, int escapement) const;
  // Fills e's ink offsets (see GlyphCache) for glyph g at the escapement.
  void MeasureInkOffsets(const Glyph& g, int escapement, DrawnGlyph& e);
  bool RenderUncached(const Glyph& g, double x, double y, int escapement, const CRect& clip,
                      Coverage& out);

  ResolvedFace m_face;
  bool m_hinting;
  double m_em = 16;
  double m_scale = 0.016;   // pixels per font unit, vertical
  double m_xscale = 0.016;  // pixels per font unit, horizontal (lfWidth)
  double m_boldExtra = 0;   // pixels added to advances by synthesised bold
  bool m_rendersOutlines = false;  // RendersOutlines, taken once
  TEXTMETRIC m_tm{};
  Glyph m_byteGlyphs[256];
  bool m_byteKnown[256] = {};
  std::unordered_map<char32_t, Glyph> m_glyphs;
  // Outline boxes in outline units (after shift and emboldening) by glyph
  // and hinting, with the pixels per unit; a glyph without outline has
  // xMin > xMax in both.
  struct OutlineKey {
    const LoadedFace* face;
    unsigned index;
    int dx, dy;
    bool hinted;
    bool operator==(const OutlineKey&) const = default;
  };
  struct OutlineKeyHash {
    size_t operator()(const OutlineKey& k) const noexcept;
  };
  struct OutlineBox {
    FT_BBox box;  // of the control points
    double ux, uy;
  };
  // The box of glyph g's outline, loaded once.
  const OutlineBox& BoxesOf(const Glyph& g, bool hinted);
  std::unordered_map<OutlineKey, OutlineBox, OutlineKeyHash> m_boxes;
  GlyphCache m_drawn;
  std::u32string m_decoded;
  ByteAdvances m_byteAdvances;
};

// Whether two LOGFONTs are equal but for the escapement and orientation,
// which drawing applies: the same realised font. Compared a word at a time,
// without a call: every measuring and drawing request compares.
inline bool SameFontButAngle(const LOGFONT& a, const LOGFONT& b) {
  static_assert(offsetof(LOGFONT, lfEscapement) == 8 && offsetof(LOGFONT, lfWeight) == 16 &&
                sizeof(LOGFONT) == 60);
  const char* pa = reinterpret_cast<const char*>(&a);
  const char* pb = reinterpret_cast<const char*>(&b);
  auto word = [](const char* p, size_t at) {
    std::uint64_t w;
    std::memcpy(&w, p + at, sizeof w);
    return w;
  };
  std::uint64_t diff = word(pa, 0) ^ word(pb, 0);
  for (size_t at = 16; at < 56; at += 8) diff |= word(pa, at) ^ word(pb, at);
  std::uint32_t tailA, tailB;
  std::memcpy(&tailA, pa + 56, 4);
  std::memcpy(&tailB, pb + 56, 4);
  return diff == 0 && tailA == tailB;
}

std::recursive_mutex& Mutex();
// The realised font of a LOGFONT; equal LOGFONTs (escapement aside) share it.
// Fonts realised without hinting never hint (see RealizedFont::Hinted).
std::shared_ptr<RealizedFont> Realize(const LOGFONT& lf, bool hinting = true);
// Realize for callers that hold Mutex(): no lock is taken and no reference
// counted. The font stays realised until fonts are realised again.
const std::shared_ptr<RealizedFont>& RealizeLocked(const LOGFONT& lf, bool hinting = true);
// How many fonts were realised so far (cache misses), for tests.
long RealizedFontCount();

// Measuring, as CDC asks for it (font_measure.cpp).
CSize MeasureText(const LOGFONT& lf, const char* s, int n, int codePage);
void GetMetrics(const LOGFONT& lf, TEXTMETRIC* tm);

}  // namespace lexaro::font
