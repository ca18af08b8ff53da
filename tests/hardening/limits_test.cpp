// The drawing work of one TextOutA is bounded: once the boxes of what was
// drawn cover the budget, the rest of the text is passed over.
#include <gtest/gtest.h>

#include "engine/engine_fixture.h"
#include "fuzz/ink_surface.h"

namespace {

class DrawingWork : public EngineTest {
 protected:
  // `lines` lines of one glyph each, all at the same place: every one
  // covers the whole 16384 x 16384 clip (2^28 pixels) at em 40000.
  size_t DrawnLines(int lines) {
    lexaro::engine::Params().def_lf.lfHeight = -40000;
    lexaro::engine::Params().spaceLine = -40000;
    std::string text = "W";
    for (int i = 1; i < lines; ++i) text += "<BR>W";
    EXPECT_EQ(engine.SetText(&dc, CString(text)), 1);
    dc.ClearOps();
    EXPECT_EQ(engine.TextOutA(&dc, CPoint(0, 0)), 1);
    return Texts().size();
  }
};

TEST_F(DrawingWork, ItemsBeyondTheBudgetArePassedOver) {
  dc.IntersectClipRect(0, 0, 16384, 16384);  // a paintable area like a raster surface
  const long long perLine = 16384LL * 16384;
  const size_t affordable = size_t(CLexaro::Engine::kMaxInk / perLine);
  ASSERT_EQ(affordable, 2u);
  EXPECT_EQ(DrawnLines(2), 2u);
  EXPECT_EQ(DrawnLines(50), affordable);
  // Every drawing starts with the whole budget again.
  dc.ClearOps();
  EXPECT_EQ(engine.TextOutA(&dc, CPoint(0, 0)), 1);
  EXPECT_EQ(Texts().size(), affordable);
  // What lies outside the paintable area costs nothing.
  dc.ClearOps();
  EXPECT_EQ(engine.TextOutA(&dc, CPoint(100000, 0)), 1);
  EXPECT_EQ(Texts().size(), 50u);
}

TEST(DrawingWorkCounted, BoxesOutsideTheSurfaceAreNotWalked) {
  // Backgrounds across the surface and above it: they cost nothing, and
  // walking their outlines pixel by pixel would take 32,768 steps each.
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "<DIV bgcolor=red style=\"padding:10000000;margin:-10000000\">x</DIV>";
  lexaro::fuzz::InkCountingDC dc(16384, 16384);
  CLexaro lx;
  lx.SetParam_lfHeight(-20);
  ASSERT_EQ(lx.SetText(&dc, CString(text.c_str())), 1);
  ASSERT_EQ(lx.TextOutA(&dc, 0, -2100000), 1);
  EXPECT_LE(dc.Painted(), CLexaro::Engine::kMaxInk);
}

// What a drawing walks is charged, even where it shows nothing: a wide
// background whose rows lie just beyond the surface is walked within its
// pen's reach, column by column.
TEST(DrawingWorkCounted, EveryPixelWalkedIsCharged) {
  CLexaro::Engine engine;
  const char* text = "<DIV bgcolor=red style=\"padding-right:16000\"></DIV>x";
  lexaro::fuzz::InkCountingDC layout(16384, 16384);
  ASSERT_EQ(engine.SetText(&layout, text), 1);
  const int height = engine.m_extent.ascent + engine.m_extent.descent;
  for (int y : {0, -height - 1, -height - 2, 16384, 16385}) {
    lexaro::fuzz::InkCountingDC dc(16384, 16384);
    ASSERT_EQ(engine.TextOutA(&dc, CPoint(0, y)), 1);
    EXPECT_LE(dc.Painted(), CLexaro::Engine::kMaxInk - engine.m_ink) << y;
  }
}

// Turned borders and backgrounds, anti-aliased or not, whose walks reach
// the surface's edges: what is walked is charged.
TEST(DrawingWorkCounted, TurnedLinesAndFillsAreChargedInBothModes) {
  std::string text;
  for (int i = 0; i < 40; ++i)
    text += "<DIV bgcolor=red style=\"border:3 solid blue;padding:2000 9000;margin:-2000 -9000\">x</DIV>";
  CLexaro::Engine engine;
  lexaro::fuzz::InkCountingDC layout(16384, 16384);
  ASSERT_EQ(engine.SetText(&layout, CString(text.c_str())), 1);
  for (int angle : {300, 1, 899})
    for (bool antialias : {false, true}) {
      long long painted = 0;
      for (CPoint at : {CPoint(0, 0), CPoint(8192, 8192), CPoint(16383, 16383), CPoint(-1000, 10000)}) {
        SCOPED_TRACE(testing::Message() << angle << (antialias ? " smooth " : " aliased ") << at.x);
        lexaro::fuzz::InkCountingDC dc(16384, 16384);
        dc.SetAntialias(antialias);
        engine.m_lfEscapement = angle;
        ASSERT_EQ(engine.TextOutA(&dc, at), 1);
        EXPECT_LE(dc.Painted(), CLexaro::Engine::kMaxInk - engine.m_ink);
        painted += dc.Painted();
      }
      EXPECT_GT(painted, 0);
    }
}

}  // namespace
