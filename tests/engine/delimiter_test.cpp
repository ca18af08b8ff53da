// PAREN: delimiter widths and box, the switch from one glyph to pieces, the
// pieces' heights and baselines, bars, colours and drawing order. With the
// synthetic font at em 20: ascent 16, descent 4, so a piece font at em 20
// has P = 20, overlap t = 3 and a drop of 3 (70 % of 4, rounded).
#include <algorithm>
#include <climits>

#include "engine/saturate.h"
#include "engine_fixture.h"
#include "lexaro/raster_dc.h"

namespace {

// Distinct advances for the characters whose widths the delimiters use, so
// a test sees which one was measured; everything else is 0.5 em.
double PieceAdvance(unsigned char b) {
  switch (b) {
    case 0x7C: return 0.3;
    case 0xE7: return 0.4;
    case 0xED: return 0.6;
    case 0xEF: return 0.7;
    default: return 0.5;
  }
}

struct Piece {
  unsigned char code;
  int height;  // em height of the piece's font
  int x, y;    // baseline point
};

class Delimiters : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    SyntheticFont f = TestFont();
    f.byteAdvance = PieceAdvance;
    dc.UseSyntheticFont(f);
  }

  // Lays out and draws text with its top-left corner at the origin, so the
  // first baseline lies at the extent's ascent.
  LX_TXT_EXTENT Draw(const CString& text) {
    LX_TXT_EXTENT e = Layout(text.GetString());
    dc.ClearOps();
    EXPECT_EQ(engine.TextOutA(&dc, CPoint(0, 0)), 1);
    return e;
  }

  // The symbol-font characters drawn, in order.
  std::vector<Piece> Pieces() const {
    std::vector<Piece> out;
    for (const RecordedOp& op : Texts())
      if (op.font.lfCharSet == SYMBOL_CHARSET && op.text.GetLength() == 1)
        out.push_back({static_cast<unsigned char>(op.text[0]), int(-op.font.lfHeight), op.from.x,
                       op.from.y});
    return out;
  }

  std::vector<RecordedOp> Lines() const {
    std::vector<RecordedOp> out;
    for (const RecordedOp& op : dc.Ops())
      if (op.kind == RecordedOp::Line) out.push_back(op);
    return out;
  }

  LX_DATA_TAG FirstTag() { return Items(engine.m_dataTag).at(0); }
};

void ExpectPieces(const std::vector<Piece>& got, const std::vector<Piece>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(got[i].code, want[i].code);
    EXPECT_EQ(got[i].height, want[i].height);
    EXPECT_EQ(got[i].x, want[i].x);
    EXPECT_EQ(got[i].y, want[i].y);
  }
}

// Content "a<BR>b" is 16 + 29 = 45 high: D = 49, pieces but below 3h.
// Content "a<BR>b<BR>c" is 16 + 54 = 70 high: D = 74, at least 3h.
constexpr const char* kTwoLines = "a<BR>b";
constexpr const char* kThreeLines = "a<BR>b<BR>c";

TEST_F(Delimiters, OneLineAtEm20GivesSingleGlyphsOfHeight24) {
  // mY = 2, D = 16 + 4 + 4 = 24; each delimiter is as wide as 0xE7 at 24
  // (0.4 em, 10) or 0xF7; the default side margins are 2 each.
  LX_TXT_EXTENT e = Draw("<PAREN>x</PAREN>");
  EXPECT_EQ(e.width, 2 + 10 + 10 + 12 + 2);  // ')' measures 0xF7, 0.5 em
  EXPECT_EQ(e.ascent, 18);
  EXPECT_EQ(e.descent, 6);
  LX_DATA_TAG tag = FirstTag();
  EXPECT_EQ(tag.aux2, 10);
  EXPECT_EQ(tag.aux3, -24);
  EXPECT_EQ(tag.type, "(,)");
  // The glyph's descent (5 at 24) stands on the box's bottom, 18 + 6 = 24.
  ExpectPieces(Pieces(), {{'(', 24, 2, 19}, {')', 24, 2 + 10 + 10, 19}});
  auto t = Texts();
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[0].text, "x");  // content first
  EXPECT_EQ(t[0].from, CPoint(12, 18));
  // The pieces ask for the negated average width of the text font.
  EXPECT_EQ(t[1].font.lfWidth, -10);
  EXPECT_STREQ(t[1].font.lfFaceName, "Symbol");
}

