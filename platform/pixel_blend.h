// Painting an opaque colour with partial coverage over premultiplied
// 0xAARRGGBB pixels: each channel becomes (s * a + d * (255 - a)) / 255,
// rounded, with the colour's alpha taken as 255. Coverage 255 gives the
// colour and coverage 0 the pixel as it was, so a row may be blended whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lexaro::pixels {

// BlendRow takes this many pixels a step; shorter remainders go one by one.
constexpr int kBlendStep = 4;

// x / 255, rounded, for x in 0..65025.
inline std::uint32_t Div255(std::uint32_t x) {
  x += 128;
  return (x + (x >> 8)) >> 8;
}

// src (alpha 255) with coverage a over dst.
inline std::uint32_t Blend(std::uint32_t dst, std::uint32_t src, std::uint32_t a) {
  if (a == 255) return src;
  std::uint32_t inv = 255 - a, out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    std::uint32_t s = (shift == 24 ? 255 : (src >> shift) & 255), d = (dst >> shift) & 255;
    out |= Div255(s * a + d * inv) << shift;
  }
  return out;
}

// Blends src into dst[0 .. n) with coverage cov[0 .. n). Four pixels at a
// time where the processor allows, in 16-bit lanes: s * a + d * (255 - a)
// + 128 stays below 2^16, and for such y, (y + (y >> 8)) >> 8 equals
// (y * 257) >> 16, the high half of one multiplication.
//
// BlendRows does so for `rows` rows of n pixels, row j at dst + j *
// dstStride and cov + j * covStride: a glyph's rows share the constants,
// which are set up once.
inline void BlendRows(std::uint32_t* dstRows, std::size_t dstStride, const std::uint8_t* covRows,
                      std::size_t covStride, int n, int rows, std::uint32_t src) {
  src |= 0xFF000000u;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128(), c255 = _mm_set1_epi16(255), c128 = _mm_set1_epi16(128),
                c257 = _mm_set1_epi16(257);
  const __m128i s = _mm_unpacklo_epi8(_mm_set1_epi32(int(src)), zero);
  const __m128i ones = _mm_set1_epi32(-1), sInv = _mm_sub_epi16(c255, s), c65025 = _mm_set1_epi16(-511);
  auto round = [&](__m128i t) { return _mm_mulhi_epu16(_mm_add_epi16(t, c128), c257); };
  auto mix = [&](__m128i d, __m128i a) {
    return round(_mm_add_epi16(_mm_mullo_epi16(s, a), _mm_mullo_epi16(d, _mm_sub_epi16(c255, a))));
  };
  // Text mostly lands on clear or opaque white pixels, where the sum takes
  // one product: s * a over 0, and 255 * 255 - a * (255 - s) over 255.
  auto overClear = [&](__m128i a) { return round(_mm_mullo_epi16(s, a)); };
  auto overWhite = [&](__m128i a) { return round(_mm_sub_epi16(c65025, _mm_mullo_epi16(a, sInv))); };
  // Black, the usual text colour, needs no product there: a over clear is
  // alpha a and no colour, and over white each channel is 255 - a.
  const bool black = src == 0xFF000000u;
  const __m128i alphaBytes = _mm_set1_epi32(int(0xFF000000u));
#endif
  for (int j = 0; j < rows; ++j) {
    std::uint32_t* dst = dstRows + size_t(j) * dstStride;
    const std::uint8_t* cov = covRows + size_t(j) * covStride;
    int x = 0;
#if defined(__SSE2__)
    // Black over eight clear or eight white pixels, the usual case, needs
    // no test of the coverage: zero coverage leaves such pixels as they are.
    // At the first eight that are neither, the four-pixel steps take over.
    for (; black && x + 2 * kBlendStep <= n; x += 2 * kBlendStep) {
      __m128i* p = reinterpret_cast<__m128i*>(dst + x);
      const __m128i d0 = _mm_loadu_si128(p), d1 = _mm_loadu_si128(p + 1);
      const __m128i c = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(cov + x));
      if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_or_si128(d0, d1), zero)) == 0xFFFF) {
        const __m128i high = _mm_unpacklo_epi8(zero, c);  // each coverage byte as the high byte
        _mm_storeu_si128(p, _mm_unpacklo_epi16(zero, high));
        _mm_storeu_si128(p + 1, _mm_unpackhi_epi16(zero, high));
      } else if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(d0, d1), ones)) == 0xFFFF) {
        const __m128i twice = _mm_unpacklo_epi8(c, c);
        const __m128i lo = _mm_unpacklo_epi16(twice, twice), hi = _mm_unpackhi_epi16(twice, twice);
        _mm_storeu_si128(p, _mm_xor_si128(_mm_andnot_si128(alphaBytes, lo), ones));
        _mm_storeu_si128(p + 1, _mm_xor_si128(_mm_andnot_si128(alphaBytes, hi), ones));
      } else {
        break;
      }
    }
    for (; x + kBlendStep <= n; x += kBlendStep) {
      std::uint32_t four;
      std::memcpy(&four, cov + x, 4);
      if (four == 0) continue;
      __m128i* p = reinterpret_cast<__m128i*>(dst + x);
      if (four == 0xFFFFFFFFu) {
        _mm_storeu_si128(p, _mm_set1_epi32(int(src)));
        continue;
      }
      __m128i a = _mm_cvtsi32_si128(int(four));
      a = _mm_unpacklo_epi8(a, a);
      a = _mm_unpacklo_epi16(a, a);  // each coverage byte once per channel
      __m128i d = _mm_loadu_si128(p);
      const bool clear = _mm_movemask_epi8(_mm_cmpeq_epi32(d, zero)) == 0xFFFF;
      const bool white = !clear && _mm_movemask_epi8(_mm_cmpeq_epi32(d, ones)) == 0xFFFF;
      if (black && (clear || white)) {
        _mm_storeu_si128(p, clear ? _mm_and_si128(a, alphaBytes) : _mm_xor_si128(_mm_andnot_si128(alphaBytes, a), ones));
        continue;
      }
      const __m128i aLo = _mm_unpacklo_epi8(a, zero), aHi = _mm_unpackhi_epi8(a, zero);
      __m128i lo, hi;
      if (clear) {
        lo = overClear(aLo), hi = overClear(aHi);
      } else if (white) {
        lo = overWhite(aLo), hi = overWhite(aHi);
      } else {
        lo = mix(_mm_unpacklo_epi8(d, zero), aLo), hi = mix(_mm_unpackhi_epi8(d, zero), aHi);
      }
      _mm_storeu_si128(p, _mm_packus_epi16(lo, hi));
    }
#endif
    for (; x < n; ++x)
      if (cov[x]) dst[x] = Blend(dst[x], src, cov[x]);
  }
}

inline void BlendRow(std::uint32_t* dst, const std::uint8_t* cov, int n, std::uint32_t src) {
  BlendRows(dst, 0, cov, 0, n, 1, src);
}

}  // namespace lexaro::pixels
