// `lexaro batch FILE -o DIR`: one image per formula line of FILE.
//
// Lines: "MARKUP" (image line-N.EXT, N the line number) or
// "NAME<TAB>MARKUP" (image NAME.EXT). Blank lines and lines whose first
// non-blank character is '#' are skipped. The file is streamed, so memory
// does not grow with the number of formulas; with --jobs N, N worker
// processes each draw every N-th formula and report each result through a
// pipe.
#pragma once

#include <string>

#include "tools/cli/options.h"

namespace cli {

// The longest formula line read; a longer line fails on its own.
constexpr long long kMaxBatchLine = 1LL << 20;

// One line of a batch file, classified.
struct BatchLine {
  enum Kind { kSkip, kFormula, kBad } kind = kSkip;
  std::string name;    // the image's file name without extension
  std::string markup;
  std::string error;   // kBad: why
};

// Classifies one line (without its line feed) read at line number `number`.
BatchLine ParseBatchLine(const std::string& line, long number);

// Runs the batch; returns the exit status (0 all drawn, 1 otherwise).
int RunBatch(const Options& options);

}  // namespace cli
