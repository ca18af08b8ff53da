// Measuring text and reading metrics, the questions layout asks most. Each
// thread remembers the fonts it measured last, so that a warm question is
// answered from immutable metrics and learnt byte advances without the
// engine's lock, without a cache lookup and without FreeType.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>

#include "platform/font/font_engine.h"

namespace lexaro::font {
namespace {

// The fonts one thread measured last, by the bytes of the LOGFONT asked
// for. The entries keep their fonts alive (a few per thread beyond the
// engine's cache bound); what they read of them never changes, or is
// atomic (ByteAdvances).
class MeasuredFonts {
 public:
  RealizedFont& Find(const LOGFONT& lf) {
    if (m_entries[m_last].font && SameFontButAngle(m_entries[m_last].lf, lf)) return *m_entries[m_last].font;
    for (size_t i = 0; i < kSize; ++i) {
      if (m_entries[i].font && SameFontButAngle(m_entries[i].lf, lf)) {
        m_last = i;
        return *m_entries[i].font;
      }
    }
    m_last = m_next;
    m_next = (m_next + 1) % kSize;
    m_entries[m_last] = Entry{lf, Realize(lf)};
    return *m_entries[m_last].font;
  }

 private:
  static constexpr size_t kSize = 8;
  struct Entry {
    LOGFONT lf;
    std::shared_ptr<RealizedFont> font;
  };
  Entry m_entries[kSize] = {};
  size_t m_last = 0, m_next = 0;
};

RealizedFont& Measured(const LOGFONT& lf) {
  thread_local MeasuredFonts fonts;
  return fonts.Find(lf);
}

int Clamped(long long w) { return int(std::clamp(w, -2147483647LL, 2147483647LL)); }

}  // namespace

bool RealizedFont::KnownWidth(const char* s, int n, int* width) const {
  const Encoding enc = m_face.encoding;
  long long w = 0;
  for (int i = 0; i < n; ++i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (!ByteAdvances::StandsAlone(b, enc)) return false;
    const int a = m_byteAdvances.Get(b);
    if (a == ByteAdvances::kUnknown) return false;
    w += a;
  }
  *width = Clamped(w);
  return true;
}

int RealizedFont::Width(const char* s, int n, int codePage) {
  static std::vector<Glyph> glyphs;  // used under the engine's lock
  Layout(s, n, codePage, glyphs);
  long long w = 0;
  for (const Glyph& g : glyphs) w += g.advance;
  // One glyph a byte when every byte stands alone: learn their advances.
  const Encoding enc = m_face.encoding;
  if (glyphs.size() == size_t(std::max(n, 0)) &&
      std::all_of(s, s + std::max(n, 0),
                  [enc](char c) { return ByteAdvances::StandsAlone(static_cast<unsigned char>(c), enc); })) {
    for (int i = 0; i < n; ++i) m_byteAdvances.Set(static_cast<unsigned char>(s[i]), glyphs[size_t(i)].advance);
  }
  return Clamped(w);
}

CSize MeasureText(const LOGFONT& lf, const char* s, int n, int codePage) {
  RealizedFont* font = &Measured(lf);
  int width;
  if (!font->KnownWidth(s, n, &width)) {
    std::lock_guard lock(Mutex());
    width = font->Width(s, n, codePage);
  }
  return CSize(width, font->Metrics().tmHeight);
}

void GetMetrics(const LOGFONT& lf, TEXTMETRIC* tm) {
  *tm = Measured(lf).Metrics();
}

}  // namespace lexaro::font
