// The engine behind CLexaro: the per-object records and the two passes.
// Internal: the public header shows only CLexaro's public members.
#pragma once

#include <climits>
#include <cmath>
#include <initializer_list>
#include <string_view>

#include "engine/diagnostics.h"
#include "engine/font_metrics.h"
#include "engine/piece_font.h"
#include "engine/properties.h"
#include "engine/read_tags.h"
#include "engine/records.h"
#include "engine/saturate.h"
#include "engine/vocabulary.h"
#include "lexaro/dc_ex.h"
#include "lexaro/engine.h"
#include "lexaro/font_tool.h"
#include "lexaro/numeric.h"
#include "lexaro/string_tool.h"
#include "platform/draw_list.h"

class CLexaro::Engine {
 public:
  Engine();

  // The public operations.
  int SetText(CDC* pDC, const CString& text);
  int TextOutA(CDC* pDC, CPoint pt);
  LX_TXT_EXTENT GetTextExtent_Ex(CDC* pDC);
  static CString GetFormalText(const CString& text, const CString& separator);

  // Per-object state.
  CDC* m_pDC = nullptr;
  int m_textLength = 0;
  LX_TXT_EXTENT m_extent{0, 0, 0};
  CString m_text;
  CList_Ex<LX_DATA_LINE> m_dataLine;
  CList_Ex<LX_DATA_TAG> m_dataTag;
  CList_Ex<LX_DATA_TABLE> m_dataTable;
  CList_Ex<LX_DATA_FONT> m_dataFont;
  CFontTool m_fontTool;
  // Metrics of the fonts selected in m_pDC, forgotten at the start of
  // every pass; FontAscent and FontDescent answer CFontTool's GetAscent
  // and GetDescent for the selected font.
  lexaro::engine::SelectedFontMetrics m_fontMetrics;
  // The font of single characters drawn in a font of their own.
  lexaro::engine::PieceFont m_pieceFont;
  int FontAscent() { return m_fontMetrics.Of(m_pDC).ascent; }
  int FontDescent() { return m_fontMetrics.Of(m_pDC).descent; }
  // The average character width ratio of the text font, forgotten at the
  // start of every pass as the metrics are.
  lexaro::engine::AverageWidthRatio m_aveWidthRatio;
  double AveCharWidthRatio(const LOGFONT& lf) {
    return m_aveWidthRatio.Of(m_pDC, lf, [&] { return m_fontTool.GetAveCharWidthRatio(m_pDC, lf); });
  }
  CStringTool m_stringTool;
  CDC_Ex m_dcEx;
  int m_error = 0;
  CString m_errorText;
  int m_lfEscapement = 0;
  double m_sin = 0.0;
  double m_cos = 1.0;
  // Level text (sine 0, cosine 1): the moves of a drawing ask this for
  // every position, so it is worked out once per drawing (SetTurn).
  bool m_level = true;
  void SetTurn(double angle) {
    m_sin = std::sin(angle);
    m_cos = std::cos(angle);
    m_level = m_sin == 0.0 && m_cos == 1.0;
  }
  int m_tagTokenPos = -1;
  int m_tagTokenQuotes = 0;
  bool m_debugBoxes = false;
  // This object's own default font and text colour, when set (SetFont,
  // SetTextColor), in place of the class-wide ones.
  bool m_ownFont = false;
  LOGFONT m_font{};
  bool m_ownColor = false;
  COLORREF m_color = 0;

  // The last drawing, as the calls it made to its surface: the same layout
  // drawn again at the same point and angle, with the same debug boxes, on
  // a surface in the same state, makes those calls again instead of walking
  // the markup and the layout once more. A drawing is recorded only when it
  // repeats the one before (`seen`: its point, angle, debug boxes and the
  // surface's state Before()), so a layout drawn once pays nothing for it.
  // Every layout forgets it; a drawing that fails, leaves the surface
  // otherwise than as it found it (the current position aside), or outgrows
  // the list's bounds is not kept.
  struct KeptDrawing {
    lexaro::DrawList list;
    // The surface's state as the last drawing found it and as the next one
    // finds it: the two take turns, so that neither is copied.
    lexaro::DrawState states[2];
    int last = 0;
    lexaro::DrawState& Before() { return states[last]; }
    lexaro::DrawState& Now() { return states[1 - last]; }
    lexaro::DrawState after;
    CPoint pt;
    int escapement = 0;
    bool debugBoxes = false;
    bool seen = false, recording = false, ready = false;
  };
  KeptDrawing m_kept;
  // Replays the kept drawing when it was made so; false when it was not.
  bool ReplayKeptDrawing(CPoint pt);
  // Records the drawing about to be made at pt into m_kept when it repeats
  // the one before, and decides after it (errorBefore: m_error as the
  // drawing found it) whether to keep it.
  void StartKeeping(CPoint pt);
  void FinishKeeping(int errorBefore);

