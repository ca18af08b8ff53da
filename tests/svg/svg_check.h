// Checking an SVG surface against the raster surface: the document is
// parsed as XML (expat), rasterised by an independent renderer
// (rsvg-convert) and compared with the raster surface's pixels.
#pragma once

#include <memory>
#include <string>

#include "lexaro/raster_dc.h"
#include "lexaro/svg_dc.h"

namespace svgcheck {

// Parses a document; false with expat's message and line in *error.
// *elements counts the elements, and *maxDepth their deepest nesting.
bool ParseXml(const std::string& doc, std::string* error, int* elements = nullptr, int* maxDepth = nullptr);

// The document rasterised by rsvg-convert at its own size; null with the
// reason in *error.
std::unique_ptr<CRasterDC> Rasterise(const std::string& doc, std::string* error);

// How far two images of one size lie apart. A pixel differs when one of
// its four premultiplied channels differs by more than kChannelAllowance,
// which anti-aliasing at the edges of shapes produces; the share of such
// pixels among the pixels either image painted (`inked`) must stay small.
struct Difference {
  long long pixels = 0;     // all pixels
  long long inked = 0;      // pixels painted in either image (not background)
  long long differing = 0;  // pixels beyond the allowance
  int maxChannel = 0;       // the largest channel difference
  double meanChannel = 0;   // the mean channel difference over inked pixels
  double Share() const { return inked ? double(differing) / double(inked) : 0.0; }
};
constexpr int kChannelAllowance = 96;
Difference Compare(const CRasterDC& a, const CRasterDC& b, std::uint32_t background);

}  // namespace svgcheck
