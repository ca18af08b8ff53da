#include "tools/gallery.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

namespace gallery {
namespace {

namespace fs = std::filesystem;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr long kTurned = 300;  // the escapement of the turned set: 30 degrees

bool Fail(std::string* error, const std::string& message) {
  if (error) *error = message;
  return false;
}

void SinCos(long escapement, double* s, double* c) {
  double rad = ChangeRad(escapement * 0.1);
  *s = std::sin(rad);
  *c = std::cos(rad);
}

}  // namespace

bool ReadSample(const std::string& path, std::string* text, std::string* error) {
  std::error_code ec;
  if (fs::is_directory(path, ec)) return Fail(error, "sample '" + path + "' is a directory, not a file");
  std::ifstream in(path, std::ios::binary);
  if (!in) return Fail(error, "cannot open sample '" + path + "': " + std::strerror(errno));
  std::string bytes;
  char buffer[4096];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    bytes.append(buffer, size_t(in.gcount()));
    if (bytes.size() > size_t(kMaxSampleBytes))
      return Fail(error, "sample '" + path + "' is larger than " + std::to_string(kMaxSampleBytes) +
                             " bytes");
  }
  if (in.bad()) return Fail(error, "cannot read sample '" + path + "'");
  if (bytes.find('\0') != std::string::npos)
    return Fail(error, "sample '" + path + "' holds a NUL byte: not a markup text");
  if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
  std::string out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    out += bytes[i];
  }
  if (!out.empty() && out.back() == '\n') out.pop_back();
  *text = std::move(out);
  return true;
}

bool ListSamples(const std::string& dir, std::vector<std::string>* paths, std::string* error) {
  std::error_code ec;
  fs::directory_iterator it(dir, ec);
  if (ec) return Fail(error, "cannot read the samples directory '" + dir + "': " + ec.message());
  std::vector<std::string> found;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) return Fail(error, "cannot read the samples directory '" + dir + "': " + ec.message());
    std::error_code typeError;
    if (it->path().extension() == ".lxm" && it->is_regular_file(typeError)) found.push_back(it->path().string());
  }
  if (ec) return Fail(error, "cannot read the samples directory '" + dir + "': " + ec.message());
  if (found.empty()) return Fail(error, "no sample files (*.lxm) in '" + dir + "'");
  std::sort(found.begin(), found.end());
  *paths = std::move(found);
  return true;
}

CString EngineText(const std::string& sample) {
  std::string crlf;
  crlf.reserve(sample.size() + sample.size() / 16);
  for (char c : sample) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  CLexaro lexaro;
  return lexaro.GetFormalText(CString(crlf), "\r\n");
}

Bounds RotatedBounds(int width, int height, long escapement) {
  const CRect b = lexaro::TurnedBounds(width, height, escapement);
  return {b.left, b.top, b.right, b.bottom};
}

CPoint RotatedPoint(int x, int y, long escapement) {
  double s, c;
  SinCos(escapement, &s, &c);
  return CPoint(Roundoff(x * c) + Roundoff(y * s), -Roundoff(x * s) + Roundoff(y * c));
}

bool Measure(const std::string& markup, LX_TXT_EXTENT* extent, std::string* error) {
  CRasterDC scratch(1, 1, kWhite);
  CLexaro lexaro;
  if (lexaro.SetText(&scratch, CString(markup)) != 1) return Fail(error, "the markup cannot be laid out");
  *extent = lexaro.GetTextExtent_Ex(&scratch);
  if (extent->width < 0) return Fail(error, "the markup has no valid layout");
  return true;
}

bool SingleTextPage(const std::string& markup, Page* page, std::string* error) {
  LX_TXT_EXTENT extent;
  if (!Measure(markup, &extent, error)) return false;
  page->width = extent.width;
  page->height = std::max(0, extent.ascent + extent.descent);
  page->blocks = {{markup, CPoint(0, 0)}};
  return true;
}

void SetDrawingMode(CDC& dc, bool aliased) { dc.SetAntialias(!aliased); }

std::unique_ptr<CRasterDC> DrawPage(const Page& page, long escapement, std::string* error) {
  Bounds b = RotatedBounds(page.width, page.height, escapement);
  int width = std::min(b.Width() + 2 * kImageMargin, kMaxImageSide);
  int height = std::min(b.Height() + 2 * kImageMargin, kMaxImageSide);
  auto dc = std::make_unique<CRasterDC>(width, height, kWhite);
  SetDrawingMode(*dc, false);
  const CPoint origin(kImageMargin - b.left, kImageMargin - b.top);
  for (const Block& block : page.blocks) {
    CLexaro lexaro;
    lexaro.SetParam_lfEscapement(escapement);
    if (lexaro.SetText(dc.get(), CString(block.markup)) != 1) {
      Fail(error, "the markup cannot be laid out");
      return nullptr;
    }
    CPoint at = RotatedPoint(block.at.x, block.at.y, escapement);
    if (lexaro.TextOutA(dc.get(), origin.x + at.x, origin.y + at.y) != 1) {
      Fail(error, "the markup cannot be drawn");
      return nullptr;
    }
  }
  return dc;
}

