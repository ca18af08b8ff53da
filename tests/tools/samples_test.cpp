// The sample files and the gallery that renders them: the catalogue of demo
// samples, the verbatim layout sample, well-formed markup in every file, the
// symbol tables, drawing every sample upright and turned, the turned-box
// arithmetic, and the reading of bad files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "engine/vocabulary.h"
#include "lexaro/lexaro.h"
#include "tools/gallery.h"
#include "support/layout1_text.h"

using test_support::kLayout1Lines;

namespace {

namespace fs = std::filesystem;
using lexaro::engine::kCTagCng;
using lexaro::engine::kSymbolCount;

const std::string kSamples = LEXARO_SAMPLES_DIR;

std::string Read(const std::string& path) {
  std::string text, error;
  EXPECT_TRUE(gallery::ReadSample(path, &text, &error)) << error;
  return text;
}

std::vector<std::string> List(const std::string& dir) {
  std::vector<std::string> paths;
  std::string error;
  EXPECT_TRUE(gallery::ListSamples(dir, &paths, &error)) << error;
  return paths;
}

// Every sample file: the demo samples and the gallery's construct pages.
std::vector<std::string> AllSampleFiles() {
  std::vector<std::string> all = List(kSamples), more = List(kSamples + "/gallery");
  all.insert(all.end(), more.begin(), more.end());
  return all;
}

std::string Name(const std::string& path) { return fs::path(path).filename().string(); }

// The demo sample of a button id.
std::string DemoSample(int id) {
  for (const std::string& path : List(kSamples))
    if (Name(path).rfind(std::to_string(id) + "-", 0) == 0) return Read(path);
  ADD_FAILURE() << "no sample file for " << id;
  return "";
}

// ---------------------------------------------------------------------------
// A markup checker. The engine passes over every mistake silently (unknown
// names are skipped, text between the parts of a construct is dropped), so
// a typo in a sample shows only as a wrong picture; this finds them.

int StartCode(const std::string& name) {
  for (int code = 0; code < lexaro::engine::kTagCount; ++code)
    if (name == lexaro::engine::StartTagName(code)) return code;
  return -1;
}

int EndCode(const std::string& name) {
  for (int code = LX_TC_DIV; code <= LX_TC_PAREN; ++code)
    if (name == lexaro::engine::EndTagName(code)) return code;
  return -1;
}

template <size_t N>
bool In(const char* const (&table)[N], const std::string& name) {
  return std::find_if(table, table + N, [&](const char* s) { return s && name == s; }) != table + N;
}

bool IsColor(std::string value) {
  static const std::set<std::string> kNames = {"black", "gray",  "silver", "white", "red",   "yellow",
                                               "lime",  "aqua",  "blue",   "fuchsia", "maroon", "olive",
                                               "green", "teal",  "navy",   "purple", "transparent"};
  std::transform(value.begin(), value.end(), value.begin(), [](unsigned char c) { return std::tolower(c); });
  static const std::regex kHex("#[0-9a-f]{6}"), kRgb("rgb\\(\\s*\\d+\\s*,\\s*\\d+\\s*,\\s*\\d+\\s*\\)");
  return kNames.count(value) || std::regex_match(value, kHex) || std::regex_match(value, kRgb);
}

bool IsInt(const std::string& s) { return std::regex_match(s, std::regex("-?\\d+")); }
bool IsNumber(const std::string& s) { return std::regex_match(s, std::regex("-?\\d+(\\.\\d+)?")); }
bool IsPenStyle(const std::string& s) {
  CDC_Ex dcEx;
  return dcEx.GetPStyleCode(CString(s)) >= 0;
}

std::vector<std::string> Split(const std::string& s, const std::string& separators) {
  std::vector<std::string> out;
  std::string piece;
  for (char c : s) {
    if (separators.find(c) != std::string::npos) {
      if (!piece.empty()) out.push_back(piece);
      piece.clear();
    } else {
      piece += c;
    }
  }
  if (!piece.empty()) out.push_back(piece);
  return out;
}

// Problems of one style declaration list, e.g. "border: 1 dotted red; padding: 20".
void CheckStyle(const std::string& style, std::vector<std::string>* problems) {
  for (const std::string& declaration : Split(style, ";")) {
    std::vector<std::string> tokens = Split(declaration, ": ,");
    if (tokens.empty()) continue;
    const std::string name = tokens[0];
    std::vector<std::string> values(tokens.begin() + 1, tokens.end());
    auto fail = [&](const char* why) { problems->push_back("style '" + declaration + "': " + why); };
    if (!In(lexaro::engine::kTagStyleTable, name)) {
      fail("unknown property");
    } else if (name == "border" || name == "border-top" || name == "border-bottom" || name == "border-left" ||
               name == "border-right") {
      if (values.size() != 3 || !IsInt(values[0]) || !IsPenStyle(values[1]) || !IsColor(values[2]))
        fail("wants width, pen style and colour");
    } else if (name.rfind("border-style", 0) == 0 || name.rfind("border-color", 0) == 0) {
      bool style = name.rfind("border-style", 0) == 0;
      size_t most = name.size() > 12 ? 1 : 4;
      if (values.empty() || values.size() > most) fail("wrong number of values");
      for (const std::string& v : values)
        if (style ? !IsPenStyle(v) : !IsColor(v)) fail(style ? "unknown pen style" : "unknown colour");
    } else {
      // position, margin*, padding*, border-width*: whole numbers.
      size_t most = name == "position" ? 2 : name.find('-') == std::string::npos || name == "border-width" ? 4 : 1;
      if (values.empty() || values.size() > most) fail("wrong number of values");
      for (const std::string& v : values)
        if (!IsInt(v)) fail("not a whole number");
    }
  }
}

// Problems of one tag's attributes ("a=b", "c=\"d e\"").
void CheckAttributes(int code, const std::string& attributes, std::vector<std::string>* problems) {
  std::vector<std::string> tokens;
  std::string token;
  bool quoted = false;
  for (char c : attributes) {
    if (c == '"') quoted = !quoted;
    if (c == ' ' && !quoted) {
      if (!token.empty()) tokens.push_back(token);
      token.clear();
    } else {
      token += c;
    }
  }
  if (!token.empty()) tokens.push_back(token);
  if (quoted) problems->push_back("unbalanced quote in '" + attributes + "'");
  const bool takesAttributes = code >= LX_TC_DIV && code <= LX_TC_FONT;
  for (const std::string& t : tokens) {
    size_t eq = t.find('=');
    std::string name = t.substr(0, eq), value = eq == std::string::npos ? "" : t.substr(eq + 1);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    auto fail = [&](const char* why) { problems->push_back("attribute '" + t + "': " + why); };
    if (!takesAttributes) fail("this tag reads no attributes");
    else if (!In(lexaro::engine::kTagPropertyTable, name) || eq == std::string::npos) fail("unknown attribute");
    else if (name == "color" || name == "bgcolor" || name == "bordercolor") { if (!IsColor(value)) fail("unknown colour"); }
    else if (name == "align") { if (!In(lexaro::engine::kHAlignTable, value)) fail("unknown alignment"); }
    else if (name == "valign") { if (!In(lexaro::engine::kVAlignTable, value)) fail("unknown alignment"); }
    else if (name == "size") { if (!IsNumber(value)) fail("not a number"); }
    else if (name == "width" || name == "height" || name == "cellpadding" || name == "border") { if (!IsInt(value)) fail("not a whole number"); }
    else if (name == "style") CheckStyle(value, problems);
    else if (name == "type") {
      std::vector<std::string> sides = Split(value, " ,");
      bool known = sides.size() == 2;
      for (const std::string& side : sides)
        known = known && std::any_of(std::begin(lexaro::engine::kParenCng), std::end(lexaro::engine::kParenCng),
                                     [&](const LX_CNG_PAREN& p) { return side == p.name; });
      if (code != LX_TC_PAREN || !known) fail("wants two delimiter names on a PAREN");
    }
  }
}

// The most S parts a construct reads; 0 for constructs without parts.
int PartLimit(int code) {
  switch (code) {
    case LX_TC_TB: case LX_TC_RTB: return 3;
    case LX_TC_TOP: case LX_TC_BTM: case LX_TC_RTOP: case LX_TC_RBTM: case LX_TC_FRAC: case LX_TC_SQRTN: return 2;
    default: return 0;
  }
}

// Every problem of a markup text (as the engine gets it), one line each.
std::vector<std::string> CheckMarkup(const std::string& text) {
  std::vector<std::string> problems;
  struct Open { int code; int parts; };
  std::vector<Open> open;
  // What sits directly inside a construct with parts, a TABLE or a TR
  // outside its parts, rows or cells is skipped by the engine.
  auto skipped = [&](const std::string& what) {
    if (open.empty()) return;
    int top = open.back().code;
    if (PartLimit(top) || top == LX_TC_TABLE || top == LX_TC_TR)
      problems.push_back(what + " directly inside " + lexaro::engine::StartTagName(top) + " is skipped");
  };
  size_t pos = 0;
  while (pos < text.size()) {
    size_t lt = text.find('<', pos);
    std::string run = text.substr(pos, lt == std::string::npos ? std::string::npos : lt - pos);
    if (run.find_first_not_of(" \t") != std::string::npos) skipped("text '" + run + "'");
    if (lt == std::string::npos || lt + 1 == text.size()) break;
    if (text[lt + 1] == '<') {
      skipped("'<<'");
      pos = lt + 2;
      continue;
    }
    size_t gt = text.find('>', lt);
    if (gt == std::string::npos) {
      problems.push_back("tag without '>' at " + std::to_string(lt));
      break;
    }
    std::string inner = text.substr(lt + 1, gt - lt - 1);
    size_t nameStart = inner.find_first_not_of(' ');
    size_t nameEnd = inner.find(' ', nameStart);
    std::string name = nameStart == std::string::npos ? "" : inner.substr(nameStart, nameEnd - nameStart);
    std::string attributes = nameEnd == std::string::npos ? "" : inner.substr(nameEnd);
    pos = gt + 1;
    int code = StartCode(name), end = EndCode(name);
    if (end >= 0) {
      if (open.empty() || open.back().code != end) problems.push_back("unexpected <" + name + ">");
      else open.pop_back();
      continue;
    }
    if (code < 0) {
      problems.push_back("unknown tag <" + name + ">");
      continue;
    }
    CheckAttributes(code, attributes, &problems);
    const int top = open.empty() ? -1 : open.back().code;
    if (code == LX_TC_S) {
      if (!PartLimit(top)) problems.push_back("<S> outside a construct with parts");
      else if (++open.back().parts > PartLimit(top)) problems.push_back("too many <S> parts");
    } else if (code == LX_TC_TR) {
      if (top != LX_TC_TABLE) problems.push_back("<TR> outside a TABLE");
    } else if (code == LX_TC_TD) {
      if (top != LX_TC_TR) problems.push_back("<TD> outside a TR");
    } else {
      skipped("<" + name + ">");
    }
    if (code >= LX_TC_DIV && code <= LX_TC_PAREN) open.push_back({code, 0});
  }
  for (const Open& o : open) problems.push_back(std::string("<") + lexaro::engine::StartTagName(o.code) + "> is never closed");
  return problems;
}

// ---------------------------------------------------------------------------

TEST(SampleFiles, CatalogueHoldsEveryDemoSampleOnceAndTheReadmeListsThem) {
  const std::set<int> ids = {1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010,
                             1011, 1012, 1014, 1015, 1016, 1018, 1019, 1020, 1021};
  std::map<int, int> seen;
  for (const std::string& path : List(kSamples)) {
    std::smatch m;
    std::string name = Name(path);
    ASSERT_TRUE(std::regex_match(name, m, std::regex("(\\d{4})-[a-z0-9-]+\\.lxm"))) << name;
    ++seen[std::stoi(m[1])];
  }
  for (int id : ids) EXPECT_EQ(seen[id], 1) << "sample " << id;
  EXPECT_EQ(seen.size(), ids.size());
  for (const char* name : {"div", "scripts", "frac", "sqrt", "paren", "table", "nested"})
    EXPECT_TRUE(fs::is_regular_file(kSamples + "/gallery/" + name + ".lxm")) << name;

  std::ifstream in(kSamples + "/README.md");
  std::string readme((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (const std::string& path : AllSampleFiles()) EXPECT_NE(readme.find(Name(path)), std::string::npos) << Name(path);
}

TEST(SampleFiles, Layout1IsTheDemoTextVerbatim) {
  std::string expected = kLayout1Lines[0];
  for (size_t i = 1; i < std::size(kLayout1Lines); ++i) expected += std::string("\n") + kLayout1Lines[i];
  EXPECT_EQ(DemoSample(1006), expected);
  // What the engine gets: the indentation gone, the lines joined.
  EXPECT_EQ(std::string(gallery::EngineText(expected).str()),
            std::string(kLayout1Lines[0]) + kLayout1Lines[2] + kLayout1Lines[3] + kLayout1Lines[5] +
                "改行後のテキストは、そのときの設定に従って揃えられます。<BR>"
                "<LEFT><<LEFT><BR><CENTER><<CENTER><BR><RIGHT><<RIGHT></DIV>");
}

TEST(SampleFiles, EveryFileIsWellFormedMarkup) {
  // The checker itself: it must see the faults it is there for.
  EXPECT_FALSE(CheckMarkup("<Frac><S>1</S></Frac>").empty());            // case matters
  EXPECT_FALSE(CheckMarkup("<FRAC>1<S>a</S><S>b</S></FRAC>").empty());   // text outside the parts
  EXPECT_FALSE(CheckMarkup("<SQRT>x</SQRTN>").empty());                  // wrong end tag
  EXPECT_FALSE(CheckMarkup("<DIV style=\"boder:1 solid red\">x</DIV>").empty());
  EXPECT_FALSE(CheckMarkup("<DIV style=\"border:1 soild red\">x</DIV>").empty());
  EXPECT_FALSE(CheckMarkup("<PAREN type=\"(, >\">x</PAREN>").empty());
  EXPECT_FALSE(CheckMarkup("<TABLE><TD>x</TD></TABLE>").empty());
  EXPECT_FALSE(CheckMarkup("<FONT colour=red>x").empty());
  EXPECT_FALSE(CheckMarkup("<TB><S>a</S><S>b</S><S>c</S><S>d</S></TB>").empty());
  EXPECT_TRUE(CheckMarkup("<<FRAC> <alpha><+><FONT size=10.5 color=#FF0000>x</FONT>"
                          "<PAREN type=\"{ _\"><TABLE><TR><TD align=left>1</TD></TR></TABLE></PAREN>")
                  .empty());

  for (const std::string& path : AllSampleFiles()) {
    for (const std::string& problem : CheckMarkup(gallery::EngineText(Read(path)).str()))
      ADD_FAILURE() << Name(path) << ": " << problem;
  }
}

// The engine's own diagnostics agree with the checker above: every sample
// lays out as written, and each fault the checker sees is reported.
TEST(SampleFiles, EveryFileLaysOutWithoutDiagnostics) {
  CRasterDC dc(1, 1, RGB(255, 255, 255));
  CLexaro lexaro;
  auto diagnostics = [&](const std::string& text) {
    lexaro.SetText(&dc, CString(text));
    return lexaro.GetDiagnostics();
  };
  for (const char* bad : {"<Frac><S>1</S></Frac>", "<FRAC>1<S>a</S><S>b</S></FRAC>", "<SQRT>x</SQRTN>",
                          "<DIV style=\"boder:1 solid red\">x</DIV>", "<DIV style=\"border:1 soild red\">x</DIV>",
                          "<PAREN type=\"(, >\">x</PAREN>", "<TABLE><TD>x</TD></TABLE>", "<FONT colour=red>x",
                          "<TB><S>a</S><S>b</S><S>c</S><S>d</S></TB>"})
    EXPECT_FALSE(diagnostics(bad).empty()) << bad;
  for (const std::string& path : AllSampleFiles())
    for (const LX_DIAGNOSTIC& d : diagnostics(gallery::EngineText(Read(path)).str()))
      ADD_FAILURE() << Name(path) << " at " << d.offset << ": " << d.message.str();
}

TEST(SampleFiles, SymbolTablesShowEverySymbolTagOnceBesideItsName) {
  // Group of each symbol: 1018 small Greek, 1019 capital Greek, 1020
  // operators and relations, 1021 arrows and the other symbols.
  auto group = [](int i) {
    const int code = LX_TC_FIRST_SYMBOL + i;
    return code < StartCode("Alpha") ? 1018 : code < StartCode("+") ? 1019 : code < StartCode("gets") ? 1020 : 1021;
  };
  std::map<std::string, int> where;
  const std::regex row("<TD align=left><<([^>]+)>(<SUP>\\((\\d)\\)</SUP>)?</TD><TD>(<FONT color=red>)?<([^>]+)>");
  for (int id : {1018, 1019, 1020, 1021}) {
    const std::string text = DemoSample(id);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), row); it != std::sregex_iterator(); ++it) {
      const std::smatch& m = *it;
      EXPECT_EQ(m[1], m[5]) << id << ": the name beside <" << m[5] << "> differs";
      EXPECT_EQ(where.count(m[1]), 0u) << m[1] << " listed twice";
      where[m[1]] = id;
      // The footnotes: (2) on the big operators, (1) on the Wingdings symbols.
      const std::string note = m[3];
      if (m[1] == "sum" || m[1] == "prod" || m[1] == "int") EXPECT_EQ(note, "2") << m[1];
      else if (m[1] == "bigstar" || m[1] == "surd") EXPECT_EQ(note, "1") << m[1];
      else EXPECT_EQ(note, "") << m[1];
    }
    // Every table is outlined: open at the top and bottom except in its
    // first and last rows, with lines beside each cell.
    const std::regex table("<TABLE bgcolor=white style=\"border-width:0 1 0 1\">([^]*?)</TABLE>");
    const std::regex tr("<TR( style=\"border-width:([0-9 ]+)\")?>");
    int tables = 0;
    for (auto t = std::sregex_iterator(text.begin(), text.end(), table); t != std::sregex_iterator(); ++t, ++tables) {
      const std::string rows = (*t)[1];
      std::vector<std::string> styles;
      for (auto r = std::sregex_iterator(rows.begin(), rows.end(), tr); r != std::sregex_iterator(); ++r)
        styles.push_back((*r)[2]);
      ASSERT_GE(styles.size(), 2u) << id;
      EXPECT_EQ(styles.front(), "1 1 0 1") << id;
      EXPECT_EQ(styles.back(), "0 1 1 1") << id;
      for (size_t i = 1; i + 1 < styles.size(); ++i) EXPECT_EQ(styles[i], "") << id;
    }
    EXPECT_EQ(size_t(tables), [&] {
      size_t n = 0;
      for (size_t p = text.find("<TABLE"); p != std::string::npos; p = text.find("<TABLE", p + 1)) ++n;
      return n;
    }()) << id << ": a table without the symbol-table outline";
  }
  for (int i = 0; i < kSymbolCount; ++i) {
    auto it = where.find(kCTagCng[i].name);
    ASSERT_NE(it, where.end()) << kCTagCng[i].name << " is in no symbol table";
    EXPECT_EQ(it->second, group(i)) << kCTagCng[i].name;
  }
  EXPECT_EQ(where.size(), size_t(kSymbolCount));
}

