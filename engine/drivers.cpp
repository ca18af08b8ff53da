// The two passes. Layout walks the text line by line, measures runs and
// constructs and records them in pre-order; render walks the same text
// again and takes the records back in the same order.
#include <algorithm>
#include <cstring>

#include "engine/engine.h"
#include "engine/saturate.h"

using namespace lexaro::engine;

namespace {

LX_DATA_FONT FontOf(const LX_TXT_STATE* state) {
  LX_DATA_FONT font{state->lf.lfHeight, state->txtclr, {}, state->lf.lfCharSet};
  std::memcpy(font.faceName, state->lf.lfFaceName, sizeof font.faceName);
  return font;
}

// spaceLine is added to positions truncated towards zero.
int LineSpace(const LX_TXT_STATE* state) {
  return int(std::clamp(state->spaceLine, double(INT_MIN), double(INT_MAX)));
}

// The outlines of debug boxes: lines light blue, constructs magenta.
constexpr COLORREF kDebugLineColor = RGB(64, 160, 255);
constexpr COLORREF kDebugConstructColor = RGB(230, 0, 200);

}  // namespace

void CLexaro::Engine::RenewFont(const LX_TXT_STATE* state, CFont* font, CFont* previousFont) {
  m_pDC->SelectObject(previousFont);
  font->DeleteObject();
  font->CreateFontIndirect(&state->lf);
  m_pDC->SelectObject(font);
}

bool CLexaro::Engine::ApplySwitchTag(LX_TAG_CODE code, LX_TXT_STATE* state, bool alignments,
                                     bool* fontChanged) {
  *fontChanged = true;
  switch (code) {
    case LX_TC_B: state->lf.lfWeight = FW_BOLD; return true;
    case LX_TC_B_END: state->lf.lfWeight = FW_NORMAL; return true;
    case LX_TC_I: state->lf.lfItalic = 1; return true;
    case LX_TC_I_END: state->lf.lfItalic = 0; return true;
    case LX_TC_U: state->lf.lfUnderline = 1; return true;
    case LX_TC_U_END: state->lf.lfUnderline = 0; return true;
    default: break;
  }
  *fontChanged = false;
  if (!alignments) return false;
  if (code >= LX_TC_LEFT && code <= LX_TC_JUSTIFY) {
    state->hAlign = LX_HALIGN_CODE(code - LX_TC_LEFT);
    return true;
  }
  if (code >= LX_TC_VTOP && code <= LX_TC_VBASELINE) {
    state->vAlign = LX_VALIGN_CODE(code - LX_TC_VTOP);
    return true;
  }
  return false;
}

bool CLexaro::Engine::IsConstruct(LX_TAG_CODE code) const {
  bool construct = (code >= LX_TC_DIV && code <= LX_TC_TABLE && code != LX_TC_S) ||
                   (code >= LX_TC_FRAC && code <= LX_TC_PAREN);
  // Beyond the nesting limit a construct tag counts as an unknown name, in
  // both passes alike, so the records stay paired.
  return construct && m_depth < kMaxNesting;
}

void CLexaro::Engine::AnalyzeText_Construct(LX_TAG_CODE code, int start, LX_TXT_STATE* state,
                                            const LX_TAG_PROPERTY& prop, LX_TXT_EXTENT* line,
                                            int* pos) {
  ++m_depth;
  if (code == LX_TC_TABLE) {
    auto* position = m_dataTable.GetTailPosition();
    LX_DATA_TABLE table;
    AnalyzeText_Table(start, state, &table, prop);
    const LX_TXT_EXTENT extent = table.extent;
    const int end = table.endIdx;
    auto* node = m_dataTable.InsertAfter(position, std::move(table));
    if (!node || node->value.colList.GetError() || node->value.rowList.GetError() ||
        node->value.cellList.GetError())
      AnalyzeErrorBuffer();
    AddExtent(line, extent);
    *pos = std::max(end, start);  // a walk always moves forward
  } else {
    auto* position = m_dataTag.GetTailPosition();
    LX_DATA_TAG tag;
    switch (code) {
      case LX_TC_DIV: AnalyzeText_Div(start, state, &tag, prop); break;
      case LX_TC_SUP:
      case LX_TC_SUB: AnalyzeText_PTag(code, start, state, &tag, prop); break;
      case LX_TC_FRAC: AnalyzeText_Frac(start, state, &tag, prop); break;
      case LX_TC_SQRT: AnalyzeText_Sqrt(start, state, &tag, prop); break;
      case LX_TC_SQRTN: AnalyzeText_SqrtN(start, state, &tag, prop); break;
      case LX_TC_PAREN: AnalyzeText_Paren(start, state, &tag, prop); break;
      default: AnalyzeText_PTag_Ex(code, start, state, &tag, prop); break;
    }
    if (!m_dataTag.InsertAfter(position, tag)) AnalyzeErrorBuffer();
    AddExtent(line, tag.extent);
    *pos = std::max(tag.endIdx, start);
  }
  --m_depth;
}

