#include <gtest/gtest.h>

#include <cstring>

#include "lexaro/font_tool.h"
#include "lexaro/raster_dc.h"
#include "lexaro/record_dc.h"

TEST(FontTool, PointsAndLogicalHeights) {
  CFontTool tool;
  CRecordDC dc;
  EXPECT_EQ(tool.GetHeight(&dc.m_hDC, 12), -16);
  EXPECT_EQ(tool.GetHeight(&dc.m_hDC, 10.5), -14);
  EXPECT_EQ(tool.GetHeight(&dc.m_hDC, 0), 0);
  EXPECT_EQ(tool.GetHeight(&dc.m_hDC, 0.0), 0);
  EXPECT_EQ(tool.GetPtsize(&dc.m_hDC, -16), 12);
  dc.SetResolution(144);
  EXPECT_EQ(tool.GetHeight(&dc.m_hDC, 12), -24);
  EXPECT_EQ(tool.GetHeight(&dc.m_hDC, 1e300), -2147483647);  // clamped, not undefined
  EXPECT_EQ(tool.GetHeight(static_cast<HDC*>(nullptr), 12), -16);
}

TEST(FontTool, SetLogFontFillsEveryField) {
  CFontTool tool;
  LOGFONT lf;
  std::memset(&lf, 0x7F, sizeof lf);
  tool.SetLOGFONT(&lf, -20, "Symbol", SYMBOL_CHARSET, 1);
  EXPECT_EQ(lf.lfHeight, -20);
  EXPECT_EQ(lf.lfWidth | lf.lfEscapement | lf.lfOrientation, 0);
  EXPECT_EQ(lf.lfWeight, 400);
  EXPECT_EQ(lf.lfItalic | lf.lfUnderline | lf.lfStrikeOut, 0);
  EXPECT_EQ(lf.lfOutPrecision | lf.lfClipPrecision | lf.lfPitchAndFamily, 0);
  EXPECT_EQ(lf.lfCharSet, SYMBOL_CHARSET);
  EXPECT_EQ(lf.lfQuality, 4);
  EXPECT_STREQ(lf.lfFaceName, "Symbol");
  tool.SetLOGFONT(&lf, 12, "x", 0, 0);
  EXPECT_EQ(lf.lfQuality, 0);
  EXPECT_EQ(lf.lfHeight, 12);
  // The device form asks the device for the face's character set.
  CRecordDC dc;
  tool.SetLOGFONT(&lf, &dc.m_hDC, -20, "ＭＳ 明朝", 0);
  EXPECT_EQ(lf.lfCharSet, SHIFTJIS_CHARSET);
}

TEST(FontTool, CharacterSetsOfFaces) {
  CFontTool tool;
  CRecordDC dc;
  EXPECT_EQ(tool.GetCharSet(&dc, "Symbol"), SYMBOL_CHARSET);
  EXPECT_EQ(tool.GetCharSet(&dc, "Wingdings"), SYMBOL_CHARSET);
  EXPECT_EQ(tool.GetCharSet(&dc, "ＭＳ ゴシック"), SHIFTJIS_CHARSET);
  EXPECT_EQ(tool.GetCharSet(&dc, "MS PGothic"), SHIFTJIS_CHARSET);
  EXPECT_EQ(tool.GetCharSet(&dc, "Times New Roman"), ANSI_CHARSET);
  EXPECT_EQ(tool.GetCharSet(&dc, "DejaVu Sans"), ANSI_CHARSET);
  EXPECT_EQ(tool.GetCharSet(&dc, "No Such Face"), DEFAULT_CHARSET);
  EXPECT_EQ(tool.GetCharSet(&dc, ""), DEFAULT_CHARSET);
  EXPECT_EQ(tool.GetCharSet(&dc.m_hDC, "Symbol"), SYMBOL_CHARSET);
}

TEST(FontTool, AscentDescentAndWidthRatio) {
  CFontTool tool;
  CRecordDC dc;
  SyntheticFont synthetic;
  synthetic.ascent = 0.8;          // 16 at em 20
  synthetic.internalLeading = 0.15;  // 3 at em 20
  synthetic.descent = 0.25;
  synthetic.advance = 0.45;
  dc.UseSyntheticFont(synthetic);
  LOGFONT lf{};
  lf.lfHeight = -20;
  CFont font;
  font.CreateFontIndirect(&lf);
  dc.SelectObject(&font);
  EXPECT_EQ(tool.GetAscent(&dc), 13);
  EXPECT_EQ(tool.GetDescent(&dc), 5);
  // The ratio reads another font's metrics and leaves the selection alone.
  LOGFONT other = lf;
  other.lfHeight = -40;
  EXPECT_DOUBLE_EQ(tool.GetAveCharWidthRatio(&dc, other), 18.0 / 40.0);
  EXPECT_EQ(dc.GetCurrentFont(), &font);
  other.lfHeight = 0;
  EXPECT_EQ(tool.GetAveCharWidthRatio(&dc, other), 0.0);
  // With real fonts: Liberation Serif's average width is 1124 of 2048 units.
  CRasterDC raster(1, 1);
  LOGFONT serif{};
  serif.lfHeight = -40;
  SetFaceName(serif, "Times New Roman");
  EXPECT_NEAR(tool.GetAveCharWidthRatio(&raster, serif), 22.0 / 40.0, 1e-12);
}
