// The parsed attributes and inline styles of one start tag.
#pragma once

#include "engine/records.h"

// Box geometry: a shift, outer and inner space, and four border pens.
struct LX_TAG_STYLE {
  CPoint position;
  CRect margin;
  CRect padding;
  CBorderData border;
};

struct LX_TAG_PROPERTY {
  double size = 0;       // FONT: points; scripts: size ratio in percent
  CString face;
  COLORREF color = CLR_TRANSPARENT;
  LX_HALIGN_CODE hAlign = LX_HA_LEFT;
  LX_VALIGN_CODE vAlign = LX_VA_BASELINE;
  int width = 0;
  int height = 0;
  COLORREF bgColor = CLR_TRANSPARENT;
  CString type;          // PAREN: the delimiter pair
  LX_TAG_STYLE style;
};
