// The records that travel from the layout pass to the render pass, and the
// text state both passes carry down their recursion.
#pragma once

#include "engine/list.h"
#include "lexaro/cstring.h"
#include "lexaro/dc_ex.h"
#include "lexaro/engine.h"
#include "lexaro/types.h"

enum LX_HALIGN_CODE : int { LX_HA_LEFT = 0, LX_HA_CENTER = 1, LX_HA_RIGHT = 2, LX_HA_JUSTIFY = 3 };
enum LX_VALIGN_CODE : int { LX_VA_TOP = 0, LX_VA_MIDDLE = 1, LX_VA_BOTTOM = 2, LX_VA_BASELINE = 3 };

// Codes of the tag table: the structural tags by name, symbol tags from
// LX_TC_FIRST_SYMBOL on.
enum LX_TAG_CODE : int {
  LX_TC_NONE = -1,
  LX_TC_BR = 0, LX_TC_DIV, LX_TC_SUP, LX_TC_SUB, LX_TC_S, LX_TC_TOP, LX_TC_BTM, LX_TC_TB,
  LX_TC_RTOP, LX_TC_RBTM, LX_TC_RTB, LX_TC_TABLE, LX_TC_TR, LX_TC_TD, LX_TC_FRAC,
  LX_TC_SQRT, LX_TC_SQRTN, LX_TC_PAREN, LX_TC_FONT, LX_TC_FONT_END, LX_TC_B, LX_TC_B_END,
  LX_TC_I, LX_TC_I_END, LX_TC_U, LX_TC_U_END, LX_TC_LEFT, LX_TC_CENTER, LX_TC_RIGHT,
  LX_TC_JUSTIFY, LX_TC_VTOP, LX_TC_VMIDDLE, LX_TC_VBOTTOM, LX_TC_VBASELINE,
  LX_TC_FIRST_SYMBOL = 34,
  LX_TC_LAST_SYMBOL = 178,
};

// The text state of one walk. A construct copies it before it changes
// anything, so nested content never changes the walk around it.
struct LX_TXT_STATE {
  LX_HALIGN_CODE hAlign;
  LX_VALIGN_CODE vAlign;
  LOGFONT lf;
  COLORREF txtclr;
  double spaceChar;
  double spaceLine;
  LX_TAG_CODE tagCode;  // the element whose end tag ends the walk; 0: none
};

// One font change of a FONT tag or its end tag. The face is kept as the
// LOGFONT keeps it (cut to 31 bytes), so a record needs no allocation.
struct LX_DATA_FONT {
  int lfHeight;
  COLORREF txtclr;
  char faceName[LF_FACESIZE];
  BYTE charSet;
};

struct LX_DATA_LINE {
  LX_TXT_EXTENT extent;
  LX_HALIGN_CODE hAlign;  // the alignment in force when the line ended
  int endIdx;             // where the next line begins
};

// One box construct or one S part of a construct.
struct LX_DATA_TAG {
  LX_TXT_EXTENT extent{};
  int endIdx = 0;
  // An S part: where its content starts, past its start tag, so that
  // drawing need not search the text for it again.
  int startIdx = 0;
  int aux = 0;
  CPoint offset;
  CRect margin;
  CRect padding;
  CBorderData border;
  int ratio = 0;
  int aux2 = 0;
  int aux3 = 0;
  // PAREN: its delimiters (LX_PAREN_CODE), read from its type once.
  int left = -1, right = -1;
  COLORREF color = 0;
  COLORREF bgColor = CLR_TRANSPARENT;
  CString type;
};

struct LX_TABLE_COL {
  int width;
  CPenData topPen;
};

struct LX_TABLE_ROW {
  int cellCount;
  int ascent;
  int descent;
  int lineBelow;
  CPenData leftPen;
  int endIdx;
};

struct LX_TABLE_CELL {
  LX_TXT_EXTENT extent;
  LX_VALIGN_CODE vAlign;
  CPoint offset;
  CRect padding;
  CPenData bottomPen;
  CPenData rightPen;
  COLORREF bgColor;
  int endIdx;
  CPenData topPen;  // the line above a cell that has no cell above it
  int startIdx;     // where its content starts, past its TD start tag
};

// One TABLE with its columns, rows and cells.
struct LX_DATA_TABLE {
  int rows = 0;
  int cols = 0;
  LX_TXT_EXTENT extent{};
  CPoint offset;
  int marginTop = 0;
  int marginLeft = 0;
  int topLine = 0;
  CList_Ex<LX_TABLE_COL> colList;
  CList_Ex<LX_TABLE_ROW> rowList;
  CList_Ex<LX_TABLE_CELL> cellList;
  int endIdx = 0;

  LX_DATA_TABLE() = default;
  LX_DATA_TABLE(const LX_DATA_TABLE& o) { *this = o; }
  LX_DATA_TABLE(LX_DATA_TABLE&& o) noexcept = default;
  // Copies the values and every element of the three lists; an element that
  // cannot be allocated sets that list's error flag and ends its copy.
  LX_DATA_TABLE& operator=(const LX_DATA_TABLE& o);
};
