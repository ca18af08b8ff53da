// Numbers in attributes and styles, read the way C's conversions read them:
// leading white space, an optional sign, digits (and for decimals a point
// and more digits); reading stops at the first other character, and
// nothing read gives 0. Values beyond the int range are clamped.
#pragma once

#include "lexaro/cstring.h"

namespace lexaro::engine {

int ReadInt(const CString& text);
double ReadDecimal(const CString& text);

}  // namespace lexaro::engine
