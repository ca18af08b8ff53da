// The SVG surface where a fault would hide: the document's size and
// background, shapes, patterned lines and erasing against the raster
// surface's exact pixels, clipping, text colour, rotation and decorations,
// outlines defined once, and bounded output for hostile drawing.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>

#include "lexaro/lexaro.h"
#include "support/pixels.h"
#include "svg_check.h"

namespace {

using Draw = std::function<void(CDC*)>;
constexpr COLORREF kInk = RGB(0, 0, 0);

size_t Count(const std::string& doc, const std::string& what) {
  size_t n = 0;
  for (size_t at = doc.find(what); at != std::string::npos; at = doc.find(what, at + 1)) ++n;
  return n;
}

// The document of a drawing, checked to be well-formed.
std::string SvgOf(int w, int h, COLORREF background, const Draw& draw) {
  CSvgDC svg(w, h, background);
  draw(&svg);
  std::string doc = svg.Svg(), error;
  EXPECT_TRUE(svgcheck::ParseXml(doc, &error)) << error;
  return doc;
}

std::unique_ptr<CRasterDC> Shown(const std::string& doc) {
  std::string error;
  auto image = svgcheck::Rasterise(doc, &error);
  EXPECT_TRUE(image) << error;
  return image;
}

// Draws on both surfaces (white, w x h) and answers the raster surface and
// the rasterised SVG. The SVG has the fonts' own outlines: the raster
// surface draws them unhinted too.
std::pair<std::unique_ptr<CRasterDC>, std::unique_ptr<CRasterDC>> Both(int w, int h, const Draw& draw) {
  auto raster = std::make_unique<CRasterDC>(w, h, RGB(255, 255, 255));
  raster->SetTextHinting(false);
  draw(raster.get());
  return {std::move(raster), Shown(SvgOf(w, h, RGB(255, 255, 255), draw))};
}

// Pixels darker than mid-grey: where aliased shapes were painted.
PixelSet Dark(const CRasterDC& dc) {
  PixelSet s;
  for (int y = 0; y < dc.Height(); ++y)
    for (int x = 0; x < dc.Width(); ++x)
      if ((PixelAt(dc, x, y) & 0xFF00) >> 8 < 128) s.emplace(x, y);
  return s;
}

TEST(SvgDocument, SizeViewBoxAndBackground) {
  std::string doc = SvgOf(123, 45, RGB(10, 200, 30), [](CDC*) {});
  EXPECT_NE(doc.find("width=\"123\" height=\"45\" viewBox=\"0 0 123 45\""), std::string::npos);
  auto image = Shown(doc);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->Width(), 123);
  EXPECT_EQ(image->Height(), 45);
  EXPECT_EQ(PixelAt(*image, 0, 0), 0xFF0AC81Eu);
  EXPECT_EQ(PixelAt(*image, 122, 44), 0xFF0AC81Eu);

  // A transparent surface has no background at all; what is drawn on it
  // is opaque.
  doc = SvgOf(20, 10, CLR_TRANSPARENT, [](CDC* dc) { dc->FillSolidRect(2, 2, 3, 3, RGB(255, 0, 0)); });
  EXPECT_EQ(Count(doc, "<rect"), 0u);
  image = Shown(doc);
  ASSERT_TRUE(image);
  EXPECT_EQ(PixelAt(*image, 0, 0), 0u);
  EXPECT_EQ(PixelAt(*image, 3, 3), 0xFFFF0000u);
  EXPECT_EQ(Painted(*image, 0).size(), 9u);
}

