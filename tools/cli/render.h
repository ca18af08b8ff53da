// Drawing one markup text into image bytes (PNG or SVG) or measuring it, with
// the drawing options of the command line.
#pragma once

#include <string>

#include "lexaro/lexaro.h"
#include "tools/cli/options.h"

namespace cli {

// The largest image drawn: a side and the whole area.
constexpr int kMaxImageSide = 16384;
constexpr long long kMaxImagePixels = 100'000'000;

// Sets the engine's class-wide defaults (em height, face, text colour) and
// the default code page from the options. Call once per process before
// drawing.
void ApplyEngineDefaults(const Options& options);

// The format for an output path: --format, else the path's extension.
Format ResolveFormat(const Options& options, const std::string& path);
const char* Extension(Format format);
// Whether this build can write SVG.
bool SvgAvailable();

// The upright extent of the markup. False with the reason when it cannot be
// laid out.
bool MeasureMarkup(const std::string& markup, const Options& options, LX_TXT_EXTENT* extent,
                   std::string* error);
// {"width":W,"ascent":A,"descent":D} and a line feed.
std::string ExtentJson(const LX_TXT_EXTENT& extent);

// Draws the markup into an image of the given format (kPng or kSvg) that
// holds the whole (turned) drawing plus the padding. False with the reason
// when it cannot be laid out, would exceed the size limits, or cannot be
// encoded.
bool DrawMarkup(const std::string& markup, const Options& options, Format format, std::string* bytes,
                std::string* error);
// Draws the markup as DrawMarkup does and writes the image to path (see
// WriteOutput), encoding it as it is written.
bool RenderMarkup(const std::string& markup, const Options& options, Format format, const std::string& path,
                  std::string* error);

}  // namespace cli
