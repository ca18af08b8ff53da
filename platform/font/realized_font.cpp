#include <ft2build.h>
#include FT_ADVANCES_H
#include FT_BBOX_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>

#include "platform/font/font_engine.h"
#include "platform/font/stem_fit.h"
#include "platform/pixel_blend.h"
#include "platform/rounding_clones.h"

namespace lexaro::font {
namespace {

constexpr double kItalicShear = 0.2126;  // the slant of synthesised italics
constexpr double kMaxStemEm = 0.25;      // the thickest horizontal stem that is fitted
constexpr double kCacheMaxEm = 100;      // larger glyphs are rendered, not cached

// An escapement as 0 to 3599 tenths of a degree.
int Normalized(int escapement) {
  if (escapement >= 0 && escapement < 3600) return escapement;  // spares a division
  escapement %= 3600;
  return escapement < 0 ? escapement + 3600 : escapement;
}

// The pixel row a hinted glyph's baseline lies on: the one nearest y.
double BaselineRow(double y) { return std::floor(y + 0.5); }

LONG RoundToLong(double v) {
  return LONG(std::lround(std::clamp(v, -2147483647.0, 2147483647.0)));
}

// The em height a LOGFONT asks for, in pixels.
double EmOf(const LOGFONT& lf, const LoadedFace* f) {
  double em;
  if (lf.lfHeight < 0)
    em = -double(lf.lfHeight);
  else if (lf.lfHeight > 0)
    em = f ? double(lf.lfHeight) * f->upem / (f->winAscent + f->winDescent) : lf.lfHeight;
  else
    em = 16;
  return std::min(em, kMaxEm);
}

}  // namespace

RealizedFont::RealizedFont(const LOGFONT& lf, bool hinting) : m_hinting(hinting) {
  m_face = ResolveFace(lf.lfFaceName, lf.lfWeight >= 600, lf.lfItalic != 0, lf.lfCharSet);
  const LoadedFace* f = m_face.face;
  m_em = EmOf(lf, f);
  double upem = f ? f->upem : 1000;
  m_scale = m_em / upem;
  m_xscale = m_scale;
  double avg = f ? f->avgWidth : 500;
  if (lf.lfWidth != 0 && avg > 0) {
    double wanted = std::min(std::fabs(double(lf.lfWidth)), kMaxEm);
    m_xscale = wanted / avg;
  }
  if (m_face.synthBold) m_boldExtra = std::max(1.0, m_em / 24.0);

  double ascent = f ? f->winAscent : 800, descent = f ? f->winDescent : 200;
  m_tm.tmAscent = RoundToLong(ascent * m_scale);
  m_tm.tmDescent = RoundToLong(descent * m_scale);
  m_tm.tmHeight = m_tm.tmAscent + m_tm.tmDescent;
  m_tm.tmInternalLeading = m_tm.tmHeight - RoundToLong(m_em);
  m_tm.tmExternalLeading = RoundToLong((f ? f->lineGap : 0) * m_scale);
  m_tm.tmAveCharWidth = RoundToLong(avg * m_xscale);
  m_tm.tmMaxCharWidth = RoundToLong((f ? f->maxWidth : 1000) * m_xscale + m_boldExtra);
  m_tm.tmWeight = lf.lfWeight ? lf.lfWeight : FW_NORMAL;
  m_tm.tmOverhang = 0;
  m_tm.tmDigitizedAspectX = m_tm.tmDigitizedAspectY = 96;
  m_tm.tmFirstChar = 0x20;
  m_tm.tmLastChar = 0xFF;
  m_tm.tmDefaultChar = 0x1F;
  m_tm.tmBreakChar = 0x20;
  m_tm.tmItalic = lf.lfItalic;
  m_tm.tmUnderlined = lf.lfUnderline;
  m_tm.tmStruckOut = lf.lfStrikeOut;
  m_tm.tmPitchAndFamily = 0x06;  // scalable outline font
  m_tm.tmCharSet = m_face.charset;
  // Asked for every glyph drawn and measured; the sizes never change.
  m_rendersOutlines = LargestEm() > kCacheMaxEm;
}

const Glyph& RealizedFont::GlyphFor(char32_t cp) {
  auto it = m_glyphs.find(cp);
  if (it != m_glyphs.end()) return it->second;
  Glyph g{nullptr, 0, 0};
  // Control characters take no room and draw nothing.
  bool control = cp < 0x20 || cp == 0x7F;
  if (m_face.face && !control) {
    LoadedFace* face = m_face.face;
    unsigned index = FT_Get_Char_Index(face->ft, cp);
    if (index == 0 && m_face.encoding != Encoding::Symbol) {
      if (LoadedFace* fb = FallbackFace(cp)) {
        face = fb;
        index = FT_Get_Char_Index(fb->ft, cp);
      }
    }
    FT_Fixed units = 0;
    FT_Get_Advance(face->ft, index, FT_LOAD_NO_SCALE, &units);
    // A fallback face is drawn at the same em height as the chosen one.
    double ratio = m_face.face->upem / face->upem;
    g = Glyph{face, index, int(RoundToLong(double(units) * ratio * m_xscale + m_boldExtra))};
    for (const GlyphShift& shift : m_face.shifts) {
      if (face == m_face.face && cp == shift.byte) {
        g.dx = shift.dx;
        g.dy = shift.dy;
      }
    }
  }
  return m_glyphs.emplace(cp, g).first->second;
}

void RealizedFont::Layout(const char* s, int n, int codePage, std::vector<Glyph>& out) {
  out.clear();
  auto byteGlyph = [this](char32_t cp) -> const Glyph& {
    if (!m_byteKnown[cp]) {
      m_byteGlyphs[cp] = GlyphFor(cp);
      m_byteKnown[cp] = true;
    }
    return m_byteGlyphs[cp];
  };
  // Most runs are a few ASCII letters, and each byte of a symbol font or
  // below 0x80 in text reads as the code point of its value in every code
  // page: such runs skip decoding.
  if (s && n > 0 && m_face.encoding != Encoding::Wingdings) {
    const auto* u = reinterpret_cast<const unsigned char*>(s);
    bool own = true;
    if (m_face.encoding != Encoding::Symbol)
      for (int i = 0; i < n && own; ++i) own = u[i] < 0x80;
    if (own) {
      out.reserve(size_t(n));
      for (int i = 0; i < n; ++i) out.push_back(byteGlyph(u[i]));
      return;
    }
  }
  Decode(s, n, m_face.encoding, codePage, m_decoded);
  out.reserve(m_decoded.size());
  for (char32_t cp : m_decoded) out.push_back(cp < 256 ? byteGlyph(cp) : GlyphFor(cp));
}

Affine RealizedFont::Placement(double ux, double uy, double x, double y, int escapement) const {
  double angle = escapement * (M_PI / 1800.0);
  double c = std::cos(angle), s = std::sin(angle);
  double k = m_face.synthItalic ? kItalicShear : 0.0;
  return Affine{ux * c, ux * k * c - uy * s, -ux * s, -ux * k * s - uy * c, x, y};
}

bool RealizedFont::Hinted(int escapement) const {
  return m_hinting && Normalized(escapement) == 0 && m_em <= kHintMaxEm;
}

const FT_Outline* RealizedFont::LoadOutline(const Glyph& g, bool hinted, double* ux, double* uy) {
  if (!g.face) return nullptr;
  FT_Face ft = g.face->ft;
  if (FT_Load_Glyph(ft, g.index, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING) != 0 ||
      ft->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
    return nullptr;
  FT_Outline& outline = ft->glyph->outline;
  if (g.dx != 0 || g.dy != 0) FT_Outline_Translate(&outline, g.dx, g.dy);
  if (m_face.synthBold) {
    FT_Pos strength = FT_Pos(g.face->upem / 24);
    FT_Outline_EmboldenXY(&outline, strength, 0);
  }
  // A fallback face is drawn at the same em height as the chosen one.
  double ratio = m_face.face->upem / g.face->upem;
  *ux = m_xscale * ratio;
  *uy = m_scale * ratio;
  if (hinted) {
    // Fitted in 64ths of a pixel up and the same units across, so that a
    // stretched or slanted glyph keeps its proportions.
    double units = *uy * kFitUnitsPerPixel;
    for (int i = 0; i < outline.n_points; ++i) {
      FT_Vector& p = outline.points[i];
      p.x = FT_Pos(std::lround(std::clamp(double(p.x) * units, -1e15, 1e15)));
      p.y = FT_Pos(std::lround(std::clamp(double(p.y) * units, -1e15, 1e15)));
    }
    FitStemsToRows(outline, m_em * kMaxStemEm);
    *ux /= units;
    *uy /= units;
  }
  return &outline;
}

const FT_Outline* RealizedFont::GlyphOutline(const Glyph& g, double x, double y, int escapement,
                                             Affine* m) {
  double ux, uy;
  const FT_Outline* outline = LoadOutline(g, false, &ux, &uy);
  if (outline) *m = Placement(ux, uy, x, y, escapement);
  return outline;
}

Affine RealizedFont::OutlinePlacement(const Glyph& g, double x, double y, int escapement) const {
  // As LoadOutline scales an unhinted outline.
  double ratio = m_face.face->upem / g.face->upem;
  return Placement(m_xscale * ratio, m_scale * ratio, x, y, escapement);
}

size_t RealizedFont::OutlineKeyHash::operator()(const OutlineKey& k) const noexcept {
  size_t h = std::hash<const void*>()(k.face);
  h = h * 1000003u ^ k.index;
  return (h * 1000003u ^ size_t(k.dx) ^ size_t(k.dy) << 20) * 2 + k.hinted;
}

// The em, or the width's scale where the font is stretched wider.
double RealizedFont::LargestEm() const { return m_em * std::max(1.0, m_xscale / m_scale); }


const RealizedFont::OutlineBox& RealizedFont::BoxesOf(const Glyph& g, bool hinted) {
  OutlineKey key{g.face, g.index, g.dx, g.dy, hinted};
  auto it = m_boxes.find(key);
  if (it != m_boxes.end()) return it->second;
  OutlineBox ob{{1, 1, 0, 0}, 0, 0};
  const FT_Outline* outline = LoadOutline(g, hinted, &ob.ux, &ob.uy);
  if (outline && outline->n_points > 0 && outline->n_contours > 0) FT_Outline_Get_CBox(outline, &ob.box);
  return m_boxes.emplace(key, ob).first->second;
}

void RealizedFont::MeasureInkOffsets(const Glyph& g, int escapement, DrawnGlyph& e) {
  e.measured = true;
  for (bool hinted : {false, true}) {
    if (hinted && !Hinted(escapement)) break;
    const OutlineBox& ob = BoxesOf(g, hinted);
    if (ob.box.xMin > ob.box.xMax) return;
    // Mapped with the pen at the origin: adding the pen position to these
    // sums later rounds exactly as mapping with it would (the translation
    // is the last term added), and rounding keeps the order of the corners.
    GrowByMappedBox(Placement(ob.ux, ob.uy, 0, 0, escapement), ob.box, (hinted ? e.hinted : e.plain).box);
  }
  e.inked = true;
}

LEXARO_ROUNDING_CLONES
bool RealizedFont::InkBox(const Glyph& g, double x, double y, int escapement, double box[4]) {
  if (!g.face) return false;
  DrawnGlyph& e = m_drawn.Find(GlyphCache::Key{g.face, g.index, g.dx, g.dy, escapement});
  if (!e.measured) MeasureInkOffsets(g, escapement, e);
  if (!e.inked) return false;
  // Four plain copies: a copy of four doubles may otherwise become a call.
  auto copy = [](const double* from, double* to) {
    to[0] = from[0], to[1] = from[1], to[2] = from[2], to[3] = from[3];
  };
  if (x == e.lastX && y == e.lastY) {
    copy(e.lastBox, box);
    return true;
  }
  // A hinted glyph's box holds its outline both hinted and as the font has
  // it, which vector surfaces draw.
  const double* p = e.plain.box;
  double ink[4] = {p[0] + x, p[1] + y, p[2] + x, p[3] + y};
  if (Hinted(escapement)) {
    const double* h = e.hinted.box;
    double row = BaselineRow(y);
    ink[0] = std::min(ink[0], h[0] + x), ink[1] = std::min(ink[1], h[1] + row);
    ink[2] = std::max(ink[2], h[2] + x), ink[3] = std::max(ink[3], h[3] + row);
  }
  // A cached map is drawn up to a quarter pixel from the pen position, and
  // coverage reaches into the pixels the outline touches.
  box[0] = std::floor(ink[0]) - 1, box[1] = std::floor(ink[1]) - 1;
  box[2] = std::ceil(ink[2]) + 1, box[3] = std::ceil(ink[3]) + 1;
  e.lastX = x, e.lastY = y;
  copy(box, e.lastBox);
  return true;
}

bool RealizedFont::RenderUncached(const Glyph& g, double x, double y, int escapement,
                                  const CRect& clip, Coverage& out) {
  bool hinted = Hinted(escapement);
  double ux, uy;
  const FT_Outline* outline = LoadOutline(g, hinted, &ux, &uy);
  if (!outline) return false;
  return RenderOutline(*outline, Placement(ux, uy, x, hinted ? BaselineRow(y) : y, escapement), clip, out);
}

LEXARO_ROUNDING_CLONES
const Coverage* RealizedFont::RenderGlyph(const Glyph& g, double x, double y, int escapement,
                                          const CRect& clip, Coverage& scratch, int* dx, int* dy) {
  *dx = *dy = 0;
  if (!g.face) return nullptr;
  escapement = Normalized(escapement);
  if (RendersOutlines()) return RenderUncached(g, x, y, escapement, clip, scratch) ? &scratch : nullptr;
  // Glyphs of ordinary sizes are rendered once per quarter-pixel position;
  // hinted ones stand on whole rows.
  if (Hinted(escapement)) y = BaselineRow(y);
  double fx = std::floor(x), fy = std::floor(y);
  int subX = int((x - fx) * 4), subY = int((y - fy) * 4), slot = subY * 4 + subX;
  DrawnGlyph& e = m_drawn.Find(GlyphCache::Key{g.face, g.index, g.dx, g.dy, escapement});
  Coverage& cov = e.maps[slot];
  if (!(e.rendered >> slot & 1)) {
    int reach = int(LargestEm() * 8) + 16;
    CRect all(-reach, -reach, reach, reach);
    // Kept without blank edges and in whole blend steps, so blits skip
    // pixels they would not change.
    if (RenderUncached(g, subX / 4.0, subY / 4.0, escapement, all, cov))
      TrimCoverage(cov, pixels::kBlendStep);
    else
      cov = Coverage{};
    e.rendered |= std::uint16_t(1u << slot);
    m_drawn.Grew(cov.alpha.size());
  }
  if (cov.width == 0) return nullptr;
  // Callers keep pen positions far inside the int range; clamp regardless.
  *dx = int(std::clamp(fx, -1073741824.0, 1073741824.0));
  *dy = int(std::clamp(fy, -1073741824.0, 1073741824.0));
  return &cov;
}

void RealizedFont::UnderlineBand(double* top, double* thickness) const {
  const LoadedFace* f = m_face.face;
  double t = std::max(1.0, std::round((f ? f->underlineThickness : 50) * m_scale));
  *top = std::round(-(f ? f->underlinePos : -100) * m_scale - t / 2);
  *thickness = t;
}

void RealizedFont::StrikeOutBand(double* top, double* thickness) const {
  const LoadedFace* f = m_face.face;
  double t = std::max(1.0, std::round((f ? f->strikeSize : 50) * m_scale));
  *top = std::round(-(f ? f->strikePos : 250) * m_scale);
  *thickness = t;
}

}  // namespace lexaro::font
