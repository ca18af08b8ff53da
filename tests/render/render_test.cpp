// The one-call rendering functions: the image holds everything drawn, the
// sizes agree between the calls, bad options and far-away drawing give
// messages, and calls on several threads do not disturb each other.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <thread>

#include "lexaro/lexaro.h"

namespace {

// Options with some fields changed (designated initializers would leave
// g++ 12 warning about the fields between them).
lexaro::RenderOptions With(const std::function<void(lexaro::RenderOptions&)>& change) {
  lexaro::RenderOptions o;
  change(o);
  return o;
}

// The box around the pixels of dc that differ from its top-left pixel's
// background (opaque white is used below), and their count.
CRect InkBox(const CRasterDC& dc, long long* count = nullptr) {
  CRect box(dc.Width(), dc.Height(), 0, 0);
  long long n = 0;
  for (int y = 0; y < dc.Height(); ++y)
    for (int x = 0; x < dc.Width(); ++x)
      if (dc.Bits()[size_t(y) * dc.Width() + x] != 0xFFFFFFFFu) {
        ++n;
        box = CRect(std::min<int>(box.left, x), std::min<int>(box.top, y), std::max<int>(box.right, x + 1),
                    std::max<int>(box.bottom, y + 1));
      }
  if (count) *count = n;
  return n ? box : CRect(0, 0, 0, 0);
}

// The ink the markup draws on a large surface with the layout in its middle.
long long ReferenceInk(const char* markup, const lexaro::RenderOptions& o) {
  CRasterDC dc(3000, 3000, 0xFFFFFF);
  dc.SetAntialias(o.antialias);
  CLexaro engine;
  LOGFONT lf{};
  lf.lfHeight = -o.em;
  std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", "Times New Roman");
  engine.SetFont(lf);
  engine.SetParam_lfEscapement(long(o.angle * 10));
  engine.SetText(&dc, markup);
  engine.TextOutA(&dc, 1500, 1500);
  long long n;
  InkBox(dc, &n);
  return n;
}

TEST(Render, TheImageHoldsEverythingDrawnAndNoMore) {
  struct Case {
    const char* markup;
    int em;
    double angle;
    int padding;
  } cases[] = {
      {"x<SUP>2</SUP>+1", 20, 0, 0},
      {"<FRAC><S>a+b</S><S>c</S></FRAC>", 40, 30, 3},
      {"<I>f</I>", 100, 0, 0},  // the italic f reaches out of its box
      {"a<DIV bgcolor=yellow style=\"position: 30 -15\">moved</DIV>b", 30, 0, 4},
      {"a<DIV bgcolor=yellow style=\"position: 300 100\">far</DIV>b", 30, 0, 0},
      {"a<DIV bgcolor=yellow style=\"position: -200 -300\">far</DIV>b", 20, 45, 2},
      {"<DIV style=\"border:2 solid red; margin:-40\">x</DIV>", 20, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.markup);
    const lexaro::RenderOptions o = With([&](lexaro::RenderOptions& o) {
      o.em = c.em, o.face = "Times New Roman", o.background = 0xFFFFFF, o.angle = c.angle, o.padding = c.padding;
    });
    auto image = lexaro::RenderImage(c.markup, o);
    auto size = lexaro::Measure(c.markup, o);
    ASSERT_TRUE(image) << image.error;
    ASSERT_TRUE(size) << size.error;
    CRasterDC& dc = **image;
    EXPECT_EQ(CSize(dc.Width(), dc.Height()), CSize(size->width, size->height));
    long long ink;
    const CRect box = InkBox(dc, &ink);
    EXPECT_EQ(ink, ReferenceInk(c.markup, o)) << "ink was cut";
    // The image is the turned, padded layout box, grown only to hold ink.
    const LX_TXT_EXTENT e = size->extent;
    const CRect turned = lexaro::TurnedBounds(std::max(0, e.width), e.ascent + e.descent, long(c.angle * 10));
    CRect layout(size->origin.x + turned.left - c.padding, size->origin.y + turned.top - c.padding,
                 size->origin.x + turned.right + c.padding, size->origin.y + turned.bottom + c.padding);
    EXPECT_EQ(std::min<int>(layout.left, box.left), 0);
    EXPECT_EQ(std::min<int>(layout.top, box.top), 0);
    EXPECT_EQ(std::max<int>(layout.right, box.right), dc.Width());
    EXPECT_EQ(std::max<int>(layout.bottom, box.bottom), dc.Height());
  }
}

TEST(Render, BadOptionsAndHugeDrawingsGiveMessages) {
  struct Case {
    const char* markup;
    lexaro::RenderOptions options;
    const char* message;
  } cases[] = {
      {"x", With([](auto& o) { o.em = 0; }), "em height"},
      {"x", With([](auto& o) { o.angle = std::numeric_limits<double>::infinity(); }), "angle"},
      {"x", With([](auto& o) { o.scale = std::numeric_limits<double>::quiet_NaN(); }), "scale"},
      {"x", With([](auto& o) { o.padding = -1; }), "padding"},
      {"x", With([](auto& o) { o.dpi = 0; }), "resolution"},
      {"x", With([](auto& o) { o.codePage = 1252; }), "code page"},
      {"x", With([](auto& o) { o.background = 0x80FFFFFF; }), "background"},
      {"a<DIV style=\"position: 1000000 1000000\">b</DIV>", {}, "beyond the limit"},
      {"<TABLE width=40000><TR><TD>x</TD></TR></TABLE>", {}, "beyond the limit"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.markup);
    auto png = lexaro::RenderPng(c.markup, c.options);
    auto size = lexaro::Measure(c.markup, c.options);
    auto svg = lexaro::RenderSvg(c.markup, c.options);
    ASSERT_FALSE(png);
    EXPECT_NE(png.error.find(c.message), std::string::npos) << png.error;
    EXPECT_EQ(size.error, png.error);
    EXPECT_EQ(svg.error, png.error);
  }
  // Broken markup is drawn as far as it goes, never refused.
  for (const char* markup : {"", "<FRAC><S>1", "</S></S><<", "<PAREN type=\"\">x"})
    EXPECT_TRUE(lexaro::RenderPng(markup)) << markup;
}

TEST(Render, MeasureAndDiagnoseListWhatTheLayoutPassedOver) {
  auto measured = lexaro::Measure("a<frac>b");
  ASSERT_TRUE(measured) << measured.error;
  ASSERT_EQ(measured->diagnostics.size(), 1u);
  EXPECT_EQ(measured->diagnostics[0].kind, LX_DIAG_UNKNOWN_NAME);
  EXPECT_EQ(measured->diagnostics[0].offset, 1);
  auto found = lexaro::Diagnose("<DIV>a");
  ASSERT_TRUE(found);
  ASSERT_EQ(found->size(), 1u);
  EXPECT_EQ((*found)[0].kind, LX_DIAG_UNENDED);
  EXPECT_TRUE(lexaro::Measure("<B>a</B>")->diagnostics.empty());
}

TEST(Render, FilesTakeTheirFormatFromTheName) {
  const auto dir = std::filesystem::temp_directory_path() / ("lexaro-render-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  struct Case {
    const char* name;
    lexaro::ImageFormat format;
    const char* start;
  } cases[] = {{"a.png", lexaro::ImageFormat::kPng, "\x89PNG"},
               {"a.SVG", lexaro::ImageFormat::kSvg, "<"},
               {"a", lexaro::ImageFormat::kPng, "\x89PNG"}};
  for (const Case& c : cases) {
    auto written = lexaro::RenderFile("x<SUP>2</SUP>", (dir / c.name).string());
    ASSERT_TRUE(written) << written.error;
    EXPECT_EQ(*written, c.format);
    std::FILE* f = std::fopen((dir / c.name).c_str(), "rb");
    char head[4] = {};
    ASSERT_TRUE(f && std::fread(head, 1, 4, f) >= 1);
    std::fclose(f);
    EXPECT_EQ(std::string(head, std::strlen(c.start)), c.start) << c.name;
  }
  auto refused = lexaro::RenderFile("x", (dir / "missing" / "a.png").string());
  EXPECT_FALSE(refused);
  EXPECT_NE(refused.error.find("cannot write"), std::string::npos) << refused.error;
  std::filesystem::remove_all(dir);
}

// TeX is drawn as the markup it translates to, in every output, with the
// display style asked for; what the translation could not take reaches the
// caller with offsets into the TeX, and strict TeX fails with it.
TEST(Render, TexIsDrawnAsItsTranslation) {
  for (bool display : {false, true}) {
    const char* tex = "\\sum_{k=1}^n \\frac{a_k}{2}";
    lexaro::TexOptions style;
    style.display = display;
    const std::string markup = lexaro::TranslateTex(tex, style).markup;
    const auto asTex = With([display](auto& o) { o.notation = lexaro::Notation::kTex, o.tex.display = display; });
    // TeX is drawn in a serif face unless another is asked for.
    const auto serif = With([](auto& o) { o.face = "Times New Roman"; });
    EXPECT_EQ(*lexaro::RenderPng(tex, asTex), *lexaro::RenderPng(markup, serif)) << display;
    EXPECT_EQ(*lexaro::RenderSvg(tex, asTex), *lexaro::RenderSvg(markup, serif)) << display;
    EXPECT_EQ(lexaro::Measure(tex, asTex)->width, lexaro::Measure(markup, serif)->width) << display;
  }
  auto tex = With([](auto& o) { o.notation = lexaro::Notation::kTex; });
  auto measured = lexaro::Measure("a+{b", tex);
  ASSERT_TRUE(measured) << measured.error;
  ASSERT_FALSE(measured->texDiagnostics.empty());
  EXPECT_LE(measured->texDiagnostics[0].offset, 4u);
  EXPECT_TRUE(lexaro::Measure("a+{b}", tex)->texDiagnostics.empty());
  tex.tex.strict = true;
  auto strict = lexaro::RenderPng("a+{b", tex);
  ASSERT_FALSE(strict);
  EXPECT_EQ(strict.error.rfind("TeX, byte ", 0), 0u) << strict.error;
  tex.codePage = CP_SHIFTJIS;
  EXPECT_NE(lexaro::RenderPng("a", tex).error.find("UTF-8"), std::string::npos);
}

// Each call has its own font and colour: renders with different options on
// two threads give what each gives alone.
TEST(Render, CallsOnSeveralThreadsKeepTheirOwnOptions) {
  const auto a = With([](auto& o) { o.em = 14, o.color = 0x0000FF; });
  const auto b = With([](auto& o) { o.em = 31, o.face = "Times New Roman"; });
  const std::string alone[] = {*lexaro::RenderPng("a<SUP>2</SUP>", a), *lexaro::RenderPng("a<SUP>2</SUP>", b)};
  std::string got[2][20];
  std::thread t1([&] {
    for (auto& g : got[0]) g = *lexaro::RenderPng("a<SUP>2</SUP>", a);
  });
  std::thread t2([&] {
    for (auto& g : got[1]) g = *lexaro::RenderPng("a<SUP>2</SUP>", b);
  });
  t1.join();
  t2.join();
  for (int i = 0; i < 2; ++i)
    for (const std::string& g : got[i]) EXPECT_EQ(g, alone[i]);
}

}  // namespace
