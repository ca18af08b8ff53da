// One call from markup to a finished image. The image is sized to hold
// everything the markup draws (boxes moved by `position` and glyphs that
// reach out of their boxes included), turned by the angle and padded; then
// it is drawn, encoded or written. The text may be TeX math instead
// (options.notation), translated into markup first. A failure comes back as
// a value with a message, never as an exception or a crash. Each call uses engine objects
// of its own and no class-wide parameter, so calls may run on several
// threads at once.
//
//   lexaro::RenderOptions options;
//   options.em = 32;
//   auto png = lexaro::RenderPng("x<SUP>2</SUP>", options);
//   if (!png) std::fprintf(stderr, "%s\n", png.error.c_str());
//   options.notation = lexaro::Notation::kTex;  // the same from TeX (lexaro/tex.h)
//   png = lexaro::RenderPng("x^2", options);
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lexaro/engine.h"
#include "lexaro/raster_dc.h"
#include "lexaro/tex.h"

namespace lexaro {

// The notation of the text given: Lexaro markup, or TeX math translated
// into markup before it is laid out.
enum class Notation { kMarkup, kTex };

struct RenderOptions {
  Notation notation = Notation::kMarkup;
  TexOptions tex;  // kTex: display style; strict fails, with the first diagnostic's message
  int em = 20;                            // em height in pixels, before scale
  std::string face;                       // default face; empty: the engine's default (TeX: Times New Roman)
  COLORREF color = 0x000000;              // default text colour (markup may override)
  COLORREF background = CLR_TRANSPARENT;  // CLR_TRANSPARENT or an opaque colour
  double angle = 0;                       // degrees, counter-clockwise
  int padding = 0;                        // pixels around the laid-out box, before scale
  int dpi = 96;                           // resolution of FONT sizes in points, before scale
  double scale = 1;                       // multiplies em, padding and dpi
  int codePage = CP_UTF8;                 // the markup's bytes: CP_UTF8 or CP_SHIFTJIS (TeX is UTF-8)
  bool antialias = true;                  // smooth lines and fills (text is always smooth)
  bool debugBoxes = false;                // outline every line and construct box
};

// The largest image made: a side, and the whole area.
constexpr int kMaxImageSide = 16384;
constexpr long long kMaxImagePixels = 100'000'000;

// A value, or the reason there is none.
template <typename T>
struct Result {
  std::optional<T> value;
  std::string error;  // set when value is empty
  explicit operator bool() const { return value.has_value(); }
  T& operator*() { return *value; }
  const T& operator*() const { return *value; }
  T* operator->() { return &*value; }
  const T* operator->() const { return &*value; }
};

struct Measurement {
  LX_TXT_EXTENT extent;  // the upright layout: width, ascent, descent
  int width = 0;         // the image that holds everything drawn
  int height = 0;
  CPoint origin;         // where the layout's top-left corner lies in the image
  std::vector<LX_DIAGNOSTIC> diagnostics;  // what the layout passed over or repaired
  std::vector<TexDiagnostic> texDiagnostics;  // kTex: what the translation could not take,
                                              // offsets into the TeX text
};

enum class ImageFormat { kAuto, kPng, kSvg };

// The functions below take the text in the options' notation.
LEXARO_API Result<Measurement> Measure(std::string_view markup, const RenderOptions& options = {});
// What the layout of the markup passes over or repairs (CLexaro's
// GetDiagnostics), without drawing: empty for markup that lays out as written.
LEXARO_API Result<std::vector<LX_DIAGNOSTIC>> Diagnose(std::string_view markup);
// The drawing on a raster surface of the measured size.
LEXARO_API Result<std::unique_ptr<CRasterDC>> RenderImage(std::string_view markup,
                                                          const RenderOptions& options = {});
// The PNG file's bytes, in the smallest colour type that holds the image.
LEXARO_API Result<std::string> RenderPng(std::string_view markup, const RenderOptions& options = {});
// An SVG document of the measured size; glyphs are outline paths.
LEXARO_API Result<std::string> RenderSvg(std::string_view markup, const RenderOptions& options = {});
// Writes the image to path, replacing a file only once the image is
// complete; kAuto takes SVG for a path ending in ".svg" (any case), else
// PNG. The result is the format written.
LEXARO_API Result<ImageFormat> RenderFile(std::string_view markup, const std::string& path,
                                          const RenderOptions& options = {},
                                          ImageFormat format = ImageFormat::kAuto);

// The format kAuto picks for a path.
LEXARO_API ImageFormat FormatOfPath(std::string_view path);
// The box, relative to the top-left corner, that a width x height drawing
// covers when turned about that corner by escapement (tenths of a degree,
// counter-clockwise; y grows downwards), edges rounded outwards.
LEXARO_API CRect TurnedBounds(int width, int height, long escapement);

}  // namespace lexaro
