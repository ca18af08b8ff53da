// The advances of single bytes in one realised font, readable without the
// font engine's lock: measuring a run of such bytes sums table entries.
#pragma once

#include <atomic>
#include <climits>

#include "platform/font/text_decode.h"

namespace lexaro::font {

class ByteAdvances {
 public:
  // No advance is INT_MIN: advances are clamped to +-INT_MAX.
  static constexpr int kUnknown = INT_MIN;

  ByteAdvances() {
    for (auto& a : m_advances) a.store(kUnknown, std::memory_order_relaxed);
  }
  ByteAdvances(const ByteAdvances&) = delete;
  ByteAdvances& operator=(const ByteAdvances&) = delete;

  // Whether byte b decodes to one code point on its own, whatever bytes
  // surround it and whatever the code page: then its advance in a run is
  // its advance alone. Text reads only ASCII bytes so (UTF-8, code page
  // 1252 and Shift_JIS agree on them); symbol encodings read every byte so.
  static bool StandsAlone(unsigned char b, Encoding enc) { return b < 0x80 || enc != Encoding::Text; }

  int Get(unsigned char b) const { return m_advances[b].load(std::memory_order_acquire); }
  // Written under the engine's lock; the value never changes once known.
  void Set(unsigned char b, int advance) { m_advances[b].store(advance, std::memory_order_release); }

 private:
  std::atomic<int> m_advances[256];
};

}  // namespace lexaro::font