// The pixels of a surface that are not white.
bool Inked(const CRasterDC& dc, int x, int y) { return (dc.Bits()[y * dc.Width() + x] & 0xFFFFFF) != 0xFFFFFF; }

TEST(SampleRendering, EverySampleLaysOutAndDrawsInsideItsImageUprightAndTurned) {
  for (const std::string& path : AllSampleFiles()) {
    SCOPED_TRACE(Name(path));
    const CString text = gallery::EngineText(Read(path));
    CRasterDC scratch(1, 1);
    CLexaro lexaro;
    ASSERT_EQ(lexaro.SetText(&scratch, text), 1);
    LX_TXT_EXTENT e = lexaro.GetTextExtent_Ex(&scratch);
    EXPECT_GT(e.width, 0);
    EXPECT_GT(e.ascent + e.descent, 0);

    gallery::Page page;
    std::string error;
    ASSERT_TRUE(gallery::SingleTextPage(text.str(), &page, &error)) << error;
    EXPECT_EQ(page.width, e.width);
    EXPECT_EQ(page.height, e.ascent + e.descent);
    for (long escapement : {0L, 300L}) {
      SCOPED_TRACE(escapement);
      std::unique_ptr<CRasterDC> dc = gallery::DrawPage(page, escapement, &error);
      ASSERT_TRUE(dc) << error;
      gallery::Bounds b = gallery::RotatedBounds(page.width, page.height, escapement);
      EXPECT_EQ(dc->Width(), std::min(b.Width() + 2 * gallery::kImageMargin, gallery::kMaxImageSide));
      EXPECT_EQ(dc->Height(), std::min(b.Height() + 2 * gallery::kImageMargin, gallery::kMaxImageSide));
      // Something is drawn, and nothing reaches the image's edge: the image
      // holds the whole drawing.
      int inked = 0, atEdge = 0;
      constexpr int kEdge = 4;
      for (int y = 0; y < dc->Height(); ++y)
        for (int x = 0; x < dc->Width(); ++x)
          if (Inked(*dc, x, y)) {
            ++inked;
            if (x < kEdge || y < kEdge || x >= dc->Width() - kEdge || y >= dc->Height() - kEdge) ++atEdge;
          }
      EXPECT_GT(inked, 100);
      EXPECT_EQ(atEdge, 0);
    }
  }
}