  // Lifecycle and failures.
  static void CreateTable();
  // The parameters' generation the layout was made with; 0 before the
  // first, so a new object lays out on first use.
  unsigned m_generation = 0;
  // Set when this object's own defaults change: the next use lays out again.
  bool m_stale = false;
  static void ParamsChanged();
  bool LayoutIsStale() const;
  void Analyze();
  void AnalyzeErrorBuffer();
  void TextOutErrorBuffer();
  LX_TXT_STATE DefaultState() const;

  // Tokenizer and tag matching.
  // The next token of a tag, from start (a new tag) or, with -1, from where
  // the last call stopped: a view of m_text, empty when the tag is used up.
  std::string_view GetTagToken(int start);
  // The tag whose '<' stands at lt, read from the text; the tokenizer is
  // left past its name, where its attributes start.
  lexaro::engine::ReadTag ReadTagAt(int lt);
  std::string_view TagName(const lexaro::engine::ReadTag& tag) const {
    return m_text.view().substr(size_t(tag.nameAt), size_t(tag.nameLength));
  }
  // The tags the layout's line walks read, for drawing to take back.
  lexaro::engine::ReadTags m_readTags;
  int GetETagIdx(int pos) const;
  int GetTagIdx(LX_TAG_CODE code, int which, int start);
  int GetTagIdx_Ex(LX_TAG_CODE codeA, int whichA, LX_TAG_CODE codeB, int whichB, int* found,
                   int start);
  static LX_TAG_CODE GetSTagCode(std::string_view name);
  static LX_TAG_PROPERTY_CODE GetTagPropertyCode(const CString& name);
  static LX_TAG_STYLE_CODE GetTagStyleCode(const CString& name);
  static LX_PAREN_CODE GetParenCode(const CString& name);

  // Attributes and styles. `parent` is the record a TR or TD inherits from.
  void SetDefaultTagProperty(LX_TAG_PROPERTY* prop, LX_TAG_CODE code, const LX_TXT_STATE* state,
                             long part, const LX_TAG_PROPERTY* parent = nullptr) const;
  void GetTagProperty(LX_TAG_PROPERTY* prop);
  static void GetHAlign(LX_TAG_PROPERTY* prop, const CString* value);
  static void GetVAlign(LX_TAG_PROPERTY* prop, const CString* value);
  void GetTagStyle(LX_TAG_STYLE* style, const CString* value);
  static void GetParenType(LX_PAREN_CODE* left, LX_PAREN_CODE* right, const CString& type);

  // Layout and render drivers.
  void AnalyzeText();
  LX_TXT_EXTENT AnalyzeText_Multi(int start, LX_TXT_STATE* state, int* endIdx);
  LX_TXT_EXTENT AnalyzeText_Single(int start, LX_TXT_STATE* state, CFont* font, CFont* previousFont,
                                   LX_DATA_FONT* currentFont, CStack_Ex<LX_DATA_FONT>* fontStack,
                                   int* nextIdx, int* stop);
  void TextOut_Multi(int start, LX_TXT_STATE* state, CPoint pt, int areaWidth);
  void TextOut_Single(int start, LX_TXT_STATE* state, CFont* font, CFont* previousFont, int* stop,
                      CPoint pt);
  void RenewFont(const LX_TXT_STATE* state, CFont* font, CFont* previousFont);
  // Applies B, I, U and (in layout) the alignment tags to the state; false
  // for any other code. *fontChanged tells whether the font must be renewed.
  static bool ApplySwitchTag(LX_TAG_CODE code, LX_TXT_STATE* state, bool alignments,
                             bool* fontChanged);
  // Where the next tag starts at or after pos, or -1 when the rest is text.
  int NextTagStart(int pos) const;

