// The pages of the main job beside the sample gallery (which `lexaro
// samples` draws): markup text, symbols and rotation, the delimiter page, the
// platform layer at work and the drawing toolkit, written as PNG into the
// directory given on the command line. `--symbols-table` prints the symbol
// table of the markup reference and `--symbols-chart FILE` writes its chart.
#include <cstdio>
#include <cstring>
#include <string>

#include "lexaro/lexaro.h"
#include "tools/gallery.h"
#include "tools/markup_pages.h"
#include "tools/symbol_chart.h"
#include "tools/toolkit_page.h"

namespace {

LOGFONT Font(const char* face, int height, int escapement = 0, int weight = FW_NORMAL,
             BYTE italic = 0) {
  LOGFONT lf{};
  lf.lfHeight = height;
  lf.lfEscapement = escapement;
  lf.lfWeight = weight;
  lf.lfItalic = italic;
  SetFaceName(lf, face);
  return lf;
}

void Text(CDC& dc, const LOGFONT& lf, int x, int y, const CString& s, COLORREF color = 0) {
  CFont font;
  font.CreateFontIndirect(&lf);
  CFont* old = dc.SelectObject(&font);
  dc.SetTextColor(color);
  dc.TextOut(x, y, s);
  dc.SelectObject(old);
}

void Faces(CDC& dc, int& y) {
  struct Sample {
    const char* face;
    const char* text;
  } samples[] = {
      {"Times New Roman", "Times New Roman: Liberation Serif  x^2 + y^2 \x86 \x80 \xF0"},
      {"Arial", "Arial: Liberation Sans  (a+b)/2"},
      {"Courier New", "Courier New: Liberation Mono  0123456789"},
      {"ＭＳ ゴシック", "ＭＳ ゴシック: IPAゴシック  分数と平方根"},
      {"ＭＳ Ｐゴシック", "ＭＳ Ｐゴシック: プロポーショナル"},
      {"ＭＳ 明朝", "ＭＳ 明朝: 数式を描く"},
      {"ＭＳ Ｐ明朝", "ＭＳ Ｐ明朝: 積分と総和"},
      {"Wingdings", "\xAB\xFC\x6C\x6E\x81\x82\x83"},
      {"No Such Face", "No Such Face: fontconfig's best match, 日本語 by fallback"},
  };
  for (const Sample& s : samples) {
    Text(dc, Font(s.face, -20), 20, y, s.text);
    y += 30;
  }
  Text(dc, Font("Times New Roman", -20, 0, FW_BOLD), 20, y, "Bold");
  Text(dc, Font("Times New Roman", -20, 0, FW_NORMAL, 1), 90, y, "Italic");
  LOGFONT u = Font("Times New Roman", -20);
  u.lfUnderline = 1;
  Text(dc, u, 170, y, "Underline");
  u.lfUnderline = 0;
  u.lfStrikeOut = 1;
  Text(dc, u, 280, y, "Strike-out");
  Text(dc, Font("ＭＳ ゴシック", -20, 0, FW_BOLD), 400, y, "太字 synthesised");
  y += 40;
}

void Symbols(CDC& dc, int& y) {
  Text(dc, Font("Times New Roman", -16), 20, y, "Symbol: alpha, sum, integral, radical, pieces E6-EF");
  y += 36;
  LOGFONT lf = Font("Symbol", -28);
  lf.lfCharSet = SYMBOL_CHARSET;
  Text(dc, lf, 20, y, "\x61\xE5\xF2\xD6 \xE6\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF");
  y += 50;
}

void Rotation(CDC& dc, int y) {
  UINT old = dc.SetTextAlign(TA_BASELINE);
  for (int angle : {0, 300, 900}) {
    int x = 40 + angle / 3;
    dc.SetPixel(x, y + 100, RGB(255, 0, 0));
    Text(dc, Font("Times New Roman", -20, angle), x, y + 100, "rotated " + CString(std::to_string(angle / 10).c_str()), RGB(0, 0, 160));
  }
  dc.SetTextAlign(old);
}

void Lines(CDC& dc, int y) {
  for (int w = 1; w <= 3; ++w) {
    CPen pen(PS_SOLID, w, RGB(0, 120, 0));
    CPen* old = dc.SelectObject(&pen);
    int x = 420 + (w - 1) * 60;
    dc.MoveTo(x, y);
    dc.LineTo(x + 50, y + 120);
    dc.MoveTo(x, y + 130);
    dc.LineTo(x + 50, y + 130);
    dc.SelectObject(old);
  }
  dc.FillSolidRect(620, y, 80, 50, RGB(255, 200, 0));
  // A glyph clipped to a rectangle.
  CRgn clip;
  clip.CreateRectRgn(620, y + 70, 700, y + 110);
  dc.SelectClipRgn(&clip);
  Text(dc, Font("Times New Roman", -80), 615, y + 40, "Q", RGB(160, 0, 0));
  dc.SelectClipRgn(nullptr);
  CPen frame(PS_SOLID, 1, RGB(160, 160, 160));
  CPen* old = dc.SelectObject(&frame);
  CBrush none(RGB(255, 255, 255));
  dc.MoveTo(619, y + 69);
  dc.LineTo(700, y + 69);
  dc.LineTo(700, y + 110);
  dc.LineTo(619, y + 110);
  dc.LineTo(619, y + 69);
  dc.SelectObject(old);
}

bool WritePlatformPage(const std::string& dir, std::string* error) {
  CRasterDC dc(760, 640, RGB(255, 255, 255));
  dc.SetBkMode(TRANSPARENT);
  int y = 12;
  Faces(dc, y);
  Symbols(dc, y);
  Rotation(dc, y);
  Lines(dc, y);
  return dc.SavePng(dir + "/platform.png", error);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--symbols-table") == 0) {
    std::fputs(SymbolTableMarkdown().c_str(), stdout);
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
  }
  if (argc == 3 && std::strcmp(argv[1], "--symbols-chart") == 0) {
    std::string error;
    if (WriteSymbolChart(argv[2], &error)) return 0;
    std::fprintf(stderr, "lexaro-showcase: %s\n", error.c_str());
    return 1;
  }
  std::string dir = argc > 1 ? argv[1] : "out";
  struct Page {
    const char* what;
    bool (*write)(const std::string&, std::string*);
  } pages[] = {{"markup_text.png, markup_symbols.png, markup_rotation.png", WriteMarkupPages},
               {"platform.png", WritePlatformPage},
               {"toolkit.png", WriteToolkitPage},
               {"delimiters.png and delimiters-30.png", WriteDelimiterPages}};
  for (const Page& page : pages) {
    std::string error;
    if (!page.write(dir, &error)) {
      std::fprintf(stderr, "lexaro-showcase: %s\n", error.c_str());
      return 1;
    }
    std::printf("wrote %s in %s\n", page.what, dir.c_str());
  }
  return 0;
}
