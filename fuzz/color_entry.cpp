// Colours as text: any text reads as some colour and formats back.
#include <string_view>

#include "fuzz/entries.h"
#include "lexaro/color.h"

namespace lexaro::fuzz {

void Color(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  COLORREF c = GetCOLORREF(CString(text));
  Require(c == CLR_TRANSPARENT || (c & 0xFF000000u) == 0, "colour outside 24 bits");
  int mode = size ? data[0] % 7 : 0;
  CString formatted = GetRGBString(c, mode);
  if (c != CLR_TRANSPARENT && mode <= 2)
    Require(GetCOLORREF(formatted) == c, "a formatted colour reads back differently");
  unsigned char r = 0, g = 0, b = 0;
  GetRGB(c, &r, &g, nullptr);
  GetRGB(c, nullptr, nullptr, &b);
  // Factors from the input, the non-finite ones included.
  const double factors[] = {0.0, 0.5, 2.0, -1.0, 1e300, -1e300, 1.0 / 0.0, 0.0 / 0.0};
  for (double f : factors) {
    Require((GetLuxColor(c, f) & 0xFF000000u) == 0, "brightness left 24 bits");
    GetLuxColor(r, f);
  }
}

}  // namespace lexaro::fuzz
