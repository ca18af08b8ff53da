// The font engine through the device context: metrics as GDI reports them,
// advances shared by measuring and drawing, code pages, substitution,
// fallback, the font cache, and fonts of absurd sizes.
#include <ft2build.h>
#include FT_FREETYPE_H

#include FT_OUTLINE_H

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include "lexaro/font_tool.h"
#include "lexaro/raster_dc.h"
#include "platform/font/font_engine.h"
#include "platform/font/stem_fit.h"
#include "support/pixels.h"

namespace {

LOGFONT Font(const char* face, int height, int escapement = 0) {
  LOGFONT lf{};
  lf.lfHeight = height;
  lf.lfEscapement = escapement;
  lf.lfWeight = FW_NORMAL;
  SetFaceName(lf, face);
  return lf;
}

// Selects a font for the lifetime of the object.
class WithFont {
 public:
  WithFont(CDC& dc, const LOGFONT& lf) : m_dc(dc) {
    m_font.CreateFontIndirect(&lf);
    m_old = dc.SelectObject(&m_font);
  }
  ~WithFont() { m_dc.SelectObject(m_old); }

 private:
  CDC& m_dc;
  CFont m_font;
  CFont* m_old;
};

TEXTMETRIC Metrics(const LOGFONT& lf) {
  CRasterDC dc(1, 1);
  WithFont f(dc, lf);
  TEXTMETRIC tm;
  dc.GetTextMetrics(&tm);
  return tm;
}

int Width(const LOGFONT& lf, const char* s, int codePage = CP_UTF8) {
  CRasterDC dc(1, 1);
  dc.SetCodePage(codePage);
  WithFont f(dc, lf);
  return dc.GetTextExtent(s, int(std::strlen(s))).cx;
}

// The bounding box of every pixel that differs from white.
CRect Ink(const CRasterDC& dc) { return Box(Painted(dc)); }

std::vector<std::string> GlyphNames(const LOGFONT& lf, const char* bytes) {
  std::lock_guard lock(lexaro::font::Mutex());
  std::vector<lexaro::font::Glyph> glyphs;
  lexaro::font::Realize(lf)->Layout(bytes, int(std::strlen(bytes)), CP_UTF8, glyphs);
  std::vector<std::string> names;
  for (auto& g : glyphs) {
    char name[64] = "";
    if (g.face) FT_Get_Glyph_Name(g.face->ft, g.index, name, sizeof name);
    names.push_back(name);
  }
  return names;
}

}  // namespace

TEST(FontMetrics, SubstitutedFacesReportTheirFontsNumbers) {
  // IPAGothic: winAscent 1802, winDescent 401 of 2048 units.
  TEXTMETRIC gothic = Metrics(Font("ＭＳ ゴシック", -20));
  EXPECT_EQ(gothic.tmAscent, 18);
  EXPECT_EQ(gothic.tmDescent, 4);
  EXPECT_EQ(gothic.tmHeight, 22);
  EXPECT_EQ(gothic.tmInternalLeading, 2);
  EXPECT_EQ(gothic.tmCharSet, SHIFTJIS_CHARSET);
  // Standard Symbols PS: 750 and 250 of 1000 units.
  TEXTMETRIC symbol = Metrics(Font("Symbol", -20));
  EXPECT_EQ(symbol.tmAscent, 15);
  EXPECT_EQ(symbol.tmDescent, 5);
  EXPECT_EQ(symbol.tmInternalLeading, 0);
  EXPECT_EQ(symbol.tmCharSet, SYMBOL_CHARSET);
  // Liberation Serif: 1825 + 443 units, average width 1124.
  TEXTMETRIC serif = Metrics(Font("Times New Roman", -20));
  EXPECT_EQ(serif.tmAscent, 18);
  EXPECT_EQ(serif.tmDescent, 4);
  EXPECT_EQ(serif.tmAveCharWidth, 11);
  // A positive height is the cell height; zero is the default of 16 px em.
  EXPECT_EQ(Metrics(Font("Times New Roman", 40)).tmHeight, 40);
  EXPECT_EQ(Metrics(Font("Times New Roman", 0)).tmHeight, Metrics(Font("Times New Roman", -16)).tmHeight);
  // The Japanese face names work in UTF-8 and in code page 932 alike.
  EXPECT_EQ(Metrics(Font("\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E", -20)).tmCharSet,
            SHIFTJIS_CHARSET);
}