double CLexaro::Engine::TextOut_Construct(LX_TAG_CODE code, int start, LX_TXT_STATE* state,
                                          CPoint pt, int* pos) {
  ++m_depth;
  double width = 0;
  if (code == LX_TC_TABLE) {
    if (auto* node = m_dataTable.GetNext()) {
      TextOut_Table(start, state, pt, &node->value);
      width = node->value.extent.width;
      if (m_debugBoxes) DrawDebugBox(pt, node->value.extent, kDebugConstructColor);
      *pos = std::max(node->value.endIdx, start);
    } else {
      *pos = m_textLength;
    }
  } else if (auto* node = m_dataTag.GetNext()) {
    const LX_DATA_TAG* tag = &node->value;
    switch (code) {
      case LX_TC_DIV: TextOut_Div(start, state, pt, tag); break;
      case LX_TC_SUP:
      case LX_TC_SUB: TextOut_PTag(code, start, state, pt, tag); break;
      case LX_TC_FRAC: TextOut_Frac(start, state, pt, tag); break;
      case LX_TC_SQRT: TextOut_Sqrt(start, state, pt, tag); break;
      case LX_TC_SQRTN: TextOut_SqrtN(start, state, pt, tag); break;
      case LX_TC_PAREN: TextOut_Paren(start, state, pt, tag); break;
      default: TextOut_PTag_Ex(code, start, state, pt, tag); break;
    }
    width = tag->extent.width;
    if (m_debugBoxes) DrawDebugBox(pt, tag->extent, kDebugConstructColor);
    *pos = std::max(tag->endIdx, start);
  } else {
    *pos = m_textLength;  // the layout recorded fewer constructs: stop here
  }
  --m_depth;
  return width;
}

void CLexaro::Engine::AnalyzeText() {
  m_dataLine.RemoveAll();
  m_dataTag.RemoveAll();
  m_dataTable.RemoveAll();
  m_dataFont.RemoveAll();
  m_readTags.Clear();
  m_error = 0;
  m_errorText = "";
  m_depth = 0;
  m_fontMetrics.Forget();
  m_aveWidthRatio.Forget();
  m_textLength = m_text.GetLength();
  LX_TXT_STATE state = DefaultState();
  int end;
  m_extent = AnalyzeText_Multi(0, &state, &end);
}

LX_TXT_EXTENT CLexaro::Engine::AnalyzeText_Multi(int start, LX_TXT_STATE* state, int* endIdx) {
  const int walkStart = start;
  CFont font;
  font.CreateFontIndirect(&state->lf);
  CFont* previous = m_pDC->SelectObject(&font);
  LX_DATA_FONT current = FontOf(state);
  CStack_Ex<LX_DATA_FONT> fontStack;
  LX_TXT_EXTENT walk{0, 0, 0};
  bool first = true;
  int stop = 0;
  while (start < m_textLength && !stop && m_error == 0) {
    auto* position = m_dataLine.GetTailPosition();
    int next = start;
    LX_TXT_EXTENT line =
        AnalyzeText_Single(start, state, &font, previous, &current, &fontStack, &next, &stop);
    if (line.width == 0) {
      line.ascent = FontAscent();
      line.descent = FontDescent();
    }
    // A lost line record would pair every later line with the wrong record,
    // so the layout fails instead.
    if (!m_dataLine.InsertAfter(position, LX_DATA_LINE{line, state->hAlign, next}))
      AnalyzeErrorBuffer();
    if (first) {
      walk = line;
      first = false;
    } else {
      walk.width = std::max(walk.width, line.width);
      walk.descent = Sat((long long)walk.descent + LineSpace(state) + line.ascent + line.descent);
    }
    start = next;
  }
  if (!stop && state->tagCode != 0) NoteUnended(state->tagCode, walkStart);
  *endIdx = start;
  m_pDC->SelectObject(previous);
  font.DeleteObject();
  return walk;
}

