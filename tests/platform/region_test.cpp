#include <gtest/gtest.h>

#include <array>
#include <random>
#include <vector>

#include "lexaro/gdi.h"

namespace {

constexpr int kGrid = 24;
using Bitmap = std::array<std::array<bool, kGrid>, kGrid>;  // [y][x]

// The one band form of a pixel set: each run of equal rows is a band, and a
// band holds its maximal x intervals from left to right.
std::vector<CRect> Bands(const Bitmap& b) {
  std::vector<CRect> out;
  size_t bandStart = 0;
  for (int y = 0; y < kGrid; ++y) {
    if (y > 0 && b[y] == b[y - 1] && bandStart < out.size()) {
      for (size_t i = bandStart; i < out.size(); ++i) out[i].bottom = y + 1;
      continue;
    }
    bandStart = out.size();
    for (int x = 0; x < kGrid;) {
      if (!b[y][x]) { ++x; continue; }
      int start = x;
      while (x < kGrid && b[y][x]) ++x;
      out.emplace_back(start, y, x, y + 1);
    }
  }
  return out;
}

}  // namespace

TEST(Region, RectanglesKindsAndCoalescing) {
  CRgn r;
  EXPECT_EQ(r.Kind(), ERROR);
  r.CreateRectRgn(8, 6, 2, 1);  // corners in any order
  EXPECT_EQ(r.Rects(), std::vector<CRect>{CRect(2, 1, 8, 6)});
  EXPECT_TRUE(r.PtInRegion(2, 1));
  EXPECT_FALSE(r.PtInRegion(8, 3));
  EXPECT_FALSE(r.PtInRegion(3, 6));
  CRgn empty;
  empty.CreateRectRgn(5, 5, 5, 9);
  EXPECT_EQ(empty.Kind(), NULLREGION);

  CRgn top, bottom, left, right, out;
  top.CreateRectRgn(0, 0, 10, 5);
  bottom.CreateRectRgn(0, 5, 10, 10);
  left.CreateRectRgn(0, 0, 5, 10);
  right.CreateRectRgn(5, 0, 10, 10);
  EXPECT_EQ(out.CombineRgn(&top, &bottom, RGN_OR), SIMPLEREGION);
  EXPECT_EQ(out.Rects(), std::vector<CRect>{CRect(0, 0, 10, 10)});
  EXPECT_EQ(out.CombineRgn(&left, &right, RGN_OR), SIMPLEREGION);
  EXPECT_EQ(out.CombineRgn(&top, &bottom, RGN_AND), NULLREGION);
  EXPECT_EQ(out.CombineRgn(&top, &empty, RGN_DIFF), SIMPLEREGION);
  // A cross: three bands, the middle one a single rectangle.
  CRgn h, v;
  h.CreateRectRgn(0, 4, 12, 8);
  v.CreateRectRgn(4, 0, 8, 12);
  EXPECT_EQ(out.CombineRgn(&h, &v, RGN_OR), COMPLEXREGION);
  EXPECT_EQ(out.Rects(), (std::vector<CRect>{{4, 0, 8, 4}, {0, 4, 12, 8}, {4, 8, 8, 12}}));
  CRect box;
  EXPECT_EQ(out.GetRgnBox(&box), COMPLEXREGION);
  EXPECT_EQ(box, CRect(0, 0, 12, 12));
  EXPECT_EQ(out.CombineRgn(&h, &v, RGN_XOR), COMPLEXREGION);
  EXPECT_EQ(out.Rects().size(), 4u);
  // The result may be one of the operands.
  EXPECT_EQ(h.CombineRgn(&h, &v, RGN_AND), SIMPLEREGION);
  EXPECT_EQ(h.Rects(), std::vector<CRect>{CRect(4, 4, 8, 8)});

  CRgn never;
  EXPECT_EQ(out.CombineRgn(&never, &v, RGN_OR), ERROR);
  EXPECT_EQ(out.CombineRgn(&v, &never, RGN_AND), ERROR);
  EXPECT_EQ(out.CombineRgn(&v, nullptr, RGN_OR), ERROR);
  EXPECT_EQ(out.CombineRgn(&v, &h, 0), ERROR);
  EXPECT_EQ(out.CopyRgn(&v), SIMPLEREGION);
  EXPECT_EQ(out.Rects(), std::vector<CRect>{CRect(4, 0, 8, 12)});
}

TEST(Region, CombinationsMatchAPixelModel) {
  std::mt19937 rng(12345);
  std::uniform_int_distribution<int> coord(0, kGrid);
  const int modes[] = {RGN_OR, RGN_OR, RGN_AND, RGN_DIFF, RGN_XOR};
  for (int round = 0; round < 40; ++round) {
    CRgn acc;
    acc.CreateRectRgn(0, 0, 0, 0);
    Bitmap model{};
    for (int step = 0; step < 12; ++step) {
      CRect r(coord(rng), coord(rng), coord(rng), coord(rng));
      r.NormalizeRect();
      int mode = modes[rng() % 5];
      CRgn operand;
      operand.CreateRectRgnIndirect(&r);
      int kind = acc.CombineRgn(&acc, &operand, mode);
      int count = 0;
      for (int y = 0; y < kGrid; ++y)
        for (int x = 0; x < kGrid; ++x) {
          bool a = model[y][x], b = r.PtInRect(CPoint(x, y));
          model[y][x] = mode == RGN_OR ? a || b : mode == RGN_AND ? a && b : mode == RGN_DIFF ? a && !b : a != b;
          count += model[y][x];
        }
      SCOPED_TRACE(testing::Message() << "round " << round << " step " << step << " mode " << mode);
      std::vector<CRect> bands = Bands(model);
      ASSERT_EQ(acc.Rects(), bands);
      EXPECT_EQ(kind, count == 0 ? NULLREGION : bands.size() == 1 ? SIMPLEREGION : COMPLEXREGION);
      for (int y = 0; y < kGrid; ++y)
        for (int x = 0; x < kGrid; ++x) ASSERT_EQ(bool(acc.PtInRegion(x, y)), model[y][x]) << x << "," << y;
    }
  }
}
