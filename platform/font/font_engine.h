// The font engine: realises LOGFONTs through fontconfig and FreeType, caches
// what it realised, measures text and renders glyphs. Every entry point is
// safe to call from several threads: one lock guards the engine.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "lexaro/dc.h"
#include "platform/font/face.h"
#include "platform/font/outline_raster.h"

namespace lexaro::font {

// The largest em height that is realised; larger requests are realised at
// this height (4,194,304 px, far beyond any surface).
constexpr double kMaxEm = double(1 << 22);

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
  explicit RealizedFont(const LOGFONT& lf);

  const TEXTMETRIC& Metrics() const { return m_tm; }
  double Em() const { return m_em; }
  // Glyphs of n bytes; the same advances serve measuring and drawing.
  void Layout(const char* s, int n, int codePage, std::vector<Glyph>& out);
  int Width(const char* s, int n, int codePage);
  // Coverage of glyph g with its pen position at (x, y), turned by the
  // escapement; null when nothing of it lies inside clip. The result is a
  // cached map or `scratch`; its pixels lie at (left + *dx, top + *dy), and
  // a cached map may reach outside the clip.
  const Coverage* RenderGlyph(const Glyph& g, double x, double y, int escapement,
                              const CRect& clip, Coverage& scratch, int* dx, int* dy);
  // The outline of glyph g in font units of its face, moved and emboldened
  // as it is drawn, and in *m the map that places it with its pen position
  // at (x, y), turned by the escapement: what RenderGlyph fills. Null when
  // the glyph has no outline. The outline lives in the face's glyph slot:
  // use it under the engine's lock, before the next glyph is loaded.
  const FT_Outline* GlyphOutline(const Glyph& g, double x, double y, int escapement, Affine* m);
  // The box around the ink of glyph g drawn as RenderGlyph draws it, in
  // surface pixels as {left, top, right, bottom}, rounded out by a pixel: a
  // superset of every pixel RenderGlyph can cover. False when the glyph has
  // no outline. The outline's box is loaded once per glyph and kept.
  bool InkBox(const Glyph& g, double x, double y, int escapement, double box[4]);
  // Whether RenderGlyph renders every glyph from its outline (large
  // glyphs) rather than once per quarter-pixel position into a cache.
  bool RendersOutlines() const;
  // Whether outlines are emboldened (part of what makes two outlines equal).
  bool SynthBold() const { return m_face.synthBold; }
  // Underline and strike-out as (top below the baseline, thickness) in px.
  void UnderlineBand(double* top, double* thickness) const;
  void StrikeOutBand(double* top, double* thickness) const;

 private:
  const Glyph& GlyphFor(char32_t cp);
  double LargestEm() const;
  // The map of GlyphOutline for glyph g at pen position (x, y).
  Affine Placement(const Glyph& g, double x, double y, int escapement) const;
  bool RenderUncached(const Glyph& g, double x, double y, int escapement, const CRect& clip,
                      Coverage& out);

  ResolvedFace m_face;
  double m_em = 16;
  double m_scale = 0.016;   // pixels per font unit, vertical
  double m_xscale = 0.016;  // pixels per font unit, horizontal (lfWidth)
  double m_boldExtra = 0;   // pixels added to advances by synthesised bold
  TEXTMETRIC m_tm{};
  Glyph m_byteGlyphs[256];
  bool m_byteKnown[256] = {};
  std::unordered_map<char32_t, Glyph> m_glyphs;
  struct BitmapKey {
    const LoadedFace* face;
    unsigned index;
    int dx, dy, escapement, subX, subY;
    bool operator==(const BitmapKey&) const = default;
  };
  struct BitmapKeyHash {
    size_t operator()(const BitmapKey& k) const noexcept;
  };
  std::unordered_map<BitmapKey, Coverage, BitmapKeyHash> m_bitmaps;
  // Outline boxes in font units (after shift and emboldening) by glyph;
  // a glyph without outline has xMin > xMax.
  struct OutlineKey {
    const LoadedFace* face;
    unsigned index;
    int dx, dy;
    bool operator==(const OutlineKey&) const = default;
  };
  struct OutlineKeyHash {
    size_t operator()(const OutlineKey& k) const noexcept;
  };
  std::unordered_map<OutlineKey, FT_BBox, OutlineKeyHash> m_boxes;
  size_t m_bitmapBytes = 0;
  std::u32string m_decoded;
};

std::recursive_mutex& Mutex();
// The realised font of a LOGFONT; equal LOGFONTs (escapement aside) share it.
std::shared_ptr<RealizedFont> Realize(const LOGFONT& lf);
// How many fonts were realised so far (cache misses), for tests.
long RealizedFontCount();

CSize MeasureText(const LOGFONT& lf, const char* s, int n, int codePage);
void GetMetrics(const LOGFONT& lf, TEXTMETRIC* tm);

}  // namespace lexaro::font
