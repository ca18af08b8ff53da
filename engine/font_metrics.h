// The ascent and descent of the fonts selected in a device context during
// one pass: layout asks for them again and again (every run, script and
// construct), for a handful of fonts.
#pragma once

#include <cstddef>

#include "lexaro/dc.h"

namespace lexaro::engine {

class SelectedFontMetrics {
 public:
  struct Metrics {
    int ascent;   // tmAscent - tmInternalLeading, as CFontTool::GetAscent
    int descent;  // tmDescent
  };
  // Forgets every font: a pass may use another context, or the same one
  // measuring differently.
  void Forget() { m_count = 0; }
  // The metrics of the font selected in dc now; another context than last
  // time starts afresh.
  Metrics Of(CDC* dc);

 private:
  static constexpr size_t kSize = 8;
  struct Entry {
    LOGFONT lf;
    Metrics metrics;
  };
  Entry m_entries[kSize];
  const CDC* m_dc = nullptr;
  size_t m_count = 0, m_next = 0, m_last = 0;
};

}  // namespace lexaro::engine
