#include "lexaro/svg_dc.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <tuple>
#include <vector>

#include "lexaro/raster_dc.h"
#include "platform/font/font_engine.h"
#include "platform/svg_shapes.h"

#include FT_OUTLINE_H

using lexaro::svg::AppendNumber;
using lexaro::svg::AppendPolygon;
using lexaro::svg::AppendRect;
using lexaro::svg::ColorText;
using lexaro::svg::Polygon;

namespace {

// Glyphs whose pen position lies farther than this from the origin are not
// drawn, as on the raster surface.
constexpr double kFarAway = double(1 << 30);
// Pixels and rectangles are gathered up to this many before they are merged.
constexpr size_t kMergeBatch = 1 << 18;

bool IsTransparent(COLORREF c) { return (c & 0xFF000000u) != 0; }

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

// Path data of an outline in font units (y up), as whole numbers in
// relative commands, a command letter only where it changes.
std::string OutlinePath(const FT_Outline& outline) {
  struct Sink {
    std::string d;
    char last = 0;
    FT_Vector at{0, 0}, start{0, 0};
    void Command(char c, std::initializer_list<const FT_Vector*> points) {
      bool separate = c == last;
      if (!separate) d += c;
      last = c == 'm' ? 'l' : c;  // numbers after a move continue as lines
      for (const FT_Vector* p : points) {
        for (FT_Pos v : {p->x - at.x, p->y - at.y}) {
          if (separate && v >= 0) d += ' ';
          d += std::to_string(v);
          separate = true;
        }
      }
      at = *points.end()[-1];
    }
  } sink;
  FT_Outline_Funcs funcs{};
  funcs.move_to = [](const FT_Vector* to, void* u) {
    auto* s = static_cast<Sink*>(u);
    if (!s->d.empty()) {
      s->d += 'z';
      s->at = s->start;  // a closed subpath ends where it began
    }
    s->last = 0;
    s->Command('m', {to});
    s->start = *to;
    return 0;
  };
  funcs.line_to = [](const FT_Vector* to, void* u) {
    static_cast<Sink*>(u)->Command('l', {to});
    return 0;
  };
  funcs.conic_to = [](const FT_Vector* c, const FT_Vector* to, void* u) {
    static_cast<Sink*>(u)->Command('q', {c, to});
    return 0;
  };
  funcs.cubic_to = [](const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* u) {
    static_cast<Sink*>(u)->Command('c', {c1, c2, to});
    return 0;
  };
  FT_Outline copy = outline;
  if (FT_Outline_Decompose(&copy, &funcs, &sink) != 0) return "";
  if (!sink.d.empty()) sink.d += 'z';
  return sink.d;
}

}  // namespace

// The document as it grows: definitions (glyph outlines, clip paths) and the
// body in drawing order. Opaque shapes of one colour drawn one after another
// (fills, lines, pixels) are gathered into one path; text under a clip
// region goes into a group clipped by it.
class CSvgDC::Writer {
 public:
  std::string defs, body;
  std::string size[2];  // the surface's width and height
  bool truncated = false;
  bool inGroup = false;  // inside a clip group
  bool inFill = false;   // inside a fill group (within the clip group)

  bool Fits(size_t more) {
    if (defs.size() + body.size() + m_batch.size() + more > size_t(kMaxBodyBytes)) truncated = true;
    return !truncated;
  }
  void Emit(const std::string& s) {
    if (Fits(s.size())) body += s;
  }

  // The gathered path of colour `color`, to which a shape is appended.
  std::string* Batch(COLORREF color) {
    if (IsTransparent(color)) color = CLR_TRANSPARENT;
    if (m_batchOpen && m_batchColor != color) Flush();
    m_batchOpen = true;
    m_batchColor = color;
    return Fits(64) ? &m_batch : nullptr;
  }
  void AddPixel(int x, int y, COLORREF color) {
    if (!Batch(color)) return;
    m_pixels.emplace_back(y, x);
    if (m_pixels.size() >= kMergeBatch) MergePixels();
  }
  void AddRect(const CRect& r, COLORREF color) {
    if (!Batch(color)) return;
    m_rects.push_back(r);
    if (m_rects.size() >= kMergeBatch) MergeRects(true);
  }
  void Flush() {
    if (!m_batchOpen) return;
    MergePixels();
    MergeRects(true);
    if (!m_batch.empty()) {
      // Shapes are clipped already: they stand outside any clip group.
      CloseGroup();
      if (IsTransparent(m_batchColor))
        Erase();
      else
        Emit("<path fill=\"" + ColorText(m_batchColor) + "\" shape-rendering=\"crispEdges\" d=\"" + m_batch + "\"/>\n");
    }
    m_batch.clear();
    m_batchOpen = false;
  }

