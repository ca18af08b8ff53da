// PNG encoding of raster surfaces: the smallest colour type that holds the
// image exactly, rows compressed by ISA-L, whole when they fit a bounded
// buffer and streamed otherwise.
#pragma once

#include <cstddef>
#include <string>

#include "lexaro/raster_dc.h"

namespace lexaro::png {

// The rows (as PNG holds them) of an image up to this size are compressed in
// one call (without a stream's copying into its history buffer); larger
// images stream row by row so that neither their rows nor their compressed
// form is held whole.
// The whole-buffer path holds the rows and a compressed copy beside the
// surface, about twice this bound at most. 4 MiB takes every formula image
// up to a few megapixels, while an image big enough for its surface to
// dominate memory (more than 4 MiB in its PNG colour type is over a
// million pixels) adds no more than a row and the compressor's state to it.
inline constexpr std::size_t kWholeBufferBytes = std::size_t(4) << 20;

// Writes the PNG of `dc` (non-empty) to the sink; false with the reason in
// *message. `wholeBufferBytes` is the bound above (tests make it small).
bool Encode(const CRasterDC& dc, const CRasterDC::PngSink& sink, std::string* message,
            std::size_t wholeBufferBytes = kWholeBufferBytes);

}  // namespace lexaro::png
