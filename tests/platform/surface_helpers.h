// Small helpers for tests of the drawing surfaces.
#pragma once

#include <algorithm>
#include <cstdint>
#include <set>
#include <utility>

#include "lexaro/raster_dc.h"
#include "support/pixels.h"

inline LOGFONT MakeFont(const char* face, int height, int escapement = 0) {
  LOGFONT lf{};
  lf.lfHeight = height;
  lf.lfEscapement = lf.lfOrientation = escapement;
  lf.lfWeight = FW_NORMAL;
  SetFaceName(lf, face);
  return lf;
}

// A font object created from MakeFont's description.
struct TestFont : CFont {
  LOGFONT lf;
  explicit TestFont(const char* face, int height, int escapement = 0)
      : lf(MakeFont(face, height, escapement)) {
    CreateFontIndirect(&lf);
  }
};