TEST_F(Delimiters, EveryKindSwitchesToPiecesAtTwiceTheEmHeight) {
  // Padding below the content sets D exactly: 16 + 4 + p + 4.
  struct Case {
    const char* type;
    unsigned char glyph;
  };
  for (Case c : {Case{"(", '('}, Case{")", ')'}, Case{"[", '['}, Case{"]", ']'},
                 Case{"{", '{'}, Case{"}", '}'}}) {
    SCOPED_TRACE(c.type);
    CString low, high;
    low.Format(R"(<PAREN type="%s ,"><DIV style="padding-bottom:75">x</DIV></PAREN>)", c.type);
    high.Format(R"(<PAREN type="%s ,"><DIV style="padding-bottom:80">x</DIV></PAREN>)", c.type);
    Draw(low);
    EXPECT_EQ(FirstTag().aux3, -39);
    auto p = Pieces();
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].code, c.glyph);
    EXPECT_EQ(p[0].height, 39);
    Draw(high);
    EXPECT_EQ(FirstTag().aux3, -40);
    EXPECT_EQ(Pieces().size(), 3u);
  }
}

TEST_F(Delimiters, TallParenthesisIsTwoEndsAndOneStretchedExtension) {
  // Box: ascent 18, descent 31, so top = -18 + 18 = 0 and bottom = 18 + 31.
  Draw("<PAREN>a<BR>b</PAREN>");
  EXPECT_EQ(FirstTag().aux3, -49);
  // Ends at em 20: top + 16 + 3 and bottom - 4 + 3. Extension:
  // E = 49 - 2 * 17 = 15, its descent 3, drop 2: bottom - 17 - 3 + 2.
  ExpectPieces(Pieces(), {{0xE6, 20, 2, 19},
                          {0xE8, 20, 2, 48},
                          {0xE7, 15, 2, 31},
                          {0xF6, 20, 2 + 20 + 10, 19},
                          {0xF8, 20, 32, 48},
                          {0xF7, 15, 32, 31}});
  // Brackets use their own pieces at the same places.
  Draw(R"(<PAREN type="[,]">a<BR>b</PAREN>)");
  auto p = Pieces();
  ASSERT_EQ(p.size(), 6u);
  EXPECT_EQ(p[0].code, 0xE9);
  EXPECT_EQ(p[1].code, 0xEB);
  EXPECT_EQ(p[2].code, 0xEA);
  EXPECT_EQ(p[3].code, 0xF9);
  EXPECT_EQ(p[4].code, 0xFB);
  EXPECT_EQ(p[5].code, 0xFA);
  EXPECT_EQ(p[5].height, 15);
  // Taller content stretches only the extension: D = 74, E = 40.
  Draw("<PAREN>a<BR>b<BR>c</PAREN>");
  p = Pieces();
  ASSERT_EQ(p.size(), 6u);
  EXPECT_EQ(p[0].y, 19);  // top end unchanged
  EXPECT_EQ(p[1].y, 18 + 56 - 4 + 3);
  EXPECT_EQ(p[2].height, 40);
  EXPECT_EQ(p[2].y, 18 + 56 - 17 - 8 + 6);
}

TEST_F(Delimiters, BraceBelowThreeEmsStretchesItsEndsToTheCentredHook) {
  CString text;
  text.Format(R"(<PAREN type="{,}">%s</PAREN>)", kTwoLines);
  Draw(text);
  // D = 49: hook centred at bottom - 4 + 3 - (49 - 20) / 2; the ends are
  // F = 14 + 3 = 17 high with ascent 13, descent 3 and a drop of 2.
  int bottom = 18 + 31;
  ExpectPieces(Pieces(), {{0xED, 20, 2, bottom - 4 + 3 - 14},
                          {0xEC, 17, 2, 0 + 13 + 2},
                          {0xEE, 17, 2, bottom - 3 + 2},
                          {0xFD, 20, 2 + 29 + 10, bottom - 4 + 3 - 14},
                          {0xFC, 17, 41, 15},
                          {0xFE, 17, 41, bottom - 1}});
  // A brace's advance is that of its hook: 0xED is 0.6 em of 49, 0xFD 0.5.
  EXPECT_EQ(engine.m_extent.width, 2 + 29 + 10 + 25 + 2);
}