TEST(FontMetrics, WidthScalesGlyphsToTheAverageWidth) {
  LOGFONT wide = Font("Times New Roman", -20);
  wide.lfWidth = 22;
  EXPECT_EQ(Metrics(wide).tmAveCharWidth, 22);
  EXPECT_EQ(Metrics(wide).tmHeight, Metrics(Font("Times New Roman", -20)).tmHeight);
  int narrow = Width(Font("Times New Roman", -20), "mmmm");
  EXPECT_NEAR(Width(wide, "mmmm"), narrow * 2, 4);
}

TEST(FontText, MeasuringAndDrawingShareWholePixelAdvances) {
  LOGFONT lf = Font("Times New Roman", -23);
  // No kerning: a pair measures as the sum of its parts.
  EXPECT_EQ(Width(lf, "AV"), Width(lf, "A") + Width(lf, "V"));
  EXPECT_EQ(Width(lf, "To."), Width(lf, "T") + Width(lf, "o") + Width(lf, "."));
  // Drawing the pair paints exactly what drawing each glyph at its measured
  // advance paints.
  CRasterDC together(120, 60), apart(120, 60);
  for (CRasterDC* dc : {&together, &apart}) {
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextAlign(TA_BASELINE);
  }
  {
    WithFont f(together, lf);
    together.TextOut(10, 40, "AV", 2);
  }
  {
    WithFont f(apart, lf);
    apart.TextOut(10, 40, "A", 1);
    apart.TextOut(10 + Width(lf, "A"), 40, "V", 1);
  }
  EXPECT_TRUE(std::equal(together.Bits(), together.Bits() + 120 * 60, apart.Bits()));
  // Updating the current position moves it by the measured width.
  CRasterDC dc(300, 60);
  WithFont f(dc, lf);
  dc.SetTextAlign(TA_BASELINE | TA_UPDATECP);
  dc.MoveTo(5, 40);
  dc.TextOut(0, 0, "Lexaro", 6);
  EXPECT_EQ(dc.GetCurrentPosition(), CPoint(5 + Width(lf, "Lexaro"), 40));
}

TEST(FontText, CodePagesAndSymbolEncodings) {
  // Symbol bytes are the codes of the symbol face's own encoding.
  LOGFONT symbol = Font("Symbol", -20);
  symbol.lfCharSet = SYMBOL_CHARSET;
  EXPECT_EQ(GlyphNames(symbol, "a\xE5\xF2\xD6"),
            (std::vector<std::string>{"alpha", "summation", "integral", "radical"}));
  EXPECT_EQ(GlyphNames(symbol, "\xE6\xE7\xE8\xEC\xED\xEE"),
            (std::vector<std::string>{"parenlefttp", "parenleftex", "parenleftbt", "bracelefttp",
                                      "braceleftmid", "braceleftbt"}));
  // Wingdings bytes go through a table to Unicode symbols of DejaVu Sans.
  EXPECT_EQ(GlyphNames(Font("Wingdings", -20), "\xAB\xFC"),
            (std::vector<std::string>{"uni2605", "uni2714"}));
  // ASCII bytes too: a Wingdings "J" is a smiling face, not the letter.
  EXPECT_EQ(GlyphNames(Font("Wingdings", -20), "J"), (std::vector<std::string>{"smileface"}));
  // A byte that is not valid UTF-8 reads as code page 1252.
  EXPECT_EQ(GlyphNames(Font("Times New Roman", -20), "\x86\x80\xF0\xA7"),
            (std::vector<std::string>{"dagger", "Euro", "eth", "section"}));
  EXPECT_EQ(GlyphNames(Font("Times New Roman", -20), "\xC3\xA9\xE9"),
            (std::vector<std::string>{"eacute", "eacute"}));
  // ASCII around a sequence keeps its place in the run.
  EXPECT_EQ(GlyphNames(Font("Times New Roman", -20), "e\xC3\xA9" "e"),
            (std::vector<std::string>{"e", "eacute", "e"}));
  // Japanese as UTF-8 and as code page 932 input: full-width glyphs of one em.
  LOGFONT gothic = Font("ＭＳ ゴシック", -20);
  EXPECT_EQ(Width(gothic, "分数"), 40);
  EXPECT_EQ(Width(gothic, "\x95\xAA\x90\x94", CP_SHIFTJIS), 40);
  EXPECT_EQ(Width(gothic, "\xB1\xB2", CP_SHIFTJIS), 20);  // half-width katakana
  EXPECT_EQ(Width(gothic, "\x95", CP_SHIFTJIS), Width(gothic, "\xEF\xBF\xBD"));  // cut pair
}

