#include "tools/markup_pages.h"

#include <string>

#include "lexaro/lexaro.h"
#include "tools/symbol_chart.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

// Lines, alignments, fonts and colours.
const char* const kTextSample =
    "<CENTER><FONT size=20 color=navy>Lexaro markup</FONT><BR>"
    "<LEFT>Left aligned: <B>bold</B>, <I>italic</I>, <U>underlined</U> and plain<BR>"
    "<RIGHT><FONT face=\"Times New Roman\" color=#A00000>Times New Roman in dark red, "
    "right aligned</FONT><BR>"
    "<CENTER><FONT color=green>Centred</FONT>: <alpha><+><beta><=><gamma>, "
    "x<leq>y<to><infty><BR>"
    "<LEFT>日本語のテキスト <FONT face=\"ＭＳ 明朝\" size=16>明朝体</FONT> "
    "<FONT color=rgb(200,100,0)>and colour</FONT><BR>"
    "<JUSTIFY>a<<b and a>b are text; <FONT size=9>small</FONT> <FONT size=24>large</FONT>";

bool Save(const CRasterDC& dc, const std::string& path, std::string* error) {
  return dc.SavePng(path, error);
}

// A small cross at a point, in grey.
void Mark(CDC& dc, CPoint p) {
  CPen pen(PS_SOLID, 1, RGB(200, 0, 0));
  CPen* old = dc.SelectObject(&pen);
  dc.MoveTo(p.x - 4, p.y);
  dc.LineTo(p.x + 5, p.y);
  dc.MoveTo(p.x, p.y - 4);
  dc.LineTo(p.x, p.y + 5);
  dc.SelectObject(old);
}

bool TextPage(const std::string& dir, std::string* error) {
  CRasterDC dc(760, 260, kWhite);
  CLexaro lx;
  lx.SetText(&dc, kTextSample);
  lx.TextOutA(&dc, 20, 16);
  return Save(dc, dir + "/markup_text.png", error);
}

bool SymbolPage(const std::string& dir, std::string* error) {
  return WriteSymbolChart(dir + "/markup_symbols.png", error);
}

bool RotationPage(const std::string& dir, std::string* error) {
  CRasterDC dc(760, 420, kWhite);
  const char* text =
      "<FONT size=16><FONT color=navy>Turned</FONT> <sum> <alpha><+><beta><BR><CENTER>two lines</FONT>";
  struct Placement {
    int angle;
    CPoint at;
  } placements[] = {{0, {30, 60}}, {300, {250, 330}}, {900, {620, 390}}};
  CLexaro lx;
  lx.SetText(&dc, text);
  for (const Placement& p : placements) {
    lx.SetParam_lfEscapement(p.angle);
    lx.TextOutA(&dc, p.at);
    Mark(dc, p.at);  // the anchor: the block's top-left corner
  }
  return Save(dc, dir + "/markup_rotation.png", error);
}

}  // namespace

bool WriteMarkupPages(const std::string& dir, std::string* error) {
  return TextPage(dir, error) && SymbolPage(dir, error) && RotationPage(dir, error);
}
