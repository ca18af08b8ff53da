#include <algorithm>
#include <cmath>
#include <cstring>

#include "lexaro/types.h"

void CRect::NormalizeRect() {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
}

bool CRect::IntersectRect(const RECT& a, const RECT& b) {
  CRect r(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom));
  if (r.IsRectEmpty()) r = CRect();
  *this = r;
  return !r.IsRectEmpty();
}

void SetFaceName(LOGFONT& lf, const char* face) {
  size_t n = face ? std::strlen(face) : 0;
  if (n > LF_FACESIZE - 1) {
    n = LF_FACESIZE - 1;
    // Step back over UTF-8 continuation bytes so no character is split.
    size_t keep = n;
    while (keep > 0 && (BYTE(face[keep]) & 0xC0) == 0x80) --keep;
    if (keep > 0 || (BYTE(face[0]) & 0xC0) != 0x80) n = keep;
  }
  std::memset(lf.lfFaceName, 0, sizeof lf.lfFaceName);
  if (n) std::memcpy(lf.lfFaceName, face, n);
}

bool operator==(const LOGFONT& a, const LOGFONT& b) {
  return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth && a.lfEscapement == b.lfEscapement &&
         a.lfOrientation == b.lfOrientation && a.lfWeight == b.lfWeight &&
         a.lfItalic == b.lfItalic && a.lfUnderline == b.lfUnderline &&
         a.lfStrikeOut == b.lfStrikeOut && a.lfCharSet == b.lfCharSet &&
         a.lfOutPrecision == b.lfOutPrecision && a.lfClipPrecision == b.lfClipPrecision &&
         a.lfQuality == b.lfQuality && a.lfPitchAndFamily == b.lfPitchAndFamily &&
         std::strncmp(a.lfFaceName, b.lfFaceName, LF_FACESIZE) == 0;
}

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  long long p = (long long)a * b;
  long long q = p / c, r = p % c;
  // Round half away from zero.
  if (2 * std::llabs(r) >= std::llabs((long long)c)) q += ((p < 0) != (c < 0)) ? -1 : 1;
  if (q > 2147483647LL || q < -2147483648LL) return -1;
  return int(q);
}