  // Text runs, fonts and symbols.
  static void SetTState_Sub(LX_TXT_STATE* state, int ratio);
  static void SetTState_Font(LX_TXT_STATE* state, const LX_DATA_FONT& font);
  static void SetLOGFONT(LOGFONT* lf, const LX_CNG_FONT& change);
  void AnalyzeText_Font(LX_DATA_FONT* font, LX_TXT_STATE* state, const LX_TAG_PROPERTY& prop);
  // The bytes first..last of the text (clamped to it), as a view.
  std::string_view TextPiece(int first, int last) const;
  LX_TXT_EXTENT AnalyzeText_String(int first, int last, LX_TXT_STATE* state);
  LX_TXT_EXTENT AnalyzeText_Run(std::string_view run, LX_TXT_STATE* state);
  void AnalyzeText_Mark(LX_TAG_CODE code, LX_TXT_STATE* state, LX_TXT_EXTENT* ext);
  LX_TXT_EXTENT AnalyzeText_Char(char c, LOGFONT* lf, const LX_CNG_FONT& change);
  double TextOut_String(int first, int last, LX_TXT_STATE* state, CPoint pt);
  double TextOut_Run(std::string_view run, CPoint pt);
  // "<<" writes one "<". The number of such pairs in a row from lt: they
  // are one run of "<" characters, as wide as the characters side by side
  // (no character spacing goes between them, as between separate runs).
  int EscapedLessThans(int lt) const;
  int TextOut_Mark(LX_TAG_CODE code, LX_TXT_STATE* state, CPoint pt);
  int TextOut_Char(char c, LOGFONT* lf, const LX_CNG_FONT& change, CPoint pt);
  // The ascent and descent of the font a character in `change` is drawn in
  // (as AnalyzeText_Char answers them), without measuring any character.
  LX_TXT_EXTENT CharFontExtent(LOGFONT* lf, const LX_CNG_FONT& change);

  // Constructs: the deepest nesting of constructs that is laid out and
  // drawn; a construct tag beyond it is passed over in both passes alike.
  static constexpr int kMaxNesting = 64;
  // The longest text that is laid out, in bytes; the rest of a longer text
  // is cut off in SetText. It bounds the records, cells and runs of a text
  // and keeps every index well inside the int range.
  static constexpr int kMaxTextLength = 1 << 22;
  int m_depth = 0;
  bool IsConstruct(LX_TAG_CODE code) const;
  LX_TXT_STATE NestedState(const LX_TXT_STATE* state, LX_TAG_CODE tagCode, LX_HALIGN_CODE hAlign) const;
  int Em(const LX_TXT_STATE* state) const;
  void AnalyzeText_Construct(LX_TAG_CODE code, int start, LX_TXT_STATE* state,
                             const LX_TAG_PROPERTY& prop, LX_TXT_EXTENT* line, int* pos);
  double TextOut_Construct(LX_TAG_CODE code, int start, LX_TXT_STATE* state, CPoint pt, int* pos);

