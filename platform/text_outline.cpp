#include "platform/text_outline.h"

#include <algorithm>

#include "platform/font/text_run.h"

namespace lexaro::font {

bool OutlineBox(const LOGFONT& font, const char* s, int n, int codePage, double box[4]) {
  struct Outlines : TextRunSink {
    double ink[4] = {1e300, 1e300, -1e300, -1e300};
    void Band(const double*, COLORREF) override {}
    bool Glyph(RealizedFont& f, const lexaro::font::Glyph& g, double x, double y) override {
      f.GrowByOutlineBox(g, x, y, ink);
      return true;
    }
  };
  // A request drawn in an opaque colour, so that every glyph is walked; the
  // bands of underline and strike-out are not outlines and are left out.
  TextOutRequest req{CPoint(0, 0), s, n, TA_LEFT | TA_BASELINE, 0.0, 0.0, font, 0, TRANSPARENT,
                     0, codePage};
  req.font.lfEscapement = 0;
  Outlines outlines;
  WalkTextRun(req, outlines);
  if (outlines.ink[0] > outlines.ink[2]) return false;
  std::copy(outlines.ink, outlines.ink + 4, box);
  return true;
}

}  // namespace lexaro::font
