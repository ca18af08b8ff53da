// Debug boxes: the outlines the engine draws around line and construct
// boxes follow the laid-out extents at any angle, and nothing is drawn
// without them.
#include <gtest/gtest.h>

#include <set>

#include "lexaro/lexaro.h"
#include "support/pixels.h"

namespace {

constexpr COLORREF kLineBlue = RGB(64, 160, 255);
constexpr COLORREF kConstructMagenta = RGB(230, 0, 200);
const char* const kMarkup = "ab<FRAC><S>1</S><S>2</S></FRAC>";

std::set<std::pair<int, int>> Corners(const CRecordDC& dc, COLORREF color) {
  std::set<std::pair<int, int>> corners;
  for (const RecordedOp& op : Lines(dc))
    if (op.pen.color == color) {
      corners.emplace(op.from.x, op.from.y);
      corners.emplace(op.to.x, op.to.y);
    }
  return corners;
}

struct Drawn {
  LX_TXT_EXTENT extent;
  std::set<std::pair<int, int>> lineCorners, constructCorners;
};

Drawn Draw(long escapement, bool debug) {
  CRecordDC dc;
  dc.UseSyntheticFont(SyntheticFont{});
  CLexaro lexaro;
  lexaro.SetDebugBoxes(debug);
  lexaro.SetParam_lfEscapement(escapement);
  lexaro.SetText(&dc, kMarkup);
  Drawn d{lexaro.GetTextExtent_Ex(&dc), {}, {}};
  lexaro.TextOutA(&dc, 100, 200);
  d.lineCorners = Corners(dc, kLineBlue);
  d.constructCorners = Corners(dc, kConstructMagenta);
  return d;
}

TEST(DebugBoxes, OutlineTheLineAndConstructBoxesAtAnyAngle) {
  Drawn upright = Draw(0, true);
  const int w = upright.extent.width - 1, h = upright.extent.ascent + upright.extent.descent - 1;
  // The outermost line box is the text's box: its corners are the drawing's.
  EXPECT_TRUE(upright.lineCorners.count({100, 200}));
  EXPECT_TRUE(upright.lineCorners.count({100 + w, 200}));
  EXPECT_TRUE(upright.lineCorners.count({100, 200 + h}));
  EXPECT_TRUE(upright.lineCorners.count({100 + w, 200 + h}));
  // The fraction's box: four corners inside the text box, right of "ab".
  ASSERT_EQ(upright.constructCorners.size(), 4u);
  for (auto [x, y] : upright.constructCorners) {
    EXPECT_GT(x, 100);
    EXPECT_LE(x, 100 + w);
    EXPECT_GE(y, 200);
    EXPECT_LE(y, 200 + h);
  }

  // A quarter turn counter-clockwise: the baseline runs up the surface.
  Drawn turned = Draw(900, true);
  EXPECT_TRUE(turned.lineCorners.count({100, 200}));
  EXPECT_TRUE(turned.lineCorners.count({100, 200 - w}));
  EXPECT_TRUE(turned.lineCorners.count({100 + h, 200}));
  EXPECT_TRUE(turned.lineCorners.count({100 + h, 200 - w}));
  EXPECT_EQ(turned.constructCorners.size(), 4u);

  Drawn plain = Draw(0, false);
  EXPECT_TRUE(plain.lineCorners.empty());
  EXPECT_TRUE(plain.constructCorners.empty());
}

}  // namespace
