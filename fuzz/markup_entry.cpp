// Markup from anywhere: the layout and the drawing must finish with the
// defined answers whatever the text, angle and em height.
#include <string_view>
#include <vector>

#include "engine/engine.h"
#include "fuzz/entries.h"
#include "lexaro/lexaro.h"
#include "lexaro/svg_dc.h"

namespace lexaro::fuzz {
namespace {

// Angles in tenths of a degree and em heights (negative lfHeight) that the
// first two bytes choose from: ordinary, steep, beyond a turn, and extreme.
constexpr long kAngles[] = {0, 300, 900, 1800, -450, 2700, 3600, -3600};
constexpr long kHeights[] = {-16, -12, -1, 0, 24, -60, -200, -100000};

struct Settings {
  long angle, height;
  bool shiftJis;
  bool svg;  // the vector surface instead of the raster one
  std::string_view text;
};

Settings Read(const uint8_t* data, size_t size) {
  Settings s{0, -16, false, false, {}};
  if (size >= 2) {
    s.angle = kAngles[data[0] & 7];
    s.shiftJis = data[0] & 8;
    s.svg = data[0] & 16;
    s.height = kHeights[data[1] & 7];
    data += 2, size -= 2;
  }
  s.text = std::string_view(reinterpret_cast<const char*>(data), size);
  return s;
}

}  // namespace

void Markup(const uint8_t* data, size_t size) {
  Settings s = Read(data, size);
  CRasterDC raster(48, 32, RGB(255, 255, 255));
  CSvgDC svg(48, 32, RGB(255, 255, 255));
  CDC& dc = s.svg ? static_cast<CDC&>(svg) : raster;
  dc.SetCodePage(s.shiftJis ? CP_SHIFTJIS : CP_UTF8);
  CLexaro lx;
  lx.SetParam_lfHeight(s.height);
  lx.SetParam_lfEscapement(s.angle);
  Require(lx.SetText(&dc, CString(s.text)) == 1, "SetText failed");
  // Every diagnostic names bytes of the text, and the list stays bounded;
  // drawing adds none.
  const std::vector<LX_DIAGNOSTIC>& found = lx.GetDiagnostics();
  Require(found.size() <= 1001, "too many diagnostics kept");
  for (const LX_DIAGNOSTIC& d : found)
    Require(d.offset >= 0 && d.length >= 0 && (size_t)d.offset + d.length <= s.text.size() &&
                !d.message.IsEmpty(),
            "a diagnostic's range lies outside the text");
  const size_t before = found.size();
  LX_TXT_EXTENT e = lx.GetTextExtent_Ex(&dc);
  CSize size2 = lx.GetTextExtent(&dc);
  Require(e.width == size2.cx && (long long)e.ascent + e.descent >= size2.cy,
          "the two extents disagree");
  Require(lx.TextOutA(&dc, 4, 4) == 1, "TextOutA failed");
  Require(lx.TextOutA(&dc, CPoint(-2000000000, 2000000000)) == 1, "TextOutA far away failed");
  if (s.svg) Require(!svg.Svg().empty(), "no SVG document");
  Require(lx.GetDiagnostics().size() == before, "drawing changed the diagnostics");

  // The same through the engine itself: the drawing must take back every
  // record the layout made, in order, or the two passes went apart.
  CLexaro::Engine engine;
  engine.m_lfEscapement = int(s.angle);
  engine.SetText(&dc, CString(s.text));
  engine.TextOutA(&dc, CPoint(4, 4));
  Require(!engine.m_dataLine.GetNext() && !engine.m_dataTag.GetNext() &&
              !engine.m_dataTable.GetNext() && !engine.m_dataFont.GetNext(),
          "the drawing left layout records unused");
}

}  // namespace lexaro::fuzz
