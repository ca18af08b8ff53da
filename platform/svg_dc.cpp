#include "lexaro/svg_dc.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "lexaro/raster_dc.h"
#include "platform/file_output.h"
#include "platform/font/font_engine.h"
#include "platform/font/outline_cache.h"
#include "platform/font/text_run.h"
#include "platform/svg_shapes.h"
#include "platform/svg_writer.h"

using lexaro::svg::AppendPolygon;
using lexaro::svg::IsTransparent;
using lexaro::svg::OutlineKey;
using lexaro::svg::Polygon;

namespace {

// Whether an outline with control box cb placed by m can reach into the
// rectangle.
bool Reaches(const FT_BBox& cb, const lexaro::font::Affine& m, const CRect& clip) {
  double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
  for (FT_Pos x : {cb.xMin, cb.xMax})
    for (FT_Pos y : {cb.yMin, cb.yMax}) {
      double X = m.xx * x + m.xy * y + m.tx, Y = m.yx * x + m.yy * y + m.ty;
      x0 = std::min(x0, X), x1 = std::max(x1, X), y0 = std::min(y0, Y), y1 = std::max(y1, Y);
    }
  return x1 >= clip.left && x0 <= clip.right && y1 >= clip.top && y0 <= clip.bottom;
}

}  // namespace

CSvgDC::CSvgDC(int width, int height, COLORREF background)
    : m_width(width),
      m_height(height),
      m_background(background),
      m_writer(std::make_unique<Writer>(width, height, background)) {
  if (width < 0 || height < 0 || width > CRasterDC::kMaxSide || height > CRasterDC::kMaxSide ||
      (long long)width * height > CRasterDC::kMaxPixels)
    throw std::invalid_argument("SVG surface of " + std::to_string(width) + " x " + std::to_string(height) +
                                " pixels refused: each side must be 0 to " + std::to_string(CRasterDC::kMaxSide) +
                                " and the area at most " + std::to_string(CRasterDC::kMaxPixels) + " pixels");
}

CSvgDC::~CSvgDC() = default;

bool CSvgDC::Truncated() const { return m_writer->truncated; }

std::string CSvgDC::Svg() const {
  m_writer->Flush();
  std::string w = std::to_string(m_width), h = std::to_string(m_height);
  std::string out;
  out.reserve(m_writer->defs.size() + m_writer->body.size() + 256);
  out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"";
  out += w;
  out += "\" height=\"";
  out += h;
  out += "\" viewBox=\"0 0 ";
  out += w;
  out += ' ';
  out += h;
  out += "\">\n";
  if (!m_writer->defs.empty()) {
    out += "<defs>\n";
    out += m_writer->defs;
    out += "</defs>\n";
  }
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
  return lexaro::output::WriteOutputFile(path, Svg(), error);
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
  // Bands become paths cut to the neighbourhood of the visible area; glyphs
  // become uses of their outlines, gathered into one group of the colour.
  struct Painter : lf::TextRunSink {
    Writer& w;
    const TextOutRequest& req;
    CRect clip;
    int escapement;
    std::string& uses;  // the run's glyphs, in a buffer the writer keeps
    // The map of the last face's outlines with the pen at (0, 0): the run
    // has one font and escapement, so only the pen position changes.
    const lf::LoadedFace* placedFace = nullptr;
    lf::Affine placement{};
    Painter(Writer& writer, const TextOutRequest& r, CRect c)
        : w(writer), req(r), clip(c), escapement((r.font.lfEscapement % 3600 + 3600) % 3600), uses(writer.runUses) {
      uses.clear();
    }
    void Band(const double q[8], COLORREF color) override {
      Polygon quad = {{q[0], q[1]}, {q[2], q[3]}, {q[4], q[5]}, {q[6], q[7]}};
      Polygon cut = lexaro::svg::ClipPolygon(quad, clip.left - 1.0, clip.top - 1.0, clip.right + 1.0, clip.bottom + 1.0);
      if (cut.empty()) return;
      std::string d;
      AppendPolygon(d, cut);
      w.EmitPath(color, "", d);
    }
    bool Glyph(lf::RealizedFont& font, const lf::Glyph& g, double x, double y) override {
      if (!w.Fits(uses.size())) return false;
      // Glyphs without contours draw nothing, and glyphs wholly outside the
      // visible area are left out. (A glyph whose outline reaches the area
      // has ink there: its ink box holds the outline's box, rounded out.)
      const lf::KeptOutline* outline = lf::KeptGlyphOutline(font, g);
      if (!outline || !outline->hasPoints || !outline->hasContours) return true;
      if (g.face != placedFace) placement = font.OutlinePlacement(g, 0, 0, escapement), placedFace = g.face;
      lf::Affine m = placement;
      m.tx = x, m.ty = y;
      if (!Reaches(outline->controlBox, m, clip)) return true;
      int id = w.GlyphId(OutlineKey{g.face, g.index, g.dx, g.dy, font.SynthBold()}, *outline);
      if (id >= 0) w.AppendUse(uses, id, m);
      return true;
    }
    void GlyphsDone() override {
      if (uses.empty()) return;
      w.OpenFill(req.color);
      w.Emit(uses);
    }
  };
  CRect clip;
  GetClipBox(&clip);
  if (clip.IsRectEmpty()) return;
  m_writer->Flush();
  m_writer->EnterClip(GetClipRegion(), SurfaceBounds());
  Painter painter(*m_writer, req, clip);
  lf::WalkTextRun(req, painter);
}