LX_TXT_EXTENT CLexaro::Engine::AnalyzeText_Single(int start, LX_TXT_STATE* state, CFont* font,
                                                  CFont* previousFont, LX_DATA_FONT* currentFont,
                                                  CStack_Ex<LX_DATA_FONT>* fontStack, int* nextIdx,
                                                  int* stop) {
  LX_TXT_EXTENT line{0, 0, 0};
  LX_TAG_PROPERTY prop;
  const std::string_view endName = state->tagCode != 0 ? EndTagName(state->tagCode) : "";
  int pos = start;
  while (pos < m_textLength) {
    if (m_error != 0) break;
    int lt = NextTagStart(pos);
    if (lt < 0) {
      AddExtent(&line, AnalyzeText_String(pos, m_textLength - 1, state));
      pos = m_textLength;
      break;
    }
    AddExtent(&line, AnalyzeText_String(pos, lt - 1, state));
    if (m_text.GetAt(lt + 1) == '<') {
      const int k = EscapedLessThans(lt);
      LX_TXT_EXTENT run = AnalyzeText_Run("<", state);
      run.width = Sat((long long)run.width * k);
      AddExtent(&line, run);
      pos = lt + 2 * k;
      continue;
    }
    ReadTag tag = ReadTagAt(lt);
    tag.from = pos;
    m_readTags.Add(tag);
    const std::string_view name = TagName(tag);
    pos = tag.end;
    if (state->tagCode != 0 && name == endName) {
      *stop = 1;
      break;
    }
    if (name == "BR") break;
    LX_TAG_CODE code = tag.code;
    NoteTag(lt, pos);
    bool fontChanged = false;
    if (code == LX_TC_FONT) {
      if (!fontStack->Push(*currentFont)) AnalyzeErrorBuffer();
      SetDefaultTagProperty(&prop, code, state, -1);
      GetTagProperty(&prop);
      AnalyzeText_Font(currentFont, state, prop);
      fontChanged = true;
    } else if (code == LX_TC_FONT_END) {
      if (!fontStack->Pop(currentFont)) NotePassedOver(code, name, lt, pos);
      fontChanged = true;
    } else if (code >= LX_TC_FIRST_SYMBOL && code <= LX_TC_LAST_SYMBOL) {
      LX_TXT_EXTENT mark;
      AnalyzeText_Mark(code, state, &mark);
      AddExtent(&line, mark);
    } else if (IsConstruct(code)) {
      SetDefaultTagProperty(&prop, code, state, -1);
      GetTagProperty(&prop);
      AnalyzeText_Construct(code, pos, state, prop, &line, &pos);
    } else if (ApplySwitchTag(code, state, true, &fontChanged)) {
      if (fontChanged) RenewFont(state, font, previousFont);
      continue;
    } else {
      NotePassedOver(code, name, lt, pos);
    }
    if (code == LX_TC_FONT || code == LX_TC_FONT_END) {
      if (!m_dataFont.AddTail(*currentFont)) AnalyzeErrorBuffer();
      SetTState_Font(state, *currentFont);
      RenewFont(state, font, previousFont);
    }
  }
  *nextIdx = pos;
  return line;
}

