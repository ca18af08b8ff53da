#include "engine/font_metrics.h"

namespace lexaro::engine {

SelectedFontMetrics::Metrics SelectedFontMetrics::Of(CDC* dc) {
  if (dc != m_dc) {
    m_dc = dc;
    m_count = 0;
  }
  const LOGFONT& lf = dc->GetCurrentLogFont();
  if (m_last < m_count && SameLogFontBytes(m_entries[m_last].lf, lf)) return m_entries[m_last].metrics;
  for (size_t i = 0; i < m_count; ++i) {
    if (SameLogFontBytes(m_entries[i].lf, lf)) {
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
