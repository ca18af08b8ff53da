// Point markers, their shading colours, and the colour-keyed copy.
#include <gtest/gtest.h>

#include "lexaro/dc_ex.h"
#include "tests/draw/draw_test_util.h"

namespace {

constexpr COLORREF kBack = RGB(0, 200, 0);

struct Marker {
  CRasterDC dc{48, 48};
  CDC_Ex ex;
  Marker(int width = 1) {
    ex.CreatePen(DE_PS_SOLID, width, kInk);
    ex.SetBackColor(kBack);
  }
  COLORREF At(int x, int y) const { return dc.GetPixel(x, y); }
};

PixelSet Square(int left, int top, int right, int bottom) {
  PixelSet s;
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x) s.emplace(x, y);
  return s;
}

}  // namespace

TEST(Get3DColor, Levels) {
  CDC_Ex ex;
  EXPECT_EQ(ex.Get3DColor(0, 1), 0x7F7F7Fu);
  EXPECT_EQ(ex.Get3DColor(0xFFFFFF, 0), 0xFFFFFFu);
  EXPECT_EQ(ex.Get3DColor(RGB(100, 0, 200), 0), RGB(216, 191, 241));
  EXPECT_EQ(ex.Get3DColor(RGB(100, 0, 200), 1), RGB(177, 127, 227));
  EXPECT_EQ(ex.Get3DColor(RGB(100, 0, 200), 2), RGB(162, 102, 222));
  for (int level : {3, -1, 99}) EXPECT_EQ(ex.Get3DColor(0x01123456, level), 0x01123456u);
}

TEST(Markers, OutlinedSolidAndCross) {
  {
    Marker m;  // square, size 9: corners 4 left/up and 4 right/down
    m.ex.DrawPoint(&m.dc, 20, 20, 9, 4);
    EXPECT_EQ(Painted(m.dc), Square(16, 16, 24, 24));
    for (int k = 16; k <= 24; ++k) {
      EXPECT_EQ(m.At(k, 16), kInk);
      EXPECT_EQ(m.At(k, 24), kInk);
      EXPECT_EQ(m.At(16, k), kInk);
      EXPECT_EQ(m.At(24, k), kInk);
    }
    EXPECT_EQ(m.At(20, 20), kBack);
    EXPECT_EQ(m.At(17, 23), kBack);
  }
  {
    Marker m;  // even size: 4 left/up, 3 right/down
    m.ex.DrawPoint(&m.dc, 20, 20, 8, 6);
    EXPECT_EQ(Painted(m.dc), Square(16, 16, 23, 23));
    EXPECT_EQ(m.At(20, 20), kInk);
  }
  {
    Marker m;  // square with diagonals
    m.ex.DrawPoint(&m.dc, 20, 20, 9, 5);
    EXPECT_EQ(m.At(18, 18), kInk);
    EXPECT_EQ(m.At(22, 18), kInk);
    EXPECT_EQ(m.At(19, 18), kBack);
  }
  {
    Marker m;  // solid diamond
    m.ex.DrawPoint(&m.dc, 20, 20, 9, 8);
    PixelSet diamond;
    for (int y = 16; y <= 24; ++y)
      for (int x = 16; x <= 24; ++x)
        if (std::abs(x - 20) + std::abs(y - 20) <= 4) diamond.emplace(x, y);
    EXPECT_EQ(Painted(m.dc), diamond);
  }
  {
    Marker m;  // cross: both diagonals of the square, end points included
    m.ex.DrawPoint(&m.dc, 20, 20, 9, 13);
    PixelSet cross;
    for (int k = 0; k <= 8; ++k) cross.insert({{16 + k, 16 + k}, {24 - k, 16 + k}});
    EXPECT_EQ(Painted(m.dc), cross);
  }
  {
    Marker m;  // upward triangle: height 9, apex at y - 4, base at y + 4
    m.ex.DrawPoint(&m.dc, 20, 20, 10, 10);
    const PixelSet px = Painted(m.dc);
    EXPECT_TRUE(px.count({20, 16}));
    EXPECT_FALSE(px.count({20, 15}));
    for (int x = 15; x <= 24; ++x) EXPECT_TRUE(px.count({x, 24})) << x;
    EXPECT_FALSE(px.count({20, 25}));
  }
  {
    Marker m;  // circle outlined around the back colour
    m.ex.DrawPoint(&m.dc, 20, 20, 15, 1);
    EXPECT_EQ(m.At(20, 20), kBack);
    EXPECT_EQ(m.At(20, 13), kInk);
    EXPECT_EQ(m.At(27, 20), kInk);
  }
}

TEST(Markers, NothingForSizeOneCornersOrNoSize) {
  // Markers made of corner points paint nothing at size 1: every stroke has
  // zero length.
  for (int kind = 4; kind <= 12; ++kind) {
    Marker m(3);
    m.ex.DrawPoint(&m.dc, 20, 20, 1, kind);
    m.ex.DrawPoint3D(&m.dc, 20, 20, 1, kind);
    EXPECT_TRUE(Painted(m.dc).empty()) << kind;
  }
  CRecordDC rec;
  CDC_Ex ex;
  ex.DrawPoint(&rec, 5, 5, 9, 4);  // no pen yet
  ex.CreatePen(DE_PS_SOLID, 1, kInk);
  for (int kind = -1; kind <= 14; ++kind) {
    ex.DrawPoint(&rec, 5, 5, 0, kind);
    ex.DrawPoint3D(&rec, 5, 5, -3, kind);
  }
  ex.DrawPoint(&rec, 5, 5, 9, 0);
  ex.DrawPoint(&rec, 5, 5, 9, 14);
  EXPECT_TRUE(rec.Ops().empty());
}

