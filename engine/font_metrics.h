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

}  // namespace lexaro::engine
