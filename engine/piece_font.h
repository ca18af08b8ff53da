// The font of the single characters drawn in a font of their own (marks,
// delimiter pieces, radical signs). Drawing one selects its font, draws,
// and selects the previous font back; runs of pieces ask for the same
// LOGFONT again and again, so the font object is kept and made anew only
// when another LOGFONT is asked for.
#pragma once

#include "engine/font_metrics.h"
#include "lexaro/dc.h"
#include "lexaro/gdi.h"

namespace lexaro::engine {

class PieceFont {
 public:
  // The font object for lf, valid until the next call.
  CFont* For(const LOGFONT& lf) {
    if (!m_made || !SameLogFontBytes(m_asked, lf)) {
      m_font.CreateFontIndirect(&lf);
      m_asked = lf;
      m_made = true;
    }
    return &m_font;
  }

 private:
  CFont m_font;
  LOGFONT m_asked{};
  bool m_made = false;
};

// Selects a font in dc for the lifetime of the object.
class SelectedFont {
 public:
  SelectedFont(CDC* dc, CFont* font) : m_dc(dc), m_previous(dc->SelectObject(font)) {}
  ~SelectedFont() { m_dc->SelectObject(m_previous); }
  SelectedFont(const SelectedFont&) = delete;
  SelectedFont& operator=(const SelectedFont&) = delete;

 private:
  CDC* m_dc;
  CFont* m_previous;
};

}  // namespace lexaro::engine
