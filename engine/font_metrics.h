// The ascent and descent of the fonts selected in a device context during
// one pass: layout asks for them again and again (every run, script and
// construct), for a handful of fonts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "lexaro/dc.h"

namespace lexaro::engine {

// Whether two LOGFONTs have the same bytes. Compared a word at a time:
// layout compares fonts far more often than it measures anything.
inline bool SameLogFontBytes(const LOGFONT& a, const LOGFONT& b) {
  static_assert(sizeof(LOGFONT) == 60);
  const char* pa = reinterpret_cast<const char*>(&a);
  const char* pb = reinterpret_cast<const char*>(&b);
  std::uint64_t diff = 0;
  for (size_t at = 0; at < 56; at += 8) {
    std::uint64_t wa, wb;
    std::memcpy(&wa, pa + at, 8);
    std::memcpy(&wb, pb + at, 8);
    diff |= wa ^ wb;
  }
  std::uint32_t ta, tb;
  std::memcpy(&ta, pa + 56, 4);
  std::memcpy(&tb, pb + 56, 4);
  return diff == 0 && ta == tb;
}

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

// The average character width ratio (CFontTool::GetAveCharWidthRatio) of
// the font asked for last during one pass: every radical sign and delimiter
// asks for the ratio of the text font around it, mostly the same one.
class AverageWidthRatio {
 public:
  // Forgets the font: a pass may use another context, or the same one
  // measuring differently.
  void Forget() { m_known = false; }
  // The ratio of lf in dc, measured by `measure` unless lf was asked for
  // last in the same context.
  template <typename Measure>
  double Of(const CDC* dc, const LOGFONT& lf, Measure measure) {
    if (!m_known || dc != m_dc || !SameLogFontBytes(m_lf, lf)) {
      m_ratio = measure();
      m_dc = dc;
      m_lf = lf;
      m_known = true;
    }
    return m_ratio;
  }

 private:
  bool m_known = false;
  const CDC* m_dc = nullptr;
  LOGFONT m_lf{};
  double m_ratio = 0.0;
};

}  // namespace lexaro::engine
