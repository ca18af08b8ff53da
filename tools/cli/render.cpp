#include "tools/cli/render.h"

#include <algorithm>
#include <cmath>
#include <memory>

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
}

// A laid-out markup and where its image puts it.
struct Placement {
  int width = 1, height = 1;  // the image
  CPoint at;                  // where TextOutA puts the top-left corner
};

bool Place(const LX_TXT_EXTENT& e, const Options& o, Placement* p, std::string* error) {
  const long long boxW = std::max(0, e.width), boxH = std::max(0, e.ascent) + std::max(0, e.descent);
  const int pad = Scaled(o.padding, o.scale);
  // A turned box is at least as wide or tall as 0.7 of its sides; anything
  // twice the limit can be refused before the corners are computed.
  bool tooLarge = boxW > 2LL * kMaxImageSide || boxH > 2LL * kMaxImageSide;
  long long w = 0, h = 0;
  gallery::Bounds b{0, 0, 0, 0};
  if (!tooLarge) {
    b = gallery::RotatedBounds(int(boxW), int(boxH), Escapement(o.angle));
    w = std::max(1LL, (long long)b.Width() + 2LL * pad);
    h = std::max(1LL, (long long)b.Height() + 2LL * pad);
    tooLarge = w > kMaxImageSide || h > kMaxImageSide || w * h > kMaxImagePixels;
  }
  if (tooLarge) {
    const std::string size = w ? "the image would be " + std::to_string(w) + " x " + std::to_string(h)
                               : "the drawing is " + std::to_string(boxW) + " x " + std::to_string(boxH);
    *error = size + " pixels, beyond the limit of " + std::to_string(kMaxImageSide) + " pixels a side and " +
             std::to_string(kMaxImagePixels / 1'000'000) + " megapixels";
    return false;
  }
  p->width = int(w);
  p->height = int(h);
  p->at = CPoint(pad - b.left, pad - b.top);
  return true;
}

// Lays the markup out on dc; false with the reason when it cannot be.
bool Layout(CLexaro& lexaro, CDC& dc, const std::string& markup, std::string* error) {
  if (lexaro.SetText(&dc, CString(markup)) != 1 || lexaro.GetTextExtent_Ex(&dc).width < 0) {
    *error = "the markup cannot be laid out (out of memory)";
    return false;
  }
  return true;
}

bool DrawPng(CLexaro& lexaro, const Placement& p, const Options& o, std::string* bytes, std::string* error) {
  CRasterDC dc(p.width, p.height, GetCOLORREF(CString(o.background)));
  dc.SetResolution(Scaled(o.dpi, o.scale));
  PrepareSurface(dc, o);
  if (lexaro.TextOutA(&dc, p.at) != 1) {
    *error = "the markup cannot be drawn (out of memory)";
    return false;
  }
  std::vector<unsigned char> png;
  if (!dc.EncodePng(&png, error)) return false;
  bytes->assign(png.begin(), png.end());
  return true;
}

bool DrawSvg([[maybe_unused]] CLexaro& lexaro, [[maybe_unused]] const std::string& markup,
             [[maybe_unused]] const Placement& p, [[maybe_unused]] const Options& o,
             [[maybe_unused]] std::string* bytes, std::string* error) {
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
  *bytes = dc.Svg();
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

bool DrawMarkup(const std::string& markup, const Options& o, Format format, std::string* bytes,
                std::string* error) {
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
  Placement placement;
  if (!Place(lexaro.GetTextExtent_Ex(&scratch), o, &placement, error)) return false;
  return format == Format::kSvg ? DrawSvg(lexaro, markup, placement, o, bytes, error)
                                : DrawPng(lexaro, placement, o, bytes, error);
}

}  // namespace cli
