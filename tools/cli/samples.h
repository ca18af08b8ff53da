// `lexaro samples -o DIR`: draws the sample gallery, every DIR/*.lxm of the
// samples directory as OUT/NAME.EXT and every DIR/gallery/*.lxm as
// OUT/gallery/NAME.EXT, with the drawing options of the command line.
#pragma once

#include <string>

#include "tools/cli/options.h"

namespace cli {

// Runs the command; returns the exit status.
int RunSamples(const Options& options);

}  // namespace cli