  // Painting a transparent colour erases what was drawn before (the
  // background too): everything so far is put under a mask that hides the
  // batch's shapes. Beyond kMaxErasures nested masks, erasing is dropped.
  void Erase() {
    if (m_masks >= kMaxErasures) {
      truncated = true;
      return;
    }
    std::string id = "e" + std::to_string(m_masks++);
    if (!Fits(m_batch.size() + 256)) return;
    defs += "<mask id=\"" + id + "\" maskUnits=\"userSpaceOnUse\" x=\"0\" y=\"0\" width=\"" + size[0] +
            "\" height=\"" + size[1] + "\"><rect width=\"" + size[0] + "\" height=\"" + size[1] +
            "\" fill=\"#fff\"/><path shape-rendering=\"crispEdges\" d=\"" + m_batch + "\"/></mask>\n";
    body = "<g mask=\"url(#" + id + ")\">\n" + body + "</g>\n";
  }

  // Glyphs of one colour drawn one after another share a group that gives
  // their fill.
  void OpenFill(COLORREF color) {
    if (inFill && m_fill == color) return;
    CloseFill();
    Emit("<g fill=\"" + ColorText(color) + "\">\n");
    inFill = !truncated;
    m_fill = color;
  }
  void CloseFill() {
    if (!inFill) return;
    body += "</g>\n";
    inFill = false;
  }
  // Closes the fill group and the clip group.
  void CloseGroup() {
    CloseFill();
    if (!inGroup) return;
    body += "</g>\n";
    inGroup = false;
  }
  // Puts what follows inside a group clipped by the region (or outside any
  // group when there is none). Clip paths are defined once per region.
  void EnterClip(const CRgn* clip, const CRect& surface) {
    if (!clip) {
      if (inGroup) CloseGroup();
      return;
    }
    if (inGroup && clip->Rects() == m_clipRects) return;
    CloseGroup();
    if (m_clipId < 0 || clip->Rects() != m_clipRects) {
      std::string d;
      for (const CRect& r : clip->Rects()) {
        CRect v;
        if (v.IntersectRect(r, surface)) AppendRect(d, v.left, v.top, v.right, v.bottom);
      }
      if (!Fits(d.size() + 64)) return;
      m_clipRects = clip->Rects();
      m_clipId = m_clipCount++;
      defs += "<clipPath id=\"c" + std::to_string(m_clipId) + "\"><path d=\"" + d + "\"/></clipPath>\n";
    }
    Emit("<g clip-path=\"url(#c" + std::to_string(m_clipId) + ")\">\n");
    inGroup = !truncated;
  }

  // The id of an outline's definition, -1 for an empty outline.
  int GlyphId(const OutlineKey& key, const FT_Outline& outline) {
    auto it = m_glyphs.find(key);
    if (it != m_glyphs.end()) return it->second;
    std::string d = OutlinePath(outline);
    int id = -1;
    if (!d.empty() && Fits(d.size() + 64)) {
      id = m_glyphCount++;
      defs += "<path id=\"g" + std::to_string(id) + "\" d=\"" + d + "\"";
      if (outline.flags & FT_OUTLINE_EVEN_ODD_FILL) defs += " fill-rule=\"evenodd\"";
      defs += "/>\n";
    }
    if (!truncated) m_glyphs.emplace(key, id);
    return id;
  }