void CLexaro::Engine::TextOut_Multi(int start, LX_TXT_STATE* state, CPoint pt, int areaWidth) {
  // Most nested walks start in the font the walk around them draws in: the
  // font selected already serves. RenewFont makes and selects a font of the
  // walk's own once the state changes, and the walk then selects back the
  // font it found.
  CFont font;
  CFont* previous = m_pDC->GetCurrentFont();
  if (!SameLogFontBytes(m_pDC->GetCurrentLogFont(), state->lf)) {
    font.CreateFontIndirect(&state->lf);
    previous = m_pDC->SelectObject(&font);
  }
  COLORREF previousColor = m_pDC->SetTextColor(state->txtclr);
  long long offset = 0;  // the sums of huge lines must not wrap
  bool first = true;
  int stop = 0;
  while (start < m_textLength && !stop && m_error == 0) {
    auto* node = m_dataLine.GetNext();
    if (!node) break;  // the layout recorded fewer lines than the text holds
    const LX_DATA_LINE& line = node->value;
    if (!first) {
      offset += line.extent.ascent;
      pt = GetPos_MoveY(pt, offset);
    }
    first = false;
    state->hAlign = line.hAlign;
    double spacing = 0;
    CPoint lineStart = GetPos_hAlign(&spacing, pt, state, line.extent.width, areaWidth);
    if (m_debugBoxes) DrawDebugBox(lineStart, line.extent, kDebugLineColor);
    TextOut_Single(start, state, &font, previous, &stop, lineStart);
    offset = (long long)LineSpace(state) + line.extent.descent;
    start = line.endIdx;
  }
  m_pDC->SetTextColor(previousColor);
  // A walk that never made a font of its own selected none (what it calls
  // selects back what it selects): the font it found is still selected.
  if (!font.IsNull()) m_pDC->SelectObject(previous);
}

void CLexaro::Engine::TextOut_Single(int start, LX_TXT_STATE* state, CFont* font,
                                     CFont* previousFont, int* stop, CPoint pt) {
  const std::string_view endName = state->tagCode != 0 ? EndTagName(state->tagCode) : "";
  double advance = 0.0;
  int pos = start;
  while (pos < m_textLength) {
    if (m_error != 0) return;
    // The layout searched from here and found the next tag it read: that
    // tag is the next one, and the text up to it need not be searched.
    const ReadTag* ahead = m_readTags.Peek();
    const int lt = ahead && ahead->from == pos ? ahead->lt : NextTagStart(pos);
    if (lt < 0) {
      TextOut_String(pos, m_textLength - 1, state, GetPos_MoveX(pt, advance));
      return;
    }
    advance += TextOut_String(pos, lt - 1, state, GetPos_MoveX(pt, advance));
    if (m_text.GetAt(lt + 1) == '<') {
      const int k = EscapedLessThans(lt);
      advance += TextOut_Run(std::string(size_t(k), '<'), GetPos_MoveX(pt, advance));
      pos = lt + 2 * k;
      continue;
    }
    const ReadTag* read = m_readTags.Next(lt);
    const ReadTag tag = read ? *read : ReadTagAt(lt);
    const std::string_view name = TagName(tag);
    if (state->tagCode != 0 && name == endName) {
      *stop = 1;
      return;
    }
    if (name == "BR") return;
    pos = tag.end;
    LX_TAG_CODE code = tag.code;
    bool fontChanged = false;
    if (code == LX_TC_FONT || code == LX_TC_FONT_END) {
      auto* node = m_dataFont.GetNext();
      if (node) {
        SetTState_Font(state, node->value);
        m_pDC->SetTextColor(node->value.txtclr);
      }
      RenewFont(state, font, previousFont);
    } else if (code >= LX_TC_FIRST_SYMBOL && code <= LX_TC_LAST_SYMBOL) {
      advance += TextOut_Mark(code, state, GetPos_MoveX(pt, advance));
    } else if (IsConstruct(code)) {
      advance += TextOut_Construct(code, pos, state, GetPos_MoveX(pt, advance), &pos);
      if (m_error != 0) return;
    } else if (ApplySwitchTag(code, state, false, &fontChanged)) {
      RenewFont(state, font, previousFont);
    }
  }
}