TEST(FontText, OutlineBoxesBoundTheDrawnInkNotTheAdvance) {
  struct Case {
    const char* face;
    const char* text;
    int width;  // lfWidth
  };
  for (Case c : {Case{"Symbol", "\xD6", 0}, Case{"Symbol", "\xD6", 13},
                 Case{"DejaVu Sans", "gT", 0}, Case{"Times New Roman", "f", 0}}) {
    SCOPED_TRACE(std::string(c.face) + " " + c.text);
    LOGFONT lf = Font(c.face, -40);
    lf.lfWidth = c.width;
    if (std::strcmp(c.face, "Symbol") == 0) lf.lfCharSet = SYMBOL_CHARSET;
    const int n = int(std::strlen(c.text));
    CRasterDC dc(200, 120);
    double box[4], turned[4];
    {
      WithFont f(dc, lf);
      ASSERT_TRUE(dc.GetTextOutlineBox(c.text, n, box));
      dc.SetTextAlign(TA_BASELINE);
      dc.SetBkMode(TRANSPARENT);
      dc.TextOut(50, 80, c.text, n);
    }
    // The box is where the drawing puts ink, to within the pixel that
    // anti-aliasing may leave blank or add.
    CRect ink = Ink(dc);
    EXPECT_NEAR(ink.left, std::floor(50 + box[0]), 1);
    EXPECT_NEAR(ink.right, std::ceil(50 + box[2]), 1);
    EXPECT_NEAR(ink.top, std::floor(80 + box[1]), 1);
    EXPECT_NEAR(ink.bottom, std::ceil(80 + box[3]), 1);
    // A turned font answers the unturned box.
    lf.lfEscapement = 300;
    WithFont f(dc, lf);
    ASSERT_TRUE(dc.GetTextOutlineBox(c.text, n, turned));
    for (int i = 0; i < 4; ++i) EXPECT_DOUBLE_EQ(turned[i], box[i]);
  }
  // The radical's ink ends 34 of its 549 units short of its advance.
  LOGFONT symbol = Font("Symbol", -1000);
  symbol.lfCharSet = SYMBOL_CHARSET;
  CRasterDC dc(1, 1);
  WithFont f(dc, symbol);
  double box[4] = {};
  ASSERT_TRUE(dc.GetTextOutlineBox("\xD6", 1, box));
  EXPECT_EQ(dc.GetTextExtent("\xD6", 1).cx, 549);
  EXPECT_NEAR(box[2], 515, 0.5);
  EXPECT_NEAR(box[1], -913, 0.5);
  // Nothing to measure: no text, or glyphs without outlines.
  EXPECT_FALSE(dc.GetTextOutlineBox("\xD6", 0, box));
  EXPECT_FALSE(dc.GetTextOutlineBox(nullptr, 1, box));
  EXPECT_FALSE(dc.GetTextOutlineBox("  ", 2, box));
}

