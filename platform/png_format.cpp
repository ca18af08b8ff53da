// Chooses the colour type of a surface's PNG and packs its rows in it.
#include "platform/png_format.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lexaro::png {

std::uint32_t Palette::Slot(std::uint32_t pixel) const {
  return (pixel * 0x9E3779B1u) >> (32 - kSlotBits);
}

int Palette::Add(std::uint32_t pixel) {
  if (keys_.empty()) keys_.resize(1u << kSlotBits), index_.assign(1u << kSlotBits, -1);
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

namespace {

unsigned char StraightChannel(std::uint32_t pm, std::uint32_t a) {
  if (a == 255 || pm == 0) return (unsigned char)pm;
  return a ? (unsigned char)std::min<std::uint32_t>(255, (pm * 255 + a / 2) / a) : 0;
}

// The sums ChooseFormat takes over every pixel: the AND of all of them,
// and the OR of v ^ v >> 8, whose low 16 bits are blue^green and
// green^red.
struct Sums {
  std::uint32_t all = ~0u, diff = 0;
  void Add(std::uint32_t v) { all &= v, diff |= v ^ (v >> 8); }
};

#if defined(__SSE2__)
// The same over four pixels at a time, folded into Sums at the end of a row.
struct VectorSums {
  __m128i all = _mm_set1_epi32(-1), diff = _mm_setzero_si128();
  void Add(__m128i v) {
    all = _mm_and_si128(all, v);
    diff = _mm_or_si128(diff, _mm_xor_si128(v, _mm_srli_epi32(v, 8)));
  }
  void FoldInto(Sums* sums) const {
    alignas(16) std::uint32_t a[4], d[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(a), all);
    _mm_store_si128(reinterpret_cast<__m128i*>(d), diff);
    sums->all &= a[0] & a[1] & a[2] & a[3];
    sums->diff |= d[0] | d[1] | d[2] | d[3];
  }
};
#endif

// Writes a grey and alpha pair for each pixel, eight pixels at a time where
// SSE2 is there; with kScan, also adds each pixel to *sums. The grey is the
// pixel's red channel, as good as any in the grey images these rows are
// written for. True when some pixel is translucent and not black, so that
// its grey needs scaling to straight alpha.
template <bool kScan>
bool PackGreyAlphaPairs(const std::uint32_t* p, int w, unsigned char* o, Sums* sums) {
  int i = 0;
  bool scaled = false;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  // Per 16-bit pair: its grey byte compared with 0 and its alpha with 255.
  const __m128i plainBytes = _mm_set1_epi16(int16_t(0xFF00));
  __m128i needs = zero;
  VectorSums vectorSums;
  // The top half of a pixel is red and alpha, the pair as it is written;
  // sign-extended, so that the signed pack keeps it.
  auto pairs = [](__m128i v) { return _mm_srai_epi32(v, 16); };
  for (; i + 8 <= w; i += 8) {
    const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 4));
    if constexpr (kScan) vectorSums.Add(first), vectorSums.Add(second);
    const __m128i packed = _mm_packs_epi32(pairs(first), pairs(second));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o + 2 * i), packed);
    // A pair neither black nor opaque has both of its bytes unequal.
    needs = _mm_or_si128(needs, _mm_cmpeq_epi16(_mm_cmpeq_epi8(packed, plainBytes), zero));
  }
  scaled = _mm_movemask_epi8(needs) != 0;
  if constexpr (kScan) vectorSums.FoldInto(sums);
#endif
  for (; i < w; ++i) {
    if constexpr (kScan) sums->Add(p[i]);
    const std::uint32_t g = (p[i] >> 16) & 255, a = p[i] >> 24;
    scaled = scaled || (g != 0 && a != 255);
    o[2 * i] = (unsigned char)g, o[2 * i + 1] = (unsigned char)a;
  }
  return scaled;
}

// A row in grey and alpha: the pairs, their grey scaled to straight alpha
// where needed (for translucent grey that is not black, rare in formula
// images, so those rows are mended after).
template <bool kScan>
void PackGreyAlpha(const std::uint32_t* p, int w, unsigned char* o, Sums* sums = nullptr) {
  if (PackGreyAlphaPairs<kScan>(p, w, o, sums))
    for (int i = 0; i < w; ++i) o[2 * i] = StraightChannel((p[i] >> 16) & 255, p[i] >> 24);
}

// Writes each pixel's blue channel, its grey, sixteen pixels at a time
// where SSE2 is there; with kScan, also adds each pixel to *sums.
template <bool kScan>
void PackGrey(const std::uint32_t* p, int w, unsigned char* o, Sums* sums = nullptr) {
  int i = 0;
#if defined(__SSE2__)
  const __m128i low = _mm_set1_epi32(0xFF);
  VectorSums vectorSums;
  auto load = [&](int at) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at));
    if constexpr (kScan) vectorSums.Add(v);
    return _mm_and_si128(v, low);
  };
  for (; i + 16 <= w; i += 16) {
    const __m128i lo = _mm_packs_epi32(load(i), load(i + 4)), hi = _mm_packs_epi32(load(i + 8), load(i + 12));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o + i), _mm_packus_epi16(lo, hi));
  }
  if constexpr (kScan) vectorSums.FoldInto(sums);