TEST(Markers, ShadedFacetsAndCircles) {
  const COLORREF base = RGB(0, 0, 160);
  auto level = [&](int l) { return CDC_Ex().Get3DColor(base, l); };
  {
    Marker m;
    m.ex.CreatePen(DE_PS_SOLID, 1, base);
    m.ex.DrawPoint3D(&m.dc, 24, 24, 17, 6);  // square: top lightest, bottom the colour
    EXPECT_EQ(m.At(24, 18), level(0));
    EXPECT_EQ(m.At(18, 24), level(1));
    EXPECT_EQ(m.At(30, 24), level(2));
    EXPECT_EQ(m.At(24, 30), base);
  }
  {
    Marker m;
    m.ex.CreatePen(DE_PS_SOLID, 1, base);
    m.ex.DrawPoint3D(&m.dc, 24, 24, 30, 3);  // highlight up and left
    EXPECT_EQ(m.At(19, 19), level(0));
    EXPECT_EQ(m.At(32, 32), base);
    EXPECT_EQ(m.At(24, 12), level(1));
  }
  {
    Marker m;
    m.ex.CreatePen(DE_PS_SOLID, 1, base);
    m.ex.DrawPoint3D(&m.dc, 24, 24, 20, 12);  // downward: top facet lightest
    EXPECT_EQ(m.At(24, 19), level(0));
    EXPECT_EQ(m.At(26, 26), base);
    EXPECT_EQ(m.At(22, 27), level(1));
  }
}

TEST(Markers, HugeSizesAndPositionsFinish) {
  Marker m(2);
  CPen* before = m.dc.GetCurrentPen();
  for (int kind = 1; kind <= 13; ++kind) {
    m.ex.DrawPoint(&m.dc, INT_MAX, INT_MIN, INT_MAX, kind);
    m.ex.DrawPoint3D(&m.dc, INT_MIN, INT_MIN, INT_MAX, kind);
    m.ex.DrawPoint(&m.dc, -1500000000, 24, INT_MAX, kind);
  }
  EXPECT_TRUE(Painted(m.dc).empty());
  EXPECT_EQ(m.dc.GetCurrentPen(), before);
  // A solid square and circle far larger than the surface cover it.
  for (int kind : {3, 6}) {
    Marker big;
    big.ex.DrawPoint(&big.dc, 24, 24, INT_MAX, kind);
    EXPECT_EQ(Painted(big.dc).size(), 48u * 48u) << kind;
  }
  // The right edge of a square centred 2^30 to the left.
  Marker edge;
  edge.ex.DrawPoint(&edge.dc, -1073741800, 10, INT_MAX, 6);
  EXPECT_EQ(Box(Painted(edge.dc)), CRect(0, 0, 24, 48));
}

TEST(BitBltTrans, CopiesAllButTheKey) {
  const COLORREF key = RGB(0, 255, 0);
  CRasterDC src(8, 8, key), dst(16, 16);
  src.SetPixel(0, 0, RGB(255, 0, 0));
  src.SetPixel(7, 7, RGB(0, 0, 255));
  src.SetPixel(3, 4, RGB(1, 2, 3));
  CDC_Ex ex;
  ex.BitBlt_Trans(&dst, 4, 5, 8, 8, &src, 0, 0, key);
  EXPECT_EQ(Painted(dst), (PixelSet{{4, 5}, {11, 12}, {7, 9}}));
  EXPECT_EQ(dst.GetPixel(7, 9), RGB(1, 2, 3));

  // Nothing for empty sizes; huge sizes copy only what overlaps.
  CRasterDC none(16, 16);
  for (auto [w, h] : {std::pair{0, 8}, {8, 0}, {-5, 8}, {8, INT_MIN}})
    ex.BitBlt_Trans(&none, 0, 0, w, h, &src, 0, 0, key);
  EXPECT_TRUE(Painted(none).empty());
  CRasterDC wide(16, 16);
  ex.BitBlt_Trans(&wide, -1000000000, -1000000000, INT_MAX, INT_MAX, &src, -1000000000,
                  -1000000000, CLR_INVALID);
  EXPECT_EQ(Box(Painted(wide)), CRect(0, 0, 8, 8));
  EXPECT_EQ(wide.GetPixel(7, 7), RGB(0, 0, 255));
  EXPECT_EQ(wide.GetPixel(8, 8), RGB(255, 255, 255));

  // PixelSet the source's clip region hides are not copied.
  CRgn left, right;
  left.CreateRectRgn(0, 0, 2, 8);
  right.CreateRectRgn(6, 0, 8, 8);
  src.SelectClipRgn(&left);
  src.SelectClipRgn(&right, RGN_OR);
  CRasterDC clipped(8, 8);
  ex.BitBlt_Trans(&clipped, 0, 0, 8, 8, &src, 0, 0, RGB(9, 9, 9));
  for (int x = 0; x < 8; ++x)
    EXPECT_EQ(clipped.GetPixel(x, 3), x >= 2 && x < 6 ? RGB(255, 255, 255) : key) << x;
}
