// The command line's drawing holds memory in proportion to what it writes:
// a PNG holds its one image (no probe or copy beside it), and an SVG holds
// no raster of the image's size at all, however wide the padding.
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/alloc_tracker.h"
#include "tools/cli/render.h"

namespace {

// Width and height from a PNG's IHDR.
std::uint32_t Big32(const std::string& bytes, size_t at) {
  std::uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i) v = v << 8 | (unsigned char)bytes[at + i];
  return v;
}

TEST(RenderMemory, PngHoldsOneImageAndSvgNoneOfItsSize) {
  cli::Options o;
  o.padding = 1000;
  o.scale = 1.2;
  o.angle = 30;
  cli::ApplyEngineDefaults(o);
  std::string png, error;
  ASSERT_TRUE(cli::DrawMarkup("<I>f</I>x", o, cli::Format::kPng, &png, &error)) << error;
  const long long imageBytes = 4LL * Big32(png, 16) * Big32(png, 20);
  ASSERT_GT(imageBytes, 20LL << 20);

  const struct {
    cli::Format format;
    long long most;  // bytes held at once
  } cases[] = {
      {cli::Format::kPng, imageBytes + (1 << 20)},
      {cli::Format::kSvg, imageBytes / 16},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(cli::Extension(c.format));
    std::string bytes;
    PeakAllocation peak;
    ASSERT_TRUE(cli::DrawMarkup("<I>f</I>x", o, c.format, &bytes, &error)) << error;
    EXPECT_LE((long long)peak.Bytes(), c.most);
  }
}

}  // namespace
