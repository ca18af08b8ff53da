#include "tools/cli/render.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

#include "tools/cli/files.h"
#include "tools/gallery.h"

#if __has_include("lexaro/svg_dc.h")
#include "lexaro/svg_dc.h"
#define LEXARO_CLI_HAS_SVG 1
#else
#define LEXARO_CLI_HAS_SVG 0
#endif

namespace cli {
namespace {

int Scaled(int value, double scale) { return int(std::lround(value * scale)); }

// The escapement in tenths of a degree, within one turn.
long Escapement(double degrees) { return std::lround(std::fmod(degrees, 360.0) * 10.0); }

void PrepareSurface(CDC& dc, const Options& o) {
  dc.SetCodePage(o.encoding == Encoding::kCp932 ? CP_SHIFTJIS : CP_UTF8);
  gallery::SetDrawingMode(dc, o.aliased);
}

// Where the image puts a laid-out markup.
struct Placement {
  int width = 1, height = 1;  // the image
  CPoint at;                  // where TextOutA puts the top-left corner
};

std::string TooLarge(const std::string& what, long long w, long long h) {
  return what + " " + std::to_string(w) + " x " + std::to_string(h) + " pixels, beyond the limit of " +
         std::to_string(kMaxImageSide) + " pixels a side and " + std::to_string(kMaxImagePixels / 1'000'000) +
         " megapixels";
}

bool WithinLimits(long long w, long long h) {
  return w <= kMaxImageSide && h <= kMaxImageSide && w * h <= kMaxImagePixels;
}

// The image of the turned box with the padding around it.
bool Place(const LX_TXT_EXTENT& e, const Options& o, Placement* p, std::string* error) {
  const long long boxW = std::max(0, e.width), boxH = std::max(0, e.ascent) + std::max(0, e.descent);
  const int pad = Scaled(o.padding, o.scale);
  // A turned box is at least 0.7 times as wide or as tall as its longer
  // side, so anything twice the limit is refused before turning it.
  if (boxW > 2LL * kMaxImageSide || boxH > 2LL * kMaxImageSide)
    return (*error = TooLarge("the drawing is", boxW, boxH)), false;
  gallery::Bounds b = gallery::RotatedBounds(int(boxW), int(boxH), Escapement(o.angle));
  long long w = std::max(1LL, (long long)b.Width() + 2LL * pad);
  long long h = std::max(1LL, (long long)b.Height() + 2LL * pad);
  if (!WithinLimits(w, h)) return (*error = TooLarge("the image would be", w, h)), false;
  p->width = int(w);
  p->height = int(h);
  p->at = CPoint(pad - b.left, pad - b.top);
  return true;
}

// Lays the markup out on dc; false with the reason when it cannot be.
bool Layout(CLexaro& lexaro, CDC& dc, const std::string& markup, std::string* error) {
  // Only SetText tells a failure: negative margins may make a valid layout
  // narrower than nothing, which is reported and drawn as it is.
  if (lexaro.SetText(&dc, CString(markup)) != 1) {
    *error = "the markup cannot be laid out (out of memory)";
    return false;
  }
  return true;
}

std::unique_ptr<CRasterDC> NewRaster(int width, int height, const Options& o) {
  auto dc = std::make_unique<CRasterDC>(width, height, GetCOLORREF(CString(o.background)));
  dc->SetResolution(Scaled(o.dpi, o.scale));
  PrepareSurface(*dc, o);
  return dc;
}

// How far beyond the image ink is looked for: glyphs may reach out of their
// advance box (italics, some symbols), and the image grows to hold them.
// Half the text height, less when the grown image would get too large.
int ProbeMargin(const Placement& p, const LX_TXT_EXTENT& e) {
  long long m = (std::max(0, e.ascent) + (long long)std::max(0, e.descent)) / 2 + 2;
  auto fits = [&](long long m) {
    long long w = p.width + 2 * m, h = p.height + 2 * m;
    return w <= CRasterDC::kMaxSide && h <= CRasterDC::kMaxSide && w * h <= kMaxImagePixels / 4 * 5;
  };
  while (m > 0 && !fits(m)) m /= 2;
  return int(m);
}

// The largest probe surface for SVG output: 64 MB, whatever the size of the
// image (large enough that a big table's ring takes one drawing a side, as
// each drawing walks the whole layout). PNG output may probe on surfaces as
// large as the image it draws afterwards, as the probes are gone by then.
constexpr long long kProbePixels = 1 << 24;

// The pieces, each of at most maxPixels (or one pixel thick), of the ring m
// pixels wide around the image: only there can ink make the image grow.
std::vector<CRect> RingPieces(const Placement& p, int m, long long maxPixels) {
  const CRect strips[] = {{-m, -m, p.width + m, 0}, {-m, p.height, p.width + m, p.height + m},
                          {-m, 0, 0, p.height},     {p.width, 0, p.width + m, p.height}};
  std::vector<CRect> pieces;
  for (const CRect& s : strips) {
    if (s.IsRectEmpty()) continue;
    const bool wide = s.Width() >= s.Height();
    const int across = wide ? s.Height() : s.Width(), along = wide ? s.Width() : s.Height();
    const int step = int(std::clamp(maxPixels / across, 1LL, (long long)along));
    for (int at = 0; at < along; at += step) {
      const int end = std::min(along, at + step);
      pieces.push_back(wide ? CRect(s.left + at, s.top, s.left + end, s.bottom)
                            : CRect(s.left, s.top + at, s.right, s.top + end));
    }
  }
  return pieces;
}

// The smallest rectangle holding every pixel that differs from background,
// offset by origin; empty when there is none.
CRect InkBounds(const CRasterDC& dc, std::uint32_t background, CPoint origin) {
  CRect ink(dc.Width(), dc.Height(), 0, 0);
  for (int y = 0; y < dc.Height(); ++y) {
    const std::uint32_t* row = dc.Bits() + size_t(y) * size_t(dc.Width());
    for (int x = 0; x < dc.Width(); ++x)
      if (row[x] != background) {
        ink.left = std::min(ink.left, x);
        ink.right = std::max(ink.right, x + 1);
        ink.top = std::min(ink.top, y);
        ink.bottom = std::max(ink.bottom, y + 1);
      }
  }
  if (ink.left >= ink.right) return CRect(0, 0, 0, 0);
  ink.OffsetRect(origin.x, origin.y);
  return ink;
}

// Grows the placement to the ink drawn in the ring around it. The ring is
// drawn piece by piece on surfaces of at most kProbePixels for SVG (which
// then needs no raster of the image's size) and of at most the image for
// PNG, each freed before the next: the image itself is drawn once, at its
// final size, and never beside a probe.
bool GrowToInk(CLexaro& lexaro, const LX_TXT_EXTENT& e, const Options& o, Format format, Placement* p,
               std::string* error) {
  CRect area(0, 0, p->width, p->height);
  const long long maxPixels =
      format == Format::kSvg ? kProbePixels : std::max(kProbePixels, (long long)p->width * p->height);
  for (const CRect& piece : RingPieces(*p, ProbeMargin(*p, e), maxPixels)) {
    auto probe = NewRaster(piece.Width(), piece.Height(), o);
    const std::uint32_t background = probe->Bits()[0];
    if (lexaro.TextOutA(probe.get(), CPoint(p->at.x - piece.left, p->at.y - piece.top)) != 1)
      return (*error = "the markup cannot be drawn (out of memory)"), false;
    const CRect ink = InkBounds(*probe, background, piece.TopLeft());
    if (ink.IsRectEmpty()) continue;
    area.left = std::min(area.left, ink.left);
    area.top = std::min(area.top, ink.top);
    area.right = std::max(area.right, ink.right);
    area.bottom = std::max(area.bottom, ink.bottom);
  }
  if (!WithinLimits(area.Width(), area.Height()))
    return (*error = TooLarge("the image would be", area.Width(), area.Height())), false;
  p->width = area.Width();
  p->height = area.Height();
  p->at = CPoint(p->at.x - area.left, p->at.y - area.top);
  return true;
}

// The drawn image of a PNG or the document of an SVG, ready to be written.
struct Drawing {
  std::unique_ptr<CRasterDC> image;
  std::string svg;
};

bool DrawPng(CLexaro& lexaro, const Placement& p, const Options& o, Drawing* out, std::string* error) {
  out->image = NewRaster(p.width, p.height, o);
  if (lexaro.TextOutA(out->image.get(), p.at) != 1)
    return (*error = "the markup cannot be drawn (out of memory)"), false;
  return true;
}

bool DrawSvg([[maybe_unused]] CLexaro& lexaro, [[maybe_unused]] const std::string& markup,
             [[maybe_unused]] const Placement& p, [[maybe_unused]] const Options& o,
             [[maybe_unused]] Drawing* out, std::string* error) {
#if LEXARO_CLI_HAS_SVG
  CSvgDC dc(p.width, p.height, GetCOLORREF(CString(o.background)));
  dc.SetResolution(Scaled(o.dpi, o.scale));
  PrepareSurface(dc, o);
  if (!Layout(lexaro, dc, markup, error)) return false;
  if (lexaro.TextOutA(&dc, p.at) != 1) {
    *error = "the markup cannot be drawn (out of memory)";
    return false;
  }
  if (dc.Truncated()) {
    *error = "the drawing is too large for an SVG document";
    return false;
  }
  out->svg = dc.Svg();
  return true;
#else
  *error = "SVG output is not available in this build";
  return false;
#endif
}

}  // namespace

void ApplyEngineDefaults(const Options& o) {
  SetDefaultCodePage(o.encoding == Encoding::kCp932 ? CP_SHIFTJIS : CP_UTF8);
  CLexaro lexaro;
  const int height = -std::max(1, Scaled(o.emHeight, o.scale));
  if (o.font.empty()) {
    lexaro.SetParam_lfHeight(height);
  } else {
    CRasterDC scratch(1, 1);
    CFontTool tool;
    LOGFONT lf{};
    tool.SetLOGFONT(&lf, height, CString(o.font), (unsigned char)tool.GetCharSet(&scratch, CString(o.font)), 1);
    lexaro.SetParam_LOGFONT(lf);
  }
  lexaro.SetParam_TextColor(GetCOLORREF(CString(o.color)));
}

Format ResolveFormat(const Options& o, const std::string& path) {
  if (o.format != Format::kAuto) return o.format;
  std::string ext = path.size() >= 4 ? path.substr(path.size() - 4) : "";
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return ext == ".svg" ? Format::kSvg : Format::kPng;
}

const char* Extension(Format format) { return format == Format::kSvg ? ".svg" : ".png"; }

bool SvgAvailable() { return LEXARO_CLI_HAS_SVG != 0; }

bool MeasureMarkup(const std::string& markup, const Options& o, LX_TXT_EXTENT* extent, std::string* error) {
  CRasterDC scratch(1, 1, CLR_TRANSPARENT);
  scratch.SetResolution(Scaled(o.dpi, o.scale));
  PrepareSurface(scratch, o);
  CLexaro lexaro;
  if (!Layout(lexaro, scratch, markup, error)) return false;
  *extent = lexaro.GetTextExtent_Ex(&scratch);
  return true;
}

std::string ExtentJson(const LX_TXT_EXTENT& e) {
  return "{\"width\":" + std::to_string(e.width) + ",\"ascent\":" + std::to_string(e.ascent) +
         ",\"descent\":" + std::to_string(e.descent) + "}\n";
}

namespace {

bool Draw(const std::string& markup, const Options& o, Format format, Drawing* out, std::string* error) {
  if (format == Format::kSvg && !SvgAvailable()) {
    *error = "SVG output is not available in this build";
    return false;
  }
  CRasterDC scratch(1, 1, CLR_TRANSPARENT);
  scratch.SetResolution(Scaled(o.dpi, o.scale));
  PrepareSurface(scratch, o);
  CLexaro lexaro;
  lexaro.SetParam_lfEscapement(Escapement(o.angle));
  lexaro.SetDebugBoxes(o.debugBoxes);
  if (!Layout(lexaro, scratch, markup, error)) return false;
  const LX_TXT_EXTENT extent = lexaro.GetTextExtent_Ex(&scratch);
  Placement placement;
  if (!Place(extent, o, &placement, error) || !GrowToInk(lexaro, extent, o, format, &placement, error))
    return false;
  return format == Format::kSvg ? DrawSvg(lexaro, markup, placement, o, out, error)
                                : DrawPng(lexaro, placement, o, out, error);
}

// Puts the drawing's bytes into a sink; a PNG's rows go as they are
// compressed, so the image is the only large buffer.
bool Encode(const Drawing& d, const std::function<bool(const void*, size_t)>& sink, std::string* error) {
  if (!d.image) return sink(d.svg.data(), d.svg.size()) || (*error = "cannot write the SVG document", false);
  return d.image->WritePng(sink, error);
}

}  // namespace

bool DrawMarkup(const std::string& markup, const Options& o, Format format, std::string* bytes,
                std::string* error) {
  Drawing d;
  if (!Draw(markup, o, format, &d, error)) return false;
  bytes->clear();
  return Encode(
      d,
      [bytes](const void* data, size_t size) {
        bytes->append(static_cast<const char*>(data), size);
        return true;
      },
      error);
}

namespace {

// Bytes gathered up to this many before they are written: the encoder hands
// a PNG over in pieces (signature and header, data, end), and a small image
// then goes out in one write instead of one per piece.
constexpr size_t kWriteChunk = 64 * 1024;

// Writes what the encoder hands over in chunks of kWriteChunk bytes.
class ChunkedWriter {
 public:
  explicit ChunkedWriter(lexaro::output::Sink& sink) : m_sink(sink) {}
  bool Add(const void* data, size_t size) {
    if (m_buffer.size() + size > kWriteChunk && !Flush()) return false;
    if (size > kWriteChunk) return m_sink.Write(data, size);
    m_buffer.append(static_cast<const char*>(data), size);
    return true;
  }
  bool Flush() {
    bool ok = m_buffer.empty() || m_sink.Write(m_buffer);
    m_buffer.clear();
    return ok;
  }

 private:
  lexaro::output::Sink& m_sink;
  std::string m_buffer;
};

}  // namespace

bool RenderMarkup(const std::string& markup, const Options& o, Format format, const std::string& path,
                  std::string* error) {
  Drawing d;
  if (!Draw(markup, o, format, &d, error)) return false;
  return WriteOutput(
      path,
      [&d](lexaro::output::Sink& sink, std::string* why) {
        ChunkedWriter out(sink);
        return Encode(d, [&out](const void* data, size_t size) { return out.Add(data, size); }, why) &&
               out.Flush();
      },
      error);
}

}  // namespace cli