TEST_F(Delimiters, BraceFromThreeEmsAddsTwoExtensions) {
  CString text;
  text.Format(R"(<PAREN type="{,}">%s</PAREN>)", kThreeLines);
  Draw(text);
  // D = 74, box top 0, bottom 74. Ends and hook at em 20; the gaps are
  // (74 - 60) / 2 = 7, so G = 7 + 6 = 13 (ascent 10, descent 2, drop 1).
  int bottom = 74;
  ExpectPieces(Pieces(), {{0xEC, 20, 2, 19},
                          {0xED, 20, 2, bottom - 20 - 7 - 4 + 3},
                          {0xEE, 20, 2, bottom - 1},
                          {0xEF, 13, 2, 17 + 10 + 1},
                          {0xEF, 13, 2, bottom - 17 - 2 + 1},
                          {0xFC, 20, 2 + 44 + 10, 19},
                          {0xFD, 20, 56, 46},
                          {0xFE, 20, 56, 73},
                          {0xEF, 13, 56, 28},
                          {0xEF, 13, 56, 56}});
  // Exactly 3h: no gap, the extensions are only the two overlaps.
  Draw(R"(<PAREN type="{,"><DIV style="padding-bottom:180">x</DIV></PAREN>)");
  auto p = Pieces();
  ASSERT_EQ(p.size(), 5u);
  EXPECT_EQ(p[3].height, 6);
  // One below: still the short brace.
  Draw(R"(<PAREN type="{,"><DIV style="padding-bottom:175">x</DIV></PAREN>)");
  EXPECT_EQ(Pieces().size(), 3u);
}

TEST_F(Delimiters, EmptyAndUnknownSides) {
  // "_" draws nothing but is as wide as 0x7C at D (0.3 em of 24, 7).
  Draw(R"(<PAREN type="{ _">x</PAREN>)");
  EXPECT_EQ(engine.m_extent.width, 2 + 14 + 10 + 7 + 2);
  auto p = Pieces();
  ASSERT_EQ(p.size(), 1u);
  EXPECT_EQ(p[0].code, '{');
  // A name outside the table has no width and draws nothing, on either side.
  Draw(R"(<PAREN type="<, ]">x</PAREN>)");
  EXPECT_EQ(engine.m_extent.width, 2 + 10 + 12 + 2);
  p = Pieces();
  ASSERT_EQ(p.size(), 1u);
  EXPECT_EQ(p[0].code, ']');
  EXPECT_EQ(p[0].x, 2 + 10);
  Draw(R"(<PAREN type="">x</PAREN>)");
  EXPECT_EQ(engine.m_extent.width, 2 + 10 + 2);
  EXPECT_TRUE(Pieces().empty());
}

TEST_F(Delimiters, BarsAreLinesCentredInTheirCharacter) {
  // Em 40 (30 pt): mY = 4, D = 32 + 8 + 8 = 48, bar width (40 - 10) / 30 + 1
  // = 2, average width 20. "|" is one line at half of 0xE7's width (19).
  Draw(R"(<FONT size=30><PAREN type="|,||">x</PAREN></FONT>)");
  EXPECT_TRUE(Pieces().empty());
  auto lines = Lines();
  ASSERT_EQ(lines.size(), 3u);
  int left = 4, top = 36 - 36;  // margin 4; box top at the first baseline - 36
  EXPECT_EQ(lines[0].from, CPoint(left + 19 / 2, top));
  EXPECT_EQ(lines[0].to, CPoint(left + 9, top + 48));
  EXPECT_EQ(lines[0].pen.width, 2);
  // "||": 0xEF is 34 wide at 48, the gap 20 % of 20 = 4: the first line at
  // (34 - 2 - 4) / 2 = 14, the second 2 + 4 further.
  int right = left + 19 + 20;
  EXPECT_EQ(lines[1].from, CPoint(right + 14, top));
  EXPECT_EQ(lines[2].from, CPoint(right + 20, top));
  EXPECT_EQ(lines[2].to, CPoint(right + 20, top + 48));
  EXPECT_EQ(engine.m_extent.width, 4 + 19 + 20 + 34 + 4);
}

TEST_F(Delimiters, ColourOfTheDelimitersAndOfTheTextAfterThem) {
  Draw(R"(<PAREN color=red type="(,|">x</PAREN>y)");
  auto t = Texts();
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[0].color, RGB(0, 0, 0));    // content in the text colour
  EXPECT_EQ(t[1].color, RGB(255, 0, 0));  // "("
  EXPECT_EQ(t[2].text, "y");
  EXPECT_EQ(t[2].color, RGB(0, 0, 0));    // the text colour was restored
  auto lines = Lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].pen.color, RGB(255, 0, 0));
  // Without the attribute the delimiters take the current text colour.
  Draw("<FONT color=blue><PAREN>x</PAREN></FONT>");
  EXPECT_EQ(Texts().back().color, RGB(0, 0, 255));
}

