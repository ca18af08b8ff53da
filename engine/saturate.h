// Extents and positions are 32-bit; sums of huge sizes saturate at the ends
// of the range instead of wrapping around to the other side.
#pragma once

#include <climits>

namespace lexaro::engine {

inline int Sat(long long v) { return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : int(v); }

}  // namespace lexaro::engine