  // Boxes and positioned scripts.
  void AnalyzeText_Div(int idx, LX_TXT_STATE* state, LX_DATA_TAG* tag, const LX_TAG_PROPERTY& prop);
  void AnalyzeText_PTag(LX_TAG_CODE code, int idx, LX_TXT_STATE* state, LX_DATA_TAG* tag,
                        const LX_TAG_PROPERTY& prop);
  void AnalyzeText_PTag_Ex(LX_TAG_CODE code, int idx, LX_TXT_STATE* state, LX_DATA_TAG* tag,
                           const LX_TAG_PROPERTY& prop);
  void TextOut_Div(int idx, LX_TXT_STATE* state, CPoint pt, const LX_DATA_TAG* tag);
  void TextOut_PTag(LX_TAG_CODE code, int idx, LX_TXT_STATE* state, CPoint pt, const LX_DATA_TAG* tag);
  void TextOut_PTag_Ex(LX_TAG_CODE code, int idx, LX_TXT_STATE* state, CPoint pt,
                       const LX_DATA_TAG* tag);
  static void AddExtent_Border(LX_TXT_EXTENT* ext, const CBorderData& border);
  static void AddExtent_Margin(LX_TXT_EXTENT* ext, const CRect& margin);
  static void AddExtent_Padding(LX_TXT_EXTENT* ext, const CRect& padding);
  // Padding, border and margin around a content extent, in that order.
  static void AddExtent_Box(LX_TXT_EXTENT* ext, const LX_DATA_TAG& tag);
  static LX_TXT_EXTENT GetExtent_PTag(const LX_DATA_TAG* tag, int shift);
  void GetPos_BorderVtx_PTag(CPoint (*vtx)[2], CPoint p, const LX_DATA_TAG* tag, int shift) const;
  // Corners of the same box: the bottom left from q, p moved to the box's
  // left side, and the bottom right from p.
  CPoint GetPos_BorderBottomLeft_PTag(CPoint q, const LX_DATA_TAG* tag, int shift) const;
  CPoint GetPos_BorderBottomRight_PTag(CPoint p, const LX_DATA_TAG* tag, int shift) const;
  CPoint GetPos_LBase_PTag(CPoint p, const LX_DATA_TAG* tag) const;
  // The geometry of a box from its properties, scaled by em (percent).
  static void SetBoxGeometry(LX_DATA_TAG* tag, const LX_TAG_PROPERTY& prop, int em);
  // Completes the record of a box made of S parts: its geometry, its extent
  // around the parts' `total`, and its end (past the end tag of `code`,
  // which is searched for when the part walk did not reach it).
  void CloseBox_S(LX_TAG_CODE code, LX_DATA_TAG* tag, const LX_TAG_PROPERTY& prop, int em,
                  LX_TXT_EXTENT total, int idx, bool ended);
  // Draws a part box: background, content (a walk ended by tagCode), border.
  void TextOut_Box(int idx, const LX_TXT_STATE& state, CPoint pt, const LX_DATA_TAG* tag, int shift);
  // Fills the box's background and gives its corners for DrawBorder; a box
  // without background or rules gets only its bottom right corner, the one
  // DrawBorder moves to.
  void DrawBoxBackground(CPoint p, const LX_DATA_TAG* tag, int shift, CPoint (*vtx)[2]);

  // Drawing work: one TextOutA paints at most kMaxInk pixels of item boxes
  // inside the paintable area; items beyond are passed over. Recording
  // surfaces, which have no pixels, are not charged (Metered takes the
  // paintable box and tells). SpendInk charges the box around the points
  // (grown by a pen's width) and answers whether the item may be drawn;
  // TextOut_Ink draws a text at pt in the selected font if the ink boxes
  // of its glyphs fit in what is left, and answers its advance. The budget holds the worst case of any text on the
  // largest surface to about a second of drawing (README, limits; bench
  // WorstDrawing).
  static constexpr long long kMaxInk = 1LL << 29;
  long long m_ink = kMaxInk;
  // The paintable box and whether the surface is charged, taken once per
  // TextOutA (StartMeter): nothing the drawing does changes the clip.
  RECT m_meterClip{};
  bool m_metered = false;
  void StartMeter();
  bool Metered(RECT* clip) const;
  bool Charge(long long cost);
  bool SpendInk(std::initializer_list<CPoint> points, long long grow = 0);
  int TextOut_Ink(CPoint pt, const char* text, int count);
  // A filled quadrilateral with its outline.
  bool SpendInk_Fill(const CPoint& a, const CPoint& b, const CPoint& c, const CPoint& d);
  void DrawLine(CPoint a, CPoint b, const CPenData& pen);

  // Borders and backgrounds.
  void DrawBgColor(const CPoint& p1, const CPoint& p2, const CPoint& p3, const CPoint& p4,
                   const unsigned long& color);
  void DrawBorder(CPoint (*vtx)[2], const CBorderData& border);
  void DrawBorderTop(CPoint a, CPoint b, const CPenData& pen);
  void DrawBorderBtm(CPoint a, CPoint b, const CPenData& pen);
  void DrawVBorder(CPoint a, CPoint b, const CPenData& pen);

  // Fractions.
  static int GetBarWidth(int em);
  void AnalyzeText_Frac(int idx, LX_TXT_STATE* state, LX_DATA_TAG* tag, const LX_TAG_PROPERTY& prop);
  void TextOut_Frac(int idx, LX_TXT_STATE* state, CPoint pt, const LX_DATA_TAG* tag);

