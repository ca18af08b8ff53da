#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <functional>
#include <memory>
#include <random>

#include "lexaro/raster_dc.h"
#include "platform/png_encode.h"

namespace {

// Straight RGBA of a premultiplied pixel, channels rounded and clamped.
std::uint32_t Straight(std::uint32_t v) {
  const std::uint32_t a = v >> 24;
  std::uint32_t out = a << 24;
  for (int shift : {16, 8, 0}) {
    const std::uint32_t pm = (v >> shift) & 255;
    out |= (a ? std::min<std::uint32_t>(255, (pm * 255 + a / 2) / a) : 0) << shift;
  }
  return out;
}

std::vector<unsigned char> Encode(const CRasterDC& dc, std::size_t wholeBufferBytes) {
  std::vector<unsigned char> png;
  std::string message;
  EXPECT_TRUE(lexaro::png::Encode(
      dc,
      [&](const void* data, std::size_t size) {
        png.insert(png.end(), (const unsigned char*)data, (const unsigned char*)data + size);
        return true;
      },
      &message, wholeBufferBytes))
      << message;
  return png;
}

// Decodes with libpng into straight 0xAARRGGBB words.
std::vector<std::uint32_t> Decode(const std::vector<unsigned char>& png, int* width, int* height) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) return {};
  image.format = PNG_FORMAT_BGRA;  // little-endian words 0xAARRGGBB
  std::vector<std::uint32_t> pixels(std::size_t(image.width) * image.height);
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
  *width = int(image.width), *height = int(image.height);
  return pixels;
}

bool HasChunk(const std::vector<unsigned char>& png, const char* type) {
  for (std::size_t at = 8; at + 12 <= png.size();) {
    if (std::memcmp(&png[at + 4], type, 4) == 0) return true;
    at += 12 + (std::size_t(png[at]) << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3]);
  }
  return false;
}

int CountChunks(const std::vector<unsigned char>& png, const char* type) {
  int n = 0;
  for (std::size_t at = 8; at + 12 <= png.size();) {
    n += std::memcmp(&png[at + 4], type, 4) == 0;
    at += 12 + (std::size_t(png[at]) << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3]);
  }
  return n;
}

// Fills every pixel of a surface from its position.
std::shared_ptr<CRasterDC> Surface(int w, int h, const std::function<std::uint32_t(int x, int y)>& pixel) {
  auto dc = std::make_shared<CRasterDC>(w, h, CLR_TRANSPARENT);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) dc->Bits()[y * w + x] = pixel(x, y);
  return dc;
}

}  // namespace

// Each colour type the encoder chooses, written whole and streamed (a bound
// of 0 streams every image), decodes to the surface's straight pixels.
TEST(PngEncoding, EveryColourTypeDecodesToTheSurfacesStraightPixels) {
  std::mt19937 random(7);
  struct Case {
    const char* what;
    std::shared_ptr<CRasterDC> dc;
    int colourType;
    bool transparency;
  } cases[] = {
      {"grey, opaque", Surface(40, 30, [](int x, int y) { return 0xFF000000u | 0x010101u * ((x * 7 + y) & 255); }), 0, false},
      {"grey with alpha (more than 256 pairs)",
       Surface(40, 30, [](int x, int y) { std::uint32_t a = (x * 9 + y) & 255; return a << 24 | 0x010101u * (a * y / 30); }),
       4, false},
      {"grey with alpha, a width of no whole group of eight",
       Surface(43, 9, [](int x, int y) { return std::uint32_t(x * 6) << 24 | 0x010101u * (x * y % (x * 6 + 1)); }), 4,
       false},
      // Written in grey (opaque first pixel) or grey and alpha (clear one)
      // while scanned, until a pixel needs another type.
      {"grey rows, then translucent grey",
       Surface(40, 30, [](int x, int y) { return y < 20 ? 0xFF000000u | 0x010101u * (x * 6) : 0x80000000u | 0x010101u * x; }),
       4, false},
      {"grey rows, then translucent grey, then colour",
       Surface(40, 30, [](int x, int y) {
         return y < 20 ? 0xFF000000u | 0x010101u * (x * 6) : 0x80000000u | (y < 25 ? 0x010101u * x : std::uint32_t(x) << 16);
       }),
       3, true},
      {"grey rows, then colour",
       Surface(40, 30, [](int x, int y) { return 0xFF000000u | (y < 20 ? 0x010101u * (x * 6) : (x / 4) << 16 | 7); }), 3,
       false},
      {"grey rows, then many colours, translucent",
       Surface(40, 30, [](int x, int y) {
         std::uint32_t a = 1 + x * 6;
         return a << 24 | (y < 20 ? 0x010101u * (a / 2) : (a / 2) << 16 | (y & a) << 8 | (x & a));
       }),
       6, false},
      {"few colours, opaque", Surface(40, 30, [](int x, int y) { return 0xFF000000u | (x / 4) << 16 | (y / 3) << 8 | 7; }), 3, false},
      // Translucent, fully transparent with colour left over, and channels
      // above their alpha (clamped): a palette with a transparency table.
      {"few colours, translucent",
       Surface(40, 30, [](int x, int y) {
         const std::uint32_t some[] = {0x80400000u, 0x01010101u, 0x00FF00FFu, 0x40FF4040u, 0xFF102030u, 0x7F000000u};
         return some[(x + y) % 6];
       }),
       3, true},
      {"many colours, opaque", Surface(40, 30, [](int x, int y) { return 0xFF000000u | x << 16 | y << 8 | (x ^ y); }), 2, false},
      {"many colours, translucent",
       Surface(40, 30, [](int x, int y) { std::uint32_t a = 1 + x * 6; return a << 24 | (a * y / 30) << 16 | (x * y % (a + 1)) << 8 | 200; }),
       6, false},
      // Noise does not compress: the streamed data spans several chunks.
      {"noise", Surface(400, 400, [&](int, int) { return std::uint32_t(random()) | 0xFF000000u; }), 2, false},
  };
  for (const Case& c : cases) {
    for (std::size_t bound : {lexaro::png::kWholeBufferBytes, std::size_t(0)}) {
      SCOPED_TRACE(std::string(c.what) + (bound ? ", whole" : ", streamed"));
      const std::vector<unsigned char> png = Encode(*c.dc, bound);
      ASSERT_GT(png.size(), 33u);
      EXPECT_EQ(png[25], c.colourType);
      EXPECT_EQ(HasChunk(png, "tRNS"), c.transparency);
      if (!bound && c.dc->Width() == 400) {
        EXPECT_GT(CountChunks(png, "IDAT"), 1);
      }
      int w = 0, h = 0;
      const std::vector<std::uint32_t> decoded = Decode(png, &w, &h);
      ASSERT_EQ(w, c.dc->Width());
      ASSERT_EQ(h, c.dc->Height());
      int wrong = 0;
      for (std::size_t i = 0; i < decoded.size() && wrong < 5; ++i)
        if (decoded[i] != Straight(c.dc->Bits()[i])) {
          ++wrong;
          ADD_FAILURE() << "pixel " << i << ": " << std::hex << decoded[i] << " for " << c.dc->Bits()[i];
        }
    }
  }
  // A sink that refuses a piece of the streamed data ends the encoding.
  for (int failAt : {1, 2, 3}) {
    int seen = 0;
    std::string message;
    EXPECT_FALSE(lexaro::png::Encode(*cases[std::size(cases) - 1].dc,
                                     [&](const void*, std::size_t) { return ++seen < failAt; }, &message, 0));
    EXPECT_EQ(seen, failAt);
    EXPECT_FALSE(message.empty());
  }
}