TEST(FontText, CharactersMissingFromTheFaceComeFromAFallback) {
  LOGFONT serif = Font("Times New Roman", -20);
  std::lock_guard lock(lexaro::font::Mutex());
  auto font = lexaro::font::Realize(serif);
  std::vector<lexaro::font::Glyph> glyphs;
  font->Layout("a分", 4, CP_UTF8, glyphs);
  ASSERT_EQ(glyphs.size(), 2u);
  ASSERT_NE(glyphs[1].face, nullptr);
  EXPECT_NE(glyphs[1].face, glyphs[0].face);
  EXPECT_NE(glyphs[1].index, 0u);
  EXPECT_EQ(glyphs[1].advance, 20);
}

TEST(FontText, UnknownAndEmptyFacesStillDraw) {
  for (const char* face : {"No Such Face At All", ""}) {
    CRasterDC dc(100, 40);
    WithFont f(dc, Font(face, -20));
    dc.SetTextAlign(TA_BASELINE);
    dc.TextOut(5, 30, "Hg", 2);
    EXPECT_FALSE(Ink(dc).IsRectEmpty()) << face;
  }
}

TEST(FontText, EscapementTurnsTheRunAboutItsOrigin) {
  LOGFONT flat = Font("Times New Roman", -20), up = Font("Times New Roman", -20, 900);
  CRasterDC a(200, 200), b(200, 200);
  for (auto [dc, lf] : {std::pair{&a, flat}, std::pair{&b, up}}) {
    WithFont f(*dc, lf);
    dc->SetTextAlign(TA_BASELINE);
    dc->TextOut(100, 100, "HHHH", 4);
  }
  CRect h = Ink(a), v = Ink(b);
  // Turned 90 degrees counter-clockwise: the run goes up from the origin and
  // the glyphs stand to the left of the baseline.
  EXPECT_NEAR(v.Height(), h.Width(), 1);
  EXPECT_NEAR(v.Width(), h.Height(), 1);
  EXPECT_LE(v.bottom, 101);
  EXPECT_LE(v.right, 101);
  EXPECT_NEAR(100 - v.bottom, h.left - 100, 1);
}

// Level text is hinted: each bar of = and of the minus sign covers whole
// rows, and hinting moves nothing across: every pixel of a bar's rows is
// covered as much as the unhinted outline overlaps its column.
TEST(FontText, LevelHorizontalStemsCoverWholeRowsInTheirColumns) {
  struct Case {
    const char* face;
    const char* text;
    int bars;
  };
  const Case cases[] = {
      {"Symbol", "=", 2},
      {"Symbol", "-", 1},  // the symbol encoding's minus sign
      {"Times New Roman", "=", 2},
      {"DejaVu Sans", "\xE2\x88\x92", 1},  // U+2212
  };
  for (int em : {12, 20})
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.face) + " " + c.text + " em " + std::to_string(em));
      LOGFONT lf = Font(c.face, -em);
      if (std::strcmp(c.face, "Symbol") == 0) lf.lfCharSet = SYMBOL_CHARSET;
      const int penX = 10, baseline = 40;
      CRasterDC dc(60, 60);
      {
        WithFont f(dc, lf);
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextAlign(TA_BASELINE);
        dc.TextOut(penX, baseline, c.text, int(std::strlen(c.text)));
      }
      double x0, x1;
      {
        std::lock_guard lock(lexaro::font::Mutex());
        std::vector<lexaro::font::Glyph> glyphs;
        auto font = lexaro::font::Realize(lf);
        font->Layout(c.text, int(std::strlen(c.text)), CP_UTF8, glyphs);
        ASSERT_EQ(glyphs.size(), 1u);
        lexaro::font::Affine m;
        const FT_Outline* outline = font->GlyphOutline(glyphs[0], penX, baseline, 0, &m);
        ASSERT_TRUE(outline);
        FT_BBox box;
        FT_Outline_Get_CBox(outline, &box);
        x0 = m.xx * double(box.xMin) + m.tx, x1 = m.xx * double(box.xMax) + m.tx;
      }
      int bars = 0;
      bool inBar = false;
      for (int y = 0; y < dc.Height(); ++y) {
        bool empty = true;
        for (int x = 0; x < dc.Width(); ++x) empty = empty && PixelAt(dc, x, y) == kWhite;
        if (!empty) {
          for (int x = 0; x < dc.Width(); ++x) {
            double overlap = std::clamp(std::min(x1, x + 1.0) - std::max(x0, double(x)), 0.0, 1.0);
            int ink = 255 - int(PixelAt(dc, x, y) & 0xFF);
            EXPECT_NEAR(ink, 255 * overlap, 6) << "row " << y << " column " << x;
          }
        }
        bars += !empty && !inBar;
        inBar = !empty;
      }
      EXPECT_EQ(bars, c.bars);
    }
  // Hinted or not, a run spans the same columns and moves the pen alike.
  const char* text = "Hxgj=E";
  std::vector<std::uint32_t> pixels[2];
  CRect ink[2];
  CPoint end[2];
  for (int hinted : {0, 1}) {
    CRasterDC dc(160, 60);
    dc.SetTextHinting(hinted);
    WithFont f(dc, Font("Times New Roman", -20));
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextAlign(TA_BASELINE | TA_UPDATECP);
    dc.MoveTo(10, 40);
    dc.TextOut(0, 0, text, int(std::strlen(text)));
    pixels[hinted].assign(dc.Bits(), dc.Bits() + 160 * 60);
    ink[hinted] = Ink(dc);
    end[hinted] = dc.GetCurrentPosition();
  }
  EXPECT_NE(pixels[0], pixels[1]);
  EXPECT_EQ(ink[0].left, ink[1].left);
  EXPECT_EQ(ink[0].right, ink[1].right);
  EXPECT_EQ(end[0], end[1]);
}

