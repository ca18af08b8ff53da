// lexaro tex2markup: TeX math translated into markup, so that formulas kept
// in TeX can be converted once and then edited as markup.
#pragma once

#include "tools/cli/options.h"

namespace cli {

// Translates the TeX of the argument, -f FILE or standard input and writes
// the markup and a line feed to -o (standard output by default). What the
// translation cannot take goes to standard error as FILE:LINE:COL warnings.
// 0 when the markup was written, 1 when the input cannot be read, the
// output cannot be written, or --strict and there is any diagnostic.
int RunTex2Markup(const Options& o);

}  // namespace cli