  // Radicals.
  int GetFontWidth_Sqrt(int n, const LX_TXT_STATE* state);
  void AnalyzeText_Sqrt(int idx, LX_TXT_STATE* state, LX_DATA_TAG* tag, const LX_TAG_PROPERTY& prop);
  void AnalyzeText_SqrtN(int idx, LX_TXT_STATE* state, LX_DATA_TAG* tag, const LX_TAG_PROPERTY& prop);
  void TextOut_Sqrt(int idx, LX_TXT_STATE* state, CPoint pt, const LX_DATA_TAG* tag);
  void TextOut_SqrtN(int idx, LX_TXT_STATE* state, CPoint pt, const LX_DATA_TAG* tag);
  // Where the ink of the sign drawn last in this drawing pass ends along its
  // baseline, and the size of its font: signs of one size, the usual case,
  // have their outline measured once (TextOutA forgets it, as the surface
  // may have changed).
  struct SignInk {
    bool known = false;
    int lfHeight = 0, lfWidth = 0;
    double end = 0;
  };
  SignInk m_signInk;

  // Parentheses and stretched delimiters.
  int GetFontWidth_Paren(int n, const LX_TXT_STATE* state);
  void AnalyzeText_Paren(int idx, LX_TXT_STATE* state, LX_DATA_TAG* tag, const LX_TAG_PROPERTY& prop);
  void TextOut_Paren(int idx, LX_TXT_STATE* state, CPoint pt, const LX_DATA_TAG* tag);
  int AnalyzeText_CharParen(LX_PAREN_CODE code, LOGFONT font);
  void TextOut_CharParen(LX_PAREN_CODE code, LOGFONT font, COLORREF color, CPoint p, int h,
                         const LX_TXT_EXTENT& box);

  // Tables.
  void AnalyzeText_Table(int idx, LX_TXT_STATE* state, LX_DATA_TABLE* table, const LX_TAG_PROPERTY& prop);
  void TextOut_Table(int idx, LX_TXT_STATE* state, CPoint pt, LX_DATA_TABLE* table);
  LX_TXT_EXTENT GetExtent_vAlign(LX_TXT_STATE* state, LX_TXT_EXTENT e);

  // Extent arithmetic and rotated positions.
  static void AddExtent(LX_TXT_EXTENT* sum, const LX_TXT_EXTENT& item);
  CPoint GetPos_MoveX(CPoint p, double d) const;
  CPoint GetPos_MoveY(CPoint p, double d) const;
  // The same moves by a whole number of pixels, as GetPos_MoveX(p,
  // double(n)) answers them: level text needs no conversion to and from
  // floating point, whose latency adds up along a chain of moves.
  CPoint GetPos_StepX(CPoint p, long long n) const;
  CPoint GetPos_StepY(CPoint p, long long n) const;
  CPoint GetPos_LTop(CPoint p, const LX_TXT_EXTENT& ext, unsigned int flags) const;
  CPoint GetPos_hAlign(double* spacing, CPoint p, const LX_TXT_STATE* state, int lineWidth,
                       int boxWidth) const;
  // Outlines the box of ext whose baseline starts at p, turned like the text
  // (debug boxes).
  void DrawDebugBox(CPoint p, const LX_TXT_EXTENT& ext, COLORREF color);

