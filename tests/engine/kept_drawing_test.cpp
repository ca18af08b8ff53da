// A layout drawn a third time the same way replays the calls the second
// drawing recorded: it must paint what walking the layout paints, on every
// sample and way of drawing, and anything that changes the drawing between
// two drawings must be drawn anew.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "lexaro/raster_dc.h"
#include "support/samples.h"
#include "tools/gallery.h"

namespace {

constexpr COLORREF kWhiteBg = 0x00FFFFFF;

std::vector<std::uint32_t> Pixels(const CRasterDC& dc) {
  return std::vector<std::uint32_t>(dc.Bits(), dc.Bits() + size_t(dc.Width()) * size_t(dc.Height()));
}

struct Way {
  const char* name;
  int em;
  long escapement;
  bool aliased, clipped, debugBoxes;
  COLORREF background;
};

const Way kWays[] = {
    {"em 12", 12, 0, false, false, false, kWhiteBg},
    {"em 20 transparent", 20, 0, false, false, false, CLR_TRANSPARENT},
    {"em 20 turned", 20, 300, false, false, false, kWhiteBg},
    {"em 40 turned aliased", 40, 300, true, false, false, kWhiteBg},
    {"em 20 clipped", 20, 0, false, true, false, kWhiteBg},
    {"em 20 debug boxes", 20, 0, false, false, true, kWhiteBg},
};

std::unique_ptr<CRasterDC> Surface(const Way& way, const LX_TXT_EXTENT& e) {
  const gallery::Bounds b = gallery::RotatedBounds(e.width, e.ascent + e.descent, way.escapement);
  auto dc = std::make_unique<CRasterDC>(b.Width() + 8, b.Height() + 8, way.background);
  gallery::SetDrawingMode(*dc, way.aliased);
  if (way.clipped) dc->IntersectClipRect(2, 3, dc->Width() / 2 + 1, dc->Height() - 4);
  return dc;
}

TEST(KeptDrawing, DrawingAgainPaintsWhatTheWalkPainted) {
  for (const auto& [path, sample] : ReadSampleFiles()) {
    for (const Way& way : kWays) {
      SCOPED_TRACE(path + ", " + way.name);
      CLexaro::Engine engine;
      engine.m_font = lexaro::engine::Params().def_lf;
      engine.m_font.lfHeight = -way.em;
      engine.m_ownFont = true;
      engine.m_lfEscapement = int(way.escapement);
      engine.m_debugBoxes = way.debugBoxes;
      CRasterDC scratch(1, 1);
      ASSERT_EQ(engine.SetText(&scratch, gallery::EngineText(sample)), 1);
      const gallery::Bounds b =
          gallery::RotatedBounds(engine.m_extent.width, engine.m_extent.ascent + engine.m_extent.descent,
                                 way.escapement);
      const CPoint at(4 - b.left, 4 - b.top);
      auto walked = Surface(way, engine.m_extent);
      ASSERT_EQ(engine.TextOutA(walked.get(), at), 1);
      EXPECT_FALSE(engine.m_kept.ready);  // the first drawing is not recorded
      auto recorded = Surface(way, engine.m_extent);
      ASSERT_EQ(engine.TextOutA(recorded.get(), at), 1);
      EXPECT_TRUE(Pixels(*recorded) == Pixels(*walked));
      // Upright samples are small enough to be kept (turned and aliased,
      // some draw their lines in more pieces than a list holds).
      if (way.escapement == 0) {
        EXPECT_TRUE(engine.m_kept.ready);
      }
      auto again = Surface(way, engine.m_extent);
      ASSERT_EQ(engine.TextOutA(again.get(), at), 1);
      EXPECT_TRUE(Pixels(*again) == Pixels(*walked));
      EXPECT_EQ(again->GetCurrentPosition(), walked->GetCurrentPosition());
      EXPECT_EQ(again->GetAntialias(), walked->GetAntialias());
    }
  }
}

// What changes between two drawings of one object, and how a fresh object is
// given the same change; both drawings are turned by `escapement` first
// (turned, anti-aliasing shows on the radical's slanted stroke; level,
// hinting shows on the glyphs).
struct Change {
  const char* name;
  long escapement;
  void (*apply)(CLexaro& lx, CRasterDC& dc, CPoint& at);
};

LOGFONT BigFont() {
  LOGFONT lf = lexaro::engine::Params().def_lf;
  lf.lfHeight = -26;
  return lf;
}

const Change kChanges[] = {
    {"angle", 300, [](CLexaro& lx, CRasterDC&, CPoint&) { lx.SetParam_lfEscapement(0); }},
    {"point", 0, [](CLexaro&, CRasterDC&, CPoint& at) { at += CPoint(3, 2); }},
    {"own font", 0, [](CLexaro& lx, CRasterDC&, CPoint&) { lx.SetFont(BigFont()); }},
    {"own colour", 0, [](CLexaro& lx, CRasterDC&, CPoint&) { lx.SetTextColor(RGB(200, 0, 0)); }},
    {"class-wide colour", 0,
     [](CLexaro& lx, CRasterDC&, CPoint&) { lx.SetParam_TextColor(RGB(0, 0, 200)); }},
    {"text", 0,
     [](CLexaro& lx, CRasterDC& dc, CPoint&) { lx.SetText(&dc, "<FRAC><S>b</S><S>a</S></FRAC>"); }},
    {"debug boxes", 0, [](CLexaro& lx, CRasterDC&, CPoint&) { lx.SetDebugBoxes(true); }},
    {"text alignment", 0,
     [](CLexaro&, CRasterDC& dc, CPoint&) { dc.SetTextAlign(TA_BOTTOM | TA_RIGHT); }},
    {"anti-aliasing", 300, [](CLexaro&, CRasterDC& dc, CPoint&) { dc.SetAntialias(false); }},
    {"hinting", 0, [](CLexaro&, CRasterDC& dc, CPoint&) { dc.SetTextHinting(false); }},
    {"code page", 0, [](CLexaro&, CRasterDC& dc, CPoint&) { dc.SetCodePage(CP_SHIFTJIS); }},
};

TEST(KeptDrawing, AChangeBetweenDrawingsIsDrawn) {
  const CString text("<FRAC><S>a<SQRT>x</SQRT></S><S><FONT color=red>y</FONT>é</S></FRAC>"
                     "<PAREN><TABLE><TR><TD>1</TD></TR><TR><TD>2</TD></TR></TABLE></PAREN>");
  const COLORREF classColour = lexaro::engine::Params().def_txtclr;
  for (const Change& change : kChanges) {
    SCOPED_TRACE(change.name);
    auto surface = [] {
      auto dc = std::make_unique<CRasterDC>(160, 160, kWhiteBg);
      dc->SetAntialias(true);
      return dc;
    };
    CLexaro lx;
    lx.SetParam_lfEscapement(change.escapement);
    CPoint at(20, 100);
    auto first = surface();
    ASSERT_EQ(lx.SetText(first.get(), text), 1);
    for (int i = 0; i < 2; ++i) ASSERT_EQ(lx.TextOutA(surface().get(), at), 1);
    auto second = surface();
    change.apply(lx, *second, at);
    ASSERT_EQ(lx.TextOutA(second.get(), at), 1);

    CLexaro fresh;
    fresh.SetParam_lfEscapement(change.escapement);
    CPoint freshAt(20, 100);
    auto expected = surface();
    ASSERT_EQ(fresh.SetText(expected.get(), text), 1);
    change.apply(fresh, *expected, freshAt);
    ASSERT_EQ(fresh.TextOutA(expected.get(), freshAt), 1);
    EXPECT_TRUE(Pixels(*second) == Pixels(*expected));
    lx.SetParam_TextColor(classColour);
  }
}

TEST(KeptDrawing, ADrawingBeyondTheListsBoundsIsNotKept) {
  // Each bold letter is a run of its own: more runs than a list holds.
  std::string text;
  for (size_t i = 0; i < lexaro::DrawList::kMaxItems + 10; ++i) text += i % 2 ? "<B>x</B>" : "y";
  CLexaro::Engine engine;
  CRasterDC first(400, 40, kWhiteBg), second(400, 40, kWhiteBg), third(400, 40, kWhiteBg);
  ASSERT_EQ(engine.SetText(&first, CString(text.c_str())), 1);
  ASSERT_EQ(engine.TextOutA(&first, CPoint(0, 0)), 1);
  ASSERT_EQ(engine.TextOutA(&second, CPoint(0, 0)), 1);
  EXPECT_FALSE(engine.m_kept.ready);
  EXPECT_TRUE(engine.m_kept.list.Empty());
  ASSERT_EQ(engine.TextOutA(&third, CPoint(0, 0)), 1);
  EXPECT_TRUE(Pixels(third) == Pixels(first));
}

}  // namespace