bool RenderPage(const Page& page, long escapement, const std::string& path, std::string* error) {
  std::string reason;
  std::unique_ptr<CRasterDC> dc = DrawPage(page, escapement, &reason);
  if (!dc) return Fail(error, path + ": " + reason);
  return dc->SavePng(path, error);
}

bool DelimiterPage(Page* page, std::string* error) {
  // Every delimiter kind: the pairs cover "(" ")" "[" "]" "{" "}" "|" "||"
  // and "_" (an empty delimiter that only takes room); the last two rows
  // put a brace on one side only.
  static const char* const kTypes[] = {"(,)", "[,]", "{,}", "|,|", "||,||", "_,_", "{ _", "_ }"};
  // Three heights: one line (a single glyph), a fraction (pieces), and a
  // stack of fractions (braces with two extensions).
  static const char* const kContents[] = {
      "x<+>y",
      "<FRAC><S>a<+>b</S><S>c</S></FRAC>",
      "<FRAC><S><FRAC><S>a</S><S>b</S></FRAC></S><S><FRAC><S>c</S><S>d</S></FRAC></S></FRAC>",
  };
  static const char* const kHeads[] = {"type", "one line", "a fraction", "a tall stack"};
  const std::string font = "<FONT size=20>";
  const std::string label = "<FONT size=12 color=gray>";

  std::vector<std::vector<std::string>> rows;
  rows.push_back({});
  for (const char* head : kHeads) rows.back().push_back(label + head + "</FONT>");
  for (const char* type : kTypes) {
    rows.push_back({label + "type=\"" + type + "\"</FONT>"});
    for (const char* content : kContents)
      rows.back().push_back(font + "<PAREN type=\"" + type + "\" bgcolor=#F0F0F0>" + content + "</PAREN></FONT>");
  }

  // Columns as wide as their widest cell; the cells of a row share a
  // baseline; the label column is left-aligned, the others centred.
  constexpr int kColumnGap = 40, kRowGap = 22;
  const size_t columns = std::size(kHeads);
  std::vector<std::vector<LX_TXT_EXTENT>> extents(rows.size(), std::vector<LX_TXT_EXTENT>(columns));
  std::vector<int> columnWidth(columns, 0);
  for (size_t r = 0; r < rows.size(); ++r)
    for (size_t c = 0; c < columns; ++c) {
      if (!Measure(rows[r][c], &extents[r][c], error)) return false;
      columnWidth[c] = std::max(columnWidth[c], extents[r][c].width);
    }
  page->blocks.clear();
  int y = 0;
  for (size_t r = 0; r < rows.size(); ++r) {
    int ascent = 0, descent = 0;
    for (const LX_TXT_EXTENT& e : extents[r]) {
      ascent = std::max(ascent, e.ascent);
      descent = std::max(descent, e.descent);
    }
    int x = 0;
    for (size_t c = 0; c < columns; ++c) {
      const LX_TXT_EXTENT& e = extents[r][c];
      int dx = c == 0 ? 0 : (columnWidth[c] - e.width) / 2;
      page->blocks.push_back({rows[r][c], CPoint(x + dx, y + ascent - e.ascent)});
      x += columnWidth[c] + kColumnGap;
    }
    page->width = x - kColumnGap;
    y += ascent + descent + kRowGap;
  }
  page->height = y - kRowGap;
  return true;
}

namespace {

// Renders one page upright as name.png and turned as name-30.png.
bool WriteBoth(const Page& page, const std::string& outDir, const std::string& name, std::string* error) {
  return RenderPage(page, 0, outDir + "/" + name + ".png", error) &&
         RenderPage(page, kTurned, outDir + "/" + name + "-30.png", error);
}

}  // namespace
}  // namespace gallery

std::string gallery::DefaultSamplesDir() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
#if defined(LEXARO_BUILD_DIR) && defined(LEXARO_SOURCE_SAMPLES_DIR)
  if (!ec && fs::equivalent(exe.parent_path(), LEXARO_BUILD_DIR, ec)) return LEXARO_SOURCE_SAMPLES_DIR;
#endif
#if defined(LEXARO_RELATIVE_SAMPLES_DIR)
  if (!ec) {
    fs::path beside = exe.parent_path() / LEXARO_RELATIVE_SAMPLES_DIR;
    if (fs::is_directory(beside, ec)) return beside.lexically_normal().string();
  }
#endif
#ifdef LEXARO_INSTALLED_SAMPLES_DIR
  return LEXARO_INSTALLED_SAMPLES_DIR;
#else
  return "samples";
#endif
}

bool WriteDelimiterPages(const std::string& outDir, std::string* error) {
  using namespace gallery;
  Page delimiters;
  return DelimiterPage(&delimiters, error) && WriteBoth(delimiters, outDir, "delimiters", error);
}
