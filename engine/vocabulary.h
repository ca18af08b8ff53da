// The markup vocabulary as data: tag, attribute, style, alignment and
// delimiter names, how each symbol tag is drawn, the box defaults, the
// delimiter pieces, and the class-wide layout parameters with their defaults.
#pragma once

#include <atomic>

#include "engine/records.h"

enum LX_TAG_PROPERTY_CODE : int {
  LX_PROP_NONE = -1,
  LX_PROP_SIZE = 0, LX_PROP_COLOR, LX_PROP_FACE, LX_PROP_ALIGN, LX_PROP_VALIGN, LX_PROP_WIDTH,
  LX_PROP_HEIGHT, LX_PROP_CELLPADDING, LX_PROP_BORDER, LX_PROP_BORDERCOLOR, LX_PROP_BGCOLOR,
  LX_PROP_TYPE, LX_PROP_STYLE,
};

enum LX_TAG_STYLE_CODE : int {
  LX_STYLE_NONE = -1,
  LX_STYLE_POSITION = 0, LX_STYLE_MARGIN, LX_STYLE_MARGIN_TOP, LX_STYLE_MARGIN_BOTTOM,
  LX_STYLE_MARGIN_LEFT, LX_STYLE_MARGIN_RIGHT, LX_STYLE_PADDING, LX_STYLE_PADDING_TOP,
  LX_STYLE_PADDING_BOTTOM, LX_STYLE_PADDING_LEFT, LX_STYLE_PADDING_RIGHT, LX_STYLE_BORDER,
  LX_STYLE_BORDER_TOP, LX_STYLE_BORDER_BOTTOM, LX_STYLE_BORDER_LEFT, LX_STYLE_BORDER_RIGHT,
  LX_STYLE_BORDER_WIDTH, LX_STYLE_BORDER_WIDTH_TOP, LX_STYLE_BORDER_WIDTH_BOTTOM,
  LX_STYLE_BORDER_WIDTH_LEFT, LX_STYLE_BORDER_WIDTH_RIGHT, LX_STYLE_BORDER_STYLE,
  LX_STYLE_BORDER_STYLE_TOP, LX_STYLE_BORDER_STYLE_BOTTOM, LX_STYLE_BORDER_STYLE_LEFT,
  LX_STYLE_BORDER_STYLE_RIGHT, LX_STYLE_BORDER_COLOR, LX_STYLE_BORDER_COLOR_TOP,
  LX_STYLE_BORDER_COLOR_BOTTOM, LX_STYLE_BORDER_COLOR_LEFT, LX_STYLE_BORDER_COLOR_RIGHT,
};

enum LX_PAREN_CODE : int {
  LX_PAREN_NONE = -1,
  LX_PAREN_EMPTY = 0, LX_PAREN_LPAREN, LX_PAREN_RPAREN, LX_PAREN_LBRACE, LX_PAREN_RBRACE,
  LX_PAREN_LBRACKET, LX_PAREN_RBRACKET, LX_PAREN_BAR, LX_PAREN_DBAR,
};

struct LX_TAG_TABLE {
  const char* sTag;
  const char* eTag;  // empty when the tag has no end tag
};

// A font change: a switch of 1 forces a property on, -1 off, others keep it.
// The face is held as the LOGFONT field it becomes (zero-filled past the
// name), so a change copies it whole without measuring the name.
struct LX_CNG_FONT {
  BYTE charSet;
  char face[LF_FACESIZE];
  int bold;
  int italic;
  int underline;
};

// How one symbol tag is drawn: its name, the character, its rotation, font,
// offset and side margins (offset and margin in percent of the em height;
// a positive y offset moves the glyph up).
struct LX_CNG_CTAG {
  const char* name;
  unsigned char code;
  int escapement;
  LX_CNG_FONT font;
  CPoint offset;
  int margin;
};

// Defaults of a box construct.
struct LX_CNG_PTAG {
  LX_HALIGN_CODE hAlign;
  CPoint position;
  CRect margin;
  CRect padding;
};

// The glyphs of one delimiter kind; 0 means the piece does not exist.
struct LX_CNG_PAREN {
  const char* name;
  unsigned char code, codeTop, codeMid, codeBtm, codeExt;
  LX_CNG_FONT font;
  int heightRatio;
  int widthRatio;
  int descentRatio;
};

namespace lexaro::engine {

constexpr int kTagCount = 179;
constexpr int kSymbolCount = kTagCount - LX_TC_FIRST_SYMBOL;

extern const LX_TAG_TABLE kTagTable[LX_TC_FIRST_SYMBOL];  // the structural tags
extern const LX_CNG_CTAG kCTagCng[kSymbolCount];          // row = tag code - 34
extern const char* const kTagPropertyTable[13];
extern const char* const kTagStyleTable[31];
extern const char* const kHAlignTable[4];
extern const char* const kVAlignTable[4];
extern const LX_CNG_PTAG kPTagCng[17];  // row = tag code - 1 (DIV .. PAREN)
extern const LX_CNG_PAREN kParenCng[9];  // row = LX_PAREN_CODE
extern const LX_CNG_FONT kSqrtFont;
constexpr unsigned char kSqrtCode = 214;  // the radical sign of the Symbol font

// The start-tag name of a code (structural or symbol); empty outside.
const char* StartTagName(int code);
// The end-tag name of a code; empty when the tag has none.
const char* EndTagName(int code);

// The class-wide parameters, one set per process. The setters of CLexaro
// change them; every object reads them.
struct ClassParams {
  LOGFONT def_lf;
  COLORREF def_txtclr = 0;
  LX_HALIGN_CODE def_hAlign = LX_HA_LEFT;
  LX_VALIGN_CODE def_vAlign = LX_VA_BASELINE;
  int spaceChar = 0;
  int spaceLine = 5;
  int changeSpaceChar = 1;
  int changeSpaceLine = 1;
  int Sub_ptRatio = 55;
  int Top_positionY = 0;
  int Btm_positionY = 0;
  int RTop_positionY = 2;
  int RBtm_positionY = 0;
  LX_VALIGN_CODE Table_vAlign = LX_VA_BASELINE;
  int Frac_marginX = 15;
  int Frac_marginBar = 10;
  double Frac_barAscentRatio = 0.4507042253521127;
  int Sqrt_marginX = 15;
  int Sqrt_marginTop = 10;
  double Sqrt_barAscentRatio = 1.2147887323943662;
  double Sqrt_DescentRatio = 0.32535211267605635;
  double Sqrt_nAscentRatio = 0.704225352112676;
  double Sqrt_nWidthRatio = 0.3333333333333333;
  int Paren_marginY = 10;
};

// The parameters, set to their defaults on first use (safely, whichever
// thread comes first).
ClassParams& Params();

// Counts the changes made to the parameters through CLexaro's setters. An
// object remembers the count its layout saw and lays out again when it
// differs, so a change reaches every object exactly once and objects never
// write shared state.
std::atomic<unsigned>& ParamsGeneration();

}  // namespace lexaro::engine
