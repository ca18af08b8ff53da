// Writes the libFuzzer dictionary of the markup target from the vocabulary
// tables: every tag as start and end tag, attribute, style and delimiter
// names, alignments and a few values that reach the limits.
#include <cstdio>
#include <string>

#include "engine/vocabulary.h"

using namespace lexaro::engine;

namespace {

void Entry(const std::string& s) {
  if (s.empty()) return;
  std::printf("\"");
  for (char c : s) std::printf(c == '"' || c == '\\' ? "\\%c" : "%c", c);
  std::printf("\"\n");
}

}  // namespace

int main() {
  for (int code = 0; code < kTagCount; ++code) {
    Entry(std::string("<") + StartTagName(code) + ">");
    Entry(std::string("<") + StartTagName(code) + " ");
    if (*EndTagName(code)) Entry(std::string("<") + EndTagName(code) + ">");
  }
  for (const char* name : kTagPropertyTable) Entry(std::string(name) + "=\"");
  for (const char* name : kTagStyleTable) Entry(std::string(name) + ":");
  for (const char* name : kHAlignTable) Entry(name);
  for (const char* name : kVAlignTable) Entry(name);
  for (const LX_CNG_PAREN& paren : kParenCng) Entry(paren.name);
  const char* values[] = {"2147483647", "-2147483648", "99999999999", "1e12", "rgb(",
                          "#ff00ff",    "dashed",      "solid",       "'",    ";"};
  for (const char* v : values) Entry(v);
}
