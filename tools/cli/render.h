// Drawing one markup (or TeX) text into image bytes (PNG or SVG) or measuring it,
// with the drawing options of the command line, through the library's
// one-call rendering functions (lexaro/render.h).
#pragma once

#include <string>

#include "lexaro/lexaro.h"
#include "tools/cli/options.h"

namespace cli {

// Sets the process's default code page from the options. Call once per
// process before drawing.
void ApplyEngineDefaults(const Options& options);
// The library's rendering options for the command line's: the text's
// notation, and how TeX is translated.
lexaro::RenderOptions RenderOptionsOf(const Options& options);
lexaro::TexOptions TexOptionsOf(const Options& options);

// The format for an output path: --format, else the path's extension.
Format ResolveFormat(const Options& options, const std::string& path);
const char* Extension(Format format);

// The layout extent and the image size of the markup. False with the reason
// when it cannot be laid out or would make too large an image.
bool MeasureMarkup(const std::string& markup, const Options& options, lexaro::Measurement* size,
                   std::string* error);
// {"width":W,"ascent":A,"descent":D,"imageWidth":IW,"imageHeight":IH} and a
// line feed: the layout extent, then the size of the image drawn.
std::string ExtentJson(const lexaro::Measurement& size);

// Draws the markup into an image of the given format (kPng or kSvg) that
// holds everything drawn, turned, plus the padding. False with the reason
// when it cannot be laid out, would exceed the size limits, or cannot be
// encoded.
bool DrawMarkup(const std::string& markup, const Options& options, Format format, std::string* bytes,
                std::string* error);
// Draws the markup as DrawMarkup does and writes the image to path (see
// WriteOutput), encoding it as it is written.
bool RenderMarkup(const std::string& markup, const Options& options, Format format, const std::string& path,
                  std::string* error);

}  // namespace cli
