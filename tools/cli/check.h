// lexaro check: the diagnostics of markup (or TeX) files, and the strict
// and warning modes of render, batch and tex2markup.
#pragma once

#include <string>
#include <vector>

#include "tools/cli/diagnostics.h"
#include "tools/cli/options.h"

namespace cli {

// Prints "FILE:LINE:COL: warning: MESSAGE" for each diagnostic of each
// input to standard output. 0 when there are none, 1 when there are any or
// an input cannot be read.
int RunCheck(const Options& o);

// The name diagnostics give the text of render and tex2markup: the file,
// "-" for standard input, "<markup>" or "<tex>" for an argument.
std::string SourceName(const Options& o);

// For render --strict / --warnings: prints the diagnostics of the text
// (read from `source`, named `file`) to standard error. False with the
// reason when the drawing must not go on: the markup cannot be laid out,
// or --strict and there is any diagnostic.
bool WarnOrRefuse(const Options& o, const std::string& file, const std::string& source,
                  const std::string& text, std::string* error);

// For batch --strict: the reason a formula fails, or "" when it has no
// diagnostic.
std::string StrictFailure(const std::vector<Finding>& found);

}  // namespace cli
