// The libFuzzer driver of one target; LEXARO_FUZZ_ENTRY names its entry.
#include <cstdio>
#include <cstdlib>

#include "fuzz/entries.h"

namespace lexaro::fuzz {

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz: %s\n", what);
  std::abort();
}

}  // namespace lexaro::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lexaro::fuzz::LEXARO_FUZZ_ENTRY(data, size);
  return 0;
}