// Fitting stems to rows never reorders heights nor moves anything across,
// even where a small glyph has more stems than rows.
TEST(FontText, StemFittingKeepsTheOrderOfHeights) {
  for (const char* text : {"\xE7\xAE\x97", "\xE7\x95\xAB", "\xE2\x89\xA1", "E", "B", "g"})
    for (int em : {5, 8, 12, 20}) {
      SCOPED_TRACE(std::string(text) + " em " + std::to_string(em));
      std::lock_guard lock(lexaro::font::Mutex());
      std::vector<lexaro::font::Glyph> glyphs;
      lexaro::font::Realize(Font("MS Gothic", -em))->Layout(text, int(std::strlen(text)), CP_UTF8, glyphs);
      ASSERT_EQ(glyphs.size(), 1u);
      ASSERT_TRUE(glyphs[0].face);
      FT_Face ft = glyphs[0].face->ft;
      ASSERT_EQ(FT_Load_Glyph(ft, glyphs[0].index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING), 0);
      FT_Outline& outline = ft->glyph->outline;
      ASSERT_GT(outline.n_points, 0);
      double units = lexaro::font::kFitUnitsPerPixel * em / glyphs[0].face->upem;
      for (int i = 0; i < outline.n_points; ++i)
        outline.points[i] = {FT_Pos(outline.points[i].x * units), FT_Pos(outline.points[i].y * units)};
      std::vector<FT_Vector> before(outline.points, outline.points + outline.n_points);
      lexaro::font::FitStemsToRows(outline, em / 4.0);
      for (int i = 0; i < outline.n_points; ++i) {
        EXPECT_EQ(outline.points[i].x, before[i].x);
        for (int j = 0; j < outline.n_points; ++j) {
          if (before[i].y < before[j].y) {
            EXPECT_LE(outline.points[i].y, outline.points[j].y) << i << " " << j;
          }
        }
      }
    }
}

TEST(FontCache, EqualFontsAreRealisedOnce) {
  LOGFONT lf = Font("Times New Roman", -37);
  Width(lf, "x");
  long before = lexaro::font::RealizedFontCount();
  for (int angle : {0, 450, 900}) {
    lf.lfEscapement = angle;
    Width(lf, "xyz");
    Metrics(lf);
  }
  EXPECT_EQ(lexaro::font::RealizedFontCount(), before);
  lf.lfHeight = -38;
  Width(lf, "x");
  EXPECT_EQ(lexaro::font::RealizedFontCount(), before + 1);
}

