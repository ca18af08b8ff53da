#include "lexaro/color.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(ColorTest, NamesIgnoreCase) {
  EXPECT_EQ(GetCOLORREF("RED"), 0x000000FFu);
  EXPECT_EQ(GetCOLORREF("Red"), 0x000000FFu);
  EXPECT_EQ(GetCOLORREF("navy"), 0x00800000u);
  EXPECT_EQ(GetCOLORREF("Fuchsia"), 0x00FF00FFu);
  EXPECT_EQ(GetCOLORREF("olive"), 0x00008080u);
  EXPECT_EQ(GetCOLORREF("purple"), 0x00800080u);
  EXPECT_EQ(GetCOLORREF("transparent"), CLR_TRANSPARENT);
  EXPECT_EQ(GetCOLORREF("Transparent"), CLR_TRANSPARENT);
  // Unknown, padded or empty text is black.
  EXPECT_EQ(GetCOLORREF(" red"), 0u);
  EXPECT_EQ(GetCOLORREF("pink"), 0u);
  EXPECT_EQ(GetCOLORREF("redd"), 0u);
  EXPECT_EQ(GetCOLORREF(""), 0u);
}

TEST(ColorTest, HexPairsFillFromRed) {
  EXPECT_EQ(GetCOLORREF("#C0C0C0"), 0x00C0C0C0u);
  EXPECT_EQ(GetCOLORREF("#c0c0c0"), 0x00C0C0C0u);
  EXPECT_EQ(GetCOLORREF("#123456"), 0x00563412u);
  EXPECT_EQ(GetCOLORREF("#1"), 0u);
  EXPECT_EQ(GetCOLORREF("#ff"), 0x000000FFu);
  EXPECT_EQ(GetCOLORREF("#ff00"), 0x000000FFu);
  EXPECT_EQ(GetCOLORREF("#12345"), 0x00003412u);
  EXPECT_EQ(GetCOLORREF("#10203040"), 0x00302010u);
  EXPECT_EQ(GetCOLORREF("#"), 0u);
}

TEST(ColorTest, RgbFormReadsThreeNumbers) {
  EXPECT_EQ(GetCOLORREF("RGB(255, 0, 0)"), 0x000000FFu);
  EXPECT_EQ(GetCOLORREF("rgb (255,0,0)"), 0x000000FFu);
  EXPECT_EQ(GetCOLORREF("rgb(1,2,3)"), 0x00030201u);
  EXPECT_EQ(GetCOLORREF("rgb(10,20)"), 0x0000140Au);
  EXPECT_EQ(GetCOLORREF("rgb(1,x,3)"), 0x00000001u);
  EXPECT_EQ(GetCOLORREF("rgb(\t7,8,9)"), 0x00090807u);
  // Components keep their low 8 bits, also of numbers past 32 bits.
  EXPECT_EQ(GetCOLORREF("rgb(256,0,0)"), 0u);
  EXPECT_EQ(GetCOLORREF("rgb(-1,0,0)"), 0x000000FFu);
  EXPECT_EQ(GetCOLORREF("rgb(4294967551,0,1)"), 0x000100FFu);
  EXPECT_EQ(GetCOLORREF("rgb(99999999999999999999999999999,0,0)"), 0x000000FFu);
  // Brackets missing or reversed give black.
  EXPECT_EQ(GetCOLORREF("rgb 1,2,3)"), 0u);
  EXPECT_EQ(GetCOLORREF("rgb(1,2,3"), 0u);
  EXPECT_EQ(GetCOLORREF("rgb)1,2,3("), 0u);
  EXPECT_EQ(GetCOLORREF("rgb"), 0u);
}

TEST(ColorTest, RGBStringModesAndReadBack) {
  const COLORREF c = RGB(12, 34, 56);
  EXPECT_EQ(GetRGBString(c, 1), "RGB(12, 34, 56)");
  EXPECT_EQ(GetRGBString(c, 2), "RGB(12,34,56)");
  EXPECT_EQ(GetRGBString(c, 3), "(12, 34, 56)");
  EXPECT_EQ(GetRGBString(c, 4), "(12,34,56)");
  EXPECT_EQ(GetRGBString(c, 0), "RGB (12, 34, 56)");
  EXPECT_EQ(GetRGBString(c, -7), "RGB (12, 34, 56)");
  EXPECT_EQ(GetRGBString(CLR_TRANSPARENT, 1), "RGB(0, 0, 0)");
  EXPECT_EQ(GetRGBString(0xFFFFFFFFu, 5), "RGB (255, 255, 255)");
  for (int mode : {1, 2, 5}) EXPECT_EQ(GetCOLORREF(GetRGBString(c, mode)), c) << mode;
  for (int mode : {3, 4}) EXPECT_EQ(GetCOLORREF(GetRGBString(c, mode)), 0u) << mode;
}

TEST(ColorTest, GetRGBSplitsComponents) {
  unsigned char r = 0, g = 0, b = 0;
  GetRGB(0xFF332211u, &r, &g, &b);
  EXPECT_EQ(r, 0x11);
  EXPECT_EQ(g, 0x22);
  EXPECT_EQ(b, 0x33);
  GetRGB(0x00445566u, nullptr, &g, nullptr);
  EXPECT_EQ(g, 0x55);
}

TEST(ColorTest, LuxColorScalesAndClampsEachComponent) {
  EXPECT_EQ(GetLuxColor(COLORREF(0x00804020), 1.5), 0x00C06030u);
  EXPECT_EQ(GetLuxColor(COLORREF(0x00FF8000), 2.0), 0x00FFFF00u);
  EXPECT_EQ(GetLuxColor(CLR_TRANSPARENT, 1.0), 0u);
  EXPECT_EQ(GetLuxColor(COLORREF(0x00FFFFFF), 0.5), 0x007F7F7Fu);  // truncated
  EXPECT_EQ(GetLuxColor(COLORREF(0x00FFFFFF), -1.0), 0u);
  EXPECT_EQ(GetLuxColor(COLORREF(0x00FFFFFF), std::nan("")), 0u);
  EXPECT_EQ(GetLuxColor(COLORREF(0x00010101), INFINITY), 0x00FFFFFFu);
  EXPECT_EQ(GetLuxColor(static_cast<unsigned char>(100), 2.56), 255);
  EXPECT_EQ(GetLuxColor(static_cast<unsigned char>(100), 2.549), 254);
}