TEST(SvgDocument, LimitsReadBackAndSaving) {
  EXPECT_THROW(CSvgDC(-1, 5), std::invalid_argument);
  EXPECT_THROW(CSvgDC(CRasterDC::kMaxSide + 1, 1), std::invalid_argument);
  EXPECT_THROW(CSvgDC(30000, 30000), std::invalid_argument);
  CSvgDC empty(0, 0);
  std::string error;
  EXPECT_TRUE(svgcheck::ParseXml(empty.Svg(), &error)) << error;

  // Nothing can be read back: the background answers, and outside the
  // surface or the clip nothing does.
  CSvgDC white(10, 10, RGB(255, 255, 255)), clear(10, 10);
  white.FillSolidRect(0, 0, 10, 10, kInk);
  EXPECT_EQ(white.GetPixel(5, 5), RGB(255, 255, 255));
  EXPECT_EQ(clear.GetPixel(5, 5), CLR_TRANSPARENT);
  EXPECT_EQ(white.GetPixel(10, 5), CLR_INVALID);

  EXPECT_FALSE(white.SaveSvg("/nonexistent-dir/x.svg", &error));
  EXPECT_NE(error.find("/nonexistent-dir/x.svg"), std::string::npos);
}

// A save that fails half way (the file size limit stands in for a full
// disk) leaves the old file as it was and nothing beside it.
TEST(SvgDocument, AFailedSaveLeavesTheOldFile) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::path(testing::TempDir()) / ("lexaro-svg-save-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string path = (dir / "old.svg").string();
  std::ofstream(path) << "old";
  CSvgDC dc(100, 100, RGB(255, 255, 255));
  dc.FillSolidRect(10, 10, 50, 50, kInk);
  rlimit saved{};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  const rlimit small{64, saved.rlim_max};
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string error;
  const bool ok = dc.SaveSvg(path, &error);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(ok);
  EXPECT_NE(error.find(std::strerror(EFBIG)), std::string::npos) << error;
  std::stringstream left;
  left << std::ifstream(path).rdbuf();
  EXPECT_EQ(left.str(), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
  fs::remove_all(dir);
}

TEST(SvgShapes, FillsPensAndLinesPaintTheRasterPixels) {
  auto draw = [](CDC* dc) {
    dc->FillSolidRect(5, 5, 30, 12, RGB(20, 20, 20));
    CPen pens[3] = {{PS_SOLID, 1, kInk}, {PS_SOLID, 2, kInk}, {PS_SOLID, 3, kInk}};
    for (int i = 0; i < 3; ++i) {
      dc->SelectObject(&pens[i]);
      int y = 30 + 12 * i;
      dc->MoveTo(5, y);
      dc->LineTo(60, y);      // horizontal
      dc->LineTo(60, y + 9);  // vertical
      dc->MoveTo(70 + 40 * i, 5);
      dc->LineTo(100 + 40 * i, 70);  // steep
      dc->MoveTo(70 + 40 * i, 80);
      dc->LineTo(105 + 40 * i, 95);  // shallow
      dc->MoveTo(10 + 10 * i, 90);
      dc->LineTo(11 + 10 * i, 91);   // one step
    }
    dc->SelectObject(&pens[0]);
    dc->Rectangle(200, 10, 230, 40);
  };
  auto [raster, shown] = Both(240, 100, draw);
  ASSERT_TRUE(shown);
  PixelSet want = Dark(*raster), got = Dark(*shown);
  std::vector<std::pair<int, int>> missing, extra;
  std::set_difference(want.begin(), want.end(), got.begin(), got.end(), std::back_inserter(missing));
  std::set_difference(got.begin(), got.end(), want.begin(), want.end(), std::back_inserter(extra));
  // Sloped lines may take the other pixel where their ideal line passes
  // almost halfway between two.
  EXPECT_LE(missing.size() + extra.size(), 4u) << want.size() << " pixels painted";
  // The axis-aligned shapes are exact.
  EXPECT_EQ(Window(want, 0, 0, 65, 75), Window(got, 0, 0, 65, 75));
  EXPECT_EQ(Window(want, 195, 0, 45, 50), Window(got, 195, 0, 45, 50));
}

TEST(SvgShapes, PatternedLinesAreMergedRunsOfTheSamePixels) {
  for (DE_PENSTYLE_CODE style : {DE_PS_SOLID, DE_PS_DASHED, DE_PS_DOTTED, DE_PS_DASHDOTDOTTED}) {
    for (int width : {1, 3}) {
      SCOPED_TRACE("style " + std::to_string(style) + " width " + std::to_string(width));
      auto draw = [&](CDC* dc) {
        CDC_Ex ex;
        ex.LineTo(dc, 5, 10, 295, 10, CPenData(style, width, kInk));
        ex.LineTo(dc, 10, 20, 10, 95, CPenData(style, width, kInk));
        ex.LineTo(dc, 30, 30, 280, 90, CPenData(style, width, kInk));
      };
      std::string doc = SvgOf(300, 100, RGB(255, 255, 255), draw);
      CRasterDC raster(300, 100, RGB(255, 255, 255));
      draw(&raster);
      auto shown = Shown(doc);
      ASSERT_TRUE(shown);
      EXPECT_EQ(Dark(raster), Dark(*shown));
      // 290 + 75 + 250 steps; a solid or dashed line needs far fewer shapes.
      size_t shapes = Count(doc, "z");
      EXPECT_LT(shapes, style == DE_PS_DOTTED ? 400u : 200u) << doc.size() << " bytes";
      if (style == DE_PS_SOLID && width == 1) {
        EXPECT_LT(shapes, 70u);
      }
    }
  }
}

TEST(SvgShapes, PixelsMergeIntoRectangles) {
  std::string doc = SvgOf(120, 120, RGB(255, 255, 255), [](CDC* dc) {
    for (int y = 10; y < 110; ++y)
      for (int x = 10; x < 110; ++x) dc->SetPixel(x, y, RGB(0, 0, 255));
    for (int x = 0; x < 120; x += 2) dc->SetPixel(x, 115, RGB(255, 0, 0));  // dotted: one run each
    dc->SetPixel(-1, 5, kInk);
    dc->SetPixel(120, 5, kInk);
  });
  EXPECT_EQ(Count(doc, "M10 10h100v100h-100z"), 1u);
  EXPECT_EQ(Count(doc, "z"), 61u);
  auto shown = Shown(doc);
  ASSERT_TRUE(shown);
  EXPECT_EQ(PixelAt(*shown, 50, 50), 0xFF0000FFu);
  EXPECT_EQ(PixelAt(*shown, 4, 115), 0xFFFF0000u);
  EXPECT_EQ(PixelAt(*shown, 5, 115), 0xFFFFFFFFu);
}

TEST(SvgShapes, TransparentPaintErasesWhatWasDrawnBefore) {
  auto draw = [](CDC* dc) {
    dc->FillSolidRect(10, 10, 40, 20, RGB(0, 0, 200));
    dc->FillSolidRect(20, 15, 10, 10, CLR_TRANSPARENT);  // through the fill and the background
    dc->SetPixel(45, 12, CLR_TRANSPARENT);
    dc->SetPixel(2, 2, CLR_TRANSPARENT);
    dc->FillSolidRect(24, 18, 3, 3, RGB(200, 0, 0));  // drawn after: shows
  };
  CRasterDC raster(60, 40, RGB(255, 255, 255));
  draw(&raster);
  std::string doc = SvgOf(60, 40, RGB(255, 255, 255), draw);
  auto shown = Shown(doc);
  ASSERT_TRUE(shown);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) ASSERT_EQ(PixelAt(*shown, x, y), PixelAt(raster, x, y)) << x << "," << y;
  EXPECT_EQ(PixelAt(*shown, 21, 16), 0u);

  // Erasing nests the drawing: beyond the limit it is dropped and told.
  CSvgDC many(10, 10, RGB(255, 255, 255));
  for (int i = 0; i <= CSvgDC::kMaxErasures; ++i) {
    many.SetPixel(i % 10, 0, RGB(0, 0, 0));
    many.SetPixel(i % 10, 0, CLR_TRANSPARENT);
  }
  std::string error;
  int depth = 0;
  EXPECT_TRUE(svgcheck::ParseXml(many.Svg(), &error, nullptr, &depth)) << error;
  EXPECT_LE(depth, CSvgDC::kMaxErasures + 3);
  EXPECT_TRUE(many.Truncated());
}