// Fonts differing in any one field but the escapement are different fonts,
// even right after the other was asked for.
TEST(FontCache, FontsDifferingInOneFieldAreDistinct) {
  using lexaro::font::Realize;
  const LOGFONT base = Font("Times New Roman", -41);
  const auto vary = [&](auto change) {
    LOGFONT lf = base;
    change(lf);
    return lf;
  };
  const LOGFONT variants[] = {
      vary([](LOGFONT& lf) { lf.lfHeight = -42; }),
      vary([](LOGFONT& lf) { lf.lfWidth = 30; }),
      vary([](LOGFONT& lf) { lf.lfWeight = FW_BOLD; }),
      vary([](LOGFONT& lf) { lf.lfItalic = 1; }),
      vary([](LOGFONT& lf) { lf.lfCharSet = SYMBOL_CHARSET; }),
      vary([](LOGFONT& lf) { SetFaceName(lf, "Arial"); }),
  };
  const auto font = Realize(base);
  for (const LOGFONT& lf : variants) {
    EXPECT_NE(Realize(lf), font) << lf.lfFaceName;
    EXPECT_EQ(Realize(base), font);
  }
  EXPECT_NE(Realize(base, false), font);
  EXPECT_EQ(Realize(vary([](LOGFONT& lf) { lf.lfEscapement = 900; })), font);
}

// The advance of bytes in a font as its glyphs have them, bypassing what
// measuring remembers.
int GlyphAdvances(const LOGFONT& lf, const char* s, int codePage) {
  std::lock_guard lock(lexaro::font::Mutex());
  std::vector<lexaro::font::Glyph> glyphs;
  lexaro::font::Realize(lf)->Layout(s, int(std::strlen(s)), codePage, glyphs);
  int w = 0;
  for (const auto& g : glyphs) w += g.advance;
  return w;
}

// Measuring remembers fonts and byte advances; a question right after one
// about a font differing in one field, or the same bytes in another code
// page, must not get the other's answer.
TEST(FontCache, MeasuringAnswersEachFontAndCodePageAfterAnother) {
  const auto vary = [](auto change) {
    LOGFONT lf = Font("DejaVu Sans", -20);
    change(lf);
    return lf;
  };
  const LOGFONT fonts[] = {
      vary([](LOGFONT&) {}),
      vary([](LOGFONT& lf) { lf.lfHeight = -21; }),
      vary([](LOGFONT& lf) { lf.lfWidth = 30; }),
      vary([](LOGFONT& lf) { lf.lfWeight = FW_BOLD; }),
      vary([](LOGFONT& lf) { lf.lfItalic = 1; }),
      vary([](LOGFONT& lf) { SetFaceName(lf, "Liberation Serif"); }),
      vary([](LOGFONT& lf) { SetFaceName(lf, "ＭＳ ゴシック"); }),
      vary([](LOGFONT& lf) { SetFaceName(lf, "Symbol"), lf.lfCharSet = SYMBOL_CHARSET; }),
      vary([](LOGFONT& lf) { SetFaceName(lf, "Wingdings"), lf.lfCharSet = SYMBOL_CHARSET; }),
  };
  struct Text {
    const char* bytes;
    int codePage;
  };
  // ASCII, then the same high bytes read three ways: UTF-8, code page 1252
  // (not valid UTF-8) and Shift_JIS.
  const Text texts[] = {{"Wim.", CP_UTF8}, {"\xE5\xF2\xD6", CP_UTF8}, {"\x95\xAA\x90\x94", CP_UTF8},
                        {"\x95\xAA\x90\x94", CP_SHIFTJIS}, {"i\xE5W", CP_UTF8}};
  for (int round = 0; round < 2; ++round) {
    for (const Text& t : texts) {
      for (const LOGFONT& lf : fonts) {
        EXPECT_EQ(Width(lf, t.bytes, t.codePage), GlyphAdvances(lf, t.bytes, t.codePage))
            << lf.lfFaceName << " " << lf.lfHeight << " " << t.bytes << " " << t.codePage;
      }
    }
  }
}

