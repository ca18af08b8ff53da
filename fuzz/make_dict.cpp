// Writes the libFuzzer dictionary of the markup target from the vocabulary
// tables: every tag as start and end tag, attribute, style and delimiter
// names, alignments and a few values that reach the limits. With the
// argument "tex", the tex target's: every command of the translator's table,
// the environments and the characters TeX gives a meaning.
#include <cstdio>
#include <string>

#include <cstring>

#include "engine/vocabulary.h"
#include "tex/commands.h"

using namespace lexaro::engine;

namespace {

void Entry(const std::string& s) {
  if (s.empty()) return;
  std::printf("\"");
  for (char c : s) std::printf(c == '"' || c == '\\' ? "\\%c" : "%c", c);
  std::printf("\"\n");
}

void TexDictionary() {
  size_t n = 0;
  const lexaro::tex::Command* commands = lexaro::tex::Commands(&n);
  for (size_t i = 0; i < n; ++i)
    if (!commands[i].name.empty()) Entry("\\" + std::string(commands[i].name));
  const char* environments[] = {"matrix", "pmatrix", "bmatrix", "Bmatrix", "vmatrix", "Vmatrix",
                                "smallmatrix", "cases", "array", "aligned", "align*", "gathered",
                                "split", "equation", "subarray"};
  for (const char* e : environments) {
    Entry(std::string("\\begin{") + e + "}");
    Entry(std::string("\\end{") + e + "}");
  }
  const char* tokens[] = {"{", "}", "^", "_", "&", "\\\\", "'", "$", "[", "]", "%", "~", "{l|cr}"};
  for (const char* t : tokens) Entry(t);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "tex") == 0) {
    TexDictionary();
    return 0;
  }
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