  // Diagnostics (diagnostics.cpp, value_check.cpp): the layout notes what
  // it passes over or repairs; drawing notes nothing.
  lexaro::engine::DiagnosticLog m_diag;
  int m_givenLength = 0;  // the length of the text SetText was given, before any cut
  bool m_recordDiagnostics = false;  // this layout records into m_diag
  bool m_diagnosed = false;          // m_diag holds the last layout's diagnostics
  // Fills m_diag for the last text by laying it out again, recording.
  void Diagnose();
  // The start tag from lt to end was read at the current nesting level
  // (every tag of the layout: kept inline).
  void NoteTag(int lt, int end) {
    m_diag.tag = {lt, end};
    if (m_depth < lexaro::engine::DiagnosticLog::kLevels) m_diag.open[m_depth] = {lt, end};
  }
  // A tag the walk passes over (within: the construct whose parts, rows or
  // cells a search passes it over between).
  void NotePassedOver(LX_TAG_CODE code, const CString& name, int lt, int end,
                      LX_TAG_CODE within = LX_TC_NONE);
  // A walk started at walkStart, right after the start tag of code, met the
  // end of the text instead of the end tag.
  void NoteUnended(LX_TAG_CODE code, int walkStart);
  void NoteUnendedConstruct(LX_TAG_CODE code);
  // The construct open at the current level ended after `found` S parts.
  void NoteMissingParts(LX_TAG_CODE code, int found);
  // Text and tags from `from` to `to` that a search passed over.
  void NoteSkipped(int from, int to, LX_TAG_CODE within, bool extraParts);
  // GetTagIdx_Ex and GetTagIdx for the layout's searches of parts, rows,
  // cells and end tags: they also note what they pass over, and a
  // construct whose end tag the text lacks.
  int FindPart(LX_TAG_CODE codeA, int whichA, LX_TAG_CODE codeB, int whichB, int* found, int start);
  int FindEnd(LX_TAG_CODE code, int start);
  // Where the tag that ends just before `end` starts.
  int TagStartBefore(int end) const;
  // The name of the tag at lt, the tokenizer's cursor left as it was.
  CString TagNameAt(int lt);
  // Past the end tag of the S part whose start tag ends at from (or to).
  int EndOfPart(int from, int to);
  void FinishDiagnostics();
  // One attribute of the start tag being read (GetTagProperty).
  void NoteAttribute(const CString& token, const CString& name, const CString& value);
  struct ValueCheck {
    int start = 0, end = 0;  // the attribute's bytes
    int cursor = 0;          // where the search for the next value's bytes starts
  };
  ValueCheck AttributeRange(const CString& token) const;
  void NoteValue(ValueCheck at, LX_DIAG_KIND kind, const CString& found, const CString& message);
  void CheckNumber(ValueCheck at, const CString& what, const CString& value, bool decimal);
  void CheckColor(ValueCheck at, const CString& what, const CString& value);
  void CheckPenStyle(ValueCheck at, const CString& what, const CString& value);
  void CheckWord(ValueCheck at, const CString& what, const CString& value, const char* const* words,
                 int count);
  void CheckParenType(ValueCheck at, const CString& value);
  void CheckStyle(ValueCheck at, const CString& value);
  void CheckDeclaration(ValueCheck at, LX_TAG_STYLE_CODE code, const CString& name, CStringTool& items);
};

// The moves are inline: most distances are whole numbers of pixels, which
// the compiler then sees need no rounding.
namespace lexaro::engine {

// Roundoff(d): a whole distance in the int range, the usual one, is itself.
inline int RoundedMove(double d) {
  if (d >= double(INT_MIN) && d <= double(INT_MAX)) {
    const int whole = int(d);
    if (double(whole) == d) return whole;
  }
  return Roundoff(d);
}

}  // namespace lexaro::engine

// Level text (sine 0, cosine 1) moves along one axis only: the other term
// is Roundoff(d * 0), which is 0 for every d, NaN and infinities included.
inline CPoint CLexaro::Engine::GetPos_MoveX(CPoint p, double d) const {
  using lexaro::engine::RoundedMove, lexaro::engine::Sat;
  if (m_level) return CPoint(Sat((long long)p.x + RoundedMove(d)), p.y);
  return CPoint(Sat((long long)p.x + RoundedMove(d * m_cos)), Sat((long long)p.y - RoundedMove(d * m_sin)));
}

inline CPoint CLexaro::Engine::GetPos_StepX(CPoint p, long long n) const {
  if (m_level && n >= INT_MIN && n <= INT_MAX)
    return CPoint(lexaro::engine::Sat((long long)p.x + n), p.y);
  return GetPos_MoveX(p, double(n));
}

inline CPoint CLexaro::Engine::GetPos_StepY(CPoint p, long long n) const {
  if (m_level && n >= INT_MIN && n <= INT_MAX)
    return CPoint(p.x, lexaro::engine::Sat((long long)p.y + n));
  return GetPos_MoveY(p, double(n));
}

inline CPoint CLexaro::Engine::GetPos_MoveY(CPoint p, double d) const {
  using lexaro::engine::RoundedMove, lexaro::engine::Sat;
  if (m_level) return CPoint(p.x, Sat((long long)p.y + RoundedMove(d)));
  return CPoint(Sat((long long)p.x + RoundedMove(d * m_sin)), Sat((long long)p.y + RoundedMove(d * m_cos)));
}