 private:
  // Turns the gathered pixels into rectangles, one per run along a row.
  void MergePixels() {
    if (m_pixels.empty()) return;
    std::sort(m_pixels.begin(), m_pixels.end());
    m_pixels.erase(std::unique(m_pixels.begin(), m_pixels.end()), m_pixels.end());
    for (size_t i = 0; i < m_pixels.size();) {
      int y = m_pixels[i].first, x0 = m_pixels[i].second, x1 = x0 + 1;
      for (++i; i < m_pixels.size() && m_pixels[i].first == y && m_pixels[i].second == x1; ++i) ++x1;
      m_rects.emplace_back(x0, y, x1, y + 1);
    }
    m_pixels.clear();
    MergeRects(m_rects.size() >= kMergeBatch);
  }
  // Joins rectangles that meet along a whole side: row runs of equal extent
  // on consecutive rows, the columns of a fill. With `write`, the result is
  // appended to the path.
  void MergeRects(bool write) {
    auto join = [&](auto key, auto meets, auto extend) {
      std::sort(m_rects.begin(), m_rects.end(), [&](const CRect& a, const CRect& b) { return key(a) < key(b); });
      size_t out = 0;
      for (size_t i = 0; i < m_rects.size(); ++i) {
        if (out > 0 && meets(m_rects[out - 1], m_rects[i]))
          extend(m_rects[out - 1], m_rects[i]);
        else
          m_rects[out++] = m_rects[i];
      }
      m_rects.resize(out);
    };
    join([](const CRect& r) { return std::tuple(r.top, r.bottom, r.left); },
         [](const CRect& a, const CRect& b) { return a.top == b.top && a.bottom == b.bottom && b.left <= a.right; },
         [](CRect& a, const CRect& b) { a.right = std::max(a.right, b.right); });
    join([](const CRect& r) { return std::tuple(r.left, r.right, r.top); },
         [](const CRect& a, const CRect& b) { return a.left == b.left && a.right == b.right && b.top <= a.bottom; },
         [](CRect& a, const CRect& b) { a.bottom = std::max(a.bottom, b.bottom); });
    if (!write) return;
    for (const CRect& r : m_rects) {
      if (!Fits(48)) break;
      AppendRect(m_batch, r.left, r.top, r.right, r.bottom);
    }
    m_rects.clear();
  }

  bool m_batchOpen = false;
  COLORREF m_batchColor = 0;
  std::string m_batch;
  std::vector<std::pair<int, int>> m_pixels;  // (y, x)
  std::vector<CRect> m_rects;
  int m_masks = 0;
  COLORREF m_fill = 0;
  std::vector<CRect> m_clipRects;
  int m_clipId = -1, m_clipCount = 0;
  std::map<OutlineKey, int> m_glyphs;
  int m_glyphCount = 0;
};

CSvgDC::CSvgDC(int width, int height, COLORREF background)
    : m_width(width), m_height(height), m_background(background), m_writer(std::make_unique<Writer>()) {
  if (width < 0 || height < 0 || width > CRasterDC::kMaxSide || height > CRasterDC::kMaxSide ||
      (long long)width * height > CRasterDC::kMaxPixels)
    throw std::invalid_argument("SVG surface of " + std::to_string(width) + " x " + std::to_string(height) +
                                " pixels refused: each side must be 0 to " + std::to_string(CRasterDC::kMaxSide) +
                                " and the area at most " + std::to_string(CRasterDC::kMaxPixels) + " pixels");
  m_writer->size[0] = std::to_string(width);
  m_writer->size[1] = std::to_string(height);
  // The background belongs to the body: erasing removes it too.
  if (!IsTransparent(background))
    m_writer->body = "<rect width=\"" + m_writer->size[0] + "\" height=\"" + m_writer->size[1] + "\" fill=\"" +
                     ColorText(background) + "\"/>\n";
}

CSvgDC::~CSvgDC() = default;

bool CSvgDC::Truncated() const { return m_writer->truncated; }

std::string CSvgDC::Svg() const {
  m_writer->Flush();
  std::string w = std::to_string(m_width), h = std::to_string(m_height);
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                    "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
                    "width=\"" + w + "\" height=\"" + h + "\" viewBox=\"0 0 " + w + " " + h + "\">\n";
  if (!m_writer->defs.empty()) out += "<defs>\n" + m_writer->defs + "</defs>\n";
  out += m_writer->body;
  if (m_writer->inFill) out += "</g>\n";
  if (m_writer->inGroup) out += "</g>\n";
  out += "</svg>\n";
  return out;
}

