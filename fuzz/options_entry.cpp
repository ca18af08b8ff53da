// The command line of `lexaro`: any words parse into options or one clear
// error, and the options stay inside the documented limits.
#include <string>
#include <vector>

#include "fuzz/entries.h"
#include "tools/cli/options.h"

namespace lexaro::fuzz {

void Options(const uint8_t* data, size_t size) {
  // The input is the words, separated by NUL bytes.
  std::vector<std::string> words(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0)
      words.emplace_back();
    else
      words.back() += char(data[i]);
  }
  cli::ParseResult r = cli::ParseOptions(words);
  if (!r.ok) {
    Require(!r.error.empty() && r.error.find('\n') == std::string::npos,
            "a refused command line without a one-line error");
    return;
  }
  const cli::Options& o = r.options;
  Require(o.emHeight >= 1 && o.emHeight <= cli::kMaxEmHeight, "em height outside its limits");
  Require(o.padding >= 0 && o.padding <= cli::kMaxPadding, "padding outside its limits");
  Require(o.dpi >= cli::kMinDpi && o.dpi <= cli::kMaxDpi, "resolution outside its limits");
  Require(o.scale >= cli::kMinScale && o.scale <= cli::kMaxScale, "scale outside its limits");
  Require(o.angle >= -cli::kMaxAngle && o.angle <= cli::kMaxAngle, "angle outside its limits");
  Require(o.jobs >= 1 && o.jobs <= cli::kMaxJobs, "jobs outside their limits");
  Require(cli::IsColor(o.color, false) && cli::IsColor(o.background, true), "colour not valid");
}

}  // namespace lexaro::fuzz
