// The colour-keyed copy between two device contexts.
#include <algorithm>

#include "lexaro/dc_ex.h"

namespace {

// The offsets [*first, *last) of a run of `count` that land inside
// [boxLow, boxHigh) when added to `origin`.
void Overlap(long long origin, long long count, long long boxLow, long long boxHigh,
             long long* first, long long* last) {
  *first = std::max(0LL, boxLow - origin);
  *last = std::min(count, boxHigh - origin);
}

}  // namespace

void CDC_Ex::BitBlt_Trans(CDC* dst, int x, int y, int width, int height, CDC* src, int sx, int sy,
                          COLORREF transparent) {
  if (!dst || !src || width <= 0 || height <= 0) return;
  // Only pixels that the destination can take and the source can give are
  // visited: both clip boxes bound the block.
  CRect to, from;
  dst->GetClipBox(&to);
  src->GetClipBox(&from);
  long long i0, i1, j0, j1, k0, k1;
  Overlap(x, width, to.left, to.right, &i0, &i1);
  Overlap(sx, width, from.left, from.right, &k0, &k1);
  i0 = std::max(i0, k0), i1 = std::min(i1, k1);
  Overlap(y, height, to.top, to.bottom, &j0, &j1);
  Overlap(sy, height, from.top, from.bottom, &k0, &k1);
  j0 = std::max(j0, k0), j1 = std::min(j1, k1);
  for (long long j = j0; j < j1; ++j) {
    for (long long i = i0; i < i1; ++i) {
      const COLORREF c = src->GetPixel(int(sx + i), int(sy + j));
      // A pixel the source cannot give (outside its clip region) is not copied.
      if (c != transparent && c != CLR_INVALID) dst->SetPixel(int(x + i), int(y + j), c);
    }
  }
}