bool CSvgDC::SaveSvg(const std::string& path, std::string* error) const {
  auto fail = [&](const std::string& why) {
    if (error) *error = path + ": " + why;
    return false;
  };
  if (Truncated())
    return fail("the drawing exceeds " + std::to_string(kMaxBodyBytes) + " bytes of SVG or " +
                std::to_string(kMaxErasures) + " erasures and was cut");
  std::string doc = Svg();
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return fail("cannot be opened for writing");
  bool ok = std::fwrite(doc.data(), 1, doc.size(), f) == doc.size();
  ok = std::fclose(f) == 0 && ok;
  return ok ? true : fail("cannot be written");
}

COLORREF CSvgDC::ReadPixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= m_width || y >= m_height) return CLR_INVALID;
  return IsTransparent(m_background) ? CLR_TRANSPARENT : m_background;
}

void CSvgDC::DrawPixel(int x, int y, COLORREF color) {
  if (x < 0 || y < 0 || x >= m_width || y >= m_height) return;
  m_writer->AddPixel(x, y, color);
}

void CSvgDC::FillClipped(long long left, long long top, long long right, long long bottom, COLORREF color) {
  CRect box;
  GetClipBox(&box);
  left = std::max(left, (long long)box.left), right = std::min(right, (long long)box.right);
  top = std::max(top, (long long)box.top), bottom = std::min(bottom, (long long)box.bottom);
  if (left >= right || top >= bottom) return;
  CRect r{int(left), int(top), int(right), int(bottom)};
  const CRgn* clip = GetClipRegion();
  if (!clip) return m_writer->AddRect(r, color);
  for (const CRect& c : clip->Rects()) {
    CRect piece;
    if (piece.IntersectRect(c, r)) m_writer->AddRect(piece, color);
  }
}

void CSvgDC::DrawRect(const CRect& rect, COLORREF color) {
  FillClipped(rect.left, rect.top, rect.right, rect.bottom, color);
}

void CSvgDC::DrawLine(CPoint from, CPoint to, const PenState& pen) {
  if (pen.style == PS_NULL || IsTransparent(pen.color) || pen.width < 1) return;
  long long dx = (long long)to.x - from.x, dy = (long long)to.y - from.y;
  if (dx == 0 && dy == 0) return;
  if (dx == 0 || dy == 0 || std::max(std::llabs(dx), std::llabs(dy)) == 1) {
    // Axis-aligned lines and single steps (patterned lines are drawn step
    // by step) are exact rectangles, which join into runs: the stamps of
    // the first and the last pixel and everything between.
    long long lastX = to.x - (dx > 0) + (dx < 0), lastY = to.y - (dy > 0) + (dy < 0);
    if (dx != 0 && dy != 0) lastX = from.x, lastY = from.y;
    long long w = pen.width, h = w / 2;
    FillClipped(std::min<long long>(from.x, lastX) - h, std::min<long long>(from.y, lastY) - h,
                std::max<long long>(from.x, lastX) - h + w, std::max<long long>(from.y, lastY) - h + w, pen.color);
    return;
  }
  Polygon line = lexaro::svg::LinePolygon(from, to, pen.width);
  CRect box;
  GetClipBox(&box);
  if (line.empty() || box.IsRectEmpty()) return;
  std::string* d = m_writer->Batch(pen.color);
  if (!d) return;
  const CRgn* clip = GetClipRegion();
  // Three decimals: a line's pixels are picked by where its edges pass.
  if (!clip) return AppendPolygon(*d, lexaro::svg::ClipPolygon(line, box.left, box.top, box.right, box.bottom), 3);
  for (const CRect& c : clip->Rects()) {
    CRect piece;
    if (piece.IntersectRect(c, box))
      AppendPolygon(*d, lexaro::svg::ClipPolygon(line, piece.left, piece.top, piece.right, piece.bottom), 3);
  }
}

