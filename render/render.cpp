#include "lexaro/render.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "engine/vocabulary.h"
#include "lexaro/font_tool.h"
#include "lexaro/numeric.h"
#include "lexaro/svg_dc.h"
#include "platform/file_output.h"
#include "render/drawn_box.h"

namespace lexaro {
namespace {

// Bounds of the options: an em beyond the engine's largest is that em
// anyway, and anything beyond these makes no image within the limits.
constexpr int kMaxEm = 65536, kMaxPadding = 65536, kMaxDpi = 100000;
constexpr double kMinScale = 0.01, kMaxScale = 100;

int Scaled(int value, double scale) { return int(std::lround(value * scale)); }

// The escapement in tenths of a degree, within one turn.
long Escapement(double degrees) { return std::lround(std::fmod(degrees, 360.0) * 10.0); }

template <typename T>
Result<T> Failure(std::string message) {
  Result<T> r;
  r.error = std::move(message);
  return r;
}

template <typename T>
Result<T> Success(T value) {
  Result<T> r;
  r.value.emplace(std::move(value));
  return r;
}

// Why the options cannot be used; empty when they can.
std::string Invalid(const RenderOptions& o) {
  if (!(o.scale >= kMinScale && o.scale <= kMaxScale)) return "the scale must lie between 0.01 and 100";
  if (o.em < 1 || Scaled(o.em, o.scale) > kMaxEm) return "the em height must be at least 1 and at most 65536 pixels";
  if (o.padding < 0 || Scaled(o.padding, o.scale) > kMaxPadding)
    return "the padding must be at least 0 and at most 65536 pixels";
  if (o.dpi < 1 || Scaled(o.dpi, o.scale) > kMaxDpi) return "the resolution must lie between 1 and 100000 dpi";
  if (!std::isfinite(o.angle)) return "the angle must be a finite number";
  if (o.codePage != CP_UTF8 && o.codePage != CP_SHIFTJIS) return "the code page must be UTF-8 or Shift_JIS";
  // The translation keeps the TeX's own characters (in \text, say) in the
  // markup, so both are UTF-8.
  if (o.notation == Notation::kTex && o.codePage != CP_UTF8) return "TeX is read as UTF-8: the code page must be UTF-8";
  if (o.background != CLR_TRANSPARENT && (o.background & 0xFF000000) != 0)
    return "the background must be CLR_TRANSPARENT or an opaque colour";
  return {};
}

std::string TooLarge(const std::string& what, long long w, long long h) {
  return what + " " + std::to_string(w) + " x " + std::to_string(h) + " pixels, beyond the limit of " +
         std::to_string(kMaxImageSide) + " pixels a side and " + std::to_string(kMaxImagePixels / 1'000'000) +
         " megapixels";
}

bool WithinLimits(long long w, long long h) {
  return w <= kMaxImageSide && h <= kMaxImageSide && w * h <= kMaxImagePixels;
}

void Prepare(CDC& dc, const RenderOptions& o) {
  dc.SetCodePage(o.codePage);
  dc.SetAntialias(o.antialias);
}

std::unique_ptr<CRasterDC> NewRaster(int width, int height, const RenderOptions& o) {
  auto dc = std::make_unique<CRasterDC>(width, height, o.background);
  dc->SetResolution(Scaled(o.dpi, o.scale));
  Prepare(*dc, o);
  return dc;
}

// A laid-out markup and the image it goes into. Coordinates are those of
// the padded, turned layout box, which lies at (0, 0) - (boxWidth,
// boxHeight); the image may reach beyond it where drawing does.
struct Layout {
  std::string translated;                   // the markup made from TeX
  std::string_view markup;                  // what is laid out: the text or its translation
  std::vector<TexDiagnostic> texDiagnostics;
  std::unique_ptr<CLexaro> engine = std::make_unique<CLexaro>();
  LX_TXT_EXTENT extent{};
  int boxWidth = 1, boxHeight = 1;
  CPoint at;    // where TextOutA puts the layout's top-left corner
  CRect reach;  // the layout box and everything drawn, a little large
};

// TeX is drawn in a serif face unless a face is asked for: its formulas are
// written to be read in one, and the engine's own default face draws a
// backslash as a yen sign.
constexpr const char* kTexFace = "Times New Roman";

void ConfigureEngine(CLexaro& engine, CDC& dc, const RenderOptions& o) {
  LOGFONT lf = lexaro::engine::Params().def_lf;
  const int em = std::max(1, Scaled(o.em, o.scale));
  const std::string face = !o.face.empty() || o.notation != Notation::kTex ? o.face : kTexFace;
  if (face.empty()) {
    lf.lfHeight = -em;
  } else {
    CFontTool tool;
    tool.SetLOGFONT(&lf, -em, CString(face), (unsigned char)tool.GetCharSet(&dc, CString(face)), 1);
  }
  engine.SetFont(lf);
  engine.SetTextColor(o.color);
  engine.SetParam_lfEscapement(Escapement(o.angle));
  engine.SetDebugBoxes(o.debugBoxes);
}

// The padded, turned layout box.
bool PlaceBox(Layout& l, const RenderOptions& o, std::string* error) {
  const LX_TXT_EXTENT& e = l.extent;
  const long long boxW = std::max(0, e.width), boxH = std::max(0, e.ascent) + (long long)std::max(0, e.descent);
  const int pad = Scaled(o.padding, o.scale);
  // A turned box is at least 0.7 times as wide or as tall as its longer
  // side, so anything twice the limit is refused before turning it.
  if (boxW > 2LL * kMaxImageSide || boxH > 2LL * kMaxImageSide)
    return (*error = TooLarge("the drawing is", boxW, boxH)), false;
  const CRect b = TurnedBounds(int(boxW), int(boxH), Escapement(o.angle));
  const long long w = std::max(1LL, (long long)b.Width() + 2LL * pad);
  const long long h = std::max(1LL, (long long)b.Height() + 2LL * pad);
  if (!WithinLimits(w, h)) return (*error = TooLarge("the image would be", w, h)), false;
  l.boxWidth = int(w);
  l.boxHeight = int(h);
  l.at = CPoint(pad - b.left, pad - b.top);
  return true;
}

// Why strict TeX failed: its first diagnostic and how many follow.
std::string TexFailure(const std::vector<TexDiagnostic>& found) {
  if (found.empty()) return "the TeX cannot be translated";
  std::string more;
  if (found.size() > 1) more = " (and " + std::to_string(found.size() - 1) + " more)";
  return "TeX, byte " + std::to_string(found.front().offset) + ": " + found.front().message + more;
}

// The markup the text stands for: the text itself, or its translation.
bool MarkupOfText(std::string_view text, const RenderOptions& o, Layout& l, std::string* error) {
  l.markup = text;
  if (o.notation != Notation::kTex) return true;
  TexResult tex = TranslateTex(text, o.tex);
  if (!tex) return (*error = TexFailure(tex.diagnostics)), false;
  l.translated = std::move(tex.markup);
  l.markup = l.translated;
  l.texDiagnostics = std::move(tex.diagnostics);
  return true;
}

// Lays the text out and finds how far its drawing reaches.
bool LayOut(std::string_view text, const RenderOptions& o, Layout& l, std::string* error) {
  if (std::string why = Invalid(o); !why.empty()) return (*error = why), false;
  if (!MarkupOfText(text, o, l, error)) return false;
  const std::string_view markup = l.markup;
  CRasterDC scratch(1, 1, CLR_TRANSPARENT);
  scratch.SetResolution(Scaled(o.dpi, o.scale));
  Prepare(scratch, o);
  ConfigureEngine(*l.engine, scratch, o);
  if (l.engine->SetText(&scratch, CString(markup)) != 1)
    return (*error = "the markup cannot be laid out (out of memory)"), false;
  // Negative margins may make a valid layout narrower than nothing, which is
  // drawn as it is.
  l.extent = l.engine->GetTextExtent_Ex(&scratch);
  if (!PlaceBox(l, o, error)) return false;
  render::DrawnBoxDC drawn(Scaled(o.dpi, o.scale));
  Prepare(drawn, o);
  if (l.engine->TextOutA(&drawn, l.at) != 1) return (*error = "the markup cannot be drawn (out of memory)"), false;
  const CRect d = drawn.Box();
  l.reach = CRect(0, 0, l.boxWidth, l.boxHeight);
  if (!d.IsRectEmpty())
    l.reach = CRect(std::min(0, d.left), std::min(0, d.top), std::max(l.boxWidth, d.right),
                    std::max(l.boxHeight, d.bottom));
  if (!WithinLimits(l.reach.Width(), l.reach.Height()))
    return (*error = TooLarge("the image would be", l.reach.Width(), l.reach.Height())), false;
  return true;
}

// Grows area by the pixels of dc that differ from background, where dc's
// top-left corner lies at origin; pixels inside skip are not looked at.
void GrowByInk(const CRasterDC& dc, std::uint32_t background, CPoint origin, const CRect& skip, CRect* area) {
  for (int y = 0; y < dc.Height(); ++y) {
    const std::uint32_t* row = dc.Bits() + size_t(y) * size_t(dc.Width());
    const int py = origin.y + y;
    const bool crossesSkip = py >= skip.top && py < skip.bottom;
    for (int x = 0; x < dc.Width(); ++x) {
      if (crossesSkip && origin.x + x >= skip.left && origin.x + x < skip.right) {
        x = skip.right - origin.x - 1;
        continue;
      }
      if (row[x] == background) continue;
      area->left = std::min(area->left, origin.x + x);
      area->right = std::max(area->right, origin.x + x + 1);
      area->top = std::min(area->top, py);
      area->bottom = std::max(area->bottom, py + 1);
    }
  }
}

// The largest surface used to look for ink without drawing the image: 64 MB.
constexpr long long kProbePixels = 1 << 24;

// Pieces of at most kProbePixels (or one pixel thick) that cover the part
// of l.reach outside the layout box.
std::vector<CRect> RingPieces(const Layout& l) {
  const CRect& u = l.reach;
  const CRect strips[] = {{u.left, u.top, u.right, 0},
                          {u.left, l.boxHeight, u.right, u.bottom},
                          {u.left, 0, 0, l.boxHeight},
                          {l.boxWidth, 0, u.right, l.boxHeight}};
  std::vector<CRect> pieces;
  for (const CRect& s : strips) {
    if (s.IsRectEmpty()) continue;
    const bool wide = s.Width() >= s.Height();
    const int across = wide ? s.Height() : s.Width(), along = wide ? s.Width() : s.Height();
    const int step = int(std::clamp(kProbePixels / across, 1LL, (long long)along));
    for (int at = 0; at < along; at += step) {
      const int end = std::min(along, at + step);
      pieces.push_back(wide ? CRect(s.left + at, s.top, s.left + end, s.bottom)
                            : CRect(s.left, s.top + at, s.right, s.top + end));
    }
  }
  return pieces;
}

// The image's area: the layout box and the ink drawn beyond it, found by
// drawing the ring around the box piece by piece, so that no surface of the
// image's size is needed.
bool ImageArea(const Layout& l, const RenderOptions& o, CRect* area, std::string* error) {
  const CRect box(0, 0, l.boxWidth, l.boxHeight);
  *area = box;
  for (const CRect& piece : RingPieces(l)) {
    auto probe = NewRaster(piece.Width(), piece.Height(), o);
    const std::uint32_t background = probe->Bits()[0];
    if (l.engine->TextOutA(probe.get(), CPoint(l.at.x - piece.left, l.at.y - piece.top)) != 1)
      return (*error = "the markup cannot be drawn (out of memory)"), false;
    GrowByInk(*probe, background, piece.TopLeft(), box, area);
  }
  return true;
}

// The drawing on a surface of the image's size: drawn once on a surface
// that holds all it may reach, then cut to the layout box and its ink.
Result<std::unique_ptr<CRasterDC>> DrawImage(const Layout& l, const RenderOptions& o) {
  const CRect& u = l.reach;
  auto image = NewRaster(u.Width(), u.Height(), o);
  const std::uint32_t background = image->Bits()[0];
  if (l.engine->TextOutA(image.get(), CPoint(l.at.x - u.left, l.at.y - u.top)) != 1)
    return Failure<std::unique_ptr<CRasterDC>>("the markup cannot be drawn (out of memory)");
  CRect area(0, 0, l.boxWidth, l.boxHeight);
  if (area != u) GrowByInk(*image, background, u.TopLeft(), CRect(0, 0, l.boxWidth, l.boxHeight), &area);
  area.OffsetRect(-u.left, -u.top);
  image->Crop(area);
  return Success(std::move(image));
}

}  // namespace

CRect TurnedBounds(int width, int height, long escapement) {
  const double rad = ChangeRad(escapement * 0.1), s = std::sin(rad), c = std::cos(rad);
  // The corners (x, y) of the upright box land at (x c + y s, -x s + y c).
  const double corners[4][2] = {{0, 0}, {double(width), 0}, {0, double(height)}, {double(width), double(height)}};
  double minX = 0, maxX = 0, minY = 0, maxY = 0;
  for (const auto& p : corners) {
    const double x = p[0] * c + p[1] * s, y = -p[0] * s + p[1] * c;
    minX = std::min(minX, x), maxX = std::max(maxX, x);
    minY = std::min(minY, y), maxY = std::max(maxY, y);
  }
  // Edges rounded outwards, ignoring noise far below a pixel (the angle
  // conversion uses a pi of ten decimals), so that a quarter turn gives
  // exact edges.
  auto down = [](double v) { return int(std::floor(v + 1e-6)); };
  auto up = [](double v) { return int(std::ceil(v - 1e-6)); };
  return CRect(down(minX), down(minY), up(maxX), up(maxY));
}

Result<Measurement> Measure(std::string_view markup, const RenderOptions& o) {
  Layout l;
  std::string error;
  CRect area;
  if (!LayOut(markup, o, l, &error) || !ImageArea(l, o, &area, &error)) return Failure<Measurement>(error);
  Measurement m;
  m.extent = l.extent;
  m.width = area.Width();
  m.height = area.Height();
  m.origin = CPoint(l.at.x - area.left, l.at.y - area.top);
  m.diagnostics = l.engine->GetDiagnostics();
  m.texDiagnostics = std::move(l.texDiagnostics);
  return Success(m);
}

Result<std::vector<LX_DIAGNOSTIC>> Diagnose(std::string_view markup) {
  // Diagnostics depend on the markup alone, not on fonts or sizes.
  CRasterDC scratch(1, 1, CLR_TRANSPARENT);
  CLexaro engine;
  if (engine.SetText(&scratch, CString(markup)) != 1)
    return Failure<std::vector<LX_DIAGNOSTIC>>("the markup cannot be laid out (out of memory)");
  return Success(engine.GetDiagnostics());
}

Result<std::unique_ptr<CRasterDC>> RenderImage(std::string_view markup, const RenderOptions& o) {
  Layout l;
  std::string error;
  if (!LayOut(markup, o, l, &error)) return Failure<std::unique_ptr<CRasterDC>>(error);
  return DrawImage(l, o);
}

Result<std::string> RenderPng(std::string_view markup, const RenderOptions& o) {
  auto image = RenderImage(markup, o);
  if (!image) return Failure<std::string>(image.error);
  std::string png, error;
  auto append = [&png](const void* data, size_t size) {
    png.append(static_cast<const char*>(data), size);
    return true;
  };
  if (!(*image)->WritePng(append, &error)) return Failure<std::string>(error);
  return Success(std::move(png));
}

Result<std::string> RenderSvg(std::string_view markup, const RenderOptions& o) {
  Layout l;
  std::string error;
  CRect area;
  if (!LayOut(markup, o, l, &error) || !ImageArea(l, o, &area, &error)) return Failure<std::string>(error);
  CSvgDC dc(area.Width(), area.Height(), o.background);
  dc.SetResolution(Scaled(o.dpi, o.scale));
  Prepare(dc, o);
  // Laid out again on the document itself, as any surface lays out what it
  // draws; the size was found with the raster's layout, which is the same.
  if (l.engine->SetText(&dc, CString(l.markup)) != 1)
    return Failure<std::string>("the markup cannot be laid out (out of memory)");
  if (l.engine->TextOutA(&dc, CPoint(l.at.x - area.left, l.at.y - area.top)) != 1)
    return Failure<std::string>("the markup cannot be drawn (out of memory)");
  if (dc.Truncated()) return Failure<std::string>("the drawing is too large for an SVG document");
  return Success(dc.Svg());
}

Result<ImageFormat> RenderFile(std::string_view markup, const std::string& path, const RenderOptions& o,
                               ImageFormat format) {
  if (format == ImageFormat::kAuto) format = FormatOfPath(path);
  std::string error;
  if (format == ImageFormat::kSvg) {
    auto svg = RenderSvg(markup, o);
    if (!svg) return Failure<ImageFormat>(svg.error);
    if (!output::WriteOutputFile(path, *svg, &error)) return Failure<ImageFormat>(error);
    return Success(format);
  }
  auto image = RenderImage(markup, o);
  if (!image) return Failure<ImageFormat>(image.error);
  auto encode = [&image](output::Sink& sink, std::string* why) {
    return (*image)->WritePng([&sink](const void* data, size_t size) { return sink.Write(data, size); }, why);
  };
  if (!output::WriteOutputFile(path, encode, &error)) return Failure<ImageFormat>(error);
  return Success(format);
}

ImageFormat FormatOfPath(std::string_view path) {
  if (path.size() < 4) return ImageFormat::kPng;
  std::string ext(path.substr(path.size() - 4));
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return ext == ".svg" ? ImageFormat::kSvg : ImageFormat::kPng;
}

}  // namespace lexaro