// A thread keeps a few fonts it measured; the rest go back to the engine's
// cache, whose bound then holds.
TEST(FontCache, MeasuringKeepsAFewFontsAlive) {
  LOGFONT lf = Font("Liberation Sans", -51);
  Width(lf, "x");
  std::weak_ptr<lexaro::font::RealizedFont> first = lexaro::font::Realize(lf);
  for (int h = 52; h < 84; ++h) Width(Font("Liberation Sans", -h), "x");
  EXPECT_EQ(first.use_count(), 1);  // the engine's cache alone
}

TEST(FontLimits, AbsurdFontsMeasureAndDrawInBoundedWork) {
  const int heights[] = {INT_MIN, INT_MIN + 1, -1000000, -70000, -1, 0, 1, 70000, INT_MAX};
  for (int height : heights) {
    for (int width : {0, -5, INT_MIN, INT_MAX}) {
      LOGFONT lf = Font("Times New Roman", height, 300);
      lf.lfWidth = width;
      TEXTMETRIC tm = Metrics(lf);
      EXPECT_GE(tm.tmHeight, 0) << height;
      CRasterDC dc(64, 64);
      WithFont f(dc, lf);
      dc.TextOut(-3, 10, "Wg分\xE5", 6);
      EXPECT_GE(dc.GetTextExtent("Wg", 2).cx, 0);
    }
  }
  // A glyph a million pixels high, placed so that its stem crosses the
  // surface, draws the visible part.
  LOGFONT huge = Font("DejaVu Sans", -1000000);
  CRasterDC dc(64, 64);
  WithFont f(dc, huge);
  dc.SetTextAlign(TA_BASELINE);
  dc.TextOut(-100000, 400000, "I", 1);
  EXPECT_FALSE(Ink(dc).IsRectEmpty());
}

TEST(FontLimits, FaceNamesAreAlwaysTerminated) {
  LOGFONT lf{};
  SetFaceName(lf, "An extremely long face name that cannot fit");
  EXPECT_EQ(std::strlen(lf.lfFaceName), 31u);
  SetFaceName(lf, "ＭＳ Ｐゴシック ＭＳ Ｐゴシック");  // cut between characters
  EXPECT_EQ(std::strlen(lf.lfFaceName), 30u);
  LOGFONT raw;
  std::memset(&raw, 'x', sizeof raw);  // no terminator anywhere
  raw.lfHeight = -20;
  CFont font;
  font.CreateFontIndirect(&raw);
  LOGFONT back;
  font.GetLogFont(&back);
  EXPECT_EQ(std::strlen(back.lfFaceName), 31u);
}

TEST(FontLimits, EndlessDistinctFaceNamesKeepTheAnswersOfKnownOnes) {
  auto family = [](const char* face) {
    std::lock_guard lock(lexaro::font::Mutex());
    std::vector<lexaro::font::Glyph> glyphs;
    lexaro::font::Realize(Font(face, -20))->Layout("a", 1, CP_UTF8, glyphs);
    return std::string(glyphs.at(0).face ? glyphs[0].face->ft->family_name : "");
  };
  const std::string unknown = family("No Such Face 0");
  EXPECT_EQ(unknown, "DejaVu Sans");
  // Past the number of names fontconfig is asked about, unknown names get
  // the same face without asking, and installed families still their own.
  for (int i = 1; i < 1500; ++i) family(("No Such Face " + std::to_string(i)).c_str());
  EXPECT_EQ(family("No Such Face Either"), unknown);
  EXPECT_EQ(family("liberation serif"), "Liberation Serif");
  EXPECT_EQ(family("IPAMincho"), "IPAMincho");
  CFontTool tool;
  CRasterDC dc(1, 1);
  EXPECT_EQ(tool.GetCharSet(&dc, "No Such Face Either"), DEFAULT_CHARSET);
}