void CSvgDC::DrawText(const TextOutRequest& req) {
  namespace lf = lexaro::font;
  CRect clip;
  GetClipBox(&clip);
  if (clip.IsRectEmpty()) return;
  Writer& w = *m_writer;
  w.Flush();
  w.EnterClip(GetClipRegion(), SurfaceBounds());
  std::lock_guard lock(lf::Mutex());
  auto font = lf::Realize(req.font);
  static std::vector<lf::Glyph> glyphs;  // used under the engine's lock
  font->Layout(req.bytes, req.count, req.codePage, glyphs);
  long long width = 0;
  for (const lf::Glyph& g : glyphs) width += g.advance;

  int escapement = req.font.lfEscapement % 3600;
  if (escapement < 0) escapement += 3600;
  double angle = escapement * (M_PI / 1800.0);
  double dx = std::cos(angle), dy = -std::sin(angle);  // along the baseline
  double downX = -dy, downY = dx;                       // across it, downwards
  // A band across the run, from `top` to `top + height` below the baseline,
  // cut to the neighbourhood of the visible area.
  auto band = [&](double top, double height, COLORREF color) {
    double wd = double(width), b = top + height;
    Polygon quad = {{req.originX + top * downX, req.originY + top * downY},
                    {req.originX + wd * dx + top * downX, req.originY + wd * dy + top * downY},
                    {req.originX + wd * dx + b * downX, req.originY + wd * dy + b * downY},
                    {req.originX + b * downX, req.originY + b * downY}};
    Polygon cut = lexaro::svg::ClipPolygon(quad, clip.left - 1.0, clip.top - 1.0, clip.right + 1.0, clip.bottom + 1.0);
    if (cut.empty()) return;
    std::string d;
    AppendPolygon(d, cut);
    w.Emit("<path fill=\"" + ColorText(color) + "\" d=\"" + d + "\"/>\n");
  };

  const TEXTMETRIC& tm = font->Metrics();
  if (req.bkMode == OPAQUE && !IsTransparent(req.bkColor) && width > 0)
    band(-tm.tmAscent, tm.tmHeight, req.bkColor);
  if (IsTransparent(req.color)) return;
  std::string uses;
  double pen = 0;
  for (const lf::Glyph& g : glyphs) {
    double gx = req.originX + pen * dx, gy = req.originY + pen * dy;
    pen += g.advance;
    if (std::fabs(gx) > kFarAway || std::fabs(gy) > kFarAway) continue;
    if (!w.Fits(uses.size())) break;
    lf::Affine m;
    const FT_Outline* outline = font->GlyphOutline(g, gx, gy, escapement, &m);
    if (!outline || outline->n_points <= 0) continue;
    // Glyphs wholly outside the visible area are left out.
    FT_BBox cb;
    FT_Outline_Get_CBox(outline, &cb);
    double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
    for (FT_Pos x : {cb.xMin, cb.xMax})
      for (FT_Pos y : {cb.yMin, cb.yMax}) {
        double X = m.xx * x + m.xy * y + m.tx, Y = m.yx * x + m.yy * y + m.ty;
        x0 = std::min(x0, X), x1 = std::max(x1, X), y0 = std::min(y0, Y), y1 = std::max(y1, Y);
      }
    if (x1 < clip.left || x0 > clip.right || y1 < clip.top || y0 > clip.bottom) continue;
    int id = w.GlyphId(OutlineKey{g.face, g.index, g.dx, g.dy, font->SynthBold()}, *outline);
    if (id < 0) continue;
    uses += "<use xlink:href=\"#g" + std::to_string(id) + "\" transform=\"matrix(";
    for (double v : {m.xx, m.yx, m.xy, m.yy}) {
      AppendNumber(uses, v, 6);
      uses += ' ';
    }
    AppendNumber(uses, m.tx);
    uses += ' ';
    AppendNumber(uses, m.ty);
    uses += ")\"/>\n";
  }
  if (!uses.empty()) {
    w.OpenFill(req.color);
    w.Emit(uses);
  }
  double top, thickness;
  if (req.font.lfUnderline) {
    font->UnderlineBand(&top, &thickness);
    band(top, thickness, req.color);
  }
  if (req.font.lfStrikeOut) {
    font->StrikeOutBand(&top, &thickness);
    band(top, thickness, req.color);
  }
}
