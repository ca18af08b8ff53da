// `lexaro batch FILE -o DIR`: one image per formula line of FILE.
//
// Lines: "MARKUP" (image line-N.EXT, N the line number) or
// "NAME<TAB>MARKUP" (image NAME.EXT). Blank lines and lines whose first
// non-blank character is '#' are skipped. The list is read once, as a
// stream, so it can come from a pipe or a FIFO and memory does not grow
// with its length (but for the names given on lines, which a later line may
// not repeat unless --overwrite is given). With --jobs N, N worker processes
// draw the formulas the parent hands them.
#pragma once

#include "tools/cli/batch_input.h"
#include "tools/cli/options.h"

namespace cli {

// Runs the batch; returns the exit status (0 all drawn, 1 otherwise).
int RunBatch(const Options& options);

}  // namespace cli