#endif
  for (; i < w; ++i) {
    if constexpr (kScan) sums->Add(p[i]);
    o[i] = (unsigned char)p[i];
  }
}

}  // namespace

void StraightPixel(std::uint32_t v, unsigned char out[4]) {
  const std::uint32_t a = v >> 24;
  out[3] = (unsigned char)a;
  if (a == 255 || (v & 0xFFFFFF) == 0) {  // opaque, or no colour to scale
    for (int c = 0; c < 3; ++c) out[c] = (unsigned char)(v >> (16 - 8 * c));
    return;
  }
  for (int c = 0; c < 3; ++c) out[c] = StraightChannel((v >> (16 - 8 * c)) & 255, a);
}

namespace {

// Whether a palette holds every pixel, filling it.
bool FitsPalette(const std::uint32_t* p, std::size_t n, Palette& palette) {
  std::uint32_t last = ~p[0];
  for (std::size_t i = 0; i < n; ++i)
    if (p[i] != last) {  // flat areas: runs of one colour
      last = p[i];
      if (palette.Add(last) < 0) return false;
    }
  return true;
}

// The colour type the sums tell, a palette filled when it is one.
Format FormatOf(const CRasterDC& dc, const Sums& sums) {
  Format f;
  const std::uint32_t alphas = sums.all >> 24, colour = sums.diff & 0xFFFF;
  const bool opaque = alphas == 0xFF, grey = colour == 0;
  const std::size_t n = std::size_t(dc.Width()) * std::size_t(dc.Height());
  // Grey types first: they need no colour table, whose bytes are not
  // compressed and outweigh a small image's data.
  if (grey)
    f.type = opaque ? ColourType::kGrey : ColourType::kGreyAlpha, f.bytesPerPixel = opaque ? 1 : 2;
  else if (FitsPalette(dc.Bits(), n, f.palette))
    f.type = ColourType::kPalette, f.bytesPerPixel = 1;
  else
    f.type = opaque ? ColourType::kRgb : ColourType::kRgba, f.bytesPerPixel = opaque ? 3 : 4;
  return f;
}

}  // namespace

Format ChooseFormat(const CRasterDC& dc) {
  const std::uint32_t* p = dc.Bits();
  const std::size_t n = std::size_t(dc.Width()) * std::size_t(dc.Height());
  // Branch-free over the whole image: typical images are grey throughout.
  // Equal premultiplied channels give equal straight ones.
  Sums sums;
  for (std::size_t i = 0; i < n; ++i) sums.Add(p[i]);
  return FormatOf(dc, sums);
}

Format ChooseFormatPacking(const CRasterDC& dc, ColourType guess, unsigned char* rows, bool* packed) {
  const int w = dc.Width(), h = dc.Height();
  const bool grey = guess == ColourType::kGrey;
  const std::size_t rowBytes = 1 + (grey ? 1 : 2) * std::size_t(w);
  Sums sums;
  auto colour = [&] { return (sums.diff & 0xFFFF) != 0; };
  auto translucent = [&] { return sums.all >> 24 != 0xFF; };
  int y = 0;
  // Packed while every row so far fits the guess.
  for (; y < h && !colour() && !(grey && translucent()); ++y) {
    const std::uint32_t* p = dc.Bits() + std::size_t(y) * std::size_t(w);
    unsigned char* out = rows + rowBytes * std::size_t(y);
    out[0] = 0;  // filter type None
    if (grey) PackGrey<true>(p, w, out + 1, &sums);
    else PackGreyAlpha<true>(p, w, out + 1, &sums);
  }
  // Colour and translucency make it a palette or RGBA, whichever FormatOf
  // finds: the rest need not be scanned then.
  const std::uint32_t* end = dc.Bits() + std::size_t(w) * std::size_t(h);
  for (const std::uint32_t* p = dc.Bits() + std::size_t(y) * std::size_t(w); p < end && !(colour() && translucent()); ++p)
    sums.Add(*p);
  const Format f = FormatOf(dc, sums);
  *packed = f.type == guess;
  return f;
}

RowWriter::RowWriter(const CRasterDC& dc, const Format& format)
    : dc_(dc), format_(format), stride_(std::size_t(dc.Width()) * std::size_t(format.bytesPerPixel)) {}

void RowWriter::Pack(const std::uint32_t* p, unsigned char* o) const {
  const int w = dc_.Width();
  switch (format_.type) {
    case ColourType::kGrey:
      PackGrey<false>(p, w, o);
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
      PackGreyAlpha<false>(p, w, o);
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

void RowWriter::Write(int y, unsigned char* out) const {
  out[0] = 0;  // filter type None
  Pack(dc_.Bits() + std::size_t(y) * std::size_t(dc_.Width()), out + 1);
}

}  // namespace lexaro::png
