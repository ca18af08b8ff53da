// The SVG surface's text where a fault would hardly show in a rendering:
// numbers written as printf writes them, to the last digit and on exact
// ties; glyph outlines kept across documents without one glyph's outline
// standing in for another's, within their bound; and glyph placements kept
// across documents without one font's scale standing in for another's.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <random>
#include <regex>
#include <set>
#include <string>

#include "lexaro/lexaro.h"
#include "platform/font/font_engine.h"
#include "platform/font/outline_cache.h"
#include "platform/svg_shapes.h"

namespace {

// What the surface has always written: printf's "%.*f" without trailing
// zeros, "-0" as "0", and no zero before the point.
std::string Printed(double v, int decimals) {
  char buf[512];
  int n = std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  if (n <= 0 || n >= 64) return "0";
  std::string s(buf, size_t(n));
  if (decimals > 0) {
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
  }
  if (s == "-0") s = "0";
  if (s.rfind("0.", 0) == 0) s.erase(0, 1);
  if (s.rfind("-0.", 0) == 0) s.erase(1, 1);
  return s;
}

std::string Written(double v, int decimals) {
  std::string s;
  lexaro::svg::AppendNumber(s, v, decimals);
  return s;
}

TEST(SvgNumbers, WrittenAsPrintfRoundsThem) {
  struct Case {
    double v;
    int decimals;
    const char* text;
  };
  const Case cases[] = {
      {0.125, 2, ".12"},          // an exact tie rounds to even
      {0.375, 2, ".38"},
      {-0.125, 2, "-.12"},
      {2.5, 0, "2"},
      {3.5, 0, "4"},
      {1.005, 2, "1"},            // 1.00499999999999989...
      {0.145, 2, ".14"},          // 0.14499999999999999...
      {-0.001, 2, "0"},
      {-0.0, 6, "0"},
      {12.0, 2, "12"},
      {-3.75, 3, "-3.75"},
      {0.9999996, 6, "1"},
      {123456.7890125, 6, "123456.789012"},  // just below the tie
      {999999999.9999995, 6, "1000000000"},  // 999999999.99999952...
      {4503599627370495.5, 2, "4503599627370495.5"},
      {1e300, 2, "0"},            // too long: written as 0
      {NAN, 2, "nan"},
      {-INFINITY, 6, "-inf"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Written(c.v, c.decimals), c.text) << c.v << " to " << c.decimals;
    EXPECT_EQ(Written(c.v, c.decimals), Printed(c.v, c.decimals)) << c.v << " to " << c.decimals;
  }
  // Random values of every magnitude a drawing has, and halves of the last
  // decimal, which are ties or miss them by an ulp.
  std::mt19937_64 random(15);
  std::uniform_real_distribution<double> unit(-1, 1);
  for (int i = 0; i < 200000; ++i) {
    int decimals = int(random() % 8);
    double v = unit(random) * std::pow(10.0, double(random() % 14) - 4);
    if (i % 2) v = (std::round(v * std::pow(10.0, decimals)) + 0.5) / std::pow(10.0, decimals);
    ASSERT_EQ(Written(v, decimals), Printed(v, decimals)) << v << " to " << decimals;
  }
}

// The outline of glyph g of a font read afresh from the face.
std::string FreshPath(lexaro::font::RealizedFont& font, const lexaro::font::Glyph& g) {
  lexaro::font::Affine m;
  const FT_Outline* outline = font.GlyphOutline(g, 0, 0, 0, &m);
  return outline ? lexaro::svg::OutlinePath(*outline) : "";
}

LOGFONT FontOf(const char* face, int weight, unsigned char charset = ANSI_CHARSET) {
  LOGFONT lf{};
  lf.lfHeight = -20;
  lf.lfWeight = weight;
  lf.lfCharSet = charset;
  SetFaceName(lf, face);
  return lf;
}

TEST(SvgOutlines, KeptOutlinesAreThoseOfTheirOwnFontAndGlyph) {
  // One glyph of the symbol stand-in emboldened and not (it has no bold
  // style), moved and not, in two sizes, beside other glyphs and faces:
  // each is asked for again after all the others were kept.
  struct Case {
    LOGFONT lf;
    const char* text;
    int dx, dy;
  };
  const LOGFONT symbol = FontOf("Symbol", FW_NORMAL, SYMBOL_CHARSET);
  const LOGFONT symbolBold = FontOf("Symbol", FW_BOLD, SYMBOL_CHARSET);
  const Case cases[] = {
      {symbol, "\xE6", 0, 0},     {symbol, "\xE6", -46, 0},     {symbol, "\xE6", -46, 213},
      {symbol, "\xE6", 0, 213},   {symbolBold, "\xE6", 0, 0},   {symbolBold, "\xE6", -46, 213},
      {symbol, "\xE5", 0, 0},     {FontOf("DejaVu Sans", FW_NORMAL), "a", 0, 0},
      {FontOf("DejaVu Sans", FW_BOLD), "a", 0, 0},
  };
  std::lock_guard lock(lexaro::font::Mutex());
  std::set<std::string> paths;
  for (int round = 0; round < 2; ++round)
    for (const Case& c : cases)
      for (long height : {-12L, -40L}) {
        LOGFONT lf = c.lf;
        lf.lfHeight = height;
        auto font = lexaro::font::Realize(lf);
        std::vector<lexaro::font::Glyph> glyphs;
        font->Layout(c.text, 1, CP_UTF8, glyphs);
        ASSERT_EQ(glyphs.size(), 1u);
        lexaro::font::Glyph g = glyphs[0];
        g.dx = c.dx, g.dy = c.dy;
        SCOPED_TRACE(std::string(c.lf.lfFaceName) + " " + std::to_string(c.lf.lfWeight) + " " + c.text +
                     " moved " + std::to_string(c.dx) + ", " + std::to_string(c.dy));
        const lexaro::font::KeptOutline* kept = lexaro::font::KeptGlyphOutline(*font, g);
        ASSERT_TRUE(kept);
        EXPECT_FALSE(kept->path.empty());
        EXPECT_EQ(kept->path, FreshPath(*font, g));
        paths.insert(kept->path);
      }
  EXPECT_EQ(paths.size(), std::size(cases));  // the cases are distinct outlines
}

TEST(SvgOutlines, KeptOutlinesStayWithinTheirBound) {
  std::lock_guard lock(lexaro::font::Mutex());
  auto font = lexaro::font::Realize(FontOf("IPAGothic", FW_NORMAL));
  std::vector<lexaro::font::Glyph> glyphs;
  font->Layout("a", 1, CP_UTF8, glyphs);
  ASSERT_EQ(glyphs.size(), 1u);
  lexaro::font::Glyph g = glyphs[0];
  ASSERT_GT(g.face->ft->num_glyphs, long(lexaro::font::kMaxKeptOutlines) + 100);
  size_t most = 0;
  for (unsigned i = 0; i < lexaro::font::kMaxKeptOutlines + 100; ++i) {
    g.index = i;
    lexaro::font::KeptGlyphOutline(*font, g);
    most = std::max(most, lexaro::font::KeptOutlineCount());
  }
  EXPECT_LE(most, lexaro::font::kMaxKeptOutlines);
  EXPECT_GT(most, lexaro::font::kMaxKeptOutlines / 2);
}


TEST(SvgOutlines, EachGlyphIsPlacedAtItsOwnSizeAndAngle) {
  // More sizes and angles than the placements whose text is kept, twice
  // over, each in a document of its own.
  const std::regex matrix("matrix\\(([-.0-9]+) ([-.0-9]+) ");
  for (int round = 0; round < 2; ++round)
    for (int size = 10; size < 20; ++size)
      for (int angle : {0, 900}) {
        SCOPED_TRACE("em " + std::to_string(size) + " at " + std::to_string(angle));
        CSvgDC svg(100, 100);
        LOGFONT lf = FontOf("DejaVu Sans", FW_NORMAL);
        lf.lfHeight = -size;
        lf.lfEscapement = angle;
        CFont font;
        font.CreateFontIndirect(&lf);
        svg.SelectObject(&font);
        svg.TextOut(50, 50, "a", 1);
        std::string doc = svg.Svg();
        std::smatch m;
        ASSERT_TRUE(std::regex_search(doc, m, matrix)) << doc;
        const double scale = size / 2048.0;  // DejaVu Sans has 2048 units to the em
        EXPECT_NEAR(std::stod(m[1]), angle == 0 ? scale : 0.0, 1e-6);
        EXPECT_NEAR(std::stod(m[2]), angle == 0 ? 0.0 : -scale, 1e-6);
      }
}

}  // namespace
