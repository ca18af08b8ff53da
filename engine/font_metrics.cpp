#include "engine/font_metrics.h"

#include <cstdint>
#include <cstring>

namespace lexaro::engine {
namespace {

// Compared a word at a time: layout compares fonts far more often than it
// measures anything.
bool SameBytes(const LOGFONT& a, const LOGFONT& b) {
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

}  // namespace

SelectedFontMetrics::Metrics SelectedFontMetrics::Of(CDC* dc) {
  if (dc != m_dc) {
    m_dc = dc;
    m_count = 0;
  }
  const LOGFONT& lf = dc->GetCurrentLogFont();
  if (m_last < m_count && SameBytes(m_entries[m_last].lf, lf)) return m_entries[m_last].metrics;
  for (size_t i = 0; i < m_count; ++i) {
    if (SameBytes(m_entries[i].lf, lf)) {
      m_last = i;
      return m_entries[i].metrics;
    }
  }
  TEXTMETRIC tm{};
  dc->GetTextMetrics(&tm);
  const Metrics m{int(tm.tmAscent - tm.tmInternalLeading), int(tm.tmDescent)};
  m_last = m_count < kSize ? m_count++ : m_next;
  if (m_count == kSize) m_next = (m_last + 1) % kSize;
  m_entries[m_last] = Entry{lf, m};
  return m;
}

}  // namespace lexaro::engine