TEST(SvgShapes, ClipRegionsCutShapesAndText) {
  auto draw = [](CDC* dc) {
    CRgn a, b, both;
    a.CreateRectRgn(10, 10, 60, 40);
    b.CreateRectRgn(80, 20, 150, 70);
    both.CombineRgn(&a, &b, RGN_OR);
    dc->SelectClipRgn(&both);
    dc->FillSolidRect(0, 0, 200, 15, RGB(0, 0, 0));
    CPen pen(PS_SOLID, 2, kInk);
    dc->SelectObject(&pen);
    dc->MoveTo(0, 0);
    dc->LineTo(200, 80);
    dc->MoveTo(0, 30);
    dc->LineTo(200, 30);
    LOGFONT lf{};
    lf.lfHeight = -40;
    std::strcpy(lf.lfFaceName, "DejaVu Sans");
    CFont font;
    font.CreateFontIndirect(&lf);
    dc->SelectObject(&font);
    dc->SetBkMode(TRANSPARENT);
    dc->TextOut(5, 25, "MWMWMWMW", 8);
    dc->SelectClipRgn(nullptr);
    dc->FillSolidRect(180, 80, 10, 10, RGB(0, 0, 0));
  };
  auto [raster, shown] = Both(200, 100, draw);
  ASSERT_TRUE(shown);
  PixelSet got = Painted(*shown);
  for (auto [x, y] : got) {
    bool inA = x >= 10 && x < 60 && y >= 10 && y < 40, inB = x >= 80 && x < 150 && y >= 20 && y < 70;
    bool after = x >= 180 && x < 190 && y >= 80 && y < 90;
    EXPECT_TRUE(inA || inB || after) << x << "," << y;
  }
  svgcheck::Difference d = svgcheck::Compare(*raster, *shown, kWhite);
  EXPECT_LE(d.Share(), 0.02) << d.differing << " of " << d.inked;
}

