// Chooses the colour type of a surface's PNG and packs its rows in it.
#include "platform/png_format.h"

#include <algorithm>
#include <cstring>

namespace lexaro::png {

Palette::Palette() : keys_(1u << kSlotBits), index_(1u << kSlotBits, -1) { pixels_.reserve(256); }

std::uint32_t Palette::Slot(std::uint32_t pixel) const {
  return (pixel * 0x9E3779B1u) >> (32 - kSlotBits);
}

int Palette::Add(std::uint32_t pixel) {
  const std::uint32_t mask = (1u << kSlotBits) - 1;
  for (std::uint32_t s = Slot(pixel);; s = (s + 1) & mask) {
    if (index_[s] < 0) {
      if (pixels_.size() == 256) return -1;
      keys_[s] = pixel;
      index_[s] = std::int16_t(pixels_.size());
      pixels_.push_back(pixel);
      return index_[s];
    }
    if (keys_[s] == pixel) return index_[s];
  }
}

int Palette::IndexOf(std::uint32_t pixel) const {
  const std::uint32_t mask = (1u << kSlotBits) - 1;
  std::uint32_t s = Slot(pixel);
  while (index_[s] >= 0 && keys_[s] != pixel) s = (s + 1) & mask;
  return index_[s];
}

void StraightPixel(std::uint32_t v, unsigned char out[4]) {
  const std::uint32_t a = v >> 24;
  for (int c = 0; c < 3; ++c) {
    const std::uint32_t pm = (v >> (16 - 8 * c)) & 255;
    if (a == 255)
      out[c] = (unsigned char)pm;
    else
      out[c] = a ? (unsigned char)std::min<std::uint32_t>(255, (pm * 255 + a / 2) / a) : 0;
  }
  out[3] = (unsigned char)a;
}

namespace {

bool IsGrey(std::uint32_t v) {
  // Equal premultiplied channels give equal straight ones.
  return ((v >> 16) & 255) == ((v >> 8) & 255) && (v & 255) == ((v >> 8) & 255);
}

}  // namespace

Format ChooseFormat(const CRasterDC& dc) {
  Format f;
  bool opaque = true, grey = true, fewColours = true;
  const std::uint32_t* p = dc.Bits();
  const std::size_t n = std::size_t(dc.Width()) * std::size_t(dc.Height());
  std::uint32_t last = ~p[0];
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint32_t v = p[i];
    if (v == last) continue;  // flat areas: runs of one colour
    last = v;
    opaque = opaque && v >> 24 == 255;
    grey = grey && IsGrey(v);
    fewColours = fewColours && f.palette.Add(v) >= 0;
    if (!opaque && !grey && !fewColours) break;  // nothing smaller than RGBA
  }
  // Fewest bytes a pixel first; grey before a palette of the same size, as
  // it needs no colour table.
  if (opaque && grey)
    f.type = ColourType::kGrey, f.bytesPerPixel = 1;
  else if (fewColours)
    f.type = ColourType::kPalette, f.bytesPerPixel = 1;
  else if (grey)
    f.type = ColourType::kGreyAlpha, f.bytesPerPixel = 2;
  else if (opaque)
    f.type = ColourType::kRgb, f.bytesPerPixel = 3;
  else
    f.type = ColourType::kRgba, f.bytesPerPixel = 4;
  f.filter = Filter::kNone;
  return f;
}

RowWriter::RowWriter(const CRasterDC& dc, const Format& format)
    : dc_(dc), format_(format), stride_(std::size_t(dc.Width()) * std::size_t(format.bytesPerPixel)) {
  if (format.filter == Filter::kUp) raw_.assign(stride_, 0), previous_.assign(stride_, 0);
}

void RowWriter::Pack(const std::uint32_t* p, unsigned char* o) const {
  const int w = dc_.Width();
  switch (format_.type) {
    case ColourType::kGrey:
      for (int i = 0; i < w; ++i) o[i] = (unsigned char)p[i];
      break;
    case ColourType::kPalette: {
      std::uint32_t last = p[0];
      int index = format_.palette.IndexOf(last);
      for (int i = 0; i < w; ++i) {
        if (p[i] != last) last = p[i], index = format_.palette.IndexOf(last);
        o[i] = (unsigned char)index;
      }
      break;
    }
    case ColourType::kGreyAlpha:
      for (int i = 0; i < w; ++i) {
        unsigned char s[4];
        StraightPixel(p[i], s);
        o[2 * i] = s[0], o[2 * i + 1] = s[3];
      }
      break;
    case ColourType::kRgb:
      for (int i = 0; i < w; ++i)
        o[3 * i] = (unsigned char)(p[i] >> 16), o[3 * i + 1] = (unsigned char)(p[i] >> 8),
                  o[3 * i + 2] = (unsigned char)p[i];
      break;
    case ColourType::kRgba:
      for (int i = 0; i < w; ++i) StraightPixel(p[i], &o[4 * i]);
      break;
  }
}

void RowWriter::Write(int y, unsigned char* out) {
  const std::uint32_t* pixels = dc_.Bits() + std::size_t(y) * std::size_t(dc_.Width());
  out[0] = (unsigned char)format_.filter;
  unsigned char* o = out + 1;
  switch (format_.filter) {
    case Filter::kNone:
      Pack(pixels, o);
      break;
    case Filter::kSub: {
      Pack(pixels, o);
      const std::size_t bpp = std::size_t(format_.bytesPerPixel);
      for (std::size_t i = stride_; i-- > bpp;) o[i] = (unsigned char)(o[i] - o[i - bpp]);
      break;
    }
    case Filter::kUp:
      Pack(pixels, raw_.data());
      for (std::size_t i = 0; i < stride_; ++i) o[i] = (unsigned char)(raw_[i] - previous_[i]);
      raw_.swap(previous_);
      break;
  }
}

}  // namespace lexaro::png
