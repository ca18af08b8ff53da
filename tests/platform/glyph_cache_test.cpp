#include "platform/font/glyph_cache.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/pixel_blend.h"

using lexaro::font::DrawnGlyph;
using lexaro::font::GlyphCache;
using Key = GlyphCache::Key;

TEST(GlyphCache, EntriesDifferingInOneFieldOfTheKeyAreDistinct) {
  const lexaro::font::LoadedFace a, b;
  const Key base{&a, 5, 0, 0, 0};
  const Key others[] = {
      {&b, 5, 0, 0, 0},    // another face
      {&a, 6, 0, 0, 0},    // another glyph
      {&a, 5, 1, 0, 0},    // shifted across
      {&a, 5, 0, -1, 0},   // shifted up
      {&a, 5, 0, 0, 300},  // turned
  };
  GlyphCache cache;
  cache.Find(base).rendered = 1;
  for (const Key& k : others) {
    EXPECT_EQ(cache.Find(k).rendered, 0);
    cache.Find(k).rendered = 2;
    EXPECT_EQ(cache.Find(base).rendered, 1);
  }
}

TEST(GlyphCache, StartsAfreshPastItsBoundAndForgetsEveryEntry) {
  GlyphCache cache;
  const size_t entry = sizeof(DrawnGlyph) + sizeof(Key), map = 4000;
  size_t clears = 0, last = 0;
  for (unsigned i = 0; i < 20000; ++i) {
    cache.Find(Key{nullptr, i, 0, 0, 0}).rendered = 1;
    cache.Grew(map);
    ASSERT_LE(cache.Bytes(), lexaro::font::kGlyphCacheBytes + 2 * (entry + map));
    if (cache.Bytes() < last) {
      ++clears;
      // The glyph asked for just before is gone, though it was found last.
      EXPECT_EQ(cache.Find(Key{nullptr, i - 1, 0, 0, 0}).rendered, 0);
    }
    last = cache.Bytes();
  }
  EXPECT_GE(clears, 5u);
}

// A row blended at once has the bytes of each channel blended on its own,
// (s * a + d * (255 - a)) / 255 rounded, for every coverage, over pixels of
// several kinds, whatever the row's length beyond whole steps. The last
// kind changes along the row, clear, white and coloured in runs of 12
// pixels, so that steps over pixels all alike meet steps over mixed ones.
TEST(PixelBlend, RowsBlendAsSingleChannelsDo) {
  std::vector<std::uint8_t> cov = {0, 0, 0, 0, 255, 255, 255, 255};
  for (int a = 0; a < 256; ++a) cov.push_back(std::uint8_t(a * 97 % 256));
  const std::uint32_t kinds[] = {0u, 0xFFFFFFFFu, 0x80402010u};
  for (std::uint32_t src : {0xFF000000u, 0xFFFFFFFFu, 0xFF12A456u})
    for (std::uint32_t below : {0u, 0xFFFFFFFFu, 0x80402010u, 0xFF00FF00u, 1u})
      for (int n = int(cov.size()) - 3; n <= int(cov.size()); ++n) {
        std::vector<std::uint32_t> row(size_t(n), below), expected(size_t(n), 0u);
        if (below == 1u)
          for (int i = 0; i < n; ++i) row[size_t(i)] = kinds[i / 12 % 3];
        for (int i = 0; i < n; ++i)
          for (int shift = 0; shift < 32; shift += 8) {
            std::uint32_t s = (src >> shift) & 255, d = (row[size_t(i)] >> shift) & 255, a = cov[size_t(i)];
            expected[size_t(i)] |= (s * a + d * (255 - a) + 127) / 255 << shift;
          }
        lexaro::pixels::BlendRow(row.data(), cov.data(), n, src);
        ASSERT_EQ(row, expected) << std::hex << src << " over " << below << ", " << std::dec << n;
      }
}

// A block of rows blended at once lands as its rows do blended one by one,
// each at its own stride in the surface and in the coverage, and leaves
// the pixels around the block as they were.
TEST(PixelBlend, BlocksBlendAsTheirRowsDo) {
  struct Case {
    int n, rows, surfaceWidth, coverageWidth;
  };
  const Case cases[] = {{4, 1, 4, 4}, {8, 3, 11, 8}, {7, 4, 9, 12}, {12, 5, 30, 13}, {3, 2, 3, 3}};
  for (const Case& c : cases) {
    for (std::uint32_t src : {0xFF000000u, 0xFF12A456u}) {
      std::vector<std::uint8_t> cov(size_t(c.coverageWidth) * size_t(c.rows));
      for (size_t i = 0; i < cov.size(); ++i) cov[i] = std::uint8_t(i * 53 % 256);
      const int height = c.rows + 2, left = 1 % (c.surfaceWidth - c.n + 1);
      std::vector<std::uint32_t> surface(size_t(c.surfaceWidth) * size_t(height));
      for (size_t i = 0; i < surface.size(); ++i) surface[i] = i % 3 == 0 ? 0u : i % 3 == 1 ? 0xFFFFFFFFu : 0x80402010u;
      std::vector<std::uint32_t> expected = surface;
      for (int j = 0; j < c.rows; ++j)
        lexaro::pixels::BlendRow(expected.data() + size_t(j + 1) * size_t(c.surfaceWidth) + size_t(left),
                                 cov.data() + size_t(j) * size_t(c.coverageWidth), c.n, src);
      lexaro::pixels::BlendRows(surface.data() + size_t(c.surfaceWidth) + size_t(left), size_t(c.surfaceWidth),
                                cov.data(), size_t(c.coverageWidth), c.n, c.rows, src);
      EXPECT_EQ(surface, expected) << c.n << " x " << c.rows << " in " << c.surfaceWidth << ", " << std::hex << src;
    }
  }
}
