// The pixel format a PNG is written in: the smallest colour type that holds
// a surface exactly, and its rows written in that type.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "lexaro/raster_dc.h"

namespace lexaro::png {

enum class ColourType : unsigned char { kGrey = 0, kRgb = 2, kPalette = 3, kGreyAlpha = 4, kRgba = 6 };

// Up to 256 distinct premultiplied pixels, each with its palette index.
class Palette {
 public:
  // The index of `pixel`, adding it when new; -1 once a 257th is met.
  int Add(std::uint32_t pixel);
  // The index of a pixel already added.
  int IndexOf(std::uint32_t pixel) const;
  const std::vector<std::uint32_t>& Pixels() const { return pixels_; }

 private:
  static constexpr int kSlotBits = 10;  // a quarter full at most: short probes
  std::uint32_t Slot(std::uint32_t pixel) const;
  std::vector<std::uint32_t> keys_;   // allocated by the first Add
  std::vector<std::int16_t> index_;  // -1: free slot
  std::vector<std::uint32_t> pixels_;
};

struct Format {
  ColourType type = ColourType::kRgba;
  int bytesPerPixel = 4;
  Palette palette;  // the colours, when type is kPalette
};

// Scans the surface for the smallest exact colour type.
Format ChooseFormat(const CRasterDC& dc);

// The same, writing the rows in `guess`, grey or grey and alpha (with their
// filter bytes, as RowWriter writes them), into `rows`, room for them all,
// as it scans: the type of most drawings on an opaque grey or on a clear
// surface, whose pixels then need no second pass. *packed tells whether the
// type is the guess and the rows are written.
Format ChooseFormatPacking(const CRasterDC& dc, ColourType guess, unsigned char* rows, bool* packed);

// Straight (not premultiplied) RGBA bytes of a premultiplied pixel.
void StraightPixel(std::uint32_t pixel, unsigned char out[4]);

// Writes each row of the surface as PNG holds it: the filter byte (none:
// measured on the benchmark's formulas in every colour type, unfiltered rows
// compress smaller and faster than Sub or Up, as flat areas and thin
// anti-aliased ink leave little for a filter to predict), then the pixels in
// the format's colour type.
class RowWriter {
 public:
  RowWriter(const CRasterDC& dc, const Format& format);
  std::size_t RowBytes() const { return 1 + stride_; }
  // Row y into RowBytes() bytes.
  void Write(int y, unsigned char* out) const;

 private:
  void Pack(const std::uint32_t* pixels, unsigned char* out) const;
  const CRasterDC& dc_;
  const Format& format_;
  std::size_t stride_;
};

}  // namespace lexaro::png
