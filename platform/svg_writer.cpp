#include "platform/svg_writer.h"

#include <algorithm>

#include "platform/svg_shapes.h"

using lexaro::svg::AppendRect;
using lexaro::svg::ColorText;
using lexaro::svg::IsTransparent;
using lexaro::svg::OutlineKey;

namespace {

// Pixels and rectangles are gathered up to this many before they are merged.
constexpr size_t kMergeBatch = 1 << 18;
// The definitions and the body start with this much room.
constexpr size_t kStartBytes = 1000;

}  // namespace

CSvgDC::Writer::Writer(int width, int height, COLORREF background) {
  // Room for a formula's document, so that it seldom grows by copying
  // (and small enough for the allocator's fast per-thread lists).
  defs.reserve(kStartBytes);
  body.reserve(kStartBytes);
  runUses.reserve(kStartBytes / 4);
  m_size[0] = std::to_string(width);
  m_size[1] = std::to_string(height);
  // The background belongs to the body: erasing removes it too.
  if (!IsTransparent(background))
    body += "<rect width=\"" + m_size[0] + "\" height=\"" + m_size[1] + "\" fill=\"" + ColorText(background) + "\"/>\n";
}

bool CSvgDC::Writer::Fits(size_t more) {
  if (defs.size() + body.size() + m_batch.size() + more > size_t(kMaxBodyBytes)) truncated = true;
  return !truncated;
}

void CSvgDC::Writer::Emit(const std::string& s) {
  if (Fits(s.size())) body += s;
}

void CSvgDC::Writer::EmitPath(COLORREF color, std::string_view attributes, std::string_view d) {
  constexpr std::string_view kOpen = "<path fill=\"#rrggbb\"", kData = " d=\"", kClose = "\"/>\n";
  if (!Fits(kOpen.size() + attributes.size() + kData.size() + d.size() + kClose.size())) return;
  body += "<path fill=\"";
  lexaro::svg::AppendColor(body, color);
  body += '"';
  body += attributes;
  body += kData;
  body += d;
  body += kClose;
}

std::string* CSvgDC::Writer::Batch(COLORREF color) {
  if (IsTransparent(color)) color = CLR_TRANSPARENT;
  if (m_batchOpen && m_batchColor != color) Flush();
  m_batchOpen = true;
  m_batchColor = color;
  return Fits(64) ? &m_batch : nullptr;
}

void CSvgDC::Writer::AddPixel(int x, int y, COLORREF color) {
  if (!Batch(color)) return;
  m_pixels.emplace_back(y, x);
  if (m_pixels.size() >= kMergeBatch) MergePixels();
}

void CSvgDC::Writer::AddRect(const CRect& r, COLORREF color) {
  if (!Batch(color)) return;
  m_rects.push_back(r);
  if (m_rects.size() >= kMergeBatch) MergeRects(true);
}

void CSvgDC::Writer::Flush() {
  if (!m_batchOpen) return;
  MergePixels();
  MergeRects(true);
  if (!m_batch.empty()) {
    // Shapes are clipped already: they stand outside any clip group.
    CloseGroup();
    if (IsTransparent(m_batchColor))
      Erase();
    else
      EmitPath(m_batchColor, " shape-rendering=\"crispEdges\"", m_batch);
  }
  m_batch.clear();
  m_batchOpen = false;
}

// Painting a transparent colour erases what was drawn before (the
// background too): everything so far is put under a mask that hides the
// batch's shapes. Beyond kMaxErasures nested masks, erasing is dropped.
void CSvgDC::Writer::Erase() {
  if (m_masks >= kMaxErasures) {
    truncated = true;
    return;
  }
  std::string id = std::to_string(m_masks++);
  id.insert(0, 1, 'e');
  if (!Fits(m_batch.size() + 256)) return;
  defs += "<mask id=\"" + id + "\" maskUnits=\"userSpaceOnUse\" x=\"0\" y=\"0\" width=\"" + m_size[0] +
          "\" height=\"" + m_size[1] + "\"><rect width=\"" + m_size[0] + "\" height=\"" + m_size[1] +
          "\" fill=\"#fff\"/><path shape-rendering=\"crispEdges\" d=\"" + m_batch + "\"/></mask>\n";
  body = "<g mask=\"url(#" + id + ")\">\n" + body + "</g>\n";
}

// Glyphs of one colour drawn one after another share a group that gives
// their fill.
void CSvgDC::Writer::OpenFill(COLORREF color) {
  if (inFill && m_fill == color) return;
  CloseFill();
  constexpr std::string_view kGroup = "<g fill=\"#rrggbb\">\n";
  if (Fits(kGroup.size())) {
    body += "<g fill=\"";
    lexaro::svg::AppendColor(body, color);
    body += "\">\n";
  }
  inFill = !truncated;
  m_fill = color;
}

void CSvgDC::Writer::CloseFill() {
  if (!inFill) return;
  body += "</g>\n";
  inFill = false;
}

// Closes the fill group and the clip group.
void CSvgDC::Writer::CloseGroup() {
  CloseFill();
  if (!inGroup) return;
  body += "</g>\n";
  inGroup = false;
}

// Puts what follows inside a group clipped by the region (or outside any
// group when there is none). Clip paths are defined once per region.
void CSvgDC::Writer::EnterClip(const CRgn* clip, const CRect& surface) {
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
int CSvgDC::Writer::GlyphId(const OutlineKey& key, const lexaro::font::KeptOutline& outline) {
  auto it = m_glyphs.find(key);
  if (it != m_glyphs.end()) return it->second;
  const std::string& d = outline.path;
  int id = -1;
  if (!d.empty() && Fits(d.size() + 64)) {
    id = m_glyphCount++;
    defs += "<path id=\"g";
    lexaro::svg::AppendInt(defs, id);
    defs += "\" d=\"";
    defs += d;
    defs += '"';
    if (outline.evenOdd) defs += " fill-rule=\"evenodd\"";
    defs += "/>\n";
  }
  if (!truncated) m_glyphs.emplace(key, id);
  return id;
}

namespace {

// The text of a glyph placement's scale and turn ("xx yx xy yy "), for the
// last few placements: glyphs of one font share it, in every document. The
// scale needs more decimals than the position: it multiplies font units.
// Used under the font engine's lock: glyphs are placed while their text run
// is walked.
const std::string& ScaleText(const double (&scale)[4]) {
  struct Entry {
    double scale[4];
    std::string text;
  };
  static Entry entries[8];
  static size_t next = 0;
  for (const Entry& e : entries)
    if (!e.text.empty() && std::equal(scale, scale + 4, e.scale)) return e.text;
  Entry& e = entries[next];
  next = (next + 1) % std::size(entries);
  std::copy(scale, scale + 4, e.scale);
  e.text.clear();
  for (double v : scale) {
    lexaro::svg::AppendNumber(e.text, v, 6);
    e.text += ' ';
  }
  return e.text;
}

}  // namespace

void CSvgDC::Writer::AppendUse(std::string& out, int id, const lexaro::font::Affine& m) {
  out += "<use xlink:href=\"#g";
  lexaro::svg::AppendInt(out, id);
  out += "\" transform=\"matrix(";
  out += ScaleText({m.xx, m.yx, m.xy, m.yy});
  lexaro::svg::AppendNumber(out, m.tx);
  out += ' ';
  lexaro::svg::AppendNumber(out, m.ty);
  out += ")\"/>\n";
}

// Turns the gathered pixels into rectangles, one per run along a row.
void CSvgDC::Writer::MergePixels() {
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
void CSvgDC::Writer::MergeRects(bool write) {
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