// The geometry of a box, inline: every box of a drawing asks for it, and
// its few sums need no call.
namespace lexaro::engine {

// The one pixel a left or right rule of any width takes inside a box.
inline int LeftRule(const CBorderData& b) { return b.m_left.m_width >= 1 ? 1 : 0; }
inline int RightRule(const CBorderData& b) { return b.m_right.m_width >= 1 ? 1 : 0; }
// Four sides without width: drawing the border only moves the current
// position to the box's bottom right corner.
inline bool NoRules(const CBorderData& b) {
  return b.m_left.m_width == 0 && b.m_right.m_width == 0 && b.m_top.m_width == 0 &&
         b.m_bottom.m_width == 0;
}

}  // namespace lexaro::engine

inline LX_TXT_EXTENT CLexaro::Engine::GetExtent_PTag(const LX_DATA_TAG* t, int shift) {
  using lexaro::engine::LeftRule, lexaro::engine::RightRule, lexaro::engine::Sat;
  return LX_TXT_EXTENT{
      Sat((long long)t->extent.width - t->margin.left - t->margin.right - t->padding.left -
          t->padding.right - LeftRule(t->border) - RightRule(t->border)),
      Sat((long long)t->extent.ascent - t->padding.top - t->margin.top - t->border.m_top.m_width -
          shift),
      Sat((long long)t->extent.descent - t->padding.bottom - t->margin.bottom -
          t->border.m_bottom.m_width + shift)};
}

inline void CLexaro::Engine::GetPos_BorderVtx_PTag(CPoint (*vtx)[2], CPoint p, const LX_DATA_TAG* t,
                                                   int shift) const {
  using LL = long long;
  CPoint q = GetPos_StepX(p, LL(t->offset.x) + t->margin.left);
  CPoint topLeft = GetPos_StepY(q, LL(t->margin.top) - t->extent.ascent - t->offset.y + shift);
  LL span = LL(t->extent.width) - t->margin.left - t->margin.right - 1;
  vtx[0][0] = topLeft;
  vtx[0][1] = GetPos_StepX(topLeft, span);
  vtx[1][0] = GetPos_BorderBottomLeft_PTag(q, t, shift);
  vtx[1][1] = GetPos_StepX(vtx[1][0], span);
}

inline CPoint CLexaro::Engine::GetPos_BorderBottomLeft_PTag(CPoint q, const LX_DATA_TAG* t,
                                                           int shift) const {
  return GetPos_StepY(q, (long long)t->extent.descent - t->margin.bottom - t->offset.y + shift - 1);
}

inline CPoint CLexaro::Engine::GetPos_BorderBottomRight_PTag(CPoint p, const LX_DATA_TAG* t,
                                                            int shift) const {
  using LL = long long;
  CPoint q = GetPos_StepX(p, LL(t->offset.x) + t->margin.left);
  LL span = LL(t->extent.width) - t->margin.left - t->margin.right - 1;
  return GetPos_StepX(GetPos_BorderBottomLeft_PTag(q, t, shift), span);
}

inline CPoint CLexaro::Engine::GetPos_LBase_PTag(CPoint p, const LX_DATA_TAG* t) const {
  long long x = (long long)t->padding.left + t->margin.left + t->offset.x + lexaro::engine::LeftRule(t->border);
  return GetPos_StepY(GetPos_StepX(p, x), -(long long)t->offset.y);
}

// Every line of a drawing is aligned: inline, as the moves it makes.
inline CPoint CLexaro::Engine::GetPos_hAlign(double* spacing, CPoint p, const LX_TXT_STATE* state,
                                             int lineWidth, int boxWidth) const {
  double free = double(boxWidth) - lineWidth;
  switch (state->hAlign) {
    case LX_HA_CENTER: p = GetPos_MoveX(p, free * 0.5); break;
    case LX_HA_RIGHT: p = GetPos_MoveX(p, free); break;
    case LX_HA_JUSTIFY:
      if (free == 0) *spacing = state->spaceChar;
      return p;
    default: break;
  }
  *spacing = state->spaceChar;
  return p;
}