TEST_F(Delimiters, BackgroundContentDelimitersBorderAndTheBoxAroundThem) {
  // Padding 20 % (4) all round and a border of 1: the delimiters still span
  // only the content and its extra margin, so the pieces stay joined.
  Draw(R"(<PAREN bgcolor=yellow style="padding:20; border:1 solid blue;">a<BR>b</PAREN>)");
  // Background (yellow, however the fill is drawn), content, delimiters,
  // border (blue lines).
  const auto& ops = dc.Ops();
  size_t lastFill = 0, firstText = ops.size(), lastPiece = 0, firstBorder = ops.size();
  for (size_t i = 0; i < ops.size(); ++i) {
    if (ops[i].kind != RecordedOp::Text && ops[i].color == RGB(255, 255, 0)) lastFill = i;
    if (ops[i].kind == RecordedOp::Text) {
      firstText = std::min(firstText, i);
      if (ops[i].font.lfCharSet == SYMBOL_CHARSET) lastPiece = i;
    }
    if (ops[i].kind == RecordedOp::Line && ops[i].color == RGB(0, 0, 255))
      firstBorder = std::min(firstBorder, i);
  }
  ASSERT_LT(firstText, ops.size());
  EXPECT_LT(lastFill, firstText);
  EXPECT_EQ(ops[0].color, RGB(255, 255, 0));
  EXPECT_EQ(ops[firstText].text, "a");  // content before the delimiters
  EXPECT_LT(lastPiece, firstBorder);
  // Box ascent 18 + 4 + 1: the content's top is 5 below the box's top; the
  // top end's baseline is 19 below that, the bottom's 1 above 18 + 31 + 5.
  EXPECT_EQ(engine.m_extent.ascent, 23);
  auto p = Pieces();
  ASSERT_EQ(p.size(), 6u);
  EXPECT_EQ(p[0].y, 5 + 19);
  EXPECT_EQ(p[1].y, 5 + 49 - 1);
  EXPECT_EQ(p[0].x, 2 + 1 + 4);
}

TEST_F(Delimiters, NestedParenthesesAndEscapement) {
  // The inner PAREN is a record after the outer one; the outer grows with it.
  LX_TXT_EXTENT e = Layout("<PAREN><PAREN>x</PAREN></PAREN>");
  auto tags = Items(engine.m_dataTag);
  ASSERT_EQ(tags.size(), 2u);
  EXPECT_EQ(tags[1].aux3, -24);
  EXPECT_EQ(tags[0].aux3, -28);
  EXPECT_EQ(e.ascent, 20);
  // Turned by 90 degrees, "down" is to the right and every piece font turns.
  engine.m_lfEscapement = 900;
  dc.ClearOps();
  engine.TextOutA(&dc, CPoint(100, 100));
  for (const RecordedOp& t : Texts()) EXPECT_EQ(t.font.lfEscapement, 900);
  Layout("<PAREN>a<BR>b</PAREN>");
  dc.ClearOps();
  engine.TextOutA(&dc, CPoint(100, 100));
  auto p = Pieces();
  ASSERT_EQ(p.size(), 6u);
  EXPECT_EQ(p[0].x - p[1].x, 19 - 48);  // the ends lie along x
  EXPECT_EQ(p[0].y, p[1].y);
}