TEST(GalleryGeometry, TurnedBoxesAndPoints) {
  struct Case {
    long escapement;
    gallery::Bounds expected;
  } cases[] = {
      {0, {0, 0, 200, 100}},
      {900, {0, -200, 100, 0}},      // a quarter turn: the text rises
      {1800, {-200, -100, 0, 0}},
      {2700, {-100, 0, 0, 200}},
      {3600, {0, 0, 200, 100}},
      {300, {0, -100, 224, 87}},     // 200 cos 30 + 100 sin 30 = 223.2; 100 cos 30 = 86.6
      {-300, {-50, 0, 174, 187}},    // turned the other way
  };
  for (const Case& c : cases) {
    gallery::Bounds b = gallery::RotatedBounds(200, 100, c.escapement);
    EXPECT_EQ(b.left, c.expected.left) << c.escapement;
    EXPECT_EQ(b.top, c.expected.top) << c.escapement;
    EXPECT_EQ(b.right, c.expected.right) << c.escapement;
    EXPECT_EQ(b.bottom, c.expected.bottom) << c.escapement;
  }
  // Points move as the engine moves them: along the turned baseline, then
  // down across it.
  EXPECT_EQ(gallery::RotatedPoint(10, 0, 900), CPoint(0, -10));
  EXPECT_EQ(gallery::RotatedPoint(0, 10, 900), CPoint(10, 0));
  EXPECT_EQ(gallery::RotatedPoint(100, 0, 300), CPoint(87, -50));
  // Every corner of a turned box lies inside its bounds, at any angle.
  for (long escapement = -3600; escapement <= 3600; escapement += 75) {
    gallery::Bounds b = gallery::RotatedBounds(321, 57, escapement);
    for (CPoint corner : {CPoint(0, 0), CPoint(321, 0), CPoint(0, 57), CPoint(321, 57)}) {
      CPoint p = gallery::RotatedPoint(corner.x, corner.y, escapement);
      EXPECT_TRUE(p.x >= b.left - 1 && p.x <= b.right + 1 && p.y >= b.top - 1 && p.y <= b.bottom + 1)
          << escapement << ": (" << p.x << ", " << p.y << ")";
    }
    EXPECT_LE(b.Width(), 321 + 57 + 1);
  }
}

class GalleryFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("lexaro-gallery-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string Write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir / name, std::ios::binary) << bytes;
    return (dir / name).string();
  }
  fs::path dir;
};

TEST_F(GalleryFiles, SamplesAreNormalisedAndBadFilesGiveClearErrors) {
  std::string text, error;
  // A byte order mark, CR LF line ends and the final line feed go.
  ASSERT_TRUE(gallery::ReadSample(Write("a.lxm", "\xEF\xBB\xBF<B>\r\n  x\r\n\ty<BR>\r\n"), &text, &error));
  EXPECT_EQ(text, "<B>\n  x\n\ty<BR>");
  EXPECT_EQ(std::string(gallery::EngineText(text).str()), "<B>xy<BR>");
  ASSERT_TRUE(gallery::ReadSample(Write("empty.lxm", ""), &text, &error));
  EXPECT_EQ(text, "");

  auto refused = [&](const std::string& path, const std::string& says) {
    error.clear();
    EXPECT_FALSE(gallery::ReadSample(path, &text, &error)) << path;
    EXPECT_NE(error.find(says), std::string::npos) << error;
    EXPECT_NE(error.find(path), std::string::npos) << error;
  };
  refused((dir / "missing.lxm").string(), "cannot open");
  refused(dir.string(), "directory");
  refused(Write("nul.lxm", std::string("a\0b", 3)), "NUL");
  refused(Write("big.lxm", std::string(size_t(gallery::kMaxSampleBytes) + 1, 'x')), "larger");

  // Listing: sorted *.lxm files only; an empty or missing directory is an error.
  Write("b.lxm", "b");
  Write("notes.txt", "not a sample");
  std::vector<std::string> paths;
  ASSERT_TRUE(gallery::ListSamples(dir.string(), &paths, &error)) << error;
  std::vector<std::string> names;
  for (const std::string& p : paths) names.push_back(Name(p));
  EXPECT_EQ(names, (std::vector<std::string>{"a.lxm", "b.lxm", "big.lxm", "empty.lxm", "nul.lxm"}));
  fs::create_directories(dir / "none");
  EXPECT_FALSE(gallery::ListSamples((dir / "none").string(), &paths, &error));
  EXPECT_NE(error.find("no sample files"), std::string::npos) << error;
  EXPECT_FALSE(gallery::ListSamples((dir / "missing").string(), &paths, &error));
  EXPECT_NE(error.find("cannot read the samples directory"), std::string::npos) << error;
}

}  // namespace
