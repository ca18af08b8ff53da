// The whole sample gallery drawn on the SVG surface: well-formed XML, and
// rasterised by rsvg-convert it matches the raster surface's drawing of the
// same pages within the allowance of anti-aliasing, upright and turned.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "svg_check.h"
#include "tools/gallery.h"

namespace {

const std::string kSamples = LEXARO_SAMPLES_DIR;
constexpr std::uint32_t kWhitePixel = 0xFFFFFFFFu;
// At most this share of the painted pixels may differ beyond the allowance
// (the glyph rasterisers place edges a fraction of a pixel apart).
constexpr double kMaxShare = 0.02;

struct Named {
  std::string name;
  gallery::Page page;
};

std::vector<Named> GalleryPages() {
  std::vector<Named> pages;
  std::vector<std::string> paths, more;
  std::string error;
  EXPECT_TRUE(gallery::ListSamples(kSamples, &paths, &error)) << error;
  EXPECT_TRUE(gallery::ListSamples(kSamples + "/gallery", &more, &error)) << error;
  paths.insert(paths.end(), more.begin(), more.end());
  for (const std::string& path : paths) {
    std::string text;
    Named n{std::filesystem::path(path).filename().string(), {}};
    EXPECT_TRUE(gallery::ReadSample(path, &text, &error)) << error;
    EXPECT_TRUE(gallery::SingleTextPage(gallery::EngineText(text).GetString(), &n.page, &error)) << error;
    pages.push_back(std::move(n));
  }
  Named delimiters{"delimiters", {}};
  EXPECT_TRUE(gallery::DelimiterPage(&delimiters.page, &error)) << error;
  pages.push_back(std::move(delimiters));
  return pages;
}

// The size of the surface a page turned by escapement is drawn on.
CSize SurfaceSize(const gallery::Page& page, long escapement) {
  gallery::Bounds b = gallery::RotatedBounds(page.width, page.height, escapement);
  return CSize(std::min(b.Width() + 2 * gallery::kImageMargin, gallery::kMaxImageSide),
               std::min(b.Height() + 2 * gallery::kImageMargin, gallery::kMaxImageSide));
}

// Draws a page as the gallery does, on any surface of SurfaceSize.
void DrawPage(CDC* dc, const gallery::Page& page, long escapement) {
  gallery::Bounds b = gallery::RotatedBounds(page.width, page.height, escapement);
  const CPoint origin(gallery::kImageMargin - b.left, gallery::kImageMargin - b.top);
  for (const gallery::Block& block : page.blocks) {
    CLexaro lexaro;
    lexaro.SetParam_lfEscapement(escapement);
    ASSERT_EQ(lexaro.SetText(dc, CString(block.markup)), 1);
    CPoint at = gallery::RotatedPoint(block.at.x, block.at.y, escapement);
    ASSERT_EQ(lexaro.TextOutA(dc, origin.x + at.x, origin.y + at.y), 1);
  }
}

TEST(SvgGallery, EveryPageMatchesTheRasterSurface) {
  std::vector<Named> pages = GalleryPages();
  ASSERT_GE(pages.size(), 26u);
  long long totalBytes = 0, totalInked = 0, totalDiffering = 0;
  double svgSeconds = 0, rasterSeconds = 0;
  int drawings = 0;
  for (long escapement : {0L, 300L}) {
    for (const Named& n : pages) {
      SCOPED_TRACE(n.name + " at " + std::to_string(escapement));
      CSize size = SurfaceSize(n.page, escapement);
      auto start = std::chrono::steady_clock::now();
      CRasterDC raster(size.cx, size.cy, RGB(255, 255, 255));
      raster.SetTextHinting(false);  // the SVG has the fonts' own outlines
      DrawPage(&raster, n.page, escapement);
      rasterSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      start = std::chrono::steady_clock::now();
      CSvgDC svg(size.cx, size.cy, RGB(255, 255, 255));
      DrawPage(&svg, n.page, escapement);
      std::string doc = svg.Svg();
      svgSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      ++drawings;
      totalBytes += (long long)doc.size();
      std::string error;
      ASSERT_TRUE(svgcheck::ParseXml(doc, &error)) << error;
      std::unique_ptr<CRasterDC> shown = svgcheck::Rasterise(doc, &error);
      ASSERT_TRUE(shown) << error;
      ASSERT_EQ(shown->Width(), size.cx);
      ASSERT_EQ(shown->Height(), size.cy);
      svgcheck::Difference d = svgcheck::Compare(raster, *shown, kWhitePixel);
      EXPECT_GT(d.inked, 0);
      EXPECT_LE(d.Share(), kMaxShare) << d.differing << " of " << d.inked << " painted pixels differ";
      EXPECT_LE(d.meanChannel, 12.0);
      if (const char* dir = std::getenv("LEXARO_SVG_DUMP")) {  // for looking at differences
        std::string base = std::string(dir) + "/" + n.name + "-" + std::to_string(escapement);
        raster.SavePng(base + "-raster.png");
        shown->SavePng(base + "-svg.png");
        svg.SaveSvg(base + ".svg");
      }
      totalInked += d.inked;
      totalDiffering += d.differing;
      std::printf("  %-24s %5ld  %8zu bytes  %6lld inked  %5lld differ (%.2f%%)  mean %.2f  max %d\n",
                  n.name.c_str(), escapement, doc.size(), d.inked, d.differing, 100 * d.Share(),
                  d.meanChannel, d.maxChannel);
    }
  }
  // Layout and drawing included; the raster surface's time for comparison.
  std::printf("  %d drawings: %lld bytes of SVG in all, %.2f ms per SVG document (raster %.2f ms); "
              "%lld of %lld painted pixels (%.2f%%) differ by more than %d\n",
              drawings, totalBytes, 1000 * svgSeconds / drawings, 1000 * rasterSeconds / drawings,
              totalDiffering, totalInked,
              100.0 * double(totalDiffering) / double(std::max(1LL, totalInked)), svgcheck::kChannelAllowance);
}

}  // namespace
