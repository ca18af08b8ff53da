// Pen descriptions for strokes and box borders: a style code from the pen
// style table, a width in logical units and a colour. A pen whose width is 0
// or whose colour is CLR_TRANSPARENT draws nothing.
#pragma once

#include "lexaro/export.h"
#include "lexaro/types.h"

// Line styles; the names are those of CDC_Ex's style table.
enum DE_PENSTYLE_CODE {
  DE_PS_INVALID = -1,       // a name that matched no style
  DE_PS_SOLID = 0,          // "solid"
  DE_PS_DASHED = 1,         // "dashed"
  DE_PS_DOTTED = 2,         // "dotted"
  DE_PS_DASHDOTTED = 3,     // "dashdotted"
  DE_PS_DASHDOTDOTTED = 4,  // "dashdotdotted"
  DE_PS_NONE = 5,           // "none"
  DE_PS_DOUBLE = 6,         // "double" (accepted, drawn as nothing)
};

class LEXARO_API CPenData {
 public:
  DE_PENSTYLE_CODE m_style;
  int m_width;        // logical units; 0 means no line
  COLORREF m_color;   // CLR_TRANSPARENT means no colour

  // A default pen is solid, 0 wide and black: it draws nothing.
  CPenData();
  CPenData(DE_PENSTYLE_CODE style, int width, unsigned long color);
  CPenData(const CPenData& other) = default;

  void SetData(DE_PENSTYLE_CODE style, int width, unsigned long color);
  CPenData& operator=(const CPenData& other);
  bool operator==(const CPenData& other) const;
  bool operator!=(const CPenData& other) const;
};

// The four sides of a box border.
class LEXARO_API CBorderData {
 public:
  CPenData m_top;
  CPenData m_bottom;
  CPenData m_left;
  CPenData m_right;

  CBorderData();
  CBorderData(const CBorderData& other) = default;

  // Each setter writes the same value to all four sides.
  void SetData(DE_PENSTYLE_CODE style, int width, unsigned long color);
  void SetStyle(DE_PENSTYLE_CODE style);
  void SetWidth(int width);
  void SetColor(unsigned long color);
  CBorderData& operator=(const CBorderData& other);
};