TEST_F(Delimiters, DegenerateSizesNeitherCrashNorDrawNonsense) {
  // Em 0: no pieces can be scaled; the delimiters are single glyphs.
  lexaro::engine::Params().def_lf.lfHeight = 0;
  Draw("<PAREN>a<BR>b</PAREN>");
  for (const Piece& p : Pieces()) EXPECT_TRUE(p.code == '(' || p.code == ')');
  // Negative extra margins can leave no height: no width, nothing drawn.
  lexaro::engine::Params().def_lf.lfHeight = -20;
  lexaro::engine::Params().Paren_marginY = -1000;
  Draw("<PAREN>x</PAREN>");
  EXPECT_EQ(FirstTag().aux3, 0);
  EXPECT_EQ(engine.m_extent.width, 2 + 10 + 2);
  EXPECT_TRUE(Pieces().empty());
  // Huge content: the pieces' font stops at the largest em height, and every
  // piece has a positive height.
  lexaro::engine::Params().def_lf.lfHeight = -1000000;
  lexaro::engine::Params().Paren_marginY = INT_MAX;
  Draw("<PAREN type=\"{,[\">x</PAREN>");
  EXPECT_EQ(FirstTag().aux3, -lexaro::engine::kMaxEmHeight);
  for (const Piece& p : Pieces()) EXPECT_GT(p.height, 0);
  EXPECT_EQ(Pieces().size(), 8u);
}

}  // namespace

namespace {

// On real fonts: every character delimiter, stacked or not, is inked from
// the top of its span to the bottom without a gap, at several sizes.
class DelimiterInk : public EngineTest {
 protected:
  struct Column {
    int top = INT_MAX, bottom = INT_MIN;  // first and last inked rows
    int gaps = 0;                          // uninked rows in between
  };

  // Draws a left delimiter of the given kind around content padded to
  // contentHeight, and reads the ink of its column; *spanTop and *spanBottom
  // receive the span the delimiter is meant to fill.
  Column Ink(int em, const char* kind, int contentHeight, int* spanTop, int* spanBottom) {
    lexaro::engine::Params().def_lf.lfHeight = -em;
    CString text;
    // Content without ink: one line (ascent + descent = em) padded below.
    int padding = (contentHeight - em) * 100 / em;
    text.Format(R"(<PAREN type="%s,"><DIV style="padding-bottom:%d"> </DIV></PAREN>)", kind, padding);
    CRasterDC raster(40 + 3 * em, 40 + contentHeight + em);
    EXPECT_EQ(engine.SetText(&raster, text), 1);
    engine.TextOutA(&raster, CPoint(10, 10));
    LX_DATA_TAG tag = Items(engine.m_dataTag).at(0);
    *spanTop = 10;
    *spanBottom = 10 + tag.extent.ascent + tag.extent.descent;  // one past the last row
    Column c;
    for (int y = 0; y < raster.Height(); ++y) {
      bool inked = false;
      for (int x = 10; x < 10 + tag.extent.width; ++x)  // faint anti-aliased ink counts
        inked = inked || ((raster.Bits()[y * raster.Width() + x] >> 16) & 0xFF) < 235;
      if (!inked) continue;
      if (c.top != INT_MAX && y > c.bottom + 1) c.gaps += y - c.bottom - 1;
      c.top = std::min(c.top, y);
      c.bottom = std::max(c.bottom, y);
    }
    return c;
  }
};

TEST_F(DelimiterInk, PiecesJoinAndFillTheirSpan) {
  for (int em : {12, 20, 40, 100}) {
    for (const char* kind : {"(", ")", "[", "]", "{", "}"}) {
      // Below 2em (one glyph), from 2em to 3em, and tall.
      for (int height : {em, 2 * em, 5 * em}) {
        SCOPED_TRACE(testing::Message() << "em " << em << " " << kind << " height " << height);
        int top, bottom;
        Column c = Ink(em, kind, height, &top, &bottom);
        EXPECT_EQ(c.gaps, 0);
        // A single glyph is shorter than its cell; pieces are placed by
        // truncated metrics, up to 2 units off.
        int slack = height == em ? em / 6 + 1 : em / 25 + 2;
        EXPECT_NEAR(c.top, top, slack);
        EXPECT_NEAR(c.bottom, bottom - 1, slack);
      }
    }
  }
}

}  // namespace