LOGFONT Font(int height, int escapement = 0) {
  LOGFONT lf{};
  lf.lfHeight = -height;
  lf.lfEscapement = escapement;
  std::strcpy(lf.lfFaceName, "Liberation Serif");
  return lf;
}

TEST(SvgText, ColourRotationAndDecorationsMatchTheRaster) {
  for (int escapement : {0, 450, 1800, 2700}) {
    SCOPED_TRACE(escapement);
    auto draw = [&](CDC* dc) {
      LOGFONT lf = Font(28, escapement);
      lf.lfUnderline = TRUE;
      CFont font;
      font.CreateFontIndirect(&lf);
      dc->SelectObject(&font);
      dc->SetTextColor(RGB(200, 0, 0));
      dc->SetBkMode(TRANSPARENT);
      dc->TextOut(100, 100, "Rotated", 7);
      lf.lfUnderline = FALSE;
      lf.lfStrikeOut = TRUE;
      CFont struck;
      struck.CreateFontIndirect(&lf);
      dc->SelectObject(&struck);
      dc->SetTextColor(RGB(0, 0, 160));
      dc->SetBkMode(OPAQUE);
      dc->SetBkColor(RGB(255, 240, 120));
      dc->SetTextAlign(TA_CENTER | TA_BASELINE);
      dc->TextOut(100, 100, "text", 4);
    };
    auto [raster, shown] = Both(200, 200, draw);
    ASSERT_TRUE(shown);
    svgcheck::Difference d = svgcheck::Compare(*raster, *shown, kWhite);
    EXPECT_GT(d.inked, 1500);
    EXPECT_LE(d.Share(), 0.02) << d.differing << " of " << d.inked;
    EXPECT_LE(d.meanChannel, 12.0);
    EXPECT_EQ(Box(Painted(*raster)), Box(Painted(*shown)));
  }
  // The text colour: the ink of red text is red.
  auto [raster, shown] = Both(120, 50, [](CDC* dc) {
    LOGFONT lf = Font(30);
    CFont font;
    font.CreateFontIndirect(&lf);
    dc->SelectObject(&font);
    dc->SetTextColor(RGB(255, 0, 0));
    dc->TextOut(5, 5, "HHH", 3);
  });
  ASSERT_TRUE(shown);
  int solid = 0;
  for (auto [x, y] : Painted(*shown)) {
    std::uint32_t p = PixelAt(*shown, x, y);
    EXPECT_EQ((p >> 16) & 255, 255u) << x << "," << y;  // red stays full where green and blue fade
    EXPECT_EQ(p & 0xFF00, (p & 255) << 8);
    solid += p == 0xFFFF0000u;
  }
  EXPECT_GT(solid, 100);
}

