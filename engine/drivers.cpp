// The two passes. Layout walks the text line by line, measures runs and
// constructs and records them in pre-order; render walks the same text
// again and takes the records back in the same order.
#include "engine/engine.h"

using namespace lexaro::engine;

namespace {

LX_DATA_FONT FontOf(const LX_TXT_STATE* state) {
  return LX_DATA_FONT{state->lf.lfHeight, state->txtclr, CString(state->lf.lfFaceName),
                      state->lf.lfCharSet};
}

// spaceLine is added to positions truncated towards zero.
int LineSpace(const LX_TXT_STATE* state) { return int(state->spaceLine); }

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

void CLexaro::Engine::AnalyzeText() {
  m_dataLine.RemoveAll();
  m_dataTag.RemoveAll();
  m_dataTable.RemoveAll();
  m_dataFont.RemoveAll();
  m_error = 0;
  m_errorText = "";
  m_textLength = m_text.GetLength();
  LX_TXT_STATE state = DefaultState();
  int end;
  m_extent = AnalyzeText_Multi(0, &state, &end);
}

LX_TXT_EXTENT CLexaro::Engine::AnalyzeText_Multi(int start, LX_TXT_STATE* state, int* endIdx) {
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
      line.ascent = m_fontTool.GetAscent(m_pDC);
      line.descent = m_fontTool.GetDescent(m_pDC);
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
      walk.descent += LineSpace(state) + line.ascent + line.descent;
    }
    start = next;
  }
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
      AddExtent(&line, AnalyzeText_String(lt, lt, state));
      pos = lt + 2;
      continue;
    }
    CString name = GetTagToken(" >", lt + 1);
    if (state->tagCode != 0 && name == EndTagName(state->tagCode)) {
      *stop = 1;
      pos = GetETagIdx(lt + 1) + 1;
      break;
    }
    if (name == "BR") {
      pos = GetETagIdx(lt + 1) + 1;
      break;
    }
    pos = GetETagIdx(lt + 1) + 1;
    LX_TAG_CODE code = GetSTagCode(name);
    bool fontChanged = false;
    if (code == LX_TC_FONT) {
      if (!fontStack->Push(*currentFont)) AnalyzeErrorBuffer();
      SetDefaultTagProperty(&prop, code, state, -1);
      GetTagProperty(&prop);
      AnalyzeText_Font(currentFont, state, prop);
      fontChanged = true;
    } else if (code == LX_TC_FONT_END) {
      fontStack->Pop(currentFont);
      fontChanged = true;
    } else if (code >= LX_TC_FIRST_SYMBOL && code <= LX_TC_LAST_SYMBOL) {
      LX_TXT_EXTENT mark;
      AnalyzeText_Mark(code, state, &mark);
      AddExtent(&line, mark);
    } else if (ApplySwitchTag(code, state, true, &fontChanged)) {
      if (fontChanged) RenewFont(state, font, previousFont);
      continue;
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
  CFont font;
  font.CreateFontIndirect(&state->lf);
  CFont* previous = m_pDC->SelectObject(&font);
  COLORREF previousColor = m_pDC->SetTextColor(state->txtclr);
  int offset = 0;
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
    TextOut_Single(start, state, &font, previous, &stop,
                   GetPos_hAlign(&spacing, pt, state, line.extent.width, areaWidth));
    offset = LineSpace(state) + line.extent.descent;
    start = line.endIdx;
  }
  m_pDC->SetTextColor(previousColor);
  m_pDC->SelectObject(previous);
  font.DeleteObject();
}

void CLexaro::Engine::TextOut_Single(int start, LX_TXT_STATE* state, CFont* font,
                                     CFont* previousFont, int* stop, CPoint pt) {
  double advance = 0.0;
  int pos = start;
  while (pos < m_textLength) {
    if (m_error != 0) return;
    int lt = NextTagStart(pos);
    if (lt < 0) {
      TextOut_String(pos, m_textLength - 1, state, GetPos_MoveX(pt, advance));
      return;
    }
    advance += TextOut_String(pos, lt - 1, state, GetPos_MoveX(pt, advance));
    if (m_text.GetAt(lt + 1) == '<') {
      advance += TextOut_String(lt, lt, state, GetPos_MoveX(pt, advance));
      pos = lt + 2;
      continue;
    }
    CString name = GetTagToken(" >", lt + 1);
    if (state->tagCode != 0 && name == EndTagName(state->tagCode)) {
      *stop = 1;
      return;
    }
    if (name == "BR") return;
    pos = GetETagIdx(lt + 1) + 1;
    LX_TAG_CODE code = GetSTagCode(name);
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
    } else if (ApplySwitchTag(code, state, false, &fontChanged)) {
      RenewFont(state, font, previousFont);
    }
  }
}
