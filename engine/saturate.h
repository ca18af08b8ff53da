// Extents and positions are 32-bit; sums of huge sizes saturate at the ends
// of the range instead of wrapping around to the other side.
#pragma once

#include <climits>

namespace lexaro::engine {

inline int Sat(long long v) { return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : int(v); }

// The largest em height the layout works with: the font engine realises no
// larger one (4,194,304 pixels), so a larger height lays out as this one and
// the geometry derived from the em stays paired with the glyphs drawn.
constexpr int kMaxEmHeight = 1 << 22;

inline int ClampEm(long long em) {
  return em > kMaxEmHeight ? kMaxEmHeight : em < -kMaxEmHeight ? -kMaxEmHeight : int(em);
}

// lfHeight for an em height.
inline int HeightOf(long long em) { return -ClampEm(em); }

}  // namespace lexaro::engine
