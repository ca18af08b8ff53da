// Markup drawn on the largest surface at large em heights: whatever the
// text, one drawing paints at most the drawing budget, counted pixel by
// pixel by the surface (the 48 x 32 surface of the markup target cannot see
// costs that grow with the surface).
#include <string_view>

#include "engine/engine.h"
#include "fuzz/entries.h"
#include "fuzz/ink_surface.h"
#include "lexaro/lexaro.h"
#include "lexaro/raster_dc.h"

namespace lexaro::fuzz {
namespace {

// Angles in tenths of a degree, em heights (negative lfHeight) and where
// the drawing starts, chosen by the first two bytes (the first also turns on
// Shift_JIS, debug boxes and anti-aliased lines and fills). A start is a point of
// the surface plus a part of the em (percent), so that the middle of a line
// of any em height can be brought onto the surface.
constexpr long kAngles[] = {0, 300, 900, 1800, -450, 2700, 1, 3599};
constexpr long kHeights[] = {-101, -1000, -4096, -20000, -100000, -4194304, -16, -40};
struct Start {
  int x, y, emX, emY;
};
constexpr Start kStarts[] = {{0, 0, 0, 0},       {8192, 8192, 0, 0},  {0, 0, 0, -55},
                             {0, 0, 0, -60},     {0, 0, 0, -65},      {0, 0, 0, -70},
                             {0, 0, -30, -60},   {16384, 0, -50, -80}};

}  // namespace

void Ink(const uint8_t* data, size_t size) {
  long angle = 0, height = -4096;
  bool shiftJis = false, debugBoxes = false, antialias = false;
  Start start = kStarts[0];
  if (size >= 2) {
    angle = kAngles[data[0] & 7];
    shiftJis = data[0] & 8;
    debugBoxes = data[0] & 16;
    antialias = data[0] & 32;
    height = kHeights[data[1] & 7];
    start = kStarts[(data[1] >> 3) & 7];
    data += 2, size -= 2;
  }
  const int side = CRasterDC::kMaxSide / 2;  // 2^28 pixels, the largest area
  InkCountingDC dc(side, side);
  dc.SetCodePage(shiftJis ? CP_SHIFTJIS : CP_UTF8);
  dc.SetAntialias(antialias);
  CLexaro lx;
  lx.SetParam_lfHeight(height);
  lx.SetParam_lfEscapement(angle);
  lx.SetDebugBoxes(debugBoxes);
  Require(lx.SetText(&dc, CString(std::string_view(reinterpret_cast<const char*>(data), size))) == 1,
          "SetText failed");
  const long long em = -height;
  Require(lx.TextOutA(&dc, int(start.x + em * start.emX / 100), int(start.y + em * start.emY / 100)) == 1,
          "TextOutA failed");
  Require(dc.Painted() <= CLexaro::Engine::kMaxInk, "one drawing painted more than the budget");
}

}  // namespace lexaro::fuzz