TEST(SvgText, EachOutlineIsDefinedOnceAndMarkupBytesStayOut) {
  std::string doc = SvgOf(400, 200, CLR_TRANSPARENT, [](CDC* dc) {
    for (int size : {12, 20, 33}) {
      LOGFONT lf = Font(size, size == 33 ? 300 : 0);
      CFont font;
      font.CreateFontIndirect(&lf);
      dc->SelectObject(&font);
      dc->TextOut(10, size * 4, "a<&\"'>]]>a", 10);
    }
  });
  // a < & " ' > ] ] > a: seven distinct outlines, at three sizes and angles.
  EXPECT_EQ(Count(doc, "<path id="), 7u);
  EXPECT_EQ(Count(doc, "<use "), 30u);
  EXPECT_EQ(Count(doc, "<g fill="), 1u);  // one colour: one group
  EXPECT_EQ(Count(doc, "]]>"), 0u);
  EXPECT_EQ(Count(doc, "&"), 0u);
}

TEST(SvgBounds, FarAwayAndHugeDrawingStaysSmallAndWellFormed) {
  std::string doc = SvgOf(100, 100, RGB(255, 255, 255), [](CDC* dc) {
    CPen wide(PS_SOLID, INT_MAX, kInk), thin(PS_SOLID, 1, kInk);
    dc->SelectObject(&thin);
    dc->MoveTo(INT_MIN, INT_MIN);
    dc->LineTo(INT_MAX, INT_MAX - 7);
    dc->MoveTo(INT_MIN, 50);
    dc->LineTo(INT_MAX, 50);
    dc->SelectObject(&wide);
    dc->MoveTo(1 << 29, 0);
    dc->LineTo((1 << 29) + 3, 1);
    dc->FillSolidRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX, RGB(0, 0, 255));
    LOGFONT lf = Font(4000000, 450);
    CFont huge;
    huge.CreateFontIndirect(&lf);
    dc->SelectObject(&huge);
    dc->TextOut(-2000000, 2000000, "W", 1);
    lf = Font(20);
    CFont small;
    small.CreateFontIndirect(&lf);
    dc->SelectObject(&small);
    dc->TextOut(INT_MAX - 5, INT_MIN + 5, "far", 3);
  });
  EXPECT_LT(doc.size(), 4000u);
  EXPECT_FALSE(std::regex_search(doc, std::regex("nan|inf|e\\+|\\d{12}")));
  EXPECT_TRUE(Shown(doc));
}

TEST(SvgBounds, MillionsOfPixelOperationsAreMergedOrCapped) {
  CSvgDC dc(1000, 1000, RGB(255, 255, 255));
  for (int pass = 0; pass < 3; ++pass)
    for (int y = 0; y < 1000; ++y)
      for (int x = 0; x < 1000; ++x) dc.SetPixel(x, y, kInk);
  EXPECT_FALSE(dc.Truncated());
  EXPECT_LT(dc.Svg().size(), 1000u);

  // Every pixel a colour of its own cannot be merged: the document stops at
  // its limit, says so, and is still well-formed.
  CSvgDC noisy(2000, 2000);
  for (int y = 0; y < 2000; ++y)
    for (int x = 0; x < 2000; ++x) noisy.SetPixel(x, y, RGB(x & 255, y & 255, (x + y) & 1));
  EXPECT_TRUE(noisy.Truncated());
  std::string doc = noisy.Svg(), error;
  EXPECT_LE(doc.size(), size_t(CSvgDC::kMaxBodyBytes) + 1000);
  EXPECT_TRUE(svgcheck::ParseXml(doc, &error)) << error;
  EXPECT_FALSE(noisy.SaveSvg(testing::TempDir() + "/lexaro-never.svg", &error));
  EXPECT_NE(error.find("cut"), std::string::npos);
}

}  // namespace
